#pragma once

#include <QString>

namespace core {
struct AppState;
class Field;
} // namespace core

namespace search {
class frmCerca;
}

namespace report {

class ReportRows;

// What a layout works with: the database and its recordset slots, the search window whose results it
// prints, and the rows it writes.
struct ReportContext
{
    core::AppState& state;
    const search::frmCerca& cerca;
    ReportRows& rows;
};

// A text search of one level ("ArtInd", "CapInd", "SubInd"): every price-list row under each listed
// element, under a section, chapter and article heading whenever these change.
void printGrouped(const ReportContext& context, const QString& kind);

// A text search of several levels: the result lists in labelled blocks; when related, each listed
// article is followed by all of its subarticles, read from the database.
void printResultLists(const ReportContext& context, bool related);

// A code or range search: one section row, then each listed chapter with its listed articles, each
// with its listed subarticles.
void printCodeAndRange(const ReportContext& context);

// A labour share as printed from the database: the number and " %", or nothing when Null.
QString shareText(const core::Field& field);

// The report stops at a code the price list no longer holds; the rows written so far stay.
[[noreturn]] void noRowsFor(const QString& code, int riga);

} // namespace report
