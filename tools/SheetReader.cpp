#include "SheetReader.h"

#include "Workbook.h"

#include <algorithm>

namespace builder {

namespace {

bool sameName(const QString& cell, std::string_view name)
{
    return cell.compare(QLatin1String(name.data(), qsizetype(name.size())), Qt::CaseInsensitive) == 0;
}

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
    m_columns = columns;
    m_row = 0;
    if (m_sheet.rows.empty() || isBlank(m_sheet.rows.front()))
        failHeader(QStringLiteral("foglio vuoto: manca la riga di intestazione con i nomi delle colonne"));
    const std::vector<SheetCell>& header = m_sheet.rows.front();
    m_position.assign(columns.size(), -1);
    for (size_t c = 0; c < header.size(); ++c) {
        const QString name = header[c].text.trimmed();
        // Cells left empty after the last name are not columns.
        if (header[c].kind == SheetCell::Kind::Empty) {
            if (std::any_of(header.begin() + qsizetype(c), header.end(),
                            [](const SheetCell& cell) { return cell.kind != SheetCell::Kind::Empty; }))
                failHeader(QStringLiteral("la colonna %1 dell'intestazione non ha nome").arg(columnLetters(int(c))));
            break;
        }
        const auto found =
            std::find_if(columns.begin(), columns.end(), [&](std::string_view column) { return sameName(name, column); });
        if (found == columns.end())
            failHeader(QStringLiteral("colonna sconosciuta \"%1\" (colonna %2)").arg(name, columnLetters(int(c))));
        int& position = m_position[size_t(found - columns.begin())];
        if (position >= 0)
            failHeader(QStringLiteral("colonna \"%1\" ripetuta").arg(name));
        position = int(c);
    }
    for (size_t i = 0; i < columns.size(); ++i)
        if (m_position[i] < 0)
            failHeader(QStringLiteral("manca la colonna \"%1\"")
                           .arg(QString::fromUtf8(columns[i].data(), qsizetype(columns[i].size()))));
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
