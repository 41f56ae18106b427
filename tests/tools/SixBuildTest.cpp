// Price lists written in the SIX format by the tests, built with --from-six: the rows, texts, units, prices and
// labour shares of the file, every product accounted for, and broken or foreign files refused with their line.
#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "tools/build/SixSource.h"

#include <gtest/gtest.h>

using namespace buildertest;

namespace {

// Two price lists, two languages, headings at three depths, an article folded from a five-segment code, a
// priced product of three segments, one of five under a priced product (its article would be "A01010") and a
// section heading nothing belongs to: the last three make no row.
const QByteArray kListino = R"(<?xml version="1.0" encoding="UTF-8"?>
<Documento xmlns="six.xsd">
  <prezzario anno="2023">
    <unitaDiMisura unitaDiMisuraId="1" simbolo="m³"/>
    <unitaDiMisura unitaDiMisuraId="2" simbolo="kg"/>
    <listaQuotazione listaQuotazioneId="L24" descrizione="Prezzi 2024" anno="2024"/>
    <listaQuotazione listaQuotazioneId="L25" descrizione="Prezzi 2025"/>
    <prodotto prdId="01">
      <prdDescrizione lingua="it" breve="Opere edili" estesa="Opere edili e stradali"/>
      <prdDescrizione lingua="de" breve="Hochbau"/>
    </prodotto>
    <prodotto prdId="01.A01">
      <prdDescrizione lingua="de" breve="Aushub"/>
      <prdDescrizione lingua="it" breve="Scavi"/>
    </prodotto>
    <prodotto prdId="01.A01.A01">
      <prdDescrizione lingua="it" breve="Scavo a sezione obbligata"/>
      <prdDescrizione lingua="de" breve="Grabenaushub"/>
    </prodotto>
    <prodotto prdId="01.A01.A01.010" unitaDiMisuraId="1">
      <prdDescrizione lingua="it" breve="fino a 1,5 m" estesa="fino a 1,5 m di profondità"/>
      <prdDescrizione lingua="de" breve="bis 1,5 m"/>
      <prdQuotazione listaQuotazioneId="L24" valore="12.50"/>
      <prdQuotazione listaQuotazioneId="L25" valore="13.10"/>
      <incidenzaManodopera>27.5</incidenzaManodopera>
    </prodotto>
    <prodotto prdId="01.A01.A01.010.01" unitaDiMisuraId="1">
      <prdDescrizione lingua="it" breve="sotto una voce con prezzo"/>
      <prdDescrizione lingua="de" breve="unter einem Preis"/>
      <prdQuotazione listaQuotazioneId="L24" valore="3.00"/>
      <prdQuotazione listaQuotazioneId="L25" valore="3.10"/>
    </prodotto>
    <prodotto prdId="01.A01.010" unitaDiMisuraId="1">
      <prdDescrizione lingua="it" breve="voce a tre livelli"/>
      <prdDescrizione lingua="de" breve="dreistufig"/>
      <prdQuotazione listaQuotazioneId="L24" valore="1.00"/>
      <prdQuotazione listaQuotazioneId="L25" valore="1.10"/>
    </prodotto>
    <prodotto prdId="01.A01.B.02">
      <prdDescrizione lingua="it" breve="Ferro"/>
      <prdDescrizione lingua="de" breve="Eisen"/>
    </prodotto>
    <prodotto prdId="01.A01.B.02.010" unitaDiMisuraId="2" incidenzaManodopera="10">
      <prdDescrizione lingua="it" breve="tondino"/>
      <prdDescrizione lingua="de" breve="Rundstahl"/>
      <prdQuotazione listaQuotazioneId="L24" valore="2.40"/>
      <prdQuotazione listaQuotazioneId="L25" valore="2.60"/>
    </prodotto>
    <prodotto prdId="02">
      <prdDescrizione lingua="it" breve="Impianti"/>
      <prdDescrizione lingua="de" breve="Anlagen"/>
    </prodotto>
  </prezzario>
</Documento>
)";

qint64 lineOf(const QByteArray& xml, const QByteArray& text)
{
    return xml.left(xml.indexOf(text)).count('\n') + 1;
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& data)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

QString buildError(const QString& path, const builder::SixOptions& options, const QString& out)
{
    try {
        builder::buildFrom(builder::SixSource(path, options).source(), out);
    } catch (const builder::BuildError& error) {
        return error.text();
    }
    return {};
}

} // namespace

