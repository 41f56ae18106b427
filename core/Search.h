#pragma once

#include "core/PriceList.h"
#include "core/Text.h"

#include <QList>
#include <QString>

#include <optional>

namespace core {

// The four searches of the search window, as a request built from its controls, a validation and a run that
// returns typed results. The warnings are the window's own texts, in the order it checks them.

enum class SearchMode {
    None, // no mode chosen yet
    Text,
    Article,
    Subarticle,
    Range,
};

// Which levels a text search looks in. The combination also chooses the report's layout.
struct SearchLevels
{
    bool capitoli = false;
    bool articoli = false;
    bool subarticoli = false;
};

// The three parts of a code after the section: "A01", "A01", "010"; later parts may be empty.
struct CodeParts
{
    QString chapter = {};
    QString article = {};
    QString subarticle = {};
};

struct SearchRequest
{
    SearchMode mode = SearchMode::None;
    // The section box: its text as shown (empty: no section) and whether the entry picked last is the
    // first one, the whole list. A typed text counts as a section of its first two characters.
    QString sectionText;
    bool wholeList = false;
    // What the code boxes start with ("01."), as shown beside them: set when the section was chosen, kept
    // when the section's text is typed over afterwards.
    QString codePrefix;

    QString text; // text search: the searched text, as typed
    SearchLevels levels;
    CodeParts code; // article (chapter and article) and subarticle searches
    CodeParts from; // range search
    CodeParts to;

    // The range's two codes as the report names them: prefix, chapter, and article and subarticle when given.
    QString rangeFromCode() const;
    QString rangeToCode() const;
};

// The control a warning is about; the window gives it the focus back.
enum class SearchField {
    None,
    Mode,
    Section,
    Text,
    Levels,
    Chapter,
    Article,
    Subarticle,
    FromChapter,
    FromArticle,
    FromSubarticle,
    ToChapter,
    ToArticle,
    ToSubarticle,
};

struct SearchProblem
{
    SearchField field = SearchField::None;
    QString message;
    QString title; // empty: the program's usual title
};

// The checks of the typed input, in the window's order; the first that fails. The range's checks against the
// list (chapters and codes that must exist and come in order) are made by the run.
std::optional<SearchProblem> validate(const SearchRequest& request);

// Whether a range request's two codes each pass their checks, before they are compared with each other and
// looked up: from then on the report names them, even when the run is refused.
bool rangeCodesWellFormed(const SearchRequest& request);

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

// Which of the report's layouts a search prints with, by the levels it looked in.
enum class ReportKind {
    None,
    CapInd_ArtInd_SubInd,
    CapInd_ArtInd_SubDip,
    ArtInd_SubInd,
    CapInd_SubInd,
    SubInd,
    CapInd,
    ArtInd,
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
