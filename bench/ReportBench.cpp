// Spreadsheet report figures, with a private headless LibreOffice already running:
//   BM_Report  PrintSearchReport of a "SubInd" text search (core::runSearch over the whole list, subarticles
//              only): the 30,000-row demo list (word "di") and a 10,000-subarticle list; rows written per
//              second, the call taken whole (helper, template, every row with its formats).
//   BM_Floor   the very cells the report writes (read back from one report's workbook), written without
//              any format, so that the office receives nothing but setDataArray blocks: the bulk floor
//              the report is measured by.
//   BM_Open    what every report pays before its first row: helper, office hand-over, template, window.
#include "bench/BenchData.h"
#include "tools/build/Builder.h"
#include "core/Numbers.h"
#include "report/OfficeSettings.h"
#include "core/PriceList.h"
#include "report/PrintSearchReport.h"
#include "core/Search.h"
#include "report/modExcel97.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString dataFolder()
{
    return QStringLiteral(PREZZARIO_BENCH_DATA);
}

// The report shows its progress in a window, so this benchmark alone links Qt Widgets.

// One headless office on a profile of its own for the whole run, ended with its process group.
class BenchOffice
{
public:
    BenchOffice()
    {
        report::OfficeSettings& settings = report::OfficeSettings::current();
        settings.applicationFolder = QStringLiteral(PREZZARIO_APP_DIR);
        settings.officeArguments = {QStringLiteral("--headless"), QStringLiteral("--invisible"),
                                    QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
                                    QStringLiteral("-env:UserInstallation=file://") + m_profile.path()};
        settings.officeLaunched = [this](qint64 group) { m_groups.append(group); };
        // Started here, so that no figure includes the office's own start.
        report::modExcel97 first;
    }

    ~BenchOffice()
    {
        for (const qint64 group : m_groups)
            ::kill(static_cast<pid_t>(-group), SIGTERM);
        QThread::msleep(2000);
        for (const qint64 group : m_groups)
            ::kill(static_cast<pid_t>(-group), SIGKILL);
    }

private:
    QTemporaryDir m_profile;
    QList<qint64> m_groups;
};

std::unique_ptr<BenchOffice> g_office;

BenchOffice& office()
{
    if (!g_office)
        g_office = std::make_unique<BenchOffice>();
    return *g_office;
}

