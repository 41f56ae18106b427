#include "Builder.h"

#include <QDir>
#include <QFileInfo>

#include "CsvSource.h"
#include "DemoData.h"
#include "PriceListWriter.h"
#include "Error.h"

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

// Loading and indexing share one scale: loadUnits for the rows, then a quarter of that again for
// the indexes, which take roughly that long.
class ProgressScale
{
public:
    ProgressScale(const Progress& progress, qint64 loadUnits)
        : m_progress(progress), m_loadUnits(std::max<qint64>(loadUnits, 1)),
          m_finishUnits(std::max<qint64>(m_loadUnits / 4, PriceListWriter::finishingSteps()))
    {
    }

    void loaded(qint64 units) const
    {
        if (m_progress)
            m_progress(std::min(units, m_loadUnits), total());
    }

    void finished(int step, int steps) const
    {
        if (m_progress)
            m_progress(m_loadUnits + m_finishUnits * step / steps, total());
    }

private:
    qint64 total() const { return m_loadUnits + m_finishUnits; }

    const Progress& m_progress;
    qint64 m_loadUnits;
    qint64 m_finishUnits;
};

} // namespace

void buildDemo(const DemoOptions& options, const QString& outPath, const Progress& progress)
{
    if (options.rows < 1 || options.rows > kMaxDemoRows)
        throw BuildError(QStringLiteral("Numero di righe non valido: %1 (ammesse da 1 a %2)")
                             .arg(QString::number(options.rows), QString::number(kMaxDemoRows)));
    guarded([&] {
        PriceListWriter writer(outPath);
        const ProgressScale scale(progress, options.rows);
        qint64 written = 0;
        demo::generateRows(options, [&](const PriceRow& row) {
            writer.addRow(row);
            if (++written % kReportEvery == 0)
                scale.loaded(written);
        });
        scale.loaded(written);
        demo::writeReferenceTexts(writer);
        writer.commit([&](int step, int steps) { scale.finished(step, steps); });
    });
}

void buildFromCsv(const QString& dir, const QString& outPath, const Progress& progress)
{
    guarded([&] {
        const CsvSource source(dir);
        PriceListWriter writer(outPath);
        const ProgressScale scale(progress, source.priceBytes());
        source.load(writer, [&](qint64 bytes) { scale.loaded(bytes); });
        writer.commit([&](int step, int steps) { scale.finished(step, steps); });
    });
}

QStringList missingOptionalCsvFiles(const QString& dir)
{
    QStringList missing;
    for (const char* name : {CsvSource::kPremesse, CsvSource::kManual}) {
        const QString file = QString::fromLatin1(name);
        if (!QFileInfo::exists(QDir(dir).filePath(file)))
            missing << file;
    }
    return missing;
}

} // namespace builder
