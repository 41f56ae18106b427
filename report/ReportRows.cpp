#include "ReportRows.h"

#include "ReportProgress.h"
#include "modExcel97.h"

namespace report {

namespace {
const QString kText = QStringLiteral("@");
} // namespace

void ReportRows::cell(int column, const QString& value, const QString& format, bool bold, bool bordered)
{
    // The report never uses noWarpTxt, Piccolo, Grande or an alignment of its own.
    m_excel.SetCell(column, riga, value, bordered, format, false, bold, false, 0, false);
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
    m_excel.SetCell(1, 1, text, false, QString(), false, true, false, 0, false);
}

void ReportRows::blockLabel(const QString& text)
{
    cell(1, text, QString(), true, false);
    rowDone();
}

void ReportRows::sectionHead(const QString& code, const QString& name)
{
    cell(1, code, kText, true);
    cell(2, code, kText, true);
    cell(3, name, QString(), true);
    for (int column = 4; column <= 7; ++column)
        cell(column, QString(), kText, true);
}

void ReportRows::sectionNote(const std::optional<QString>& note)
{
    cell(8, note.value_or(QString()), QString(), note.has_value());
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
    cell(1, sectionCode, kText, true);
    cell(2, key, kText, true);
    cell(3, name, QString(), boldName);
    for (int column = 4; column <= 7; ++column)
        cell(column, QString(), kText, true);
    cell(8, note, QString(), false);
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
    cell(1, sectionCode, kText, false);
    cell(2, code, kText, false);
    cell(3, description, QString(), false);
    cell(4, unit, kText, false);
    cell(5, price, kText, false);
    cell(6, share, kText, false);
    cell(7, amount, kText, false);
    cell(8, QString(), kText, false);
    rowDone();
}

} // namespace report
