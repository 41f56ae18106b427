#pragma once

#include "core/ChosenItems.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace exporttest {

// Four items: an accented text and the code "01.A01.A01.010" at 1234,56 € with a quantity of 2; a changed price
// with a quantity of 10,125, re-coded from "01.A01.A02.001"; an item gone from the list, without quantity; the
// code "010" in another section.
core::ExportDocument sampleDocument();
// The sum of the rounded amounts of sampleDocument().
constexpr double sampleTotal = 2469.12 + 126.56 + 21.0;

// A computo of two chapters, "Scavi" and "Strutture": an item measured by lines (one with an expression
// factor, a deduction and a note), an item of a typed quantity and no lines, a new price of no list
// ("NP.001", fuoriPrezzario), and an item whose text (the words "parola001" … "parola900") is longer than a page.
// The typed quantity, 125.500 m³, makes amounts and totals of millions.
// Each item's quantity is its lines' sum, as the collection gives it.
core::ExportDocument computoDocument();
inline constexpr int kLongTextWords = 900;

// A cell as LibreOffice saved it in a flat OpenDocument spreadsheet.
struct Cell
{
    QString type;  // office:value-type: "float", "string", or empty for an empty cell
    QString value; // office:value of a number
    QString text;
    QString formula;
};
using Rows = QList<QList<Cell>>;

// Has LibreOffice convert source to .fods (with the import filter given, if any) in dir and reads the first
// sheet's cells; empty when there is no office.
Rows readWithOffice(const QTemporaryDir& dir, const QString& source, const QString& importFilter = {});
// Every sheet, in order.
QList<Rows> readSheetsWithOffice(const QTemporaryDir& dir, const QString& source, const QString& importFilter = {});
bool haveOffice();

// The PDF's text as pdftotext reads it, one entry per page, each page's lines joined; empty without pdftotext.
// 'layout' keeps a table's rows as lines, the cells in their columns' order.
QStringList pdfPages(const QString& path, bool layout = false);

} // namespace exporttest
