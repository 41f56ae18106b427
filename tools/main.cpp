#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "Builder.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage = R"(Uso:
  prezzario-build --demo [--rows N] [--seed S] --out FILE
  prezzario-build --from-csv DIR --out FILE
  prezzario-build --help

Crea il database cifrato del prezzario (Prezzario.mdb).

  --demo            dati dimostrativi inventati, riproducibili dal seme
  --rows N          numero di subarticoli del prezzario dimostrativo (predefinito 30000)
  --seed S          seme del generatore (predefinito 2021): lo stesso seme dà lo stesso prezzario
  --from-csv DIR    legge prezzario.csv, anno_prezzario.csv e, se presenti, premesse.csv e
                    manuale.csv dalla cartella DIR (UTF-8, separatore virgola, riga di intestazione)
  --out FILE        file da creare; un file esistente è sostituito solo a costruzione riuscita
  -h, --help        mostra questo aiuto

Stato di uscita: 0 database completo, 1 errore di costruzione, 2 uso errato.
)";

void printError(const QString& text)
{
    std::fprintf(stderr, "prezzario-build: %s\n", text.toLocal8Bit().constData());
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
        } else if (percent / 10 > m_shown / 10) {
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
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption demo(QStringLiteral("demo"), QString());
    const QCommandLineOption rows(QStringLiteral("rows"), QString(), QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("S"));
    const QCommandLineOption fromCsv(QStringLiteral("from-csv"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    parser.addOptions({help, demo, rows, seed, fromCsv, out});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("argomento inatteso: %1").arg(parser.positionalArguments().first()));
    if (parser.isSet(demo) == parser.isSet(fromCsv))
        return usageError(QStringLiteral("indicare una sola sorgente: --demo oppure --from-csv DIR"));
    if (!parser.isSet(out) || parser.value(out).isEmpty())
        return usageError(QStringLiteral("manca --out FILE"));
    if (parser.isSet(fromCsv) && (parser.isSet(rows) || parser.isSet(seed)))
        return usageError(QStringLiteral("--rows e --seed valgono solo con --demo"));

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

    const QString outPath = parser.value(out);
    ProgressLine progress;
    const builder::Progress report = [&progress](qint64 done, qint64 total) { progress(done, total); };
    try {
        if (parser.isSet(demo)) {
            builder::buildDemo(options, outPath, report);
        } else {
            const QString dir = parser.value(fromCsv);
            const QStringList missing = QFileInfo(dir).isDir() ? builder::missingOptionalCsvFiles(dir) : QStringList();
            for (const QString& file : missing)
                printError(QStringLiteral("attenzione: manca %1 in «%2», la sua tabella resterà vuota")
                               .arg(file, QDir::toNativeSeparators(dir)));
            builder::buildFromCsv(dir, outPath, report);
        }
    } catch (const builder::BuildError& e) {
        progress.end();
        printError(e.text());
        return kExitFailed;
    } catch (const std::exception& e) {
        progress.end();
        printError(QString::fromLocal8Bit(e.what()));
        return kExitFailed;
    }
    progress.end();
    std::fprintf(stderr, "Creato «%s»\n", QDir::toNativeSeparators(outPath).toLocal8Bit().constData());
    return 0;
}
