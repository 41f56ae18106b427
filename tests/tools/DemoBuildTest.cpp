#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "tools/build/Builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace buildertest;

namespace {

QString databaseIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
}

QStringList column(const core::Database& db, const QString& sql)
{
    QStringList values;
    for (const QVariantList& row : readAll(db, sql))
        values << row.value(0).toString();
    return values;
}

// The default demo database, built once for the tests that only read it.
class DefaultDemo : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        builder::buildDemo(builder::DemoOptions{}, databaseIn(*s_dir));
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override { db = openBuilt(databaseIn(*s_dir)); }

    qint64 count(const QString& sql) const { return scalar(db, sql).toLongLong(); }

    core::Database db;
    static inline std::unique_ptr<QTemporaryDir> s_dir;
};

} // namespace

TEST_F(DefaultDemo, holdsThirtyThousandSubarticlesNumberedInListOrder)
{
    EXPECT_EQ(count(QStringLiteral("select count(*) from prezzario")), 30000);
    EXPECT_EQ(count(QStringLiteral("select count(distinct sequenza) from prezzario")), 30000);
    EXPECT_EQ(count(QStringLiteral("select min(sequenza) from prezzario")), 1);
    EXPECT_EQ(count(QStringLiteral("select max(sequenza) from prezzario")), 30000);
}

TEST_F(DefaultDemo, listsSectionsUpTo23WithoutSections21And24)
{
    QStringList expected;
    for (int code = 1; code <= 23; ++code)
        if (code != 21)
            expected << QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(
        column(db, QStringLiteral("select distinct(codice_sezione),sezione from prezzario order by codice_sezione")),
        expected);
}

TEST_F(DefaultDemo, eachSectionHasOneNameAndOneNote)
{
    const auto sections = readAll(db, QStringLiteral("select codice_sezione, count(distinct sezione), "
                                                     "count(distinct coalesce(note_sezione, '(null)')) "
                                                     "from prezzario group by codice_sezione"));
    ASSERT_EQ(sections.size(), 22);
    for (const QVariantList& section : sections) {
        EXPECT_EQ(section[1].toInt(), 1) << section[0].toString().toStdString();
        EXPECT_EQ(section[2].toInt(), 1) << section[0].toString().toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("select count(distinct sezione) from prezzario")), 22);
}

TEST_F(DefaultDemo, codesFollowThePriceListPattern)
{
    const QRegularExpression section(QStringLiteral("^\\d\\d$"));
    const QRegularExpression letterAndDigits(QStringLiteral("^[A-Z]\\d\\d$"));
    const QRegularExpression threeDigits(QStringLiteral("^\\d\\d\\d$"));
    const auto rows = readAll(db, QStringLiteral("select codice_totale, codice_sezione, codice_capitolo, "
                                                 "codice_articolo, codice_subarticolo from prezzario"));
    for (const QVariantList& row : rows) {
        const QString total = row[0].toString();
        ASSERT_EQ(total,
                  QStringList({row[1].toString(), row[2].toString(), row[3].toString(), row[4].toString()}).join(u'.'));
        ASSERT_TRUE(section.match(row[1].toString()).hasMatch()) << total.toStdString();
        ASSERT_TRUE(letterAndDigits.match(row[2].toString()).hasMatch()) << total.toStdString();
        ASSERT_TRUE(letterAndDigits.match(row[3].toString()).hasMatch()) << total.toStdString();
        ASSERT_TRUE(threeDigits.match(row[4].toString()).hasMatch()) << total.toStdString();
    }
}

TEST_F(DefaultDemo, chapterPositionsCountUpAlongTheList)
{
    const auto rows = readAll(
        db, QStringLiteral("select codice_sezione, codice_capitolo, seq_capitolo from prezzario order by sequenza"));
    QSet<QString> finishedChapters;
    QString current;
    qint64 expectedPosition = 0;
    QString previousSection;
    for (const QVariantList& row : rows) {
        const QString chapter = row[0].toString() + u'.' + row[1].toString();
        if (chapter != current) {
            ASSERT_FALSE(finishedChapters.contains(chapter)) << "chapter split in two: " << chapter.toStdString();
            ASSERT_GE(row[0].toString(), previousSection);
            finishedChapters.insert(current);
            current = chapter;
            ++expectedPosition;
        }
        ASSERT_EQ(row[2].toLongLong(), expectedPosition) << chapter.toStdString();
        previousSection = row[0].toString();
    }
}

