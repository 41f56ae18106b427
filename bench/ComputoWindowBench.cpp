// Voci scelte on a large computo as the user meets it, offscreen: 2,000 items of the demo list with 10
// measurement lines each, in 20 chapters. Each figure the median of several rounds, beside the goal of at most
// 50 ms:
//   showing   the computo picked in the Raccolta box until its list is filled, laid out and painted (each item
//             found again in the list); opening the window from the menu does the same after reading the
//             collections' files, shown beside;
//   a line    a factor typed in a measurement line until the item, its chapter's subtotal, the total and the
//             labour cost show the new figures, painted; the collection is saved whole meanwhile, as at every
//             change, and that time is shown apart;
//   repaint   the whole window painted again.
//
//   prezzario-computo-window-bench [ITEMS] [ROWS]    (2000 items of a 60000-row list by default)
#include "app/Application.h"
#include "bench/BenchData.h"
#include "collection/frmVociScelte.h"
#include "core/AppState.h"
#include "core/Collections.h"
#include "core/Numbers.h"
#include "ui/MDIForm1.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The first 'count' subarticles of the list, chapter by chapter.
QStringList codesOf(const core::PriceList& list, qsizetype count)
{
    QStringList codes;
    for (const core::Section& section : list.sections()) {
        for (const core::ListedChapter& chapter : list.chapters(section.code).chapters) {
            for (const core::PriceList::Row& row :
                 list.rowsUnder(section.code + u'.' + chapter.code, core::PriceList::Level::Chapter)) {
                codes << row.code;
                if (codes.size() == count)
                    return codes;
            }
        }
    }
    return codes;
}

