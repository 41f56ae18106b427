#include "report/ReportRows.h"

#include "report/ReportProgress.h"

namespace report {

namespace {
// The cells of a data row: codes, units, amounts and the empty columns are text, names and notes keep
// the template's format.
constexpr CellLook kText{.edges = true, .text = true};
constexpr CellLook kBoldText{.bold = true, .edges = true, .text = true};
constexpr CellLook kName{.edges = true};
constexpr CellLook kBoldName{.bold = true, .edges = true};
// Labels stand alone, without edges.
constexpr CellLook kLabel{.bold = true};
} // namespace

void ReportRows::cell(int column, const QString& value, const CellLook& look)
{
    m_sink.writeCell(column, riga, value, look);
}

void ReportRows::rowDone()
{
    const int written = riga++;
    if (m_progress)
        m_progress->rowWritten(written);
}

void ReportRows::expectRows(qint64 rows)
{
    if (m_progress)
        m_progress->expectRows(rows);
}

void ReportRows::expectItems(const QString& items, qint64 count)
{
    if (m_progress)
        m_progress->expectItems(items, count);
}

void ReportRows::itemDone()
{
    if (m_progress)
        m_progress->itemDone();
}

void ReportRows::title(const QString& text)
{
    m_sink.writeCell(1, 1, text, kLabel);
}

void ReportRows::blockLabel(const QString& text)
{
    cell(1, text, kLabel);
    rowDone();
}

void ReportRows::sectionHead(const QString& code, const QString& name)
{
    cell(1, code, kBoldText);
    cell(2, code, kBoldText);
    cell(3, name, kBoldName);
    for (int column = 4; column <= 7; ++column)
        cell(column, QString(), kBoldText);
}

void ReportRows::sectionNote(const std::optional<QString>& note)
{
    cell(8, note.value_or(QString()), note ? kBoldName : kName);
    rowDone();
}

void ReportRows::section(const QString& code, const QString& name, const std::optional<QString>& note)
{
    sectionHead(code, name);
    sectionNote(note);
}

void ReportRows::headed(const QString& sectionCode, const QString& key, const QString& name, bool boldName,
                        const QString& note)
{
    cell(1, sectionCode, kBoldText);
    cell(2, key, kBoldText);
    cell(3, name, boldName ? kBoldName : kName);
    for (int column = 4; column <= 7; ++column)
        cell(column, QString(), kBoldText);
    cell(8, note, kName);
    rowDone();
}

void ReportRows::chapter(const QString& sectionCode, const QString& key, const QString& name, const QString& note)
{
    headed(sectionCode, key, name, true, note);
}

void ReportRows::article(const QString& sectionCode, const QString& key, const QString& name, const QString& note)
{
    headed(sectionCode, key, name, false, note);
}

void ReportRows::subarticle(const QString& sectionCode, const QString& code, const QString& description,
                            const QString& unit, const QString& price, const QString& share, const QString& amount)
{
    cell(1, sectionCode, kText);
    cell(2, code, kText);
    cell(3, description, kName);
    cell(4, unit, kText);
    cell(5, price, kText);
    cell(6, share, kText);
    cell(7, amount, kText);
    cell(8, QString(), kText);
    rowDone();
}

} // namespace report
