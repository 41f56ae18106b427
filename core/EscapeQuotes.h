#pragma once

#include <QString>

namespace core {

// Doubles every single quote, so that typed text can stand between quotes in SQL text.
// The like wildcards pass through unchanged.
QString EscapeQuotes(const QString& text);

} // namespace core