TEST_F(DefaultDemo, aChapterIsListedBeforeOneWithASmallerCode)
{
    const QStringList first = column(db, QStringLiteral("select distinct codice_capitolo, seq_capitolo from prezzario "
                                                        "where codice_sezione = '01' order by seq_capitolo"));
    ASSERT_GE(first.size(), 3);
    EXPECT_EQ(first.mid(0, 3), QStringList({QStringLiteral("A01"), QStringLiteral("A03"), QStringLiteral("A02")}));
}

TEST_F(DefaultDemo, theSameChapterCodeNamesDifferentChaptersInDifferentSections)
{
    const auto chapters = readAll(db, QStringLiteral("select distinct codice_sezione, capitolo from prezzario "
                                                     "where codice_capitolo = 'A01'"));
    EXPECT_EQ(chapters.size(), 22);
    QSet<QString> descriptions;
    for (const QVariantList& row : chapters)
        descriptions.insert(row[1].toString());
    EXPECT_GT(descriptions.size(), 1);
}

TEST_F(DefaultDemo, descriptionsAreBetween80And400Characters)
{
    for (const QString& field :
         {QStringLiteral("capitolo"), QStringLiteral("articolo"), QStringLiteral("subarticolo")}) {
        EXPECT_GE(count(QStringLiteral("select min(length(%1)) from prezzario").arg(field)), 80) << field.toStdString();
        EXPECT_LE(count(QStringLiteral("select max(length(%1)) from prezzario").arg(field)), 400)
            << field.toStdString();
    }
}

TEST_F(DefaultDemo, descriptionsReadAsItalianPriceListText)
{
    const QString allText = QStringLiteral("capitolo || articolo || subarticolo || coalesce(note_capitolo, '') || "
                                           "coalesce(note_articolo, '') || coalesce(note_subarticolo, '')");
    for (const QString& mark : {QStringLiteral("'"), QStringLiteral("è"), QStringLiteral("à"), QStringLiteral("ù"),
                                QStringLiteral("ò"), QStringLiteral("perché"), QStringLiteral("già")})
        EXPECT_GT(count(QStringLiteral("select count(*) from prezzario where instr(%1, '%2') > 0")
                            .arg(allText, QString(mark).replace(u'\'', QStringLiteral("''")))),
                  0)
            << mark.toStdString();

    // Words a surveyor types into the text search find many rows, as in a real list.
    for (const QString& word : {QStringLiteral("CALCESTRUZZO"), QStringLiteral("FORNITURA"), QStringLiteral("POSA"),
                                QStringLiteral("DELL'OPERA"), QStringLiteral(" DI ")})
        EXPECT_GT(count(QStringLiteral("select count(*) from prezzario where ucase(articolo) like '*%1*'")
                            .arg(QString(word).replace(u'\'', QStringLiteral("''")))),
                  20)
            << word.toStdString();

    const qint64 chapters = count(QStringLiteral("select count(distinct capitolo) from prezzario"));
    const qint64 capitals =
        count(QStringLiteral("select count(distinct capitolo) from prezzario where capitolo = ucase(capitolo)"));
    EXPECT_GT(capitals, 0);
    EXPECT_LT(capitals, chapters);
}

TEST_F(DefaultDemo, levelsAreDescribedDifferently)
{
    // A chapter names a category, an article a work, a subarticle one size of that work.
    EXPECT_EQ(count(QStringLiteral("select count(*) from prezzario where capitolo = articolo or "
                                   "articolo = subarticolo")),
              0);
    // A subarticle opens with what sets it apart (a size, a class, a depth), not with the work again.
    EXPECT_EQ(count(QStringLiteral("select count(*) from prezzario where instr(articolo, subarticolo) > 0 or "
                                   "substr(subarticolo, 1, 20) = substr(articolo, 1, 20)")),
              0);
}