TEST(SixBuild, eachPriceListAndLanguageBuildsTheRowsOfTheFile)
{
    using Row = QVariantList;
    const QVariant null;
    struct Case
    {
        const char* quotation;
        const char* language;
        std::optional<qint64> year;
        qint64 expectedYear;
        QList<Row> rows; // codice_totale, sezione, note_sezione, capitolo, articolo, subarticolo, note_subarticolo,
                         // simbolo, prezzo_lordo, incidenza_manodopera, somma_manodopera
    };
    const QString m3 = QStringLiteral("m³");
    const Case cases[] = {
        {"L24",
         "it",
         std::nullopt,
         2024,
         {{QStringLiteral("01.A01.A01.010"), QStringLiteral("Opere edili"), QStringLiteral("Opere edili e stradali"),
           QStringLiteral("Scavi"), QStringLiteral("Scavo a sezione obbligata"), QStringLiteral("fino a 1,5 m"),
           QStringLiteral("fino a 1,5 m di profondità"), m3, 12.5, 27.5, 3.44},
          {QStringLiteral("01.A01.B02.010"), QStringLiteral("Opere edili"), QStringLiteral("Opere edili e stradali"),
           QStringLiteral("Scavi"), QStringLiteral("Ferro"), QStringLiteral("tondino"), null, QStringLiteral("kg"), 2.4,
           10.0, 0.24}}},
        // The second list gives no year: the document's, unless --anno says otherwise.
        {"L25",
         "de",
         std::nullopt,
         2023,
         {{QStringLiteral("01.A01.A01.010"), QStringLiteral("Hochbau"), null, QStringLiteral("Aushub"),
           QStringLiteral("Grabenaushub"), QStringLiteral("bis 1,5 m"), null, m3, 13.1, 27.5, 3.6},
          {QStringLiteral("01.A01.B02.010"), QStringLiteral("Hochbau"), null, QStringLiteral("Aushub"),
           QStringLiteral("Eisen"), QStringLiteral("Rundstahl"), null, QStringLiteral("kg"), 2.6, 10.0, 0.26}}},
        {"L25", "it", 2031, 2031, {}},
    };
    // The products stand past the first buffers the reader fills.
    const QString padded = QString::fromUtf8(QByteArray(kListino).replace(
        "<prezzario ", QByteArray("<!--" + QByteArray(64 * 1024, 'x') + "-->\n  <prezzario ")));
    // The same list in the encodings a file may declare or mark: each builds the same rows.
    const auto encoded = [&](const char* name, QStringConverter::Encoding encoding, bool mark) -> QByteArray {
        QString text = padded;
        text.replace(QStringLiteral("encoding=\"UTF-8\""), QStringLiteral("encoding=\"%1\"").arg(QLatin1String(name)));
        QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return encoder(text);
    };
    const std::pair<const char*, QByteArray> files[] = {
        {"UTF-8", padded.toUtf8()},
        {"UTF-16LE with a mark", encoded("UTF-16", QStringConverter::Utf16LE, true)},
        {"UTF-16BE without", encoded("UTF-16", QStringConverter::Utf16BE, false)},
        {"ISO-8859-1", encoded("ISO-8859-1", QStringConverter::Latin1, false)},
    };
    QTemporaryDir dir;
    for (const auto& [encoding, bytes] : files) {
        const QString path = writeFile(dir, "listino.xml", bytes);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.quotation) + ", " + encoding);
            builder::SixOptions options;
            options.quotation = QString::fromLatin1(c.quotation);
            options.language = QString::fromLatin1(c.language);
            options.year = c.year;
            const builder::SixSource six(path, options);
            const QString out = dir.filePath(QStringLiteral("listino.mdb"));
            const builder::BuildSummary summary = builder::buildFrom(six.source(), out);
            EXPECT_EQ(summary.year, c.expectedYear);
            EXPECT_EQ(six.products(), 9);
            EXPECT_EQ(six.rows(), 2);
            EXPECT_EQ(six.headings(), 4);
            const core::Database db = openBuilt(out);
            EXPECT_EQ(scalar(db, QStringLiteral("select ANNO_PREZZARIO from anno_prezzario")).toLongLong(),
                      c.expectedYear);
            if (!c.rows.isEmpty()) {
                EXPECT_EQ(readAll(db, QStringLiteral("select codice_totale, sezione, note_sezione, capitolo, articolo, "
                                                     "subarticolo, note_subarticolo, simbolo, prezzo_lordo, "
                                                     "incidenza_manodopera, somma_manodopera from prezzario "
                                                     "order by sequenza")),
                          c.rows);
            }
        }
    }
}

