#pragma once

#include "report/CellSink.h"

#include <QString>

#include <optional>

namespace report {

class ReportProgress;

// The row kinds of the report, each written into the sink across the eight columns at the row counter,
// which then moves on by one. Every cell of a data row has its edges; codes and the empty columns are
// text ("@"), names and notes keep the template's format.
//
// Each complete row is told to the progress, if any, which may stop the report there when the user
// cancels; the layouts tell it, through here, what they are going to write.
class ReportRows
{
public:
    explicit ReportRows(CellSink& sink, ReportProgress* progress = nullptr) : m_sink(sink), m_progress(progress) {}

    // The sheet row of the next write; the layouts add their own gaps.
    int riga = 3;

    // Row 1, bold, without edges; the counter is not touched.
    void title(const QString& text);
    // "CAPITOLI:" and the like: column 1, bold, without edges.
    void blockLabel(const QString& text);

    // A section row in two steps, as the code layout reads its note only after writing the rest.
    void sectionHead(const QString& code, const QString& name);
    // No note (Null) leaves column 8 empty and not bold.
    void sectionNote(const std::optional<QString>& note);
    void section(const QString& code, const QString& name, const std::optional<QString>& note);

    void chapter(const QString& sectionCode, const QString& key, const QString& name, const QString& note);
    void article(const QString& sectionCode, const QString& key, const QString& name, const QString& note);
    void subarticle(const QString& sectionCode, const QString& code, const QString& description, const QString& unit,
                    const QString& price, const QString& share, const QString& amount);

    // What the layout is going to write: a number of rows, or of list items when it learns the rows of
    // each item from the price list as it goes. See ReportProgress.
    void expectRows(qint64 rows);
    void expectItems(const QString& items, qint64 count);
    void itemDone();

private:
    // The row at the counter is complete: the counter moves on.
    void rowDone();
    void cell(int column, const QString& value, const CellLook& look);
    void headed(const QString& sectionCode, const QString& key, const QString& name, bool boldName,
                const QString& note);

    CellSink& m_sink;
    ReportProgress* m_progress;
};

} // namespace report