// A computo as estimators fill one: each item measured by lines with expressions, a deduction and a note.
core::Collection computo(const core::PriceList& list, qsizetype items)
{
    core::Collection made =
        core::CollectionStore::make(QStringLiteral("Computo di prova"), list.year(), core::kListTitle);
    constexpr int kChapters = 20;
    for (int chapter = 1; chapter <= kChapters; ++chapter)
        made.chapters << QStringLiteral("Capitolo %1").arg(chapter);
    const QStringList codes = codesOf(list, items);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        core::ChosenItem item = *core::chosenItem(list, codes[i]);
        item.chapter = made.chapters[int(i * kChapters / codes.size())];
        for (int line = 0; line < 10; ++line) {
            core::MeasureLine measured{QStringLiteral("Piano %1, vano %2").arg(line / 3).arg(line), {}};
            if (line == 9) {
                measured.descrizione = QStringLiteral("Misure dal rilievo");
            } else if (line == 8) {
                measured.factors = {QStringLiteral("-1"), QStringLiteral("0,90"), QString(), QStringLiteral("2,10")};
            } else {
                measured.factors = {QStringLiteral("2"), QStringLiteral("(4,50+1,%1)/2").arg(line),
                                    QStringLiteral("1,5"), QString()};
            }
            item.misure << measured;
        }
        made.items << item;
    }
    return made;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir config, data;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication application(argc, argv);
    core::useNeutralNumericLocale();
    const qsizetype items = argc > 1 ? QByteArray(argv[1]).toLongLong() : 2000;
    const qint64 rows = argc > 2 ? QByteArray(argv[2]).toLongLong() : 60'000;
    const QString listFile = benchdata::demoList(rows);
    constexpr int kRounds = 9;

    {
        core::CollectionStore store = core::CollectionStore::open();
        // A small one beside it, to switch from.
        store.create(QStringLiteral("Altra raccolta"), benchdata::openList(rows).year(), core::kListTitle);
        core::Collection made = computo(benchdata::openList(rows), items);
        store.save(made);
        store.setLastUsed(made.id);
        std::printf("Voci scelte on a computo of %lld items, %lld measurement lines, %lld chapters, from a list of "
                    "%lld rows (offscreen; medians of %d; the goal: at most 50 ms each)\n",
                    static_cast<long long>(made.items.size()), static_cast<long long>(made.items.size() * 10),
                    static_cast<long long>(made.chapters.size()), static_cast<long long>(rows), kRounds);
        std::printf("  the collection's file: %.1f MB\n",
                    double(QFileInfo(store.folder() + u'/' + made.id + QStringLiteral(".json")).size()) / 1e6);
    }

    core::AppState state;
    app::Application prezzario(state);
    if (!prezzario.startUp(QFileInfo(listFile).absolutePath(), listFile))
        return 1;
    prezzario.mainWindow().show();
    collection::frmVociScelte& window = prezzario.vociScelte();
    auto* list = window.findChild<QTableView*>(QStringLiteral("lstVociScelte"));
    auto* lines = window.findChild<QTableView*>(QStringLiteral("lstMisure"));
    auto* total = window.findChild<QLabel*>(QStringLiteral("lblTotale"));
    auto* names = window.findChild<QComboBox*>(QStringLiteral("cmbRaccolta"));
    const auto painted = [&] {
        QApplication::processEvents();
        list->viewport()->repaint();
        lines->viewport()->repaint();
        total->repaint();
    };

    std::vector<double> opening;
    for (int round = 0; round < kRounds; ++round) {
        window.close();
        QApplication::processEvents();
        opening.push_back(timed([&] {
            window.showFromMenu();
            painted();
        }));
    }
    core::CollectionStore store = core::CollectionStore::open();
    std::vector<double> reading;
    for (int round = 0; round < kRounds; ++round)
        reading.push_back(timed([&] { store.collections(); }));
    const int computoIndex = names->currentIndex();
    std::vector<double> showing;
    for (int round = 0; round < kRounds; ++round) {
        names->setCurrentIndex(1 - computoIndex);
        emit names->activated(1 - computoIndex);
        QApplication::processEvents();
        showing.push_back(timed([&] {
            names->setCurrentIndex(computoIndex);
            emit names->activated(computoIndex); // as a pick in the box
            painted();
        }));
    }
    std::printf("  the computo shown, picked in the Raccolta box: %7.1f ms   (its items found in the list, the list\n"
                "                                                          filled, laid out and painted)\n",
                median(showing));
    std::printf("  opening the window from the menu:              %7.1f ms   (the same, after reading every\n"
                "                                                          collection's file: %.1f ms of it)\n",
                median(opening), median(reading));

    // An item in the middle; its first line's Parti uguali typed again and again.
    QAbstractItemModel& model = *list->model();
    const int row = model.rowCount() / 2;
    list->setCurrentIndex(model.index(model.index(row, 0).data().toString().isEmpty() ? row + 1 : row, 0));
    QAbstractItemModel& measures = *lines->model();
    std::vector<double> editing;
    QString before = total->text();
    for (int round = 0; round < kRounds; ++round) {
        const QString typed = QString::number(3 + round % 2);
        editing.push_back(timed([&] {
            measures.setData(measures.index(0, 1), typed); // what the cell's editor hands on, on Enter
            painted();
        }));
        if (total->text() == before)
            std::printf("  (the total did not change: the figures are not those of an edit)\n");
        before = total->text();
    }
    core::Collection copy = window.current();
    std::vector<double> saving;
    for (int round = 0; round < kRounds; ++round)
        saving.push_back(timed([&] { store.save(copy); }));
    std::printf("  a factor typed until every sum shows it:       %7.1f ms   (the window's own part; with the\n"
                "                                                          collection saved whole meanwhile, as\n"
                "                                                          at each change: %.1f ms)\n",
                median(editing) - median(saving), median(editing));

    std::vector<double> painting;
    for (int round = 0; round < kRounds; ++round)
        painting.push_back(timed([&] { window.repaint(); }));
    std::printf("  the whole window repainted:                    %7.1f ms\n", median(painting));
    window.close();
    return 0;
}
