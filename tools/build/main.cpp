#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include "tools/build/Builder.h"
#include "tools/build/readers/InputLimits.h"
#include "tools/build/ListSource.h"
#include "core/Numbers.h"
#include "tools/build/writer/OutputFile.h"
#include "tools/build/SixSource.h"
#include "tools/build/XpweSource.h"

#include <cstdio>
#include <new>
#include <optional>
#include <unistd.h>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage = R"(Uso:
  prezzario-build --demo [--rows N] [--seed S] --out FILE
  prezzario-build --from-csv DIR [--encoding windows-1252] [--decimal-comma] (--out FILE | --check)
  prezzario-build --from-xlsx FILE (--out FILE | --check)
  prezzario-build --from-xpwe FILE [--anno AAAA] (--out FILE | --check)
  prezzario-build --from-six FILE [--lingua LL] [--quotazione ID] [--anno AAAA] (--out FILE | --check)
  prezzario-build --help

Crea il database cifrato del prezzario (Prezzario.mdb).

  --demo             dati dimostrativi inventati, riproducibili dal seme
  --rows N           numero di subarticoli del prezzario dimostrativo (predefinito 30000)
  --seed S           seme del generatore (predefinito 2021): lo stesso seme dà lo stesso prezzario
  --from-csv DIR     legge prezzario.csv, anno_prezzario.csv e, se presenti, premesse.csv e
                     manuale.csv dalla cartella DIR (riga di intestazione con i nomi delle colonne;
                     campi separati da virgola o da punto e virgola, riconosciuti dall'intestazione)
  --encoding NOME    codifica dei file CSV: utf-8 (predefinita) o windows-1252
  --decimal-comma    numeri con la virgola decimale anche nei file separati da virgole
                     (nei file separati da punto e virgola la virgola decimale è la regola)
  --from-xlsx FILE   legge le stesse tabelle dai fogli prezzario, anno_prezzario, premesse e
                     manuale di una cartella di lavoro .xlsx o .ods
  --from-xpwe FILE   legge l'elenco prezzi (PweElencoPrezzi, voci EPItem) di un file XPWE; sezioni,
                     capitoli e articoli dalla struttura dei capitoli (PweDGCapitoliCategorie),
                     altrimenti dalle parti del codice (Tariffa) e dalle voci senza prezzo
  --from-six FILE    legge un prezzario nel formato SIX (XML, elemento principale Documento):
                     i prodotti con prezzo diventano subarticoli, quelli senza prezzo i titoli di
                     sezione, capitolo e articolo indicati dal loro codice
  --lingua LL        lingua delle descrizioni SIX (prdDescrizione/@lingua, predefinita it)
  --quotazione ID    listino dei prezzi SIX da usare (listaQuotazioneId) se il file ne ha più d'uno
  --anno AAAA        anno del prezzario; prevale su quello scritto nel file
  --out FILE         file da creare; un file esistente è sostituito solo a costruzione riuscita
  --check            controlla le tabelle senza scrivere alcun database
  -h, --help         mostra questo aiuto

Ogni errore delle tabelle è segnalato con file (o foglio), riga e colonna, fino a 100
(per un file XPWE anche la Tariffa della voce).
Stato di uscita: 0 database completo (o tabelle corrette con --check), 1 errore, 2 uso errato.
)";

// The whole text, whatever it holds: printf would stop at a NUL.
void printLine(const QString& text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void printError(const QString& text)
{
    printLine(QStringLiteral("prezzario-build: ") + text);
}

// The first argument that is not UTF-8, escaped for the message; empty when all are. A file name of other
// bytes would reach the file system changed, and the file would seem missing.
QString argumentNotUtf8(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // The decoding runs when its result is taken.
        const QString decoded = decoder(QByteArrayView(argv[i]));
        if (decoder.hasError())
            return builder::shownFileName(QByteArray(argv[i]));
    }
    return {};
}

int usageError(const QString& text)
{
    printError(text);
    std::fprintf(stderr, "Usare --help per l'elenco delle opzioni.\n");
    return kExitUsage;
}

// A percentage on one rewritten line on a terminal; in a log, one line every ten per cent.
class ProgressLine
{
public:
    ProgressLine() : m_terminal(::isatty(STDERR_FILENO) != 0) {}

    void operator()(qint64 done, qint64 total)
    {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (m_terminal) {
            if (percent != m_shown)
                std::fprintf(stderr, "\rCostruzione del database: %3d%%", percent);
        } else if (m_shown < 0 || percent / 10 > m_shown / 10) {
            std::fprintf(stderr, "Costruzione del database: %d%%\n", percent / 10 * 10);
        }
        m_shown = percent;
    }

    void end()
    {
        if (m_terminal && m_shown >= 0)
            std::fputc('\n', stderr);
        m_shown = -1;
    }

private:
    bool m_terminal;
    int m_shown = -1;
};

} // namespace

