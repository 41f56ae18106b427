#include "core/EscapeQuotes.h"
#include "tests/support/Fixture.h"

#include <gtest/gtest.h>

using core::EscapeQuotes;

TEST(EscapeQuotes, doublesEverySingleQuoteAndNothingElse)
{
    EXPECT_EQ(EscapeQuotes(QStringLiteral("dell'opera")), QStringLiteral("dell''opera"));
    EXPECT_EQ(EscapeQuotes(QStringLiteral("''")), QStringLiteral("''''"));
    EXPECT_EQ(EscapeQuotes(QString()), QString());
    EXPECT_EQ(EscapeQuotes(QStringLiteral("*?#[a-z]\"%_")), QStringLiteral("*?#[a-z]\"%_"));
    EXPECT_EQ(EscapeQuotes(QStringLiteral("l'è")), QStringLiteral("l''è"));
}

TEST(EscapeQuotes, acceptsTextsLongerThan32767Characters)
{
    const QString text = QString(40000, u'a') + u'\'';
    const QString escaped = EscapeQuotes(text);
    EXPECT_EQ(escaped.size(), 40002);
    EXPECT_TRUE(escaped.endsWith(QStringLiteral("''")));
}

TEST(SqlString, carriesAnyValueIntoTheEngineUnchanged)
{
    const fixture::PriceListFolder folder({{fixture::Row()}});
    const core::Database db = folder.open();
    const QString values[] = {
        QString(),
        QStringLiteral("dell'opera"),
        QStringLiteral("'--"),
        QStringLiteral("A'1' or '1'='1"),
        QStringLiteral("x'; select 1; --"),
        QStringLiteral("a") + QChar(0) + QStringLiteral("b'") + QChar(0),
        QString(QChar(0)),
        QStringLiteral("\\\t\r\n\"*?#[!a-z]%_"),
        QStringLiteral("🏗️ العربية ‮rtl‬"),
    };
    for (const QString& value : values) {
        core::Recordset rs =
            db.OpenRecordset(QStringLiteral("select ") + core::SqlString(value) + QStringLiteral(" = ") +
                             core::SqlString(value) + QStringLiteral(", ") + core::SqlString(value));
        EXPECT_EQ(rs.Fields(0).Text(), QStringLiteral("1")) << value.toStdString();
        EXPECT_EQ(rs.Fields(1).Text(), value) << value.toStdString();
    }
    EXPECT_EQ(core::SqlString(QStringLiteral("dell'opera")), QStringLiteral("'dell''opera'"));
}
