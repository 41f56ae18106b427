#include "SheetReader.h"

#include "Workbook.h"

#include <algorithm>

namespace builder {

namespace {

bool isBlank(const std::vector<SheetCell>& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const SheetCell& c) { return c.kind == SheetCell::Kind::Empty; });
}

} // namespace

SheetReader::SheetReader(const Sheet& sheet) : m_sheet(sheet) {}

QString SheetReader::table() const
{
    return QStringLiteral("foglio «%1»").arg(m_sheet.name);
}

QString SheetReader::row() const
{
    return QStringLiteral("%1, riga %2").arg(table()).arg(m_row + 1);
}

qint64 SheetReader::size() const
{
    return qint64(m_sheet.rows.size());
}

void SheetReader::failHeader(const QString& what) const
{
    throw BuildError(QStringLiteral("%1, riga 1: %2").arg(table(), what));
}

void SheetReader::readHeader(std::span<const std::string_view> columns)
{
    m_row = 0;
    if (m_sheet.rows.empty() || isBlank(m_sheet.rows.front()))
        failHeader(QStringLiteral("foglio vuoto: manca la riga di intestazione con i nomi delle colonne"));
    // The sheet stores no empty cells after the last name, so an empty cell here is a gap.
    QStringList names;
    for (const SheetCell& cell : m_sheet.rows.front()) {
        if (cell.kind == SheetCell::Kind::Empty)
            failHeader(QStringLiteral("la colonna %1 dell'intestazione non ha nome").arg(columnLetters(int(names.size()))));
        names << cell.text.trimmed();
    }
    m_position = mapHeader(columns, names,
                           [](qsizetype column) { return QStringLiteral(" (colonna %1)").arg(columnLetters(int(column))); });
}

bool SheetReader::next()
{
    do {
        ++m_row;
    } while (m_row < qsizetype(m_sheet.rows.size()) && isBlank(m_sheet.rows[size_t(m_row)]));
    return m_row < qsizetype(m_sheet.rows.size());
}

Field SheetReader::field(int column) const
{
    const std::vector<SheetCell>& cells = m_sheet.rows[size_t(m_row)];
    const size_t at = size_t(m_position[size_t(column)]);
    if (at >= cells.size())
        return {};
    const SheetCell& cell = cells[at];
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return {};
    case SheetCell::Kind::Text:
        return {Field::Kind::Text, cell.text};
    case SheetCell::Kind::Number:
        return {Field::Kind::Number, cell.text};
    }
    return {};
}

} // namespace builder
