#pragma once

#include "core/ChosenItems.h"
#include "core/PriceList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace query {

// One line of a codes file: a subarticle's code, and the quantity written after it, if any.
struct CodesLine
{
    int line = 0; // 1 for the first line of the file
    QString code;
    std::optional<double> quantity;
    QString problem; // why the line cannot be read, naming it; empty for a good line
};

struct CodesFile
{
    QList<CodesLine> lines;
    QString problem; // the file itself cannot be read
};

// One code a line, upper-cased as the search window takes it, optionally followed by a tab or ';' and a
// quantity with a decimal comma or dot; blank lines are skipped.
CodesFile readCodes(QStringView text);
// The same from a file of UTF-8 text.
CodesFile readCodesFile(const QString& path);

// The items of the lines as the list gives them, in the file's order. The problems, in Italian and in the
// file's order: a line that cannot be read, a code the list lacks, a code given twice.
core::Collection collectCodes(const core::PriceList& list, const CodesFile& codes, QStringList& problems);

// The problems as printed: the first 100, then how many more.
QStringList shownProblems(const QStringList& problems);

} // namespace query