TEST_F(DefaultDemo, notesArePresentOnSomeRowsAndNullOnOthers)
{
    for (const QString& note : {QStringLiteral("note_sezione"), QStringLiteral("note_capitolo"),
                                QStringLiteral("note_articolo"), QStringLiteral("note_subarticolo")}) {
        EXPECT_GT(count(QStringLiteral("select count(*) from prezzario where %1 is null").arg(note)), 0)
            << note.toStdString();
        EXPECT_GT(count(QStringLiteral("select count(*) from prezzario where %1 is not null").arg(note)), 0)
            << note.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from prezzario where note_capitolo = '' or note_articolo = ''")),
              0);
}

TEST_F(DefaultDemo, aFewPricesAndLabourFiguresAreMissing)
{
    const qint64 missingPrices = count(QStringLiteral("select count(*) from prezzario where prezzo_lordo is null"));
    const qint64 missingShares =
        count(QStringLiteral("select count(*) from prezzario where incidenza_manodopera is null"));
    EXPECT_GT(missingPrices, 0);
    EXPECT_LT(missingPrices, 30000 * 5 / 100);
    EXPECT_GT(missingShares, 0);
    EXPECT_LT(missingShares, 30000 * 10 / 100);
}

TEST_F(DefaultDemo, labourAmountIsPriceTimesShareInCents)
{
    const auto rows = readAll(db, QStringLiteral("select codice_totale, prezzo_lordo, incidenza_manodopera, "
                                                 "somma_manodopera from prezzario"));
    for (const QVariantList& row : rows) {
        const std::string code = row[0].toString().toStdString();
        if (row[1].isValid()) {
            const double price = row[1].toDouble();
            ASSERT_GT(price, 0) << code;
            ASSERT_NEAR(price * 100, std::round(price * 100), 1e-6) << code;
        }
        if (row[2].isValid()) {
            const double share = row[2].toDouble();
            ASSERT_GT(share, 0) << code;
            ASSERT_LE(share, 100) << code;
            ASSERT_DOUBLE_EQ(share * 4, std::round(share * 4)) << code;
        }
        // Rounded half up in decimal: 18.615 is 18.62 even though the nearest double is below it.
        if (row[1].isValid() && row[2].isValid()) {
            const qint64 cents = std::llround(row[1].toDouble() * 100);
            const qint64 quarters = std::llround(row[2].toDouble() * 4);
            const qint64 amountCents = (cents * quarters + 200) / 400;
            ASSERT_EQ(std::llround(row[3].toDouble() * 100), amountCents) << code;
            ASSERT_DOUBLE_EQ(row[3].toDouble(), double(amountCents) / 100) << code;
        } else
            ASSERT_FALSE(row[3].isValid()) << code;
    }
}

TEST_F(DefaultDemo, unitsAreThoseOfAPriceList)
{
    const QSet<QString> known = {QStringLiteral("m²"),  QStringLiteral("m³"), QStringLiteral("kg"),
                                 QStringLiteral("cad"), QStringLiteral("h"),  QStringLiteral("m"),
                                 QStringLiteral("t"),   QStringLiteral("l"),  QStringLiteral("corpo")};
    const QStringList units = column(db, QStringLiteral("select distinct simbolo from prezzario"));
    for (const QString& unit : units)
        EXPECT_TRUE(known.contains(unit)) << unit.toStdString();
    for (const QString& unit :
         {QStringLiteral("m²"), QStringLiteral("m³"), QStringLiteral("kg"), QStringLiteral("cad"), QStringLiteral("h")})
        EXPECT_TRUE(units.contains(unit)) << unit.toStdString();
}

TEST_F(DefaultDemo, yearIs2021)
{
    EXPECT_EQ(readAll(db, QStringLiteral("select * from anno_prezzario")),
              QList<QVariantList>({{QVariant(qlonglong(2021))}}));
}

TEST_F(DefaultDemo, prefaceAndMethodologicalNoteAreFullTexts)
{
    const QString preface =
        scalar(db, QStringLiteral("select premessa from premesse where codice_sezione ='Prefazione'")).toString();
    EXPECT_GE(preface.count(QStringLiteral("\n\n")), 3);
    EXPECT_GT(preface.size(), 1000);

    const auto note = readAll(db, QStringLiteral("select premessa, premessa2, premessa3 from premesse "
                                                 "where codice_sezione ='Premessa'"));
    ASSERT_EQ(note.size(), 1);
    const QSet<QString> parts = {note[0][0].toString(), note[0][1].toString(), note[0][2].toString()};
    EXPECT_EQ(parts.size(), 3);
    for (const QString& part : parts)
        EXPECT_GT(part.size(), 300);
}

