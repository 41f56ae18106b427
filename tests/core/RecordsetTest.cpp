#include "core/Error.h"
#include "core/Field.h"
#include "tests/support/Fixture.h"
#include "core/PriceList.h"
#include "core/Recordset.h"

#include <QLocale>

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

fixture::Tables threeRows()
{
    fixture::Row first;
    first.sequenza = 10;
    fixture::Row second = first;
    second.sequenza = 20;
    second.subarticolo_codice = QStringLiteral("020");
    second.prezzo_lordo = QStringLiteral("1234.56");
    second.incidenza_manodopera.reset();
    second.somma_manodopera.reset();
    fixture::Row third = first;
    third.sequenza = 5;
    third.subarticolo_codice = QStringLiteral("005");
    third.prezzo_lordo = QStringLiteral("12.34");
    third.somma_manodopera = QStringLiteral("3.3935");
    return {{first, second, third}};
}

} // namespace

TEST(Recordset, walksRowsInTheOrderAskedAndBackToTheFirst)
{
    const fixture::PriceListFolder folder(threeRows());
    const core::Database db = folder.open();
    core::Recordset rs = db.OpenRecordset(QStringLiteral("select sequenza, codice_totale from prezzario order by sequenza"));

    QStringList seen;
    for (; !rs.Eof(); rs.MoveNext())
        seen << rs.Fields(0).Text();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20")}));
    EXPECT_THROW(rs.MoveNext(), core::DbError);
    EXPECT_THROW(rs.Fields(0), core::DbError);

    rs.MoveFirst();
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("codice_totale")).Text(), QStringLiteral("01.A01.A01.005"));
    rs.MoveFirst(); // already on the first row: stays there
    EXPECT_EQ(rs.Fields(0).Text(), QStringLiteral("5"));
    rs.Close();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_TRUE(rs.Eof());
}

TEST(Recordset, emptyResultIsAtEofAndRefusesToMove)
{
    const fixture::PriceListFolder folder(threeRows());
    const core::Database db = folder.open();
    core::Recordset rs = db.OpenRecordset(QStringLiteral("select * from prezzario where codice_sezione ='99'"));
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.MoveFirst(), core::DbError);
}

TEST(Recordset, fieldsByNameIgnoreCaseAndUnknownNamesFail)
{
    const fixture::PriceListFolder folder(threeRows());
    const core::Database db = folder.open();
    core::Recordset rs = db.OpenRecordset(QStringLiteral("select * from anno_prezzario"));
    EXPECT_EQ(rs.Fields(QStringLiteral("ANNO_PREZZARIO")).Text(), QStringLiteral("2021"));
    EXPECT_EQ(rs.Fields(QStringLiteral("anno_prezzario")).Text(), QStringLiteral("2021"));
    EXPECT_THROW(rs.Fields(QStringLiteral("anno")), core::DbError);
    EXPECT_THROW(rs.Fields(7), core::DbError);
}

TEST(Recordset, numbersAndNullsReadAsTheWindowsShowThem)
{
    const fixture::PriceListFolder folder(threeRows());
    const core::Database db = folder.open();
    core::Recordset rs = db.OpenRecordset(QStringLiteral(
        "select prezzo_lordo, incidenza_manodopera, somma_manodopera, prezzo_lordo * incidenza_manodopera / 100 "
        "from prezzario order by sequenza"));
    EXPECT_EQ(rs.Fields(0).Text(), QStringLiteral("12,34"));
    EXPECT_EQ(rs.Fields(1).Text(), QStringLiteral("27,5"));
    EXPECT_EQ(rs.Fields(2).Text(), QStringLiteral("3,3935"));
    EXPECT_EQ(rs.Fields(3).Text(), QStringLiteral("3,3935"));
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0).Text(), QStringLiteral("12,5"));
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0).Text(), QStringLiteral("1234,56"));
    EXPECT_TRUE(rs.Fields(1).IsNull());
    EXPECT_EQ(rs.Fields(1).Text(), QString());
    EXPECT_EQ(core::numberText(1e15), QStringLiteral("1E+15"));
    EXPECT_EQ(core::numberText(0.1 + 0.2), QStringLiteral("0,3"));
    EXPECT_EQ(core::numberText(1e14), QStringLiteral("100000000000000"));
    EXPECT_EQ(core::numberText(0.0001), QStringLiteral("0,0001"));
    EXPECT_EQ(core::numberText(0.00001), QStringLiteral("1E-05"));
    EXPECT_EQ(core::numberText(-0.5), QStringLiteral("-0,5"));
    EXPECT_EQ(core::numberText(0.0), QStringLiteral("0"));
    EXPECT_EQ(core::numberText(-0.0), QStringLiteral("0"));
}