int main(int argc, char* argv[])
{
    core::useNeutralNumericLocale();
    const QString notUtf8 = argumentNotUtf8(argc, argv);
    if (!notUtf8.isEmpty()) {
        printError(QStringLiteral("il nome «%1» non è scritto in UTF-8 (i byte non validi sono mostrati come \\xHH): "
                                  "rinominare il file o la cartella con un nome UTF-8")
                       .arg(notUtf8));
        return kExitFailed;
    }
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption demo(QStringLiteral("demo"), QString());
    const QCommandLineOption rows(QStringLiteral("rows"), QString(), QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("S"));
    const QCommandLineOption fromCsv(QStringLiteral("from-csv"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption fromXlsx({QStringLiteral("from-xlsx"), QStringLiteral("from-ods")}, QString(),
                                      QStringLiteral("FILE"));
    const QCommandLineOption fromXpwe(QStringLiteral("from-xpwe"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption year(QStringLiteral("anno"), QString(), QStringLiteral("AAAA"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("NOME"));
    const QCommandLineOption decimalComma(QStringLiteral("decimal-comma"), QString());
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption check(QStringLiteral("check"), QString());
    const QCommandLineOption fromSix(QStringLiteral("from-six"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption language(QStringLiteral("lingua"), QString(), QStringLiteral("LL"));
    const QCommandLineOption quotation(QStringLiteral("quotazione"), QString(), QStringLiteral("ID"));
    parser.addOptions({help, demo, rows, seed, fromCsv, fromXlsx, fromXpwe, fromSix, language, quotation, year, encoding,
                       decimalComma, out, check});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("argomento inatteso: %1").arg(parser.positionalArguments().first()));
    if (int(parser.isSet(demo)) + int(parser.isSet(fromCsv)) + int(parser.isSet(fromXlsx)) +
            int(parser.isSet(fromXpwe)) + int(parser.isSet(fromSix)) !=
        1)
        return usageError(QStringLiteral("indicare una sola sorgente: --demo, --from-csv DIR, --from-xlsx FILE, "
                                         "--from-xpwe FILE oppure --from-six FILE"));
    if (parser.isSet(check) && parser.isSet(demo))
        return usageError(QStringLiteral("--check vale con --from-csv, --from-xlsx, --from-xpwe e --from-six"));
    if (parser.isSet(check) && parser.isSet(out))
        return usageError(QStringLiteral("--check non scrive alcun database: togliere --out"));
    if (!parser.isSet(check) && (!parser.isSet(out) || parser.value(out).isEmpty()))
        return usageError(QStringLiteral("manca --out FILE (oppure --check per controllare senza scrivere)"));
    if (!parser.isSet(demo) && (parser.isSet(rows) || parser.isSet(seed)))
        return usageError(QStringLiteral("--rows e --seed valgono solo con --demo"));
    if (!parser.isSet(fromCsv) && (parser.isSet(encoding) || parser.isSet(decimalComma)))
        return usageError(QStringLiteral("--encoding e --decimal-comma valgono solo con --from-csv"));

    if (!parser.isSet(fromSix) && (parser.isSet(language) || parser.isSet(quotation)))
        return usageError(QStringLiteral("--lingua e --quotazione valgono solo con --from-six"));
    if (parser.isSet(year) && !parser.isSet(fromXpwe) && !parser.isSet(fromSix))
        return usageError(QStringLiteral("--anno vale solo con --from-xpwe e --from-six"));
    builder::SixOptions six;
    if (parser.isSet(language)) {
        six.language = parser.value(language).trimmed();
        if (six.language.isEmpty())
            return usageError(QStringLiteral("--lingua vuole il codice di una lingua, come it o de"));
    }
    if (parser.isSet(quotation))
        six.quotation = parser.value(quotation);
    std::optional<qint64> listYear;
    if (parser.isSet(year)) {
        static const QRegularExpression fourDigits(QStringLiteral("^[1-9][0-9]{3}$"));
        if (!fourDigits.match(parser.value(year)).hasMatch())
            return usageError(
                QStringLiteral("--anno vuole un anno di quattro cifre, come 2024, non \"%1\"").arg(parser.value(year)));
        listYear = parser.value(year).toLongLong();
        six.year = listYear;
    }

    builder::CsvOptions csv;
    csv.decimalComma = parser.isSet(decimalComma);
    if (parser.isSet(encoding)) {
        const QString name = parser.value(encoding).toLower();
        if (name == u"windows-1252" || name == u"cp1252")
            csv.encoding = builder::CsvOptions::Encoding::Windows1252;
        else if (name != u"utf-8" && name != u"utf8")
            return usageError(
                QStringLiteral("--encoding vuole utf-8 oppure windows-1252, non \"%1\"").arg(parser.value(encoding)));
    }

    builder::DemoOptions options;
    if (parser.isSet(rows)) {
        bool ok = false;
        options.rows = parser.value(rows).toLongLong(&ok);
        if (!ok || options.rows < 1 || options.rows > builder::kMaxDemoRows)
            return usageError(QStringLiteral("--rows vuole un numero intero da 1 a %1, non \"%2\"")
                                  .arg(QString::number(builder::kMaxDemoRows), parser.value(rows)));
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return usageError(
                QStringLiteral("--seed vuole un numero intero da 0 a 4294967295, non \"%1\"").arg(parser.value(seed)));
    }

    const QString outPath = parser.isSet(check) ? QString() : parser.value(out);
    ProgressLine progress;
    const builder::Progress report = [&progress](qint64 done, qint64 total) { progress(done, total); };
    builder::BuildSummary summary;
    std::optional<builder::SixSource> sixSource;
    builder::removeTemporaryFileOnSignals();
    try {
        if (!outPath.isEmpty()) {
            QStringList inputs;
            if (parser.isSet(fromCsv))
                inputs = builder::ListSource::csvFiles(parser.value(fromCsv));
            else if (parser.isSet(fromXlsx))
                inputs << parser.value(fromXlsx);
            else if (parser.isSet(fromXpwe))
                inputs << parser.value(fromXpwe);
            else if (parser.isSet(fromSix))
                inputs << parser.value(fromSix);
            builder::checkOutput(outPath, inputs);
        }
        if (parser.isSet(demo)) {
            builder::buildDemo(options, outPath, report);
        } else if (parser.isSet(fromSix)) {
            sixSource.emplace(parser.value(fromSix), six);
            summary = builder::buildFrom(sixSource->source(), outPath, report);
        } else {
            const builder::ListSource source =
                parser.isSet(fromCsv)    ? builder::ListSource::csvFolder(parser.value(fromCsv), csv)
                : parser.isSet(fromXpwe) ? builder::xpweSource(parser.value(fromXpwe), listYear)
                                         : builder::ListSource::workbook(parser.value(fromXlsx));
            summary = builder::buildFrom(source, outPath, report);
        }
    } catch (const builder::BuildError& e) {
        progress.end();
        printError(e.text());
        return kExitFailed;
    } catch (const std::bad_alloc&) {
        progress.end();
        printError(QStringLiteral("memoria insufficiente: chiudere altri programmi e riprovare. Nessun file è stato "
                                  "scritto."));
        return kExitFailed;
    } catch (const std::exception& e) {
        progress.end();
        printError(QStringLiteral("errore imprevisto (%1). Nessun file è stato scritto.")
                       .arg(QString::fromLocal8Bit(e.what())));
        return kExitFailed;
    }
    progress.end();
    if (parser.isSet(demo)) {
        std::fprintf(stderr, "Creato «%s»\n", QDir::toNativeSeparators(outPath).toLocal8Bit().constData());
        return 0;
    }
    // A SIX file has no preface or manual: their tables are empty by nature, not missing.
    for (const QString& table : sixSource ? QStringList() : summary.missingTables)
        std::fprintf(stderr, "%s assente: la sua tabella è vuota\n", table.toLocal8Bit().constData());
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    if (sixSource) {
        // Every product of the file is accounted for: a row, a heading, or left out with its reason.
        const qint64 leftOut = qint64(sixSource->leftOut().size());
        std::fprintf(stderr, "%s prodotti nel file: %s subarticoli, %s titoli di livello, %s senza riga%s\n",
                     italian.toString(sixSource->products()).toLocal8Bit().constData(),
                     italian.toString(sixSource->rows()).toLocal8Bit().constData(),
                     italian.toString(sixSource->headings()).toLocal8Bit().constData(),
                     italian.toString(leftOut).toLocal8Bit().constData(),
                     leftOut > 0 && !outPath.isEmpty() ? " (elencati da --check)" : "");
        if (outPath.isEmpty()) {
            for (const builder::LeftOutProduct& product : sixSource->leftOut())
                printLine(
                    QStringLiteral("  senza riga: riga %1, prodotto %2: %3")
                        .arg(QString::number(product.line), builder::cutForMessage(product.code), product.reason));
        }
    }
    QString counts =
        QStringLiteral("%1 righe, %2 sezioni, %3 capitoli, %4 articoli, anno %5")
            .arg(italian.toString(summary.rows), italian.toString(summary.sections), italian.toString(summary.chapters),
                 italian.toString(summary.articles), QString::number(summary.year));
    if (outPath.isEmpty()) {
        std::fprintf(stderr, "Nessun errore: %s. Nessun database scritto (--check).\n",
                     counts.toLocal8Bit().constData());
    } else {
        const double megabytes = double(QFileInfo(outPath).size()) / (1024.0 * 1024.0);
        std::fprintf(stderr, "Creato «%s»: %s, %s MB\n", QDir::toNativeSeparators(outPath).toLocal8Bit().constData(),
                     counts.toLocal8Bit().constData(), italian.toString(megabytes, 'f', 1).toLocal8Bit().constData());
    }
    return 0;
}
