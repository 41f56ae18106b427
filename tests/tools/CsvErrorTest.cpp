#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include "tools/build/Builder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace buildertest;

namespace {

const QByteArray kPriceHeader =
    "sequenza,codice_totale,codice_sezione,sezione,note_sezione,codice_capitolo,codice_articolo,capitolo,"
    "note_capitolo,seq_capitolo,codice_subarticolo,articolo,note_articolo,note_subarticolo,subarticolo,simbolo,"
    "prezzo_lordo,incidenza_manodopera,somma_manodopera\n";

// One valid price row; `changes` replaces fields by column name with their raw CSV text.
QByteArray priceRow(const std::map<std::string, QByteArray>& changes = {})
{
    static const std::pair<const char*, const char*> defaults[] = {
        {"sequenza", "1"},
        {"codice_totale", "01.A01.A01.010"},
        {"codice_sezione", "01"},
        {"sezione", "Opere edili"},
        {"note_sezione", ""},
        {"codice_capitolo", "A01"},
        {"codice_articolo", "A01"},
        {"capitolo", "Scavi"},
        {"note_capitolo", ""},
        {"seq_capitolo", "1"},
        {"codice_subarticolo", "010"},
        {"articolo", "Scavo"},
        {"note_articolo", ""},
        {"note_subarticolo", ""},
        {"subarticolo", "fino a 2 m"},
        {"simbolo", "m³"},
        {"prezzo_lordo", "12.5"},
        {"incidenza_manodopera", "27.5"},
        {"somma_manodopera", "3.44"},
    };
    QByteArrayList fields;
    for (const auto& [name, value] : defaults) {
        const auto changed = changes.find(name);
        fields << (changed == changes.end() ? QByteArray(value) : changed->second);
    }
    return fields.join(',') + '\n';
}

QByteArray secondRow(const std::map<std::string, QByteArray>& changes = {})
{
    std::map<std::string, QByteArray> all = {
        {"sequenza", "2"}, {"codice_totale", "01.A01.A01.020"}, {"codice_subarticolo", "020"}};
    for (const auto& [name, value] : changes)
        all[name] = value;
    return priceRow(all);
}

struct CsvFault
{
    const char* name;
    const char* file;
    QByteArray content;   // replaces the file; a null array deletes it
    QStringList expected; // pieces the message must contain
};

void PrintTo(const CsvFault& fault, std::ostream* os)
{
    *os << fault.name;
}

std::string faultName(const ::testing::TestParamInfo<CsvFault>& info)
{
    return info.param.name;
}

class CsvFaults : public ::testing::TestWithParam<CsvFault>
{
};

const QString kLine = QStringLiteral("riga %1");

QString column(const char* name)
{
    return QStringLiteral("colonna \"%1\"").arg(QString::fromLatin1(name));
}

} // namespace

