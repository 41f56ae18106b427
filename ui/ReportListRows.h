#pragma once

#include "core/Error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>

namespace ui {

// A list operation on a key the list does not hold, or a key it already holds.
class ListError : public core::Error
{
public:
    using Error::Error;
};

class ReportListModel;

// The cells of one row, gathered before the row is added in one step: much cheaper than Add and a
// SetSubItem for each cell when a list gets hundreds of thousands of rows. clear() keeps the memory,
// so one object can gather every row of a fill.
class ReportRow
{
public:
    static constexpr int kMaxCells = 255;

    void clear();
    ReportRow& cell(const QString& text);
    ReportRow& cellUtf8(QByteArrayView utf8);
    ReportRow& emptyCell();

private:
    friend class ReportListModel;
    QByteArray m_text;
    QVarLengthArray<quint32, 16> m_ends;
};

// Rows kept elsewhere and read as the list shows them: a list of every item found can follow each keystroke
// without copying the items into the list. Read from the thread of the list only.
class ReportRowSource
{
public:
    virtual ~ReportRowSource() = default;
    virtual qsizetype rowCount() const = 0;
    virtual QString cell(qsizetype row, int column) const = 0;
    // What a copy of the cell carries, when the cell shows less (a shortened description).
    virtual QString copiedCell(qsizetype row, int column) const { return cell(row, column); }
};

} // namespace ui
