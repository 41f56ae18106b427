#pragma once

#include <QString>
#include <QStringList>

namespace benchdata {

// A file of the benchmarks' data folder (made if missing).
QString path(const QString& name);

// The demo list of 'rows' subarticles, built on first use and built again when an older builder made it
// (the figures would not be today's); the files made from an old list go with it.
QString demoList(qint64 rows);

// The three columns the text search reads (capitolo, articolo, subarticolo) of the demo list of 'rows'
// subarticles, as CSV in list order, for `rg -ci WORD` to be timed over the same text. Made on first use.
QString searchedColumns(qint64 rows);

// The three queries of the whole-list text search for one word, as the search window writes them, in the
// dialect of one engine: the program's ucase and '*' wildcards, or SQLite's own upper() and '%'.
QStringList textSearchQueries(const char* word, bool programDialect);

} // namespace benchdata
