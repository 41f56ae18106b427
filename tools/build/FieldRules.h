#pragma once

#include <QString>

#include <optional>

namespace builder {

class TableReader;

// What a field of a price list may hold. Each refusal throws FieldError naming the row and the column.
namespace rules {

// A text the program shows: an empty field is empty text, quoted or not. A control character (not a tab or a
// line break) is refused unless the reader allows it.
QString requiredText(const TableReader& reader, int column);
// A text that may be Null: an unquoted empty field (an empty cell) is Null, a quoted one empty text.
std::optional<QString> optionalText(const TableReader& reader, int column);
// A whole number; an empty field is refused.
qint64 integer(const TableReader& reader, int column);
// A decimal number, or Null for an empty field. Written as text it takes the file's decimal separator
// and no thousands separator.
std::optional<double> optionalNumber(const TableReader& reader, int column);
// A price or an amount: a decimal number from 0 to kMaxPrice, or Null.
std::optional<double> price(const TableReader& reader, int column);
// A labour share, in percent: a decimal number from 0 to 100, or Null.
std::optional<double> share(const TableReader& reader, int column);
inline constexpr double kMaxPrice = 1e9;
// The labour amount of a price to the cent, when both are within their ranges.
std::optional<double> labourAmount(std::optional<double> price, std::optional<double> share);

// A code of `length` capital letters and digits, written as text.
QString code(const TableReader& reader, int column, int length);
// Why `value` is no such code, or nullopt when it is one.
std::optional<QString> codeProblem(QStringView value, int length);

// The value of plain decimal text ("-12.5", "1e3") with `point` as its decimal separator, or nullopt.
std::optional<double> parseDecimal(QStringView text, QChar point);

} // namespace rules
} // namespace builder
