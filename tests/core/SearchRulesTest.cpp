#include "core/PriceList.h"
#include "core/Search.h"
#include "tests/support/SearchList.h"

#include <gtest/gtest.h>

namespace {

QStringList codes(const core::SearchResults& results)
{
    QStringList found;
    for (const core::ArticleResult& article : results.articles)
        found << article.code;
    for (const core::Subarticle& row : results.subarticles)
        found << row.code;
    return found;
}

// How a typed text is matched, over the whole list: letter case and accents, apostrophes, the dialect's
// wildcards and characters that would make a pattern engine fail.
TEST(SearchRules, typedTextMatchesAsTheListReadsIt)
{
    const fixture::PriceListFolder folder(fixture::searchTables());
    const core::PriceList list = core::PriceList::open(folder.database());
    const core::SearchLevels articles{false, true, false}, subarticles{false, false, true};
    const core::SearchLevels all{true, true, true};
    const struct
    {
        const char* typed;
        core::SearchLevels levels;
        QStringList found; // articles, then subarticles
        const char* problem = "";
    } cases[] = {
        {"CALCESTRUZZO", articles, {QStringLiteral("01.B01.A01")}},
        {"calcestruzzo", articles, {QStringLiteral("01.B01.A01")}},
        {"PERCHÉ È", subarticles, {QStringLiteral("01.B01.A01.010")}}, // the texts hold "perché è"
        {"dell'opera", all, {QStringLiteral("01.A01.A02")}},
        {"l'", articles, {QStringLiteral("01.A01.A02")}},
        // A "[" without its "]" is plain text.
        {"a[", subarticles, {QStringLiteral("01.A01.A01.020")}},
        {"a[b", subarticles, {QStringLiteral("01.A01.A01.020")}},
        {"50%", subarticles, {QStringLiteral("01.B01.A01.020")}},
        // The dialect's wildcards keep their meaning.
        {"100*", subarticles, {QStringLiteral("01.B01.A02.010")}},
        {"C2?/30", subarticles, {QStringLiteral("01.B01.A01.010")}},
        {"C##/37", subarticles, {QStringLiteral("01.B01.A01.020")}},
        {"C[23]0/37", subarticles, {QStringLiteral("01.B01.A01.020")}},
        {"C[!3]5/", subarticles, {QStringLiteral("01.B01.A01.010")}},
        {"b]", subarticles, {QStringLiteral("01.A01.A01.020")}},
        {"[]", subarticles, {}},
        // A lone "[" is one character: refused before any query.
        {"[", subarticles, {}, "Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca"},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        core::SearchRequest request;
        request.mode = core::SearchMode::Text;
        request.sectionText = QStringLiteral("TUTTE LE SEZIONI");
        request.wholeList = true;
        request.text = typed;
        request.levels = c.levels;
        const core::SearchOutcome outcome = core::runSearch(list, request);
        EXPECT_EQ(outcome.problem ? outcome.problem->message : QString(), QString::fromUtf8(c.problem)) << c.typed;
        EXPECT_EQ(codes(outcome.results), c.found) << c.typed;
    }
}

} // namespace
