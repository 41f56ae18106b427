#include "TableReader.h"

namespace builder {

QString TableReader::where(int column) const
{
    const std::string_view name = m_columns[size_t(column)];
    return row() + QStringLiteral(", colonna \"%1\"").arg(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

} // namespace builder
