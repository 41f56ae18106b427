// Trova as the user meets it: a key typed in the window's box until the list shows the items found, with the
// list's own layout and painting, on the offscreen platform. prezzario-speed times the search itself; this
// adds what the window costs on top of it.
//
//   prezzario-trova-bench [ROWS]      (60000 by default)
#include "core/AppState.h"
#include "app/Application.h"
#include "bench/BenchData.h"
#include "ui/MDIForm1.h"
#include "core/Numbers.h"
#include "ui/ReportList.h"
#include "search/frmTrova.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void waitIdle(const search::frmTrova& window)
{
    while (window.isBusy())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
}

double maxRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
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
    const QString list = benchdata::demoList(rows);

    core::AppState state;
    app::Application prezzario(state);
    if (!prezzario.startUp(QFileInfo(list).absolutePath(), list))
        return 1;
    prezzario.mainWindow().show();
    std::printf("Trova window, %lld rows (offscreen; a key typed until the list is laid out and painted)\n",
                static_cast<long long>(rows));
    std::printf("  memory after opening the list: %.1f MB\n", maxRssMb());

    QElapsedTimer timer;
    timer.start();
    search::frmTrova& window = prezzario.trova();
    window.showFromMenu();
    waitIdle(window);
    std::printf("  first opening, index made: %.0f ms\n", double(timer.nsecsElapsed()) / 1e6);

    auto* box = window.findChild<QLineEdit*>(QStringLiteral("txtTrova"));
    auto* found = window.findChild<ui::ReportList*>(QStringLiteral("lstTrovati"));
    for (const char* word : {"calcestruzzo", "di", "calcestruzzo armato", "01.A03"}) {
        const QString text = QString::fromUtf8(word);
        std::vector<double> times, painting;
        for (int round = 0; round < 15; ++round) {
            box->setText(text.chopped(1));
            waitIdle(window);
            found->viewport()->repaint();
            timer.restart();
            box->insert(text.right(1)); // the last key
            waitIdle(window);
            const double searched = double(timer.nsecsElapsed()) / 1e6;
            found->viewport()->repaint();
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            painting.push_back(times.back() - searched);
        }
        std::printf("  \"%s\": %lld items, median %.1f ms (of which painting the list %.1f), slowest %.1f ms\n", word,
                    static_cast<long long>(found->Count()), median(times), median(painting),
                    *std::max_element(times.begin(), times.end()));
    }
    std::printf("  max resident memory: %.1f MB\n", maxRssMb());
    window.close();
    return 0;
}
