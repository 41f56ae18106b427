// The computo metrico's PDF of a large collection, beside the price list's PDF of the same items in the same run:
//
//   prezzario-computo-pdf-bench [ITEMS]    (2000 by default, each with 10 measurement lines, in 10 chapters)
//
// Times (medians of 3): the computo's PDF (the goal at 2,000 items: at most 5 s), the elenco's PDF of the same
// items, and the computo's XLSX and CSV; with each file's size and the PDF's pages.
#include "core/ChosenItems.h"
#include "core/Numbers.h"
#include "report/export/ItemExport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kLines = 10;
constexpr int kChapters = 10;

core::ExportDocument largeComputo(int count)
{
    core::ExportDocument document;
    document.listTitle = QStringLiteral("Prezzario Regione Vallorsa");
    document.year = QStringLiteral("2021");
    document.collectionName = QStringLiteral("Nuovo polo scolastico");
    for (int c = 1; c <= kChapters; ++c)
        document.chapters << QStringLiteral("Capitolo %1 - opere di categoria %1").arg(c);
    const QString article = QStringLiteral(
        "Calcestruzzo per strutture di fondazione e di elevazione, confezionato a macchina con cemento tipo 32.5 R, "
        "inerti di adeguata granulometria e acqua, compresi la vibratura, i ponteggi di servizio, la bagnatura dei "
        "getti e ogni altro onere per dare il lavoro finito a regola d'arte, escluse le casseforme e il ferro");
    for (int i = 0; i < count; ++i) {
        core::ExportItem item;
        item.code = QStringLiteral("03.A%1.B%2.%3")
                        .arg(i / 1000 % 100, 2, 10, QLatin1Char('0'))
                        .arg(i / 10 % 100, 2, 10, QLatin1Char('0'))
                        .arg(i % 1000, 3, 10, QLatin1Char('0'));
        item.sezione = core::Text::fromUtf8("OPERE EDILI");
        item.capitolo = core::Text::fromUtf8("Strutture in cemento armato");
        item.articolo = core::Text::fromString(article);
        item.subarticolo = core::Text::fromString(
            QStringLiteral("classe di resistenza C%1/%2, voce %3").arg(20 + i % 20).arg(25 + i % 20).arg(i + 1));
        item.simbolo = core::Text::fromUtf8("m³");
        item.prezzoLordo = 95.4 + (i % 97) * 1.37;
        item.incidenzaManodopera = 12.5 + i % 30;
        for (int l = 0; l < kLines; ++l) {
            core::MeasureLine line;
            line.descrizione = QStringLiteral("Plinto %1 asse %2 piano terra").arg(l + 1).arg(QChar(u'A' + l));
            if (l == kLines - 1) {
                line.descrizione = QStringLiteral("Misure verificate con la direzione lavori");
            } else {
                line.factor(core::Factor::PartiUguali) = l == 3 ? QStringLiteral("-1") : QString::number(1 + l % 4);
                line.factor(core::Factor::Lunghezza) =
                    l % 3 == 0 ? QStringLiteral("(4,50+1,20)/2") : QStringLiteral("%1,%2").arg(2 + l).arg(l * 5);
                line.factor(core::Factor::Larghezza) = QStringLiteral("1,%1").arg(10 + l);
                line.factor(core::Factor::HPeso) = QStringLiteral("0,%1").arg(30 + l * 5);
            }
            item.misure << line;
        }
        item.quantita = core::linesQuantity(item.misure);
        item.chapter = document.chapters[i * kChapters / count];
        document.items << item;
    }
    return document;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing
{
    double ms;
    double cpuMs; // the process's processor time: on a machine shared with other work it is what the export costs
    qint64 bytes;
};

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

Timing timed(const core::ExportDocument& document, const QString& path, report::ExportFormat format,
             report::ExportDocumentKind kind)
{
    std::vector<double> times, cpu;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        const double cpuBefore = cpuMs();
        timer.start();
        report::exportItems(document, path, format, kind);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - cpuBefore);
    }
    return {median(times), median(cpu), QFileInfo(path).size()};
}

int pagesOf(const QString& path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    if (!info.waitForFinished(60'000))
        return -1;
    for (const QByteArray& line : info.readAllStandardOutput().split('\n')) {
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    core::useNeutralNumericLocale();
    const int count = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 2000;
    const core::ExportDocument document = largeComputo(count);
    const QTemporaryDir dir;
    std::printf("Computo metrico of %d items with %d measurement lines each, in %d chapters (medians of 3)\n", count,
                kLines, kChapters);

    using report::ExportDocumentKind;
    using report::ExportFormat;
    const QString computoPdf = dir.filePath(QStringLiteral("computo.pdf"));
    const Timing computo = timed(document, computoPdf, ExportFormat::Pdf, ExportDocumentKind::Computo);
    std::printf("  computo PDF: %.0f ms (processor %.0f ms; the goal at 2,000 items: at most 5000 ms), %d pages, "
                "%.1f MB\n",
                computo.ms, computo.cpuMs, pagesOf(computoPdf), double(computo.bytes) / 1e6);
    const QString elencoPdf = dir.filePath(QStringLiteral("elenco.pdf"));
    const Timing elenco = timed(document, elencoPdf, ExportFormat::Pdf, ExportDocumentKind::Elenco);
    std::printf("  reference, the elenco PDF of the same items: %.0f ms (processor %.0f ms), %d pages, %.1f MB\n",
                elenco.ms, elenco.cpuMs, pagesOf(elencoPdf), double(elenco.bytes) / 1e6);
    const Timing xlsx =
        timed(document, dir.filePath(QStringLiteral("computo.xlsx")), ExportFormat::Xlsx, ExportDocumentKind::Computo);
    std::printf("  computo XLSX: %.0f ms (processor %.0f ms), %.1f MB\n", xlsx.ms, xlsx.cpuMs,
                double(xlsx.bytes) / 1e6);
    const Timing csv =
        timed(document, dir.filePath(QStringLiteral("computo.csv")), ExportFormat::Csv, ExportDocumentKind::Computo);
    std::printf("  computo CSV: %.0f ms (processor %.0f ms), %.1f MB\n", csv.ms, csv.cpuMs, double(csv.bytes) / 1e6);
    return 0;
}
