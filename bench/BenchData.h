#pragma once

#include "core/PriceList.h"
#include "core/Search.h"

#include <QString>

namespace benchdata {

// A file of the benchmarks' data folder (made if missing).
QString path(const QString& name);

// The demo list of 'rows' subarticles, built on first use and built again when an older builder made it
// (the figures would not be today's); the files made from an old list go with it.
QString demoList(qint64 rows);

// The demo list of 'rows' subarticles as its next year's edition (2022) would have it, made on first use: about a
// third of the prices changed by -5 % to +15 %, one item in 40 re-coded (its subarticle code 010 → 015, text and
// unit kept), one in 50 removed and one in 50 new beside it.
QString nextEdition(qint64 rows);

// What any comparison of two lists must do at least: the engine reading each list's codes, texts, units and
// prices, every value touched. Milliseconds for both lists, and how many rows they gave.
struct ReadFloor
{
    double ms = 0;
    qint64 rows = 0;
};
ReadFloor readCodesTextsUnitsPrices(const QString& older, const QString& newer);

// The demo list of 'rows' subarticles, opened once per process and kept open, as the program keeps its list.
const core::PriceList& openList(qint64 rows);

// The three columns the text search reads (capitolo, articolo, subarticolo) of the demo list of 'rows'
// subarticles, as CSV in list order, for `rg -ci WORD` to be timed over the same text. Made on first use.
QString searchedColumns(qint64 rows);

// What Trova searches (sezione, capitolo, articolo, subarticolo, codice_totale) of the demo list of 'rows'
// subarticles, as CSV in list order, for `rg -ci WORD`. Made on first use.
QString findSearchedColumns(qint64 rows);

// Milliseconds of one `rg -ci word file` in a process of its own; -1 when it could not run.
double rgCountMs(const QString& file, const char* word);

// A text search as the search window makes it: over the whole list (its first section picked) or over one
// section ("02"), for 'word', in the given levels.
core::SearchRequest textSearch(const core::PriceList& list, const QString& word, core::SearchLevels levels,
                               const QString& section = {});

// Codes from the middle of the list, found through the library: a section ("05"), a chapter ("05.C03"), an
// article ("05.C03.A02") and a subarticle ("05.C03.A02.030").
struct MiddleCodes
{
    QString section;
    QString chapter;
    QString article;
    QString subarticle;
};
MiddleCodes middleCodes(const core::PriceList& list);

// The search window's article, subarticle and range requests for codes of the list.
core::SearchRequest articleSearch(const core::PriceList& list, const QString& articleCode);
core::SearchRequest subarticleSearch(const core::PriceList& list, const QString& subarticleCode);
// From chapter to chapter ("05.A01" to "05.C03"), or from article to article of one section.
core::SearchRequest rangeSearch(const core::PriceList& list, const QString& fromCode, const QString& toCode);

} // namespace benchdata
