#include "EscapeQuotes.h"

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
