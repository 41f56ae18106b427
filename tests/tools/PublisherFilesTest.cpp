// Files as publishers have them: CSV saved by a spreadsheet on Italian settings, empty texts written
// unquoted, many mistakes at once, rows that disagree on a chapter's name.
#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "tools/build/ListSource.h"

#include <gtest/gtest.h>

using namespace buildertest;

namespace {

QString databaseIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
}

// The build's message, or "" when it succeeded.
QString buildError(const QMap<QString, QByteArray>& files, const builder::CsvOptions& options, const QString& out)
{
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);
    try {
        builder::buildFrom(builder::ListSource::csvFolder(csvDir.path(), options), out);
        return {};
    } catch (const builder::BuildError& error) {
        return error.text();
    }
}

// "Perché" and "€" as Windows-1252 bytes.
const QByteArray kItalianPrices =
    "sequenza;codice_totale;codice_sezione;sezione;note_sezione;codice_capitolo;codice_articolo;capitolo;"
    "note_capitolo;seq_capitolo;codice_subarticolo;articolo;note_articolo;note_subarticolo;subarticolo;simbolo;"
    "prezzo_lordo;incidenza_manodopera;somma_manodopera\r\n"
    "1;01.A01.A01.010;01;Opere edili;;A01;A01;Scavi;;1;010;Scavo;;;Perch\xE9 \x80 1;m\xB3;1826,34;27,5;19,01\r\n"
    "2;01.A01.A01.020;01;Opere edili;;A01;A01;Scavi;;1;020;Scavo;;;\"Tra \x93virgolette\x94; e punto e virgola\";;"
    "0,5;;\r\n";

} // namespace

TEST(PublisherFiles, aSemicolonCsvInWindows1252WithDecimalCommasBuildsAsWritten)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files[QStringLiteral("prezzario.csv")] = kItalianPrices;
    files[QStringLiteral("anno_prezzario.csv")] = "ANNO_PREZZARIO\r\n2022\r\n";
    builder::CsvOptions windows;
    windows.encoding = builder::CsvOptions::Encoding::Windows1252;
    QTemporaryDir outDir;
    ASSERT_EQ(buildError(files, windows, databaseIn(outDir)), QString());
    const QList<QVariantList> rows =
        readAll(openBuilt(databaseIn(outDir)), QStringLiteral("select subarticolo, simbolo, prezzo_lordo, "
                                                              "incidenza_manodopera, somma_manodopera from prezzario "
                                                              "order by sequenza"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("Perché € 1"));
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral("m³"));
    EXPECT_EQ(rows[0][2].toDouble(), 1826.34);
    EXPECT_EQ(rows[0][4].toDouble(), 19.01);
    EXPECT_EQ(rows[1][0].toString(), QStringLiteral("Tra “virgolette”; e punto e virgola"));
    // A unit left blank is empty text; a labour share left blank stays Null.
    EXPECT_EQ(rows[1][1], QVariant(QString()));
    EXPECT_FALSE(rows[1][3].isValid());

    // Read as UTF-8, the same file names its first bad line and the option that reads it.
    const QString error = buildError(files, {}, databaseIn(outDir) + QStringLiteral("2"));
    EXPECT_TRUE(error.contains(QStringLiteral("prezzario.csv, riga 2, colonna \"subarticolo\""))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("--encoding windows-1252"))) << error.toStdString();
}

