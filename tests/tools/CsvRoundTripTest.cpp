#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "tools/build/ListSource.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace buildertest;

namespace {

QString databaseIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
}

// RFC 4180 text of a value as another tool would write it: Null as an unquoted empty field, text
// always quoted, numbers in full precision.
QByteArray csvField(const QVariant& value)
{
    if (!value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
        return QByteArray::number(value.toDouble(), 'g', 17);
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QByteArray::number(value.toLongLong());
    default:
        break;
    }
    QByteArray text = value.toString().toUtf8();
    text.replace("\"", "\"\"");
    return '"' + text + '"';
}

// Writes a table with its columns in the given order (not necessarily the table's own).
QByteArray exportTable(const core::Database& db, const QString& table, const QStringList& columns)
{
    QByteArray csv = columns.join(u',').toUtf8() + "\r\n";
    for (const QVariantList& row : readAll(db, QStringLiteral("select %1 from %2").arg(columns.join(u','), table))) {
        QByteArrayList fields;
        for (const QVariant& value : row)
            fields << csvField(value);
        csv += fields.join(',') + "\r\n";
    }
    return csv;
}

QList<QVariantList> everything(const core::Database& db, const QString& table, const QString& order)
{
    return readAll(db, QStringLiteral("select * from %1 order by %2").arg(table, order));
}

} // namespace

TEST(CsvRoundTrip, demoDatabaseSurvivesExportAndImport)
{
    QTemporaryDir demoDir;
    builder::buildDemo({600, 11}, databaseIn(demoDir));
    const core::Database demo = openBuilt(databaseIn(demoDir));

    QStringList priceColumns;
    core::Recordset rs = demo.OpenRecordset(QStringLiteral("select * from prezzario"));
    for (int i = 0; i < rs.FieldCount(); ++i)
        priceColumns << rs.FieldName(i);
    rs.Close();
    std::reverse(priceColumns.begin(), priceColumns.end());

    QTemporaryDir csvDir;
    writeCsvFolder(
        csvDir.path(),
        {{QStringLiteral("prezzario.csv"), exportTable(demo, QStringLiteral("prezzario"), priceColumns)},
         {QStringLiteral("anno_prezzario.csv"),
          exportTable(demo, QStringLiteral("anno_prezzario"), {QStringLiteral("ANNO_PREZZARIO")})},
         {QStringLiteral("premesse.csv"), exportTable(demo, QStringLiteral("premesse"),
                                                      {QStringLiteral("premessa3"), QStringLiteral("premessa2"),
                                                       QStringLiteral("premessa"), QStringLiteral("codice_sezione")})},
         {QStringLiteral("manuale.csv"),
          exportTable(demo, QStringLiteral("manuale"), {QStringLiteral("Descrizione"), QStringLiteral("titolo")})}});

    QTemporaryDir outDir;
    builder::buildFromCsv(csvDir.path(), databaseIn(outDir));
    const core::Database copy = openBuilt(databaseIn(outDir));
    EXPECT_EQ(everything(copy, QStringLiteral("prezzario"), QStringLiteral("sequenza")),
              everything(demo, QStringLiteral("prezzario"), QStringLiteral("sequenza")));
    EXPECT_EQ(everything(copy, QStringLiteral("anno_prezzario"), QStringLiteral("1")),
              everything(demo, QStringLiteral("anno_prezzario"), QStringLiteral("1")));
    EXPECT_EQ(everything(copy, QStringLiteral("premesse"), QStringLiteral("codice_sezione")),
              everything(demo, QStringLiteral("premesse"), QStringLiteral("codice_sezione")));
    EXPECT_EQ(everything(copy, QStringLiteral("manuale"), QStringLiteral("titolo")),
              everything(demo, QStringLiteral("manuale"), QStringLiteral("titolo")));
}