TEST(SixBuild, checkListsEveryProductThatBecameNoRow)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "listino.xml", kListino);
    const ToolRun run = runTool(QStringList{QStringLiteral("--from-six"), path, QStringLiteral("--quotazione"),
                                            QStringLiteral("L24"), QStringLiteral("--check")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("9 prodotti nel file: 2 subarticoli, 4 titoli di livello, 3 senza riga")))
        << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("per l'articolo, il codice deve avere 3 caratteri, trovato \"A01010\"")))
        << run.err.toStdString();
    const char* const leftOut[] = {"01.A01.010", "01.A01.A01.010.01", "02"};
    for (const char* code : leftOut)
        EXPECT_TRUE(run.err.contains(QStringLiteral("senza riga: riga %1, prodotto %2: ")
                                         .arg(lineOf(kListino, QByteArray("prdId=\"") + code + '"'))
                                         .arg(QString::fromLatin1(code))))
            << code << run.err.toStdString();
}

TEST(SixBuild, brokenAndForeignFilesAreRefusedWithTheirLineAndNothingIsWritten)
{
    struct Case
    {
        const char* name;
        QByteArray data;
        builder::SixOptions options;
        QString expected;
    };
    builder::SixOptions chosen;
    chosen.quotation = QStringLiteral("L24");
    const qsizetype cut = kListino.indexOf("<prodotto prdId=\"01.A01.B.02\">");
    // An element left open: the end tag of its product is the first that does not match.
    QByteArray malformed = kListino;
    malformed.replace("valore=\"1.00\"/>", "valore=\"1.00\">");
    std::vector<Case> cases = {
        {"malformed.xml", malformed, chosen,
         QStringLiteral("«%1», riga ") + QString::number(lineOf(malformed, "valore=\"1.10\"") + 1) +
             QStringLiteral(", colonna 15: XML non valido")},
        {"truncated.xml", kListino.left(cut), chosen,
         QStringLiteral(": il file finisce prima di chiudere i suoi elementi")},
        {"foreign.xml", "<?xml version=\"1.0\"?>\n<PweDocumento><PweElencoPrezzi/></PweDocumento>\n", chosen,
         QStringLiteral("«%1», riga 2: l'elemento principale è \"PweDocumento\"")},
        {"binary.xml", QByteArray("PK\x03\x04\x14\x00\x06\x00", 8), chosen,
         QStringLiteral("«%1», riga 1: non è un file XML")},
        {"external-entity.xml",
         QByteArray(kListino)
             .replace("<Documento", "<!DOCTYPE Documento [<!ENTITY nota SYSTEM \"nota.txt\">]>\n<Documento")
             .replace("27.5</incidenza", "27.5&nota;</incidenza"),
         chosen,
         QStringLiteral("«%1», riga ") + QString::number(lineOf(kListino, "27.5</incidenza") + 1) +
             QStringLiteral(": il testo usa l'entità &nota;, che rimanda al file esterno «nota.txt»")},
        {"long-text.xml",
         QByteArray(kListino).replace("breve=\"Ferro\"", QByteArray("breve=\"" + QByteArray(2'000'000, 'F') + "\"")),
         chosen,
         QStringLiteral("«%1», riga ") + QString::number(lineOf(kListino, "breve=\"Ferro\"")) +
             QStringLiteral(": l'attributo breve ha 2000000 caratteri, oltre il limite di 1.048.576 caratteri")},
        {"two-lists.xml",
         kListino,
         {},
         QStringLiteral("contiene 2 listini di prezzi: sceglierne uno con --quotazione ID\n"
                        "  --quotazione L24  Prezzi 2024 (anno 2024)\n"
                        "  --quotazione L25  Prezzi 2025")},
    };
    // A refusal names the first hundred lists with what identifies them, then says how many more there are.
    QByteArray manyLists = kListino;
    QString shownLists = QStringLiteral("contiene 151 listini di prezzi: sceglierne uno con --quotazione ID\n"
                                        "  --quotazione L24  Prezzi 2024 (anno 2024)\n"
                                        "  --quotazione L25  Prezzi 2025");
    for (int i = 1; i <= 149; ++i) {
        manyLists.replace("<prodotto prdId=\"01\">", QStringLiteral("<listaQuotazione listaQuotazioneId=\"X%1\" "
                                                                    "lqtId=\"Q%1\"/>\n<prodotto prdId=\"01\">")
                                                         .arg(i)
                                                         .toUtf8());
        if (i <= 98)
            shownLists += QStringLiteral("\n  --quotazione X%1  lqtId Q%1").arg(i);
    }
    shownLists += QStringLiteral("\n  … e altri 51 listini");
    cases.push_back({"many-lists.xml", manyLists, {}, shownLists});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = writeFile(dir, c.name, c.data);
        const QString error = buildError(path, c.options, dir.filePath(QStringLiteral("listino.mdb")));
        EXPECT_TRUE(error.contains(c.expected.contains(u'%') ? c.expected.arg(path) : c.expected))
            << error.toStdString();
        EXPECT_EQ(error.count(u'\n'), c.expected.count(u'\n')) << error.toStdString();
        EXPECT_EQ(filesIn(dir.path()), QStringList{QString::fromLatin1(c.name)});
    }
}

