#include "core/Search.h"

#include "core/EscapeQuotes.h"
#include "core/Recordset.h"
#include "core/RowValues.h"
#include "core/SearchQueries.h"

namespace core {

namespace {

// How the lists follow each other after a run.
void setNavigation(const SearchRequest& request, SearchResults& results)
{
    const bool text = request.mode == SearchMode::Text;
    const bool subarticle = request.mode == SearchMode::Subarticle;
    const bool range = request.mode == SearchMode::Range;
    const SearchLevels& levels = request.levels;
    if (text && levels.capitoli && !levels.articoli && !levels.subarticoli) {
        results.expandChapter = true;
        results.articlesHold = SearchResults::ArticlesHold::ChaptersArticles;
    }
    if (subarticle || (text && !levels.capitoli && !levels.articoli && levels.subarticoli)) {
        results.lockSubarticles = true;
        results.climbToArticle = true;
    }
    if (subarticle || (text && levels.articoli && levels.subarticoli))
        results.lockSubarticles = true;
    if (range) {
        results.articlesHold = SearchResults::ArticlesHold::Results;
        results.lockSubarticles = true;
    }
    results.subarticlesAreResults = subarticle || range || (text && levels.subarticoli);
    if (text || range)
        results.reportKind = reportKindOf(levels);
}

// Lists each run of rows of one article once; only neighbouring rows are compared.
QList<ArticleResult> articlesWhere(const PriceList& list, const QString& condition)
{
    QList<ArticleResult> articles;
    QString previous;
    for (Recordset rs = list.database().OpenRecordset(
             QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,articolo,"
                            "seq_capitolo,note_articolo from prezzario where ") +
             condition + QStringLiteral(" order by sequenza"));
         !rs.Eof(); rs.MoveNext()) {
        const QString key = rs.Fields(0).Text() + u'.' + rs.Fields(2).Text() + u'.' + rs.Fields(4).Text();
        if (key != previous)
            articles.append({key, textAt(rs, 1), textAt(rs, 3), textAt(rs, 5), textAt(rs, 7)});
        previous = key;
    }
    return articles;
}

} // namespace

SearchOutcome runSearch(const PriceList& list, const SearchRequest& request)
{
    SearchOutcome outcome;
    outcome.problem = validate(request);
    if (outcome.problem)
        return outcome;
    const Database& db = list.database();
    const Database::ReadTransaction reading(db);
    switch (request.mode) {
    case SearchMode::None:
        break;
    case SearchMode::Text:
        runText(db, request, outcome.results);
        break;
    case SearchMode::Article:
        runArticle(db, request, outcome.results);
        break;
    case SearchMode::Subarticle:
        runSubarticle(db, request, outcome.results);
        break;
    case SearchMode::Range:
        outcome.problem = runRange(db, request, outcome.results);
        if (outcome.problem) {
            outcome.results = {};
            return outcome;
        }
        break;
    }
    setNavigation(request, outcome.results);
    return outcome;
}

QList<ArticleResult> articlesOfChapter(const PriceList& list, const QString& chapterCode)
{
    return articlesWhere(list, QStringLiteral("mid(codice_totale,1,6) = ") + SqlString(chapterCode));
}

QList<ArticleResult> articleOfSubarticle(const PriceList& list, const QString& subarticleCode)
{
    return articlesWhere(list, QStringLiteral("codice_totale = ") + SqlString(subarticleCode));
}

} // namespace core
