#pragma once

#include <QString>

#include <optional>

class QLineEdit;

namespace ui {

// Typed and pasted text reaches the searches without control characters: a NUL would cut the query's
// text, and a tab or a line break pasted from a spreadsheet only makes a search find nothing.
// The box drops them as they arrive; everything else stays as typed.
void keepControlCharactersOut(QLineEdit* box);

// The number typed in `box` (as core::parseTypedNumber reads it; none for an empty box), or false when the box
// holds something else. Then the box is marked in red and its tooltip is `invalid` and the forms a number takes;
// otherwise the tooltip is `valid`. Marked in the box itself: a message box would take the focus from the typing.
bool typedNumber(QLineEdit* box, std::optional<double>& number, const QString& valid, const QString& invalid);

} // namespace ui
