#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;

namespace ui {

// Rows of a list as they go to the clipboard, to be pasted into a spreadsheet: tab-separated lines
// (text/plain) and an HTML table (text/html). In the table, number cells carry their value and every other
// cell the text format, in the sdval and sdnum attributes that LibreOffice Calc's HTML import reads (its
// own HTML export writes them): prices arrive as numbers whatever language the paste options name, and
// codes such as "010" or "03.10" as text, never as numbers or dates.
class ClipboardTable
{
public:
    // numeric: for each column, whether its cells hold numbers as the list writes them ("12,5", "27,5 %").
    explicit ClipboardTable(QList<bool> numeric);

    // A row of cells, one for each column; headings are always text.
    void addRow(const QStringList& cells, bool headings = false);

    QString text() const { return m_text; }
    QString html() const;
    // Both forms, for QClipboard::setMimeData.
    QMimeData* mimeData() const;

    // A number cell of the HTML table: its value as the office reads it in English (decimal point, no
    // grouping), the built-in format that shows it, General or a percentage, and its text in the current
    // locale without grouping, for the plain text. Empty for a text that is not a number in the current
    // locale's form, as the lists write numbers ("12,5", "1.375,70", "27,50 %").
    struct Number
    {
        QString value;
        QString format;
        QString plain;
    };
    static std::optional<Number> number(QStringView text);

private:
    QList<bool> m_numeric;
    QString m_text;
    QString m_rows;
};

} // namespace ui