// The quick path must give the locale's own 15-digit text for every value, ties and long numbers included.
TEST(Recordset, numberTextIsTheLocalesFifteenDigitText)
{
    const auto expected = [](double value) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'g', 15);
    };
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long long> cents(0, 10'000'000'000LL);
    std::uniform_real_distribution<double> exponent(-20, 20);
    for (int i = 0; i < 20'000; ++i) {
        const double price = static_cast<double>(cents(random)) / 100.0;
        const double labour = price * static_cast<double>(cents(random) % 10'000) / 100.0 / 100.0;
        const double any = -std::pow(10.0, exponent(random)) * 1.2345;
        const double tie = static_cast<double>(cents(random) * 100'000 + 50) / 100.0; // 15 digits and a half
        for (const double value : {price, labour, any, tie}) {
            ASSERT_EQ(core::numberText(value), expected(value)) << value;
            QByteArray utf8("x");
            core::appendNumberUtf8(value, utf8);
            ASSERT_EQ(utf8, "x" + expected(value).toUtf8()) << value;
        }
    }
    const QLocale italian = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(core::numberText(-1234.5), QStringLiteral("-1234.5"));
    QLocale::setDefault(italian);
    EXPECT_EQ(core::numberText(-1234.5), QStringLiteral("-1234,5"));
}

TEST(Recordset, badSqlIsAnEngineErrorNotACrash)
{
    const fixture::PriceListFolder folder(threeRows());
    const core::Database db = folder.open();
    EXPECT_THROW(db.OpenRecordset(QStringLiteral("select * from prezzario where codice_sezione ='0'1'")),
                 core::DbError);
    EXPECT_THROW(db.OpenRecordset(QStringLiteral("select nulla from tabella_inesistente")), core::DbError);
}

// A list another tool changed: the user reads the file and what it lacks, never the query.
TEST(Recordset, aListLackingATableOrColumnIsNamedWithoutTheQuery)
{
    const fixture::PriceListFolder folder(threeRows());
    {
        const core::Database db = core::Database::OpenDatabase(
            folder.database(), QStringLiteral(";pwd=") + core::kDbPassword, core::Database::Mode::CreateWrite);
        db.Execute(QStringLiteral(
            "drop table sezioni; drop table anno_prezzario; create table anno_prezzario (anno integer)"));
    }
    const core::Database db = folder.open();
    const struct
    {
        const char* sql;
        const char* missing;
    } cases[] = {{"select * from prezzario where codice_sezione = '01'", "manca la tabella «sezioni»"},
                 {"select ANNO_PREZZARIO from anno_prezzario", "manca la colonna «ANNO_PREZZARIO»"}};
    for (const auto& c : cases) {
        try {
            db.OpenRecordset(QString::fromUtf8(c.sql));
            ADD_FAILURE() << c.sql;
        } catch (const core::DbError& e) {
            EXPECT_TRUE(e.text().contains(folder.database())) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(c.missing))) << e.text().toStdString();
            EXPECT_FALSE(e.text().contains(QStringLiteral("select"), Qt::CaseInsensitive)) << e.text().toStdString();
        }
    }
}

TEST(Recordset, stillReadableAfterTheDatabaseCloses)
{
    const fixture::PriceListFolder folder(threeRows());
    core::Database db = folder.open();
    core::Recordset rs = db.OpenRecordset(QStringLiteral("select codice_totale from prezzario order by sequenza"));
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(rs.Fields(0).Text(), QStringLiteral("01.A01.A01.005"));
    rs.Close();
    EXPECT_THROW(db.OpenRecordset(QStringLiteral("select 1")), core::DbError);
}

// A run of queries inside one read transaction reads as without it; nested uses join the outer one,
// and the transaction ends with its outermost holder, even when a query in it fails.
TEST(Recordset, aReadTransactionSpansQueriesAndEndsWithItsHolder)
{
    const fixture::PriceListFolder folder(threeRows());
    const core::Database db = folder.open();
    {
        const core::Database::ReadTransaction outer(db);
        EXPECT_FALSE(sqlite3_get_autocommit(db.handle()));
        {
            const core::Database::ReadTransaction inner(db);
            EXPECT_EQ(db.OpenRecordset(QStringLiteral("select count(*) from prezzario")).Fields(0).Text(),
                      QStringLiteral("3"));
            EXPECT_THROW(db.OpenRecordset(QStringLiteral("select nessuna from prezzario")), core::DbError);
        }
        EXPECT_FALSE(sqlite3_get_autocommit(db.handle()));
    }
    EXPECT_TRUE(sqlite3_get_autocommit(db.handle()));
    EXPECT_EQ(db.OpenRecordset(QStringLiteral("select codice_totale from prezzario order by sequenza")).Fields(0).Text(),
              QStringLiteral("01.A01.A01.005"));
}