TEST_F(DefaultDemo, fixedEntries21And24HaveIntroductions)
{
    for (const QString& code : {QStringLiteral("21"), QStringLiteral("24")})
        EXPECT_GT(scalar(db, QStringLiteral("select premessa from premesse where codice_sezione ='%1'").arg(code))
                      .toString()
                      .size(),
                  100)
            << code.toStdString();
}

TEST_F(DefaultDemo, oneSectionHasNoIntroductionRowAndOneANullIntroduction)
{
    const QStringList sections = column(db, QStringLiteral("select distinct codice_sezione from prezzario"));
    int withoutRow = 0;
    int withNull = 0;
    for (const QString& code : sections) {
        const auto rows =
            readAll(db, QStringLiteral("select premessa from premesse where codice_sezione ='%1'").arg(code));
        if (rows.isEmpty())
            ++withoutRow;
        else if (!rows[0][0].isValid())
            ++withNull;
        else
            EXPECT_GT(rows[0][0].toString().size(), 100) << code.toStdString();
    }
    EXPECT_EQ(withoutRow, 1);
    EXPECT_EQ(withNull, 1);
}

TEST_F(DefaultDemo, manualHasATopicForEveryMenuCaption)
{
    const QStringList captions = {
        QStringLiteral("Prefazione e Premesse"),
        QStringLiteral("Consultazione"),
        QStringLiteral("Ricerca"),
        QStringLiteral("...Ricerca per Testo"),
        QStringLiteral("......Capitolo, Articolo e Subarticolo"),
        QStringLiteral("......Capitolo e Articolo"),
        QStringLiteral("......Articolo e Subarticolo"),
        QStringLiteral("......Capitolo e Subarticolo"),
        QStringLiteral("......Subarticolo"),
        QStringLiteral("......Articolo"),
        QStringLiteral("......Capitolo"),
        QStringLiteral("...Ricerca per Codice Articolo"),
        QStringLiteral("...Ricerca per Codice Subarticolo"),
        QStringLiteral("...Ricerca per intervalli"),
        QStringLiteral("Manuale utente"),
    };
    QStringList stored = column(db, QStringLiteral("select titolo from manuale"));
    stored.sort();
    QStringList sortedCaptions = captions;
    sortedCaptions.sort();
    EXPECT_EQ(stored, sortedCaptions);

    for (const QString& caption : captions) {
        core::Recordset rs = db.OpenRecordset(QStringLiteral("select * from manuale where titolo ='%1'").arg(caption));
        ASSERT_FALSE(rs.Eof()) << caption.toStdString();
        const QString text = rs.Fields(QStringLiteral("Descrizione")).Value().toString();
        const int paragraphs = int(text.count(QStringLiteral("\n\n"))) + 1;
        EXPECT_GE(paragraphs, caption.startsWith(u'.') ? 2 : 4) << caption.toStdString();
    }
}

TEST_F(DefaultDemo, manualExplainsTheWindowsItDescribes)
{
    const auto topic = [&](const QString& caption) {
        return scalar(db, QStringLiteral("select Descrizione from manuale where titolo ='%1'").arg(caption)).toString();
    };
    const QString browsing = topic(QStringLiteral("Consultazione"));
    for (const QString& word :
         {QStringLiteral("Sezioni"), QStringLiteral("Capitoli"), QStringLiteral("Articoli"),
          QStringLiteral("Subarticoli associati"), QStringLiteral("Tab"), QStringLiteral("freccia")})
        EXPECT_TRUE(browsing.contains(word)) << word.toStdString();
    const QString search = topic(QStringLiteral("Ricerca"));
    for (const QString& word :
         {QStringLiteral("Tutto il prezzario"), QStringLiteral("Esegui Ricerca"), QStringLiteral("Pulisci"),
          QStringLiteral("Stampa"), QStringLiteral("LibreOffice Calc"), QStringLiteral("stampa.xls")})
        EXPECT_TRUE(search.contains(word)) << word.toStdString();
    const QString text = topic(QStringLiteral("...Ricerca per Testo"));
    for (const QString& wildcard :
         {QStringLiteral("* "), QStringLiteral("? "), QStringLiteral("# "), QStringLiteral("[!0-9]")})
        EXPECT_TRUE(text.contains(wildcard)) << wildcard.toStdString();
    EXPECT_TRUE(topic(QStringLiteral("...Ricerca per intervalli")).contains(QStringLiteral("Da-A")));
}