TEST_P(CsvFaults, refusedWithFileLineAndColumnAndNothingWritten)
{
    const CsvFault& fault = GetParam();
    QMap<QString, QByteArray> files = validCsvFiles();
    if (fault.content.isNull())
        files.remove(QString::fromLatin1(fault.file));
    else
        files[QString::fromLatin1(fault.file)] = fault.content;
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);

    QTemporaryDir outDir;
    const QString out = QDir(outDir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    try {
        builder::buildFromCsv(csvDir.path(), out);
        FAIL() << "accepted";
    } catch (const builder::BuildError& e) {
        EXPECT_TRUE(e.text().contains(QString::fromLatin1(fault.file))) << e.text().toStdString();
        for (const QString& piece : fault.expected)
            EXPECT_TRUE(e.text().contains(piece))
                << "missing \"" << piece.toStdString() << "\" in " << e.text().toStdString();
    }
    EXPECT_TRUE(filesIn(outDir.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Prices, CsvFaults,
    ::testing::Values(
        CsvFault{"quoteInsideAnUnquotedField",
                 "prezzario.csv",
                 kPriceHeader + priceRow() + secondRow({{"capitolo", "Sca\"vi"}}),
                 {kLine.arg(3), QStringLiteral("CSV non valido")}},
        CsvFault{"textAfterTheClosingQuote",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"capitolo", "\"Scavi\"x"}}),
                 {kLine.arg(2), QStringLiteral("virgolette")}},
        CsvFault{"quoteNeverClosed",
                 "prezzario.csv",
                 kPriceHeader + priceRow() + secondRow({{"articolo", "\"Scavo"}}),
                 {kLine.arg(3), QStringLiteral("mai chiuse")}},
        CsvFault{"fieldMissing",
                 "prezzario.csv",
                 kPriceHeader + priceRow().replace(",m³,", ","),
                 {kLine.arg(2), QStringLiteral("18 campi invece dei 19")}},
        CsvFault{"zeroSequence",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"sequenza", "0"}}),
                 {kLine.arg(2), column("sequenza"), QStringLiteral("maggiore di zero")}},
        CsvFault{"nullChapterPosition",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"seq_capitolo", ""}}),
                 {kLine.arg(2), column("seq_capitolo"), QStringLiteral("valore mancante")}},
        CsvFault{"fractionalSequence",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"sequenza", "1.5"}}),
                 {kLine.arg(2), column("sequenza"), QStringLiteral("numero intero non valido \"1.5\"")}},
        CsvFault{"sequenceUsedTwice",
                 "prezzario.csv",
                 kPriceHeader + priceRow() + secondRow({{"sequenza", "1"}}),
                 {kLine.arg(3), column("sequenza"), QStringLiteral("alla riga 2")}},
        CsvFault{"codeUsedTwice",
                 "prezzario.csv",
                 kPriceHeader + priceRow() +
                     secondRow({{"codice_totale", "01.A01.A01.010"}, {"codice_subarticolo", "010"}}),
                 {kLine.arg(3), column("codice_totale"), QStringLiteral("alla riga 2")}},
        CsvFault{"fullCodeNotMadeOfTheParts",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_totale", "01.A01.A02.010"}}),
                 {kLine.arg(2), column("codice_totale"), QStringLiteral("01.A01.A01.010")}},
        CsvFault{"shortChapterCode",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_capitolo", "A1"}, {"codice_totale", "01.A1.A01.010"}}),
                 {kLine.arg(2), column("codice_capitolo"), QStringLiteral("3 caratteri")}},
        CsvFault{"longSectionCode",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_sezione", "001"}, {"codice_totale", "001.A01.A01.010"}}),
                 {kLine.arg(2), column("codice_sezione"), QStringLiteral("2 caratteri")}},
        CsvFault{
            "lowerCaseCode",
            "prezzario.csv",
            kPriceHeader + priceRow({{"codice_capitolo", "a01"}, {"codice_totale", "01.a01.A01.010"}}),
            {kLine.arg(2), column("codice_capitolo"), QStringLiteral("«a» (U+0061)"), QStringLiteral("maiuscolo")}},
        CsvFault{"nulInACode",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_articolo", QByteArray("A\0001", 4)}}),
                 {kLine.arg(2), column("codice_articolo"), QStringLiteral("U+0000")}},
        CsvFault{"emojiCode",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_subarticolo", "\"\xF0\x9F\x8F\x97\""}}),
                 {kLine.arg(2), column("codice_subarticolo"), QStringLiteral("U+1F3D7")}},
        CsvFault{"quoteInACode",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_sezione", "0'"}, {"codice_totale", "0'.A01.A01.010"}}),
                 {kLine.arg(2), column("codice_sezione"), QStringLiteral("«'» (U+0027)")}},
        CsvFault{"accentedCode",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"codice_capitolo", "È01"}, {"codice_totale", "01.È01.A01.010"}}),
                 {kLine.arg(2), column("codice_capitolo"), QStringLiteral("«È» (U+00C8)")}},
        CsvFault{"decimalComma",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"prezzo_lordo", "\"12,5\""}}),
                 {QStringLiteral("prezzario.csv, riga 2, colonna \"prezzo_lordo\": numero non valido \"12,5\"")}},
        CsvFault{"wordForANumber",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"incidenza_manodopera", "circa"}}),
                 {kLine.arg(2), column("incidenza_manodopera"), QStringLiteral("\"circa\"")}},
        CsvFault{"infinityForANumber",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"somma_manodopera", "inf"}}),
                 {kLine.arg(2), column("somma_manodopera")}},
        CsvFault{"priceBeyondABillion",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"prezzo_lordo", "1e308"}}),
                 {kLine.arg(2), column("prezzo_lordo"), QStringLiteral("supera 1.000.000.000")}},
        CsvFault{"emptyTextForANumber",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"prezzo_lordo", "\"\""}}),
                 {kLine.arg(2), column("prezzo_lordo"), QStringLiteral("numero non valido")}},
        CsvFault{"bytesThatAreNotUtf8",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"sezione", "Opere \xE8"}}),
                 {kLine.arg(2), column("sezione"), QStringLiteral("UTF-8")}},
        CsvFault{"lineCountIncludesMultiLineFields",
                 "prezzario.csv",
                 kPriceHeader + priceRow({{"subarticolo", "\"prima riga\nseconda riga\""}}) +
                     secondRow({{"prezzo_lordo", "x"}}),
                 {kLine.arg(4), column("prezzo_lordo")}},
        CsvFault{"lineCountIncludesBlankLines",
                 "prezzario.csv",
                 kPriceHeader + priceRow() + "\n\n" + secondRow({{"seq_capitolo", ""}}),
                 {kLine.arg(5), column("seq_capitolo")}},
        CsvFault{"unknownColumn",
                 "prezzario.csv",
                 QByteArray(kPriceHeader).replace("somma_manodopera", "somma_manodopera,colore") +
                     priceRow().replace("\n", ",rosso\n"),
                 {kLine.arg(1), QStringLiteral("colonna sconosciuta \"colore\"")}},
        CsvFault{"missingColumn",
                 "prezzario.csv",
                 QByteArray(kPriceHeader).replace(",somma_manodopera", "") + priceRow().replace(",3.44", ""),
                 {kLine.arg(1), QStringLiteral("manca la colonna \"somma_manodopera\"")}},
        CsvFault{"headerOnly", "prezzario.csv", kPriceHeader, {QStringLiteral("nessuna riga di dati")}},
        CsvFault{"emptyFile", "prezzario.csv", QByteArray(""), {kLine.arg(1), QStringLiteral("file vuoto")}},
        CsvFault{"missingFile", "prezzario.csv", QByteArray(), {QStringLiteral("File mancante")}}),
    faultName);

