#pragma once

class QLineEdit;

namespace ui {

// Typed and pasted text reaches the searches without control characters: a NUL would cut the query's
// text, and a tab or a line break pasted from a spreadsheet only makes a search find nothing.
// The box drops them as they arrive; everything else stays as typed.
void keepControlCharactersOut(QLineEdit* box);

} // namespace ui
