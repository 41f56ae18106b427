#pragma once

#include <QString>

namespace core {

// Doubles every single quote, so that typed text can stand between quotes in SQL text.
// The like wildcards pass through unchanged.
QString EscapeQuotes(const QString& text);

// Every value that enters SQL text, typed or read from the file, goes in through here: the value as an
// SQL string literal, between single quotes with its quotes doubled ("dell'opera" -> 'dell''opera').
// A NUL would end the statement's text, so it is joined in as char(0): 'a' || char(0) || 'b'.
QString SqlString(const QString& value);

} // namespace core
