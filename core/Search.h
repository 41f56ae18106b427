#pragma once

#include "core/PriceList.h"
#include "core/SearchInput.h"
#include "core/Text.h"

#include <QList>
#include <QString>

#include <optional>

namespace core {

// The four searches of the search window, as a request built from its controls, a validation and a run that
// returns typed results. The request and its checks are in SearchInput.h.

// A chapter, an article and a subarticle as the three result lists show them.
struct ChapterResult
{
    QString code; // "01.A01"
    Text sezione;
    Text capitolo;
    Text note; // note_capitolo
};

struct ArticleResult
{
    QString code; // "01.A01.A01"
    Text sezione;
    Text capitolo;
    Text articolo;
    Text note; // note_articolo
};

struct SearchResults
{
    QList<ChapterResult> chapters;
    QList<ArticleResult> articles;
    QList<Subarticle> subarticles;

    // How the lists follow each other afterwards:
    // a chapter selected lists its articles (a chapter-only text search);
    bool expandChapter = false;
    // the article list's selection leaves the subarticle list alone (it holds results of its own);
    bool lockSubarticles = false;
    // a subarticle selected lists its article;
    bool climbToArticle = false;
    // the subarticle list holds results, not the selected article's subarticles (its caption says so).
    bool subarticlesAreResults = false;
    // What the article list then holds, which its caption says: unchanged, the chapters' articles, or results.
    enum class ArticlesHold { Unchanged, ChaptersArticles, Results };
    ArticlesHold articlesHold = ArticlesHold::Unchanged;

    // The article shown in detail after an article search: its text and code (the last one listed).
    Text detailArticle;
    QString detailCode;

    ReportKind reportKind = ReportKind::None; // text and range searches only

    bool isEmpty() const { return chapters.isEmpty() && articles.isEmpty() && subarticles.isEmpty(); }
};

// A run: the problem that stopped it, or its results.
struct SearchOutcome
{
    std::optional<SearchProblem> problem;
    SearchResults results;
};

// Validates, then runs. Engine failures throw DbError.
SearchOutcome runSearch(const PriceList& list, const SearchRequest& request);

// The drill-down between the lists: the articles of a chapter ("01.A01", every row of each article once, in
// the list's order) and the article of a subarticle.
QList<ArticleResult> articlesOfChapter(const PriceList& list, const QString& chapterCode);
QList<ArticleResult> articleOfSubarticle(const PriceList& list, const QString& subarticleCode);

// The warning the window shows when a run found nothing.
inline const QString kNoResults = QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI");

} // namespace core
