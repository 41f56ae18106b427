#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <vector>

namespace builder {

// One cell as the spreadsheet holds it.
struct SheetCell
{
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    // Text cells: the text (line breaks inside a cell as '\n'). Number cells: the value exactly as the file
    // stores it, in plain decimal or exponent notation with '.' ("19.01", "1826.34", "10", "1E-3"), never
    // re-formatted through a double. Booleans become Number "1"/"0"; a formula cell gives its cached result
    // with its result's kind; an error cell (#DIV/0!) is Text with the error's text.
    QString text;
};

// The rows of one sheet, read from the file one at a time as they are asked for: a sheet of a million rows
// takes the memory of one. Rows with no cell filled are not given; row 1 is a table's header, and later rows
// keep only the columns it fills (no other column of theirs is read). A row's trailing empty cells are not
// stored. Throws BuildError (BuildError.h) naming the file, the sheet and the line for damaged XML and for
// anything past the limits of InputLimits.h.
class SheetRows
{
public:
    virtual ~SheetRows() = default;

    // Moves to the next row holding a cell; false at the end of the sheet.
    virtual bool next() = 0;
    // The sheet's name as the file writes it.
    const QString& name() const { return m_name; }
    // The current row's number, from 1, and its cells: cells()[c] is column c+1.
    qint64 number() const { return m_number; }
    const std::vector<SheetCell>& cells() const { return m_cells; }
    // How far the reading has got and how far it goes, in bytes of the part that holds the sheet.
    virtual qint64 done() const = 0;
    virtual qint64 size() const = 0;

protected:
    QString m_name;
    qint64 m_number = 0;
    std::vector<SheetCell> m_cells;
};

namespace workbook {
class Archive;
}

// An .xlsx (Office Open XML) or .ods (OpenDocument) file: the names of its sheets and the rows of each. The kind
// is told by the content, not by the file name. open() throws BuildError naming the file for a file that is
// missing, unreadable, not a regular file, not a zip, or not one of the two formats.
class Workbook
{
public:
    static Workbook open(const QString& path);

    // The names of the sheets, in the file's order (for an .ods file, a reading of its whole content).
    QStringList sheetNames() const;
    // The rows of the first sheet of this name (letter case aside), or null if none has it. The streams of
    // one workbook may be read one after the other or side by side.
    std::unique_ptr<SheetRows> rows(QStringView name) const;

private:
    std::shared_ptr<workbook::Archive> m_archive;
};

// "A", "B", … "Z", "AA": the letters of column c (0-based), for messages.
QString columnLetters(int column);

} // namespace builder