TEST(PublisherFiles, numbersNeedTheFileDecimalSeparatorAndNoThousands)
{
    const struct
    {
        QByteArray price;
        bool semicolons;
        bool decimalCommaOption;
        QString expected; // part of the message; empty for accepted
    } cases[] = {
        {"1826,34", true, false, {}},
        {"\"1826,34\"", false, true, {}},
        {"1.826,34", true, false, QStringLiteral("il numero \"1.826,34\" ha il separatore delle migliaia: scriverlo senza, come 1826,34")},
        {"\"1,826.34\"", false, false, QStringLiteral("il numero \"1,826.34\" ha il separatore delle migliaia: scriverlo senza, come 1826.34")},
        {"1826.34", true, false, QStringLiteral("numero non valido \"1826.34\" (atteso un numero come 1826,34)")},
        {"\"12,5\"", false, false, QStringLiteral("numero non valido \"12,5\" (atteso un numero come 1826.34)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.price.toStdString());
        QMap<QString, QByteArray> files = validCsvFiles();
        QByteArray& prices = files[QStringLiteral("prezzario.csv")];
        const char separator = c.semicolons ? ';' : ',';
        if (c.semicolons) {
            prices.replace("\"fino a 1,5 m\"", "fino a 1.5 m").replace("\"oltre 1,5 m\"", "oltre 1.5 m");
            prices.replace(',', ';');
        }
        // The file's other numbers as the separator wants them.
        const char* quote = c.semicolons ? "" : "\"";
        if (c.semicolons || c.decimalCommaOption) {
            for (const char* number : {"14.25", "27.5", "3.44", "4.28"})
                prices.replace(QByteArray(number), QByteArray(quote + QByteArray(number).replace('.', ',') + quote));
        }
        const QByteArray around(1, separator);
        prices.replace(QByteArray(around + "12.5" + around), QByteArray(around + c.price + around));
        builder::CsvOptions options;
        options.decimalComma = c.decimalCommaOption;
        QTemporaryDir outDir;
        const QString error = buildError(files, options, databaseIn(outDir));
        if (c.expected.isEmpty()) {
            EXPECT_EQ(error.toStdString(), std::string());
            EXPECT_EQ(scalar(openBuilt(databaseIn(outDir)), QStringLiteral("select prezzo_lordo from prezzario "
                                                                           "where sequenza = 1"))
                          .toDouble(),
                      1826.34);
        } else {
            EXPECT_TRUE(error.contains(QStringLiteral("riga 2, colonna \"prezzo_lordo\": ") + c.expected))
                << error.toStdString();
        }
    }
}

TEST(PublisherFiles, everyProblemIsReportedAtOnceAndNothingIsWritten)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    QByteArray& prices = files[QStringLiteral("prezzario.csv")];
    // 150 rows, each with a word for its price; the second also with a lower-case code.
    for (int n = 0; n < 150; ++n) {
        const QByteArray sub = QByteArray::number(100 + n);
        prices += QByteArray::number(10 + n) + ",01.B01.A01." + sub + ",01,Opere edili,,B01,A01,Demolizioni,,3," + sub +
                  ",Demolizione,,,voce,m³,circa,,\n";
    }
    prices.replace(",01.B01.A01.101,01,Opere edili,,B01,A01", ",01.B01.A01.101,01,Opere edili,,b01,A01");
    files[QStringLiteral("anno_prezzario.csv")] = "ANNO_PREZZARIO\nduemila\n";
    QTemporaryDir outDir;
    const QString error = buildError(files, {}, databaseIn(outDir));
    const QStringList lines = error.split(u'\n');
    ASSERT_EQ(lines.size(), 101) << error.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("anno_prezzario.csv, riga 2, colonna \"ANNO_PREZZARIO\": numero intero non "
                                       "valido \"duemila\""));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("prezzario.csv, riga 5, colonna \"prezzo_lordo\"")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("prezzario.csv, riga 6, colonna \"codice_capitolo\"")));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("prezzario.csv, riga 6, colonna \"prezzo_lordo\"")));
    // 1 + 151 problems: 100 shown.
    EXPECT_EQ(lines[100], QStringLiteral("e altri 52 errori"));
    EXPECT_TRUE(filesIn(outDir.path()).isEmpty());
}

TEST(PublisherFiles, rowsOfOneChapterMustAgreeOnItsFieldsAndCodesHaveNoBlanks)
{
    const struct
    {
        const char* from;
        const char* to;
        QString expected;
    } cases[] = {
        {"2,01.A01.A01.020,01,Opere edili,,A01,A01,Scavi,", "2,01.A01.A01.020,01,Opere edili,,A01,A01,SCAVI ,",
         QStringLiteral("prezzario.csv, riga 3, colonna \"capitolo\": il capitolo 01.A01 ha qui \"SCAVI \", ma alla "
                        "riga 2 \"Scavi\"")},
        {"A01,Scavi,,1,020", "A01,Scavi,,4,020",
         QStringLiteral("riga 3, colonna \"seq_capitolo\": il capitolo 01.A01 ha qui \"4\", ma alla riga 2 \"1\"")},
        {"A01,Scavi,,1,020", "A01,Scavi,\"Nota\",1,020",
         QStringLiteral("riga 3, colonna \"note_capitolo\": il capitolo 01.A01 ha qui \"Nota\", ma alla riga 2 \"\"")},
        {"020,Scavo a sezione obbligata,,", "020,Scavo a sezione obbligata,\"Nota\",",
         QStringLiteral("riga 3, colonna \"note_articolo\": l'articolo 01.A01.A01 ha qui \"Nota\", ma alla riga 2 \"\"")},
        {"3,01.A02.A01.010,01,Opere edili,", "3,01.A02.A01.010,01,Opere Edili,",
         QStringLiteral("riga 4, colonna \"sezione\": la sezione 01 ha qui \"Opere Edili\", ma alla riga 2 \"Opere edili\"")},
        {"3,01.A02.A01.010,01,Opere edili,,A02", "3,01.A02.A01.010,01,Opere edili,,\" A02\"",
         QStringLiteral("riga 4, colonna \"codice_capitolo\": il codice \" A02\" ha spazi all'inizio o alla fine")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        QMap<QString, QByteArray> files = validCsvFiles();
        files[QStringLiteral("prezzario.csv")].replace(c.from, c.to);
        QTemporaryDir outDir;
        const QString error = buildError(files, {}, databaseIn(outDir));
        EXPECT_TRUE(error.contains(c.expected)) << error.toStdString();
    }
}

TEST(PublisherFiles, aCheckReadsEverythingAndWritesNothing)
{
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), validCsvFiles());
    const builder::BuildSummary summary =
        builder::buildFrom(builder::ListSource::csvFolder(csvDir.path()), QString());
    EXPECT_EQ(summary.rows, 3);
    EXPECT_EQ(summary.sections, 1);
    EXPECT_EQ(summary.chapters, 2);
    EXPECT_EQ(summary.articles, 2);
    EXPECT_EQ(summary.year, 2021);
    EXPECT_TRUE(summary.missingTables.isEmpty());
    EXPECT_EQ(filesIn(csvDir.path()).size(), 4);
}
