#include "tools/build/Builder.h"

#include <QDir>
#include <QFileInfo>

#include "tools/build/ListSource.h"
#include "tools/build/demo/DemoData.h"
#include "tools/build/writer/PriceListWriter.h"
#include "core/Error.h"

#include <algorithm>

namespace builder {

namespace {

constexpr qint64 kReportEvery = 1024;

// Runs a build so that callers see one error type whatever layer failed.
template <typename Build> void guarded(Build&& build)
{
    try {
        build();
    } catch (const core::DbError& e) {
        throw BuildError(e.text());
    }
}

// Loading and indexing share one scale: four fifths for the rows, the rest for the indexes.
class ProgressScale
{
public:
    static constexpr qint64 kTotal = 1000;
    static constexpr qint64 kLoad = 800;

    explicit ProgressScale(const Progress& progress) : m_progress(progress) { report(0); }

    void loaded(qint64 done, qint64 total) const { report(total > 0 ? kLoad * std::min(done, total) / total : 0); }
    void finished(int step, int steps) const { report(kLoad + (kTotal - kLoad) * step / std::max(steps, 1)); }

private:
    void report(qint64 units) const
    {
        if (m_progress)
            m_progress(units, kTotal);
    }

    const Progress& m_progress;
};

} // namespace

void buildDemo(const DemoOptions& options, const QString& outPath, const Progress& progress)
{
    if (options.rows < 1 || options.rows > kMaxDemoRows)
        throw BuildError(QStringLiteral("Numero di righe non valido: %1 (ammesse da 1 a %2)")
                             .arg(QString::number(options.rows), QString::number(kMaxDemoRows)));
    guarded([&] {
        PriceListWriter writer(outPath);
        const ProgressScale scale(progress);
        qint64 written = 0;
        demo::generateRows(options, [&](const PriceRow& row) {
            writer.addRow(row);
            if (++written % kReportEvery == 0)
                scale.loaded(written, options.rows);
        });
        scale.loaded(written, options.rows);
        demo::writeReferenceTexts(writer);
        writer.commit([&](int step, int steps) { scale.finished(step, steps); });
    });
}

BuildSummary buildFrom(const ListSource& source, const QString& outPath, const Progress& progress)
{
    BuildSummary summary;
    guarded([&] {
        const ProgressScale scale(progress);
        const auto loaded = [&](qint64 done, qint64 total) { scale.loaded(done, total); };
        if (outPath.isEmpty()) {
            summary = source.load(nullptr, loaded);
            scale.finished(1, 1);
            return;
        }
        PriceListWriter writer(outPath);
        summary = source.load(&writer, loaded);
        writer.commit([&](int step, int steps) { scale.finished(step, steps); });
    });
    return summary;
}

BuildSummary buildFromCsv(const QString& dir, const QString& outPath, const Progress& progress)
{
    return buildFrom(ListSource::csvFolder(dir), outPath, progress);
}

} // namespace builder
