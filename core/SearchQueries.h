#pragma once

#include "core/Database.h"
#include "core/Search.h"

#include <QString>

#include <optional>

namespace core {

// Private to the search's own files: the runs of each mode, which runSearch calls once the input passed its
// checks. Each fills 'results'; the range's may still find a problem in the list.

inline SearchProblem problem(SearchField field, const QString& message, const QString& title = QString())
{
    return {field, message, title};
}

void runText(const Database& db, const SearchRequest& request, SearchResults& results);
void runArticle(const Database& db, const SearchRequest& request, SearchResults& results);
void runSubarticle(const Database& db, const SearchRequest& request, SearchResults& results);
std::optional<SearchProblem> runRange(const Database& db, const SearchRequest& request, SearchResults& results);

} // namespace core