QString csvField(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// A list of `count` subarticles ("Voce numero n"), 40 to an article and 25 articles to a chapter.
QString plainList(int count)
{
    QDir().mkpath(dataFolder());
    const QString path = QDir(dataFolder()).filePath(QStringLiteral("Prezzario-voci-%1.mdb").arg(count));
    if (QFile::exists(path))
        return path;
    QTemporaryDir source;
    const QDir dir(source.path());
    QFile csv(dir.filePath(QStringLiteral("prezzario.csv")));
    csv.open(QIODevice::WriteOnly);
    QString text = QStringLiteral(
        "sequenza,codice_totale,codice_sezione,sezione,note_sezione,codice_capitolo,codice_articolo,capitolo,"
        "note_capitolo,seq_capitolo,codice_subarticolo,articolo,note_articolo,note_subarticolo,subarticolo,simbolo,"
        "prezzo_lordo,incidenza_manodopera,somma_manodopera\n");
    for (int i = 0; i < count; ++i) {
        const int chapter = i / 1000 + 1;
        const int article = i / 40 % 25 + 1;
        const QString cap = QStringLiteral("A%1").arg(chapter, 2, 10, QLatin1Char('0'));
        const QString art = QStringLiteral("A%1").arg(article, 2, 10, QLatin1Char('0'));
        const QString sub = QStringLiteral("%1").arg((i % 40 + 1) * 10, 3, 10, QLatin1Char('0'));
        const QStringList fields{
            QString::number(i + 1),
            csvField(QStringLiteral("01.") + cap + u'.' + art + u'.' + sub),
            csvField(QStringLiteral("01")),
            csvField(QStringLiteral("Opere edili")),
            QString(),
            csvField(cap),
            csvField(art),
            csvField(QStringLiteral("Capitolo %1").arg(chapter)),
            QString(),
            QString::number(chapter),
            csvField(sub),
            csvField(QStringLiteral("Articolo %1 del capitolo %2").arg(article).arg(chapter)),
            QString(),
            QString(),
            csvField(QStringLiteral("Voce numero %1, fornitura e posa in opera a regola d'arte").arg(i + 1)),
            csvField(QStringLiteral("m²")),
            QStringLiteral("123.45"),
            QStringLiteral("27.5"),
            QStringLiteral("33.95")};
        text += fields.join(u',') + u'\n';
    }
    csv.write(text.toUtf8());
    csv.close();
    for (const auto& [name, header] : {std::pair{"anno_prezzario.csv", "ANNO_PREZZARIO\n2021\n"},
                                       std::pair{"premesse.csv", "codice_sezione,premessa,premessa2,premessa3\n"},
                                       std::pair{"manuale.csv", "titolo,Descrizione\n"}}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        file.open(QIODevice::WriteOnly);
        file.write(header);
    }
    builder::buildFromCsv(source.path(), path);
    return path;
}

// A whole-list text search of subarticles, as the search window hands it to the report when "Stampa" is
// pressed, over a window standing for the search window.
struct SearchedList
{
    SearchedList(const QString& database, const QString& word) : list(core::PriceList::open(database))
    {
        search.request = benchdata::textSearch(list, word, {false, false, true});
        core::SearchOutcome outcome = core::runSearch(list, search.request);
        if (outcome.problem)
            throw std::runtime_error(outcome.problem->message.toStdString());
        search.results = std::move(outcome.results);
        search.kind = search.results.reportKind;
        heading = QStringLiteral("Prezzario Regione Vallorsa ") + list.year() + QStringLiteral(" CD");
    }

    void print() { report::PrintSearchReport(list, heading, window, search); }

    // Rows of the "SubInd" layout: every subarticle and a heading whenever section, chapter or article changes.
    qint64 reportRows() const
    {
        qint64 rows = 0;
        QString section, chapter, article;
        for (const core::Subarticle& subarticle : search.results.subarticles) {
            const QString& code = subarticle.code;
            rows += (code.left(2) != section) + (code.left(6) != chapter) + (code.left(10) != article) + 1;
            section = code.left(2);
            chapter = code.left(6);
            article = code.left(10);
        }
        return rows;
    }

    core::PriceList list;
    report::SearchReport search;
    QString heading;
    QWidget window;
};

std::unique_ptr<SearchedList> g_searched[2];

SearchedList& searched(int which)
{
    if (!g_searched[which])
        g_searched[which] = which == 0
                                ? std::make_unique<SearchedList>(benchdata::demoList(30000), QStringLiteral("di"))
                                : std::make_unique<SearchedList>(plainList(10000), QStringLiteral("voce"));
    return *g_searched[which];
}

void BM_Report(benchmark::State& state)
{
    office();
    SearchedList& search = searched(static_cast<int>(state.range(0)));
    report::OfficeSettings::current().reportEnded = [](report::modExcel97& excel) { excel.closeDocument(); };
    for (auto _ : state)
        search.print();
    report::OfficeSettings::current().reportEnded = {};
    const qint64 rows = search.reportRows();
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

// The cells a report writes, read back from the workbook of one report run, row by row from row 1 to the
// last row written, eight columns each ("" for a cell left empty).
using WrittenRows = std::vector<QStringList>;

constexpr int kReportColumns = 8;

WrittenRows reportCells(SearchedList& search)
{
    WrittenRows written;
    // Titles, headings and every row: a few rows past the count, in case the layout adds one.
    const int lastRow = static_cast<int>(search.reportRows()) + 4;
    report::OfficeSettings::current().reportEnded = [&](report::modExcel97& excel) {
        constexpr int kRowsAtATime = 2000;
        for (int top = 1; top <= lastRow; top += kRowsAtATime) {
            const int rows = std::min(kRowsAtATime, lastRow - top + 1);
            const QStringList texts = excel.texts(1, top, kReportColumns, rows);
            for (int row = 0; row < rows; ++row)
                written.push_back(texts.mid(row * kReportColumns, kReportColumns));
        }
        excel.closeDocument();
    };
    search.print();
    report::OfficeSettings::current().reportEnded = {};
    while (!written.empty() && written.back().join(QString()).isEmpty())
        written.pop_back();
    return written;
}

// The floor: the report's own cells, values only, with no format at all, so that the office receives
// nothing but bulk setDataArray blocks of the same texts in the same places.
void BM_Floor(benchmark::State& state)
{
    office();
    SearchedList& search = searched(static_cast<int>(state.range(0)));
    const WrittenRows written = reportCells(search);
    const qint64 rows = search.reportRows();
    const QString templatePath = report::OfficeSettings::current().templatePath();
    for (auto _ : state) {
        report::modExcel97 excel;
        excel.Apri_Modello(templatePath);
        excel.Show();
        for (int row = 0; row < static_cast<int>(written.size()); ++row) {
            for (int column = 0; column < kReportColumns; ++column)
                excel.SetCell(column + 1, row + 1, written[static_cast<std::size_t>(row)].value(column), false,
                              QString(), false);
        }
        excel.Flush();
        excel.closeDocument();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Open(benchmark::State& state)
{
    office();
    const QString templatePath = report::OfficeSettings::current().templatePath();
    for (auto _ : state) {
        report::modExcel97 excel;
        excel.Apri_Modello(templatePath);
        excel.Show();
        excel.closeDocument();
    }
}

} // namespace

BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Report)
    ->ArgName("demo0_plain1")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_Floor)
    ->ArgName("demo0_plain1")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    core::useNeutralNumericLocale();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Windows and office go while the application still exists.
    for (auto& searchedList : g_searched)
        searchedList.reset();
    g_office.reset();
    return 0;
}