INSTANTIATE_TEST_SUITE_P(
    SmallTables, CsvFaults,
    ::testing::Values(
        CsvFault{"noYearRow", "anno_prezzario.csv", "ANNO_PREZZARIO\n", {QStringLiteral("manca la riga")}},
        CsvFault{"emptyYear", "anno_prezzario.csv", "ANNO_PREZZARIO\n\"\"\n", {kLine.arg(2), column("ANNO_PREZZARIO")}},
        CsvFault{"twoYears",
                 "anno_prezzario.csv",
                 "ANNO_PREZZARIO\n2020\n2021\n",
                 {kLine.arg(3), QStringLiteral("una sola riga")}},
        CsvFault{"missingYearFile", "anno_prezzario.csv", QByteArray(), {QStringLiteral("File mancante")}},
        CsvFault{"premessaKeyTwice",
                 "premesse.csv",
                 "codice_sezione,premessa,premessa2,premessa3\n01,Uno,,\nPrefazione,Testo,,\n01,Due,,\n",
                 {kLine.arg(4), column("codice_sezione"), QStringLiteral("alla riga 2")}},
        CsvFault{"premessaWithoutKey",
                 "premesse.csv",
                 "codice_sezione,premessa,premessa2,premessa3\n,Testo,,\n",
                 {kLine.arg(2), column("codice_sezione")}},
        CsvFault{"premesseColumnMissing",
                 "premesse.csv",
                 "codice_sezione,premessa,premessa2\n01,Uno,\n",
                 {kLine.arg(1), QStringLiteral("manca la colonna \"premessa3\"")}},
        CsvFault{"manualTopicTwice",
                 "manuale.csv",
                 "titolo,Descrizione\nRicerca,Uno\nRicerca,Due\n",
                 {kLine.arg(3), column("titolo"), QStringLiteral("alla riga 2")}},
        CsvFault{"manualColumnTwice",
                 "manuale.csv",
                 "titolo,titolo,Descrizione\nA,B,C\n",
                 {kLine.arg(1), QStringLiteral("colonna \"titolo\" ripetuta")}},
        CsvFault{"manualColumnWithoutName",
                 "manuale.csv",
                 "titolo,,Descrizione\nA,B,C\n",
                 {kLine.arg(1), QStringLiteral("non ha nome")}},
        CsvFault{"manualRowTooLong",
                 "manuale.csv",
                 "titolo,Descrizione\nA,B,C\n",
                 {kLine.arg(2), QStringLiteral("3 campi invece dei 2")}}),
    faultName);

TEST(CsvFaultsOutput, anExistingDatabaseIsLeftUntouched)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files[QStringLiteral("prezzario.csv")] = kPriceHeader + priceRow() + secondRow({{"sequenza", "-2"}});
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);

    QTemporaryDir outDir;
    const QByteArray previous = "il database di ieri";
    writeCsvFolder(outDir.path(), {{QStringLiteral("Prezzario.mdb"), previous}});
    const QString out = QDir(outDir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    EXPECT_THROW(builder::buildFromCsv(csvDir.path(), out), builder::BuildError);
    EXPECT_EQ(readFile(out), previous);
    EXPECT_EQ(filesIn(outDir.path()), QStringList{QStringLiteral("Prezzario.mdb")});
}

TEST(CsvFaultsOutput, aMissingFolderIsNamed)
{
    QTemporaryDir outDir;
    const QString missing = QDir(outDir.path()).filePath(QStringLiteral("nessuna"));
    try {
        builder::buildFromCsv(missing, QDir(outDir.path()).filePath(QStringLiteral("Prezzario.mdb")));
        FAIL() << "accepted";
    } catch (const builder::BuildError& e) {
        EXPECT_TRUE(e.text().contains(missing)) << e.text().toStdString();
    }
    EXPECT_TRUE(filesIn(outDir.path()).isEmpty());
}
