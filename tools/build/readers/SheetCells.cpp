#include "tools/build/readers/SheetCells.h"

#include "tools/build/readers/InputLimits.h"
#include "tools/build/readers/Zip.h"

#include <algorithm>
#include <utility>

namespace builder::workbook {

void checkCellText(qsizetype size)
{
    if (size > limits::kMaxFieldText)
        throw Refusal{QStringLiteral("una cella supera il limite di %1 caratteri").arg(limits::kMaxFieldText)};
}

SheetCell textCell(QString text)
{
    if (text.isEmpty())
        return {};
    return {SheetCell::Kind::Text, std::move(text)};
}

SheetCell numberCell(QStringView value)
{
    value = value.trimmed();
    if (value.isEmpty())
        return {};
    return {SheetCell::Kind::Number, value.toString()};
}

void headerTooWide(qint64 column)
{
    throw Refusal{QStringLiteral("la riga 1 ha un valore nella colonna %1, oltre le %2 colonne che "
                                 "un'intestazione può avere")
                      .arg(columnLetters(int(column)))
                      .arg(limits::kMaxHeaderColumns)};
}

qint64 columnsKept(qint64 row, qint64 headerWidth)
{
    return row == 0 ? limits::kMaxHeaderColumns : std::max<qint64>(headerWidth, 0);
}

} // namespace builder::workbook
