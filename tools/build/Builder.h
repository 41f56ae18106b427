#pragma once

#include "tools/build/readers/BuildError.h"
#include "tools/build/demo/DemoOptions.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace builder {

// Called now and then while a build runs; total stays the same for the whole build. May be empty.
using Progress = std::function<void(qint64 done, qint64 total)>;

class ListSource;

// What a build read: the summary printed at its end.
struct BuildSummary
{
    qint64 rows = 0;
    qint64 sections = 0;
    qint64 chapters = 0;
    qint64 articles = 0;
    qint64 year = 0;
    // The optional tables the source lacks ("premesse.csv", "foglio «manuale»"): built empty.
    QStringList missingTables;
};


// The builders write to a temporary file next to outPath and move it over outPath only when the
// database is complete: on BuildError nothing is left behind and an existing outPath is untouched.
void buildDemo(const DemoOptions& options, const QString& outPath, const Progress& progress = {});
// Reads, checks and writes a price list from its tables; with an empty outPath it only checks, and writes
// nothing. A BuildError lists every problem the tables have.
BuildSummary buildFrom(const ListSource& source, const QString& outPath, const Progress& progress = {});
// The same from the CSV files of a folder, as written by default (UTF-8, detected separator).
BuildSummary buildFromCsv(const QString& dir, const QString& outPath, const Progress& progress = {});

} // namespace builder