TEST(CsvRoundTrip, fieldsComeBackExactlyAsWritten)
{
    QTemporaryDir csvDir;
    // BOM, CRLF, columns out of table order, a quoted field across two lines with doubled quotes,
    // blanks kept, Null (unquoted empty) apart from empty text ("").
    const QByteArray prices =
        "\xEF\xBB\xBF"
        "subarticolo,sequenza,codice_totale,codice_sezione,sezione,note_sezione,codice_capitolo,codice_articolo,"
        "capitolo,note_capitolo,seq_capitolo,codice_subarticolo,articolo,note_articolo,note_subarticolo,simbolo,"
        "prezzo_lordo,incidenza_manodopera,somma_manodopera\r\n"
        "\"Posa dell'opera, \"\"tipo A\"\"\r\nsu due righe\",1,01.A01.A05.010,01,Opere edili,\"\",A01,A05,"
        "SCAVI,,1,010,Scavo all'esterno,\"\",,m³,12.5,27.5,3.44\r\n"
        "  con spazi  ,2,20.B03.C07.990,20,\"Opere a verde: già, è, perché\",,B03,C07,Alberi,\"Nota, con virgola\","
        "7,990,Messa a dimora,,\"\",cad,,,\r\n"
        // The section, chapter and article of the first row, with Null where it has empty notes and the reverse:
        // the builder takes them as agreeing, and each row keeps its own.
        "Seconda voce,3,01.A01.A05.020,01,Opere edili,,A01,A05,SCAVI,\"\",1,020,Scavo all'esterno,,,m³,1,,\r\n";
    writeCsvFolder(csvDir.path(),
                   {{QStringLiteral("prezzario.csv"), prices},
                    {QStringLiteral("anno_prezzario.csv"), "anno_prezzario\r\n2021\r\n"},
                    {QStringLiteral("premesse.csv"), "codice_sezione,premessa,premessa2,premessa3\n"
                                                     "Premessa,\"Primo paragrafo.\n\nSecondo paragrafo.\",,\"\"\n"},
                    {QStringLiteral("manuale.csv"), "titolo,Descrizione\n......Capitolo,Perché cercare così\n"}});
    QTemporaryDir outDir;
    builder::buildFromCsv(csvDir.path(), databaseIn(outDir));
    const core::Database db = openBuilt(databaseIn(outDir));

    const QList<QVariantList> rows = readAll(db, QStringLiteral("select * from prezzario order by sequenza"));
    ASSERT_EQ(rows.size(), 3);
    const QVariantList first = {qlonglong(1),
                                QStringLiteral("01.A01.A05.010"),
                                QStringLiteral("01"),
                                QStringLiteral("Opere edili"),
                                QStringLiteral(""),
                                QStringLiteral("A01"),
                                QStringLiteral("A05"),
                                QStringLiteral("SCAVI"),
                                QVariant(),
                                qlonglong(1),
                                QStringLiteral("010"),
                                QStringLiteral("Scavo all'esterno"),
                                QStringLiteral(""),
                                QVariant(),
                                QStringLiteral("Posa dell'opera, \"tipo A\"\r\nsu due righe"),
                                QStringLiteral("m³"),
                                12.5,
                                27.5,
                                3.44};
    EXPECT_EQ(rows[0], first);
    EXPECT_TRUE(rows[0][4].isValid()); // "" is empty text, not Null
    EXPECT_FALSE(rows[0][8].isValid());

    const QVariantList second = {qlonglong(2),
                                 QStringLiteral("20.B03.C07.990"),
                                 QStringLiteral("20"),
                                 QStringLiteral("Opere a verde: già, è, perché"),
                                 QVariant(),
                                 QStringLiteral("B03"),
                                 QStringLiteral("C07"),
                                 QStringLiteral("Alberi"),
                                 QStringLiteral("Nota, con virgola"),
                                 qlonglong(7),
                                 QStringLiteral("990"),
                                 QStringLiteral("Messa a dimora"),
                                 QVariant(),
                                 QStringLiteral(""),
                                 QStringLiteral("  con spazi  "),
                                 QStringLiteral("cad"),
                                 QVariant(),
                                 QVariant(),
                                 QVariant()};
    EXPECT_EQ(rows[1], second);
    EXPECT_FALSE(rows[2][4].isValid());
    EXPECT_EQ(rows[2][8], QVariant(QStringLiteral("")));
    EXPECT_FALSE(rows[2][12].isValid());

    EXPECT_EQ(
        readAll(db, QStringLiteral("select * from premesse")),
        QList<QVariantList>({{QStringLiteral("Premessa"), QStringLiteral("Primo paragrafo.\n\nSecondo paragrafo."),
                              QVariant(), QStringLiteral("")}}));
    EXPECT_EQ(scalar(db, QStringLiteral("select Descrizione from manuale where titolo ='......Capitolo'")),
              QVariant(QStringLiteral("Perché cercare così")));
    EXPECT_EQ(scalar(db, QStringLiteral("select ANNO_PREZZARIO from anno_prezzario")), QVariant(qlonglong(2021)));
}

TEST(CsvRoundTrip, blankLinesBetweenRecordsAreSkipped)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files[QStringLiteral("manuale.csv")] = "titolo,Descrizione\n\nConsultazione,Come consultare\n\r\n\nRicerca,x\n\n";
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);
    QTemporaryDir outDir;
    builder::buildFromCsv(csvDir.path(), databaseIn(outDir));
    EXPECT_EQ(scalar(openBuilt(databaseIn(outDir)), QStringLiteral("select count(*) from manuale")).toInt(), 2);
}

TEST(CsvRoundTrip, missingOptionalFilesGiveEmptyTablesAndAreNamedInTheSummary)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files.remove(QStringLiteral("premesse.csv"));
    files.remove(QStringLiteral("manuale.csv"));
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);

    QTemporaryDir outDir;
    const builder::BuildSummary summary = builder::buildFromCsv(csvDir.path(), databaseIn(outDir));
    EXPECT_EQ(summary.missingTables, QStringList({QStringLiteral("premesse.csv"), QStringLiteral("manuale.csv")}));
    const core::Database db = openBuilt(databaseIn(outDir));
    EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from premesse")).toInt(), 0);
    EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from manuale")).toInt(), 0);
    EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from prezzario")).toInt(), 3);
}
