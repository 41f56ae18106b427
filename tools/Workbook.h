#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

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

// One sheet: rows[r][c] is the cell of row r+1, column c+1; trailing empty cells of a row and trailing empty
// rows are not stored (rows in the middle may be shorter than others or empty).
struct Sheet
{
    QString name;
    std::vector<std::vector<SheetCell>> rows;
};

// The sheets of an .xlsx (Office Open XML) or .ods (OpenDocument) file, in the file's order. The kind is
// told by the content, not by the file name. Throws BuildError (tools/Builder.h) naming the file for a file
// that is missing, unreadable, not a zip, or not one of the two formats, for damaged XML, and for a file past
// the limits of tools/InputLimits.h. Rows after the first keep only the columns the first one fills: a sheet
// is read as a table whose header is row 1.
class Workbook
{
public:
    // Reads the sheets named in `only` (letter case aside, the first of each name), or every sheet.
    static Workbook read(const QString& path, const QStringList& only = {});
    const std::vector<Sheet>& sheets() const { return m_sheets; }
    // The sheet with this name, letter case aside; null if none.
    const Sheet* sheet(QStringView name) const;

private:
    std::vector<Sheet> m_sheets;
};

// "A", "B", … "Z", "AA": the letters of column c (0-based), for messages.
QString columnLetters(int column);

} // namespace builder