TEST(SixBuild, everyProblemOfTheProductsIsReportedAtOnceWithItsLineAndCode)
{
    QByteArray xml = kListino;
    xml.replace("anno=\"2023\"", "")
        .replace("anno=\"2024\"", "")
        .replace("valore=\"12.50\"", "valore=\"12,50\"")
        .replace("valore=\"2.40\"", "valore=\"-2.40\"")
        .replace("unitaDiMisuraId=\"2\" incidenzaManodopera=\"10\"",
                 "unitaDiMisuraId=\"9\" incidenzaManodopera=\"100.5\"")
        .replace("<prdDescrizione lingua=\"it\" breve=\"Scavi\"/>", "");
    QTemporaryDir dir;
    const QString path = writeFile(dir, "listino.xml", xml);
    builder::SixOptions options;
    options.quotation = QStringLiteral("L24");
    const QString error = buildError(path, options, dir.filePath(QStringLiteral("listino.mdb")));
    const auto at = [&](const char* needle, const char* code) {
        return QStringLiteral("«listino.xml», riga %1, colonna 5 (prodotto %2)")
            .arg(lineOf(xml, needle))
            .arg(QString::fromLatin1(code));
    };
    const QString expected[] = {
        QStringLiteral("«listino.xml»: il file non dice l'anno del prezzario"),
        at("prdId=\"01.A01\"", "01.A01") + QStringLiteral(": manca la descrizione (prdDescrizione) in lingua «it» "
                                                          "(lingue presenti: de)"),
        at("prdId=\"01.A01.A01.010\"", "01.A01.A01.010") +
            QStringLiteral(", colonna \"capitolo\": manca il capitolo \"01.A01\""),
        at("prdId=\"01.A01.B.02.010\"", "01.A01.B.02.010") +
            QStringLiteral(", colonna \"capitolo\": manca il capitolo \"01.A01\""),
        at("prdId=\"01.A01.A01.010\"", "01.A01.A01.010") +
            QStringLiteral(", colonna \"prezzo_lordo\": numero non valido \"12,50\""),
        at("prdId=\"01.A01.B.02.010\"", "01.A01.B.02.010") +
            QStringLiteral(", colonna \"simbolo\": unità di misura \"9\" non dichiarata"),
        at("prdId=\"01.A01.B.02.010\"", "01.A01.B.02.010") +
            QStringLiteral(", colonna \"incidenza_manodopera\": l'incidenza \"100.5\" è fuori dall'intervallo"),
        at("prdId=\"01.A01.B.02.010\"", "01.A01.B.02.010") +
            QStringLiteral(", colonna \"prezzo_lordo\": il valore \"-2.40\" è negativo"),
    };
    for (const QString& line : expected)
        EXPECT_TRUE(error.contains(line)) << line.toStdString() << "\n" << error.toStdString();
    EXPECT_EQ(error.count(u'\n') + 1, qsizetype(std::size(expected))) << error.toStdString();
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("listino.xml")});
}
