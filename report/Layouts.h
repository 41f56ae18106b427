#pragma once

#include "report/PrintSearchReport.h"

#include <QString>

#include <optional>

namespace core {
class PriceList;
}

namespace report {

class ReportRows;

// What a layout works with: the price list, the search it prints and the rows it writes.
struct ReportContext
{
    const core::PriceList& list;
    const SearchReport& search;
    ReportRows& rows;
};

// A text search of one level (articles, chapters or subarticles alone): every price-list row under each
// listed element, under a section, chapter and article heading whenever these change.
void printGrouped(const ReportContext& context);

// A text search of several levels: the result lists in labelled blocks; when related, each listed
// article is followed by all of its subarticles, read from the price list.
void printResultLists(const ReportContext& context, bool related);

// A code or range search: one section row, then each listed chapter with its listed articles, each
// with its listed subarticles.
void printCodeAndRange(const ReportContext& context);

// Numbers as the lists show them: the plain form, a labour share with " %", nothing for Null.
QString numberCell(const std::optional<double>& number);
QString shareCell(const std::optional<double>& share);

// The report stops at a code the price list no longer holds; the rows written so far stay.
[[noreturn]] void noRowsFor(const QString& code, int riga);

} // namespace report
