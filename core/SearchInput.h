#pragma once

#include <QString>

#include <optional>

namespace core {

// What the search window asks, read from its controls, and the checks of the typed input. The warnings are the
// window's own texts, in the order it checks them.

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

// The layout of a text or range search that looked in 'levels'; None when it looked in none.
ReportKind reportKindOf(const SearchLevels& levels);

} // namespace core
