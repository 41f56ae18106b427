#include "tools/build/readers/TableReader.h"

#include "tools/build/readers/InputLimits.h"

#include <algorithm>

namespace builder {

QString TableReader::where(int column) const
{
    const std::string_view name = m_columns[size_t(column)];
    return row() + QStringLiteral(", colonna \"%1\"").arg(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

std::vector<int> TableReader::mapHeader(std::span<const std::string_view> columns, const QStringList& names,
                                        const std::function<QString(qsizetype field)>& unknown)
{
    m_columns = columns;
    const auto fail = [this](const QString& what) { throw BuildError(row() + u": " + what); };
    std::vector<int> position(columns.size(), -1);
    for (qsizetype f = 0; f < names.size(); ++f) {
        const auto found = std::find_if(columns.begin(), columns.end(), [&](std::string_view column) {
            return names[f].compare(QLatin1String(column.data(), qsizetype(column.size())), Qt::CaseInsensitive) == 0;
        });
        if (found == columns.end())
            fail(QStringLiteral("colonna sconosciuta %1").arg(shownValue(names[f])) + unknown(f));
        int& at = position[size_t(found - columns.begin())];
        if (at >= 0)
            fail(QStringLiteral("colonna %1 ripetuta").arg(shownValue(names[f])));
        at = int(f);
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        if (position[i] < 0)
            fail(QStringLiteral("manca la colonna \"%1\"")
                     .arg(QString::fromUtf8(columns[i].data(), qsizetype(columns[i].size()))));
    }
    return position;
}

} // namespace builder