TEST(DemoDeterminism, sameSeedGivesTheSameContent)
{
    QTemporaryDir first;
    QTemporaryDir second;
    builder::buildDemo({3000, 7}, databaseIn(first));
    builder::buildDemo({3000, 7}, databaseIn(second));
    const core::Database a = openBuilt(databaseIn(first));
    const core::Database b = openBuilt(databaseIn(second));
    for (const QString& sql :
         {QStringLiteral("select * from prezzario order by sequenza"), QStringLiteral("select * from anno_prezzario"),
          QStringLiteral("select * from premesse order by codice_sezione"),
          QStringLiteral("select * from manuale order by titolo")})
        EXPECT_EQ(readAll(a, sql), readAll(b, sql)) << sql.toStdString();
}

TEST(DemoDeterminism, anotherSeedGivesAnotherPriceList)
{
    QTemporaryDir first;
    QTemporaryDir second;
    builder::buildDemo({3000, 7}, databaseIn(first));
    builder::buildDemo({3000, 8}, databaseIn(second));
    const QString sql = QStringLiteral("select * from prezzario order by sequenza");
    const auto a = readAll(openBuilt(databaseIn(first)), sql);
    const auto b = readAll(openBuilt(databaseIn(second)), sql);
    EXPECT_EQ(a.size(), b.size());
    EXPECT_NE(a, b);
}

TEST(DemoRows, givesExactlyTheRequestedNumberOfRows)
{
    for (const qint64 rows : {1, 21, 22, 50, 1234}) {
        QTemporaryDir dir;
        builder::buildDemo({rows, 2021}, databaseIn(dir));
        const core::Database db = openBuilt(databaseIn(dir));
        EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from prezzario")).toLongLong(), rows);
        EXPECT_EQ(scalar(db, QStringLiteral("select max(sequenza) from prezzario")).toLongLong(), rows);
        EXPECT_EQ(scalar(db, QStringLiteral("select count(distinct codice_sezione) from prezzario")).toLongLong(),
                  std::min<qint64>(rows, 22))
            << rows;
    }
}

TEST(DemoRows, fewRowsStillIncludeSections20And23)
{
    QTemporaryDir dir;
    builder::buildDemo({3, 2021}, databaseIn(dir));
    const core::Database db = openBuilt(databaseIn(dir));
    EXPECT_EQ(column(db, QStringLiteral("select codice_totale from prezzario order by sequenza")),
              QStringList({QStringLiteral("01.A01.A01.010"), QStringLiteral("20.A01.A01.010"),
                           QStringLiteral("23.A01.A01.010")}));
    EXPECT_EQ(column(db, QStringLiteral("select seq_capitolo from prezzario order by sequenza")),
              QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(DemoRows, rowCountOutsideTheRangeIsRefusedWithoutWritingAnything)
{
    for (const qint64 rows : {qint64(0), qint64(-5), builder::kMaxDemoRows + 1}) {
        QTemporaryDir dir;
        EXPECT_THROW(builder::buildDemo({rows, 2021}, databaseIn(dir)), builder::BuildError) << rows;
        EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << rows;
    }
}

TEST(DemoProgress, reportsGrowingProgressUpToTheTotal)
{
    QTemporaryDir dir;
    QList<QPair<qint64, qint64>> reports;
    builder::buildDemo({5000, 1}, databaseIn(dir), [&](qint64 done, qint64 total) { reports.append({done, total}); });
    ASSERT_GE(reports.size(), 5);
    for (qsizetype i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].first, reports[i - 1].first);
        EXPECT_EQ(reports[i].second, reports[0].second);
    }
    EXPECT_EQ(reports.last().first, reports.last().second);
}
