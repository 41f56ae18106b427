#pragma once

#include "tools/build/readers/BuildError.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace builder {

// One field of a table row, as its file holds it.
struct Field
{
    enum class Kind {
        Null,   // an unquoted empty CSV field, an empty spreadsheet cell
        Text,   // anything else of a CSV file, a text cell
        Number, // a number cell of a spreadsheet: text is its value as stored, with '.' ("19.01")
    };
    Kind kind = Kind::Null;
    QString text;
};

// A problem with one field or row: the build goes on reading, to report every problem at once.
class FieldError : public BuildError
{
public:
    using BuildError::BuildError;
};

// The rows of one table, from a CSV file or a sheet of a workbook. readHeader maps the header onto the
// columns a table needs; afterwards column i of field() is columns[i], wherever it stands in the file.
// A table that cannot be read on (a broken header, broken quoting) throws BuildError; a row with the
// wrong number of fields throws FieldError from next() and can be skipped.
class TableReader
{
public:
    virtual ~TableReader() = default;

    virtual void readHeader(std::span<const std::string_view> columns) = 0;
    // Moves to the next data row; false at the end.
    virtual bool next() = 0;
    virtual Field field(int column) const = 0;
    // The row in messages: "prezzario.csv, riga 12" or "foglio «prezzario», riga 12".
    virtual QString row() const = 0;
    // The row's line (CSV) or row number (sheet), for messages that name another row.
    virtual qint64 line() const = 0;
    // The table in messages: "prezzario.csv" or "foglio «prezzario»".
    virtual QString table() const = 0;
    // How far the reading has got, in the unit of size() (bytes, or rows).
    virtual qint64 done() const = 0;
    virtual qint64 size() const = 0;
    // The decimal separator of numbers written as text.
    enum class DecimalSeparator {
        Point,
        Comma,
        Either, // one '.' or one ',': a text cell of a spreadsheet, whose settings the file does not tell
    };
    virtual DecimalSeparator decimalSeparator() const = 0;

    // Texts with control characters are refused unless allowed (FieldRules.h).
    void setControlCharactersAllowed(bool allowed) { m_controlCharactersAllowed = allowed; }
    bool controlCharactersAllowed() const { return m_controlCharactersAllowed; }

    // Message for column `column` of the current row.
    QString where(int column) const;
    [[noreturn]] void fail(int column, const QString& what) const { throw FieldError(where(column) + u": " + what); }

protected:
    // Maps the names of the header row (the current row) onto `columns`, letter case aside: each needed
    // column exactly once and no other. Returns the field of each column; throws BuildError naming the row.
    // `unknown` adds what a reader can tell about a name it does not know.
    std::vector<int> mapHeader(std::span<const std::string_view> columns, const QStringList& names,
                               const std::function<QString(qsizetype field)>& unknown);

    std::span<const std::string_view> m_columns;

private:
    bool m_controlCharactersAllowed = false;
};

} // namespace builder
