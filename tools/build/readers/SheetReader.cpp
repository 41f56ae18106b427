#include "tools/build/readers/SheetReader.h"

#include "tools/build/readers/Workbook.h"

namespace builder {

SheetReader::SheetReader(std::unique_ptr<SheetRows> rows) : m_rows(std::move(rows)) {}

SheetReader::~SheetReader() = default;

QString SheetReader::table() const
{
    return QStringLiteral("foglio «%1»").arg(m_rows->name());
}

QString SheetReader::row() const
{
    return QStringLiteral("%1, riga %2").arg(table()).arg(m_rows->number());
}

qint64 SheetReader::line() const
{
    return m_rows->number();
}

qint64 SheetReader::done() const
{
    return m_rows->done();
}

qint64 SheetReader::size() const
{
    return m_rows->size();
}

void SheetReader::failHeader(const QString& what) const
{
    throw BuildError(QStringLiteral("%1, riga 1: %2").arg(table(), what));
}

void SheetReader::readHeader(std::span<const std::string_view> columns)
{
    if (!m_rows->next() || m_rows->number() != 1)
        failHeader(QStringLiteral("foglio vuoto: manca la riga di intestazione con i nomi delle colonne"));
    // A row stores no empty cells after the last name, so an empty cell here is a gap.
    QStringList names;
    for (const SheetCell& cell : m_rows->cells()) {
        if (cell.kind == SheetCell::Kind::Empty)
            failHeader(QStringLiteral("la colonna %1 dell'intestazione non ha nome").arg(columnLetters(int(names.size()))));
        names << cell.text.trimmed();
    }
    m_position = mapHeader(columns, names,
                           [](qsizetype column) { return QStringLiteral(" (colonna %1)").arg(columnLetters(int(column))); });
}

bool SheetReader::next()
{
    return m_rows->next();
}

Field SheetReader::field(int column) const
{
    const std::vector<SheetCell>& cells = m_rows->cells();
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
