// Comparing two editions as the user meets it, beside its floor in the same run: the engine alone reading both
// lists' codes, texts, units and prices. The older edition is the demo list, the newer its next year's edition
// (benchdata::nextEdition): prices changed, items re-coded, removed and added.
//
//   prezzario-confronta-bench [ROWS]      (60000 by default; 1000000 also cancels a comparison once)
//
// Times: the floor, core::compareEditions alone, and the window frmConfronta from the comparison's start until
// its list is laid out and painted, offscreen. Memory: the process's largest resident size.
#include "core/AppState.h"
#include "app/Application.h"
#include "bench/BenchData.h"
#include "core/Compare.h"
#include "ui/MDIForm1.h"
#include "core/Numbers.h"
#include "ui/ReportList.h"
#include "compare/frmConfronta.h"

#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The largest resident size since the last resetPeak(), from the kernel's VmHWM.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// Writing 5 to clear_refs sets the peak back to what is resident now, so that each part is measured alone.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void waitIdle(const compare::frmConfronta& window)
{
    while (window.isBusy())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication application(argc, argv);
    core::useNeutralNumericLocale();
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 60'000;
    const bool large = rows > 200'000;
    const int repeats = large ? 1 : 7;
    const QString older = benchdata::demoList(rows);
    const QString newer = benchdata::nextEdition(rows);
    std::printf("Confronta edizioni, %lld rows against the next edition (medians of %d)\n",
                static_cast<long long>(rows), repeats);

    benchdata::readCodesTextsUnitsPrices(older, newer); // untimed: the files come into the page cache
    std::vector<double> floors;
    for (int i = 0; i < repeats; ++i)
        floors.push_back(benchdata::readCodesTextsUnitsPrices(older, newer).ms);
    const double floor = median(floors);
    std::printf("  floor, the engine reading both lists' codes, texts, units and prices: %.0f ms\n", floor);

    {
        resetPeak();
        const double before = peakMb();
        std::vector<double> times;
        core::Comparison comparison;
        for (int i = 0; i < repeats; ++i) {
            const core::PriceList before = core::PriceList::open(older);
            const core::PriceList after = core::PriceList::open(newer);
            QElapsedTimer timer;
            timer.start();
            comparison = core::compareEditions(before, after).value();
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::printf("  core::compareEditions: %.0f ms (%.2f x the floor), %.0f MB more at its peak: %d invariate, "
                    "%d variate, %d nuove, %d eliminate, %d ricodificate\n",
                    median(times), median(times) / floor, peakMb() - before, comparison.invariate, comparison.variate,
                    comparison.nuove, comparison.eliminate, comparison.ricodificate);
    }

    malloc_trim(0); // the library's comparison is gone: its memory goes back, so that the window is measured alone
    resetPeak();
    core::AppState state;
    app::Application prezzario(state);
    if (!prezzario.startUp(QFileInfo(newer).absolutePath(), newer))
        return 1;
    prezzario.mainWindow().show();
    compare::frmConfronta& window = prezzario.confronto();
    auto* list = window.findChild<ui::ReportList*>(QStringLiteral("lstConfronto"));
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.compare(older);
        waitIdle(window);
        list->viewport()->repaint();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("  the window, compared and its list painted: %.0f ms (%.2f x the floor; the goal is at most 3 x), "
                "%lld rows shown\n",
                median(times), median(times) / floor, static_cast<long long>(list->Count()));

    if (large) {
        // Cancel: the comparison is stopped a second in, and the window is idle again soon after.
        auto* cancel = window.findChild<QPushButton*>(QStringLiteral("cmdAnnulla"));
        window.compare(older);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const bool wasBusy = window.isBusy();
        timer.restart();
        cancel->click();
        waitIdle(window);
        std::printf("  cancelled a second in (busy then: %s): idle %.0f ms after the click\n", wasBusy ? "yes" : "no",
                    double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("  the program's largest resident size, from opening the list on: %.0f MB (the goal at 1,000,000 rows: "
                "at most 1 GB)\n",
                peakMb());
    window.close();
    return 0;
}
