#include "core/Search.h"

#include "core/EscapeQuotes.h"
#include "core/Recordset.h"
#include "core/RowValues.h"
#include "core/SearchMessages.h"

#include <QHash>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace core {

namespace {

// The code lengths of the three levels a range can span.
constexpr qsizetype kChapterLength = 6;
constexpr qsizetype kArticleLength = 10;
constexpr qsizetype kSubarticleLength = 14;

SearchProblem problem(SearchField field, const QString& message, const QString& title = QString())
{
    return {field, message, title};
}

bool hasApostrophe(const QString& text)
{
    return text.contains(u'\'');
}

bool badOptionalPart(const QString& part)
{
    return !part.isEmpty() && (part.size() != 3 || hasApostrophe(part));
}

QString rangeCode(const QString& prefix, const CodeParts& parts)
{
    QString code = prefix + parts.chapter;
    if (!parts.article.isEmpty())
        code += u'.' + parts.article;
    if (!parts.subarticle.isEmpty())
        code += u'.' + parts.subarticle;
    return code;
}

// A position in the list's order as a number; 0 (not found) for Null.
double positionAt(const Recordset& rs, int i)
{
    return rs.Fields(i).toDouble();
}

// "sez.cap" or "sez.cap.art", made in 'code' (its memory is reused from row to row).
void joinCode(QByteArray& code, std::initializer_list<QByteArrayView> parts)
{
    code.resize(0); // keeps the memory, unlike clear()
    bool first = true;
    for (const QByteArrayView part : parts) {
        if (!first)
            code += '.';
        code += part;
        first = false;
    }
}

// The last checks of both code searches, in their order: no quote in the article or chapter code, and a
// single section chosen (the whole list has no codes to look up).
std::optional<SearchProblem> codeUsable(const SearchRequest& request, const QString& wholeListWarning)
{
    if (hasApostrophe(request.code.article))
        return problem(SearchField::Article, msg::kCodiceArticolo);
    if (hasApostrophe(request.code.chapter))
        return problem(SearchField::Chapter, msg::kCodiceCapitolo);
    if (request.wholeList)
        return problem(SearchField::Section, wholeListWarning);
    return std::nullopt;
}

std::optional<SearchProblem> validateText(const SearchRequest& request)
{
    if (request.sectionText.isEmpty())
        return problem(SearchField::Section,
                       QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca elemento"));
    if (request.text.size() < 2)
        return problem(SearchField::Text,
                       QStringLiteral("Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca"));
    if (!request.levels.capitoli && !request.levels.articoli && !request.levels.subarticoli)
        return problem(SearchField::Levels, QStringLiteral("Selezionare almeno una scelta fra "
                                                           "Capitoli/Articoli/Subarticoli prima di procedere con la "
                                                           "ricerca"));
    return std::nullopt;
}

std::optional<SearchProblem> validateArticle(const SearchRequest& request)
{
    const CodeParts& code = request.code;
    if (request.sectionText.isEmpty())
        return problem(SearchField::Section, msg::kSezioneArticolo);
    if (code.article.size() != 3 || code.chapter.size() != 3)
        return problem(code.chapter.size() != 3 ? SearchField::Chapter : SearchField::Article,
                       msg::kCodiciCapitoloArticolo);
    return codeUsable(request, msg::kSezionePerArticolo);
}

std::optional<SearchProblem> validateSubarticle(const SearchRequest& request)
{
    const CodeParts& code = request.code;
    if (request.sectionText.isEmpty())
        return problem(SearchField::Section, msg::kSezioneSubarticolo);
    if (code.article.size() != 3 || code.chapter.size() != 3)
        return problem(code.chapter.size() != 3 ? SearchField::Chapter : SearchField::Article,
                       msg::kCodiciCapitoloArticolo);
    if (code.subarticle.size() != 3)
        return problem(SearchField::Subarticle,
                       QStringLiteral("Il Codice Subarticolo devono avere una lunghezza di 3 caratteri."));
    if (hasApostrophe(code.subarticle))
        return problem(SearchField::Subarticle, QStringLiteral("Il Codice Subarticolo deve avere una lunghezza di 3 "
                                                               "caratteri ed essere composto da tre numeri. Es. : "
                                                               "'010'"));
    return codeUsable(request, msg::kSezionePerSubarticolo);
}

// Each code of a range on its own; the comparison of the two comes after.
std::optional<SearchProblem> validateRangeParts(const SearchRequest& request)
{
    const CodeParts& from = request.from;
    const CodeParts& to = request.to;
    if (request.sectionText.isEmpty() || request.wholeList)
        return problem(SearchField::Section, msg::kSezioneDaA);
    if (from.chapter.size() != 3 || to.chapter.size() != 3)
        return problem(from.chapter.size() != 3 ? SearchField::FromChapter : SearchField::ToChapter,
                       QStringLiteral("I Codici Capitolo devono essere valorizzati, avere una lunghezza di 3 "
                                      "caratteri ed essere composti da una lettera e due numeri. Es. : 'A01'"));
    for (qsizetype i = 0; i < from.chapter.size(); ++i) {
        if (from.chapter[i] == u'\'' || to.chapter[i] == u'\'')
            return problem(from.chapter[i] == u'\'' ? SearchField::FromChapter : SearchField::ToChapter,
                           QStringLiteral("I Codici Capitolo devono avere una lunghezza di 3 caratteri ed essere "
                                          "composti da una lettera e due numeri. Es. : 'A01'"));
    }
    if (badOptionalPart(from.article) || badOptionalPart(to.article))
        return problem(badOptionalPart(from.article) ? SearchField::FromArticle : SearchField::ToArticle,
                       QStringLiteral("I Codici Articolo, se sono valorizzati, devono avere una lunghezza di 3 "
                                      "caratteri ed essere composti da una lettera e due numeri. Es. : 'A01'"));
    if ((!from.subarticle.isEmpty() && from.article.isEmpty()) || (!to.subarticle.isEmpty() && to.article.isEmpty()))
        return problem(from.article.isEmpty() && !from.subarticle.isEmpty() ? SearchField::FromArticle
                                                                           : SearchField::ToArticle,
                       QStringLiteral("Impossibile cercare il Codice Subarticolo senza il Codice Articolo"));
    if (badOptionalPart(from.subarticle) || badOptionalPart(to.subarticle))
        return problem(badOptionalPart(from.subarticle) ? SearchField::FromSubarticle : SearchField::ToSubarticle,
                       QStringLiteral("Il Codice Subarticolo, se presente, deve avere una lunghezza di 3 caratteri ed "
                                      "essere composto da tre numeri. Es. : '010'"));
    return std::nullopt;
}

std::optional<SearchProblem> validateRange(const SearchRequest& request)
{
    if (std::optional<SearchProblem> problem = validateRangeParts(request))
        return problem;
    const CodeParts& from = request.from;
    const CodeParts& to = request.to;
    if (request.rangeFromCode().size() != request.rangeToCode().size()) {
        // The empty box of the code that stops a level short of the other.
        SearchField field = from.subarticle.isEmpty() ? SearchField::FromSubarticle : SearchField::ToSubarticle;
        if (from.article.isEmpty() != to.article.isEmpty())
            field = from.article.isEmpty() ? SearchField::FromArticle : SearchField::ToArticle;
        return problem(field,
                       QStringLiteral("Ricerca possibile solo fra elementi dello stesso tipo (Capitolo-Capitolo, "
                                      "Articolo-Articolo, Subarticolo-Subarticolo)"),
                       QStringLiteral("Prezzario"));
    }
    return std::nullopt;
}

ReportKind reportKindOf(const SearchLevels& levels)
{
    struct Kind
    {
        bool capitoli;
        bool articoli;
        bool subarticoli;
        ReportKind kind;
    };
    static constexpr Kind kKinds[] = {
        {true, true, true, ReportKind::CapInd_ArtInd_SubInd}, {true, true, false, ReportKind::CapInd_ArtInd_SubDip},
        {false, true, true, ReportKind::ArtInd_SubInd},       {true, false, true, ReportKind::CapInd_SubInd},
        {false, false, true, ReportKind::SubInd},             {true, false, false, ReportKind::CapInd},
        {false, true, false, ReportKind::ArtInd},
    };
    for (const Kind& kind : kKinds) {
        if (kind.capitoli == levels.capitoli && kind.articoli == levels.articoli &&
            kind.subarticoli == levels.subarticoli)
            return kind.kind;
    }
    return ReportKind::None;
}

// The runs. Each fills 'results'; the range's may still find a problem in the list.

// The chapters whose name matches, in the order of seq_capitolo. Columns: codice_sezione, sezione,
// codice_capitolo, capitolo, seq_capitolo, note_capitolo.
Recordset matchingChapters(const Database& db, bool levelTables, const QString& pattern, const QString& section)
{
    if (!levelTables) {
        return db.OpenRecordset(
            QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo,"
                           "seq_capitolo,note_capitolo from prezzario where ucase(capitolo) like ") +
            pattern + (section.isEmpty() ? QString() : QStringLiteral(" and codice_sezione = ") + section) +
            QStringLiteral(" order by seq_capitolo"));
    }
    // One row per chapter instead of one per subarticle. The view lists a chapter only when it has a
    // subarticle, and walks chapters of the same seq_capitolo in the order of their ids: so does this.
    return db.OpenRecordset(
        QStringLiteral("select z.codice_sezione, z.sezione, c.codice_capitolo, c.capitolo, c.seq_capitolo, "
                       "c.note_capitolo from capitoli c join sezioni z on z.id = c.sezione where ucase(c.capitolo) "
                       "like ") +
        pattern + (section.isEmpty() ? QString() : QStringLiteral(" and z.codice_sezione = ") + section) +
        QStringLiteral(" and exists (select 1 from articoli a join subarticoli s on s.articolo = a.id where "
                       "a.capitolo = c.id) order by c.seq_capitolo, c.id"));
}

void searchChapters(const Database& db, bool levelTables, const QString& pattern, const QString& section,
                    SearchResults& results)
{
    Recordset rs = matchingChapters(db, levelTables, pattern, section);
    // A chapter is listed at the first row of each run of its code. Codes are compared in the engine's UTF-8:
    // over the one-table layout, most rows only repeat a code.
    QByteArray code;
    QByteArray previous;
    for (; !rs.Eof(); rs.MoveNext()) {
        joinCode(code, {rs.Utf8(0), rs.Utf8(2)});
        if (code != previous) {
            results.chapters.append({QString::fromUtf8(code), textAt(rs, 1), textAt(rs, 3), textAt(rs, 5)});
            previous.swap(code);
        }
    }
}

// Over the one-table layout: every matching row in the list's order, an article listed at the first row of
// each run of its code.
void searchArticleRows(const Database& db, const QString& pattern, const QString& section, SearchResults& results)
{
    Recordset rs = db.OpenRecordset(
        QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, "
                       "codice_articolo,articolo,seq_capitolo,note_articolo from "
                       "prezzario where ucase(articolo) like ") +
        pattern + (section.isEmpty() ? QString() : QStringLiteral(" and codice_sezione = ") + section) +
        QStringLiteral(" order by sequenza"));
    QByteArray code;
    QByteArray previous;
    for (; !rs.Eof(); rs.MoveNext()) {
        joinCode(code, {rs.Utf8(0), rs.Utf8(2), rs.Utf8(4)});
        if (code != previous) {
            results.articles.append(
                {QString::fromUtf8(code), textAt(rs, 1), textAt(rs, 3), textAt(rs, 5), textAt(rs, 7)});
            previous.swap(code);
        }
    }
}

// A text of the current row that shares the memory of 'last' when it holds the same text: a section's and a
// chapter's texts repeat in every row under them.
Text sharedTextAt(const Recordset& rs, int i, Text& last)
{
    if (rs.IsNull(i))
        return Text();
    const QByteArrayView utf8 = rs.Utf8(i);
    if (last.isNull() || last.utf8() != utf8)
        last = Text::fromUtf8(utf8);
    return last;
}

// The largest row id of a level table: about the number of its rows, since the builder numbers them from 1.
qsizetype largestId(const Database& db, const QString& table, const QString& id)
{
    const Recordset rs = db.OpenRecordset(QStringLiteral("select max(") + id + QStringLiteral(") from ") + table);
    return static_cast<qsizetype>(rs.Fields(0).toDouble());
}

// A matching article of the level tables, and the positions of its first and last subarticle in the list.
struct MatchingArticle
{
    qint64 id = 0;
    bool hasRows = false;
    qint64 first = 0;
    qint64 last = 0;
    ArticleResult result; // its code: "sez.cap.art"
};

// Sets the first and last position of each article of 'found' (sorted by id) that has subarticles.
void placeArticles(const Database& db, std::vector<MatchingArticle>& found)
{
    if (found.empty())
        return;
    // Looking an article up costs about as much as walking ten entries of the index of every subarticle's
    // article: few articles are looked up one by one, many are placed by one walk of that index.
    const Recordset size = db.OpenRecordset(QStringLiteral("select max(sequenza) from subarticoli"));
    const bool lookUp = double(found.size()) * 10 < size.Fields(0).toDouble();
    QString sql;
    if (lookUp) {
        sql = QStringLiteral("select articolo, min(sequenza), max(sequenza) from subarticoli where articolo in (");
        for (size_t i = 0; i < found.size(); ++i)
            sql += (i ? QStringLiteral(",") : QString()) + QString::number(found[i].id);
        sql += QStringLiteral(") group by articolo order by articolo");
    } else {
        sql = QStringLiteral("select articolo, sequenza from subarticoli order by articolo, sequenza");
    }
    const int lastColumn = lookUp ? 2 : 1;
    // Both come in the order of the article ids, as 'found' does, and an article's positions in order.
    size_t next = 0;
    for (Recordset rs = db.OpenRecordset(sql); !rs.Eof() && next < found.size(); rs.MoveNext()) {
        const auto article = static_cast<qint64>(rs.Fields(0).toDouble());
        while (next < found.size() && found[next].id < article)
            ++next;
        if (next == found.size() || found[next].id != article)
            continue;
        MatchingArticle& match = found[next];
        match.last = static_cast<qint64>(rs.Fields(lastColumn).toDouble());
        if (!match.hasRows)
            match.first = lastColumn == 1 ? match.last : static_cast<qint64>(rs.Fields(1).toDouble());
        match.hasRows = true;
    }
}

// The order in which the runs of a group of articles whose spans overlap (an article whose rows another one
// interrupts) come in the list, as indexes into 'found': from the subarticles themselves.
void interleavedRuns(const Database& db, const std::vector<MatchingArticle>& found,
                     const std::vector<std::pair<qint64, size_t>>& group, std::vector<size_t>& runs)
{
    std::vector<std::pair<qint64, size_t>> rows;
    for (const auto& [first, index] : group) {
        for (Recordset rs = db.OpenRecordset(QStringLiteral("select sequenza from subarticoli where articolo = ") +
                                             QString::number(found[index].id));
             !rs.Eof(); rs.MoveNext())
            rows.emplace_back(static_cast<qint64>(rs.Fields(0).toDouble()), index);
    }
    std::sort(rows.begin(), rows.end());
    for (size_t r = 0; r < rows.size(); ++r) {
        if (r == 0 || rows[r].second != rows[r - 1].second)
            runs.push_back(rows[r].second);
    }
}

// A chapter of the level tables with the texts its articles list.
struct ChapterTexts
{
    QString code; // "sez.cap."
    Text sezione;
    Text capitolo;
};

// Over the level tables: the matching articles, one row each, placed in the list by their subarticles. The
// rows of other articles between two of an article's rows split it only when they match too, as they do
// among the matching rows of the view.
void searchArticles(const Database& db, const QString& pattern, const QString& section, SearchResults& results)
{
    // The chapters (of the section), read once: their texts are shared by all their articles.
    QHash<qint64, ChapterTexts> chapters;
    {
        Recordset rs = db.OpenRecordset(
            QStringLiteral("select c.id, z.codice_sezione, z.sezione, c.codice_capitolo, c.capitolo from capitoli c "
                           "join sezioni z on z.id = c.sezione") +
            (section.isEmpty() ? QString() : QStringLiteral(" where z.codice_sezione = ") + section));
        QByteArray code;
        for (; !rs.Eof(); rs.MoveNext()) {
            joinCode(code, {rs.Utf8(1), rs.Utf8(3), QByteArrayView()});
            chapters.insert(static_cast<qint64>(rs.Fields(0).toDouble()),
                            {QString::fromUtf8(code), textAt(rs, 2), textAt(rs, 4)});
        }
    }
    // Room for every article at once, so that a broad search does not copy the list as it grows; room never
    // used is address space, not memory.
    std::vector<MatchingArticle> found;
    found.reserve(size_t(std::max<qsizetype>(0, largestId(db, QStringLiteral("articoli"), QStringLiteral("id")))));
    {
        Recordset rs = db.OpenRecordset(
            QStringLiteral("select id, capitolo, codice_articolo, articolo, note_articolo from articoli where "
                           "ucase(articolo) like ") +
            pattern + QStringLiteral(" order by id"));
        for (; !rs.Eof(); rs.MoveNext()) {
            const auto chapter = chapters.constFind(static_cast<qint64>(rs.Fields(1).toDouble()));
            if (chapter == chapters.constEnd())
                continue; // of another section
            MatchingArticle& article = found.emplace_back();
            article.id = static_cast<qint64>(rs.Fields(0).toDouble());
            article.result = {chapter->code + QString::fromUtf8(rs.Utf8(2)), chapter->sezione, chapter->capitolo,
                              textAt(rs, 3), textAt(rs, 4)};
        }
    }
    placeArticles(db, found);

    // In the list's order; the view lists an article only when it has a subarticle.
    std::vector<std::pair<qint64, size_t>> placed;
    placed.reserve(found.size());
    for (size_t i = 0; i < found.size(); ++i) {
        if (found[i].hasRows)
            placed.emplace_back(found[i].first, i);
    }
    std::sort(placed.begin(), placed.end());

    // Articles whose spans do not overlap any other are one run each; overlapping ones are ordered row by row.
    std::vector<size_t> runs;
    runs.reserve(placed.size());
    for (size_t begin = 0; begin < placed.size();) {
        size_t end = begin + 1;
        qint64 last = found[placed[begin].second].last;
        for (; end < placed.size() && placed[end].first < last; ++end)
            last = std::max(last, found[placed[end].second].last);
        if (end == begin + 1) {
            runs.push_back(placed[begin].second);
        } else {
            interleavedRuns(db, found, {placed.begin() + qsizetype(begin), placed.begin() + qsizetype(end)}, runs);
        }
        begin = end;
    }

    // Neighbouring runs of one code make one listed article, with the texts of the first.
    results.articles.reserve(results.articles.size() + qsizetype(runs.size()));
    const QString* previous = nullptr;
    for (const size_t run : runs) {
        MatchingArticle& article = found[run];
        if (previous && *previous == article.result.code)
            continue;
        previous = &article.result.code;
        results.articles.append(article.result);
    }
}

void searchSubarticles(const Database& db, bool levelTables, const QString& pattern, const QString& section,
                       SearchResults& results)
{
    QString sql;
    if (levelTables && section.isEmpty()) {
        // The whole list is every subarticle: the builder writes a subarticle's article, chapter and section
        // before it, so the view's joins would only cost time.
        sql = QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
                             "somma_manodopera from subarticoli where ucase(subarticolo) like ") +
              pattern + QStringLiteral(" order by sequenza");
        // Room for every subarticle at once: growing a list this long copies it several times, each time into
        // fresh memory. What a narrower search leaves unused is given back below.
        results.subarticles.reserve(
            results.subarticles.size() +
            std::max<qsizetype>(0, largestId(db, QStringLiteral("subarticoli"), QStringLiteral("sequenza"))));
    } else {
        sql = QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
                             "somma_manodopera,seq_capitolo from prezzario where ucase(subarticolo) like ") +
              pattern + (section.isEmpty() ? QString() : QStringLiteral(" and codice_sezione = ") + section) +
              QStringLiteral(" order by sequenza");
    }
    // The unit of measure repeats from row to row: its memory is shared while it does.
    Text simbolo;
    for (Recordset rs = db.OpenRecordset(sql); !rs.Eof(); rs.MoveNext()) {
        results.subarticles.append({rs.Fields(0).Text(), textAt(rs, 1), sharedTextAt(rs, 2, simbolo), numberAt(rs, 3),
                                    numberAt(rs, 4), numberAt(rs, 5)});
    }
    if (results.subarticles.size() < results.subarticles.capacity() / 2)
        results.subarticles.squeeze();
}

void runText(const Database& db, const SearchRequest& request, SearchResults& results)
{
    // Quotes doubled and the text between the asterisks of a like pattern.
    const QString pattern = SqlString(u'*' + request.text.toUpper() + u'*');
    // The section code comes from typed text as well: quoted, it can neither break nor change the query.
    const QString section = request.wholeList ? QString() : SqlString(sectionCodeOf(request.sectionText));
    const bool levelTables = hasLevelTables(db);
    if (request.levels.capitoli)
        searchChapters(db, levelTables, pattern, section, results);
    if (request.levels.articoli) {
        if (levelTables)
            searchArticles(db, pattern, section, results);
        else
            searchArticleRows(db, pattern, section, results);
    }
    if (request.levels.subarticoli)
        searchSubarticles(db, levelTables, pattern, section, results);
}

void runArticle(const Database& db, const SearchRequest& request, SearchResults& results)
{
    // The boxes cannot hold a quote; the section prefix may come from typed combo text.
    const QString code =
        SqlString(request.codePrefix + request.code.chapter.toUpper() + u'.' + request.code.article.toUpper());
    {
        Recordset rs = db.OpenRecordset(QStringLiteral("select mid(codice_totale,1,10),sezione,capitolo,articolo,"
                                                       "seq_capitolo,note_capitolo,note_articolo from prezzario "
                                                       "where mid(codice_totale,1,10) = ") +
                                        code + QStringLiteral(" order by sequenza"));
        QString previous;
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString articleCode = rs.Fields(0).Text();
            const QString grouping = articleCode + u'.' + rs.Fields(2).Text() + u'.' + rs.Fields(4).Text();
            if (grouping != previous) {
                results.chapters.append({articleCode.left(kChapterLength), textAt(rs, 1), textAt(rs, 2), textAt(rs, 5)});
                results.articles.append({articleCode, textAt(rs, 1), textAt(rs, 2), textAt(rs, 3), textAt(rs, 6)});
                results.detailArticle = textAt(rs, 3);
                results.detailCode = articleCode;
            }
            previous = grouping;
        }
    }
    for (Recordset rs = db.OpenRecordset(QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,"
                                                        "incidenza_manodopera,somma_manodopera,seq_capitolo from "
                                                        "prezzario where mid(codice_totale,1,10) = ") +
                                         code + QStringLiteral(" order by sequenza"));
         !rs.Eof(); rs.MoveNext())
        results.subarticles.append(subarticleAt(rs, 0));
}

void runSubarticle(const Database& db, const SearchRequest& request, SearchResults& results)
{
    const CodeParts& parts = request.code;
    const QString code = SqlString(request.codePrefix + parts.chapter.toUpper() + u'.' + parts.article.toUpper() +
                                   u'.' + parts.subarticle.toUpper());
    for (Recordset rs = db.OpenRecordset(
             QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
                            "somma_manodopera,seq_capitolo,sezione,capitolo,articolo,note_capitolo,note_articolo "
                            "from prezzario where codice_totale = ") +
             code);
         !rs.Eof(); rs.MoveNext()) {
        const Subarticle subarticle = subarticleAt(rs, 0);
        results.chapters.append({subarticle.code.left(kChapterLength), textAt(rs, 7), textAt(rs, 8), textAt(rs, 10)});
        results.articles.append(
            {subarticle.code.left(kArticleLength), textAt(rs, 7), textAt(rs, 8), textAt(rs, 9), textAt(rs, 11)});
        results.subarticles.append(subarticle);
    }
}

// The columns of a range's rows.
const QString kRangeColumns = QStringLiteral(
    "select sequenza,seq_capitolo,codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
    "somma_manodopera,sezione,capitolo,note_capitolo,articolo,note_articolo from prezzario");
enum RangeColumn {
    sequenza = 0,
    seq_capitolo = 1,
    codice_totale = 2, // and the five subarticle columns after it
    sezione = 8,
    capitolo = 9,
    note_capitolo = 10,
    articolo = 11,
    note_articolo = 12,
};

ChapterResult rangeChapter(const Recordset& rs)
{
    return {rs.Fields(codice_totale).Text().left(kChapterLength), textAt(rs, sezione), textAt(rs, capitolo),
            textAt(rs, note_capitolo)};
}

ArticleResult rangeArticle(const Recordset& rs)
{
    return {rs.Fields(codice_totale).Text().left(kArticleLength), textAt(rs, sezione), textAt(rs, capitolo),
            textAt(rs, articolo), textAt(rs, note_articolo)};
}

// The first and the last position of a code of one level; 0 where the code is not in the list.
std::pair<double, double> rangePositions(const Database& db, qsizetype length, const QString& startCode,
                                         const QString& endCode)
{
    double start = 0;
    double end = 0;
    if (length == kArticleLength) {
        Recordset rs = db.OpenRecordset(QStringLiteral("select min(sequenza),mid(codice_totale,1,10) from prezzario "
                                                       "where mid(codice_totale,1,10) = ") +
                                        startCode + QStringLiteral(" group by mid(codice_totale,1,10)"));
        if (!rs.Eof())
            start = positionAt(rs, 0);
        rs = db.OpenRecordset(QStringLiteral("select max(sequenza),mid(codice_totale,1,10) from prezzario where "
                                             "mid(codice_totale,1,10) = ") +
                              endCode + QStringLiteral(" group by mid(codice_totale,1,10)"));
        if (!rs.Eof())
            end = positionAt(rs, 0);
    } else {
        Recordset rs =
            db.OpenRecordset(QStringLiteral("select sequenza,codice_totale from prezzario where codice_totale = ") +
                             startCode);
        if (!rs.Eof())
            start = positionAt(rs, 0);
        rs = db.OpenRecordset(QStringLiteral("select sequenza,codice_totale from prezzario where codice_totale = ") +
                              endCode);
        if (!rs.Eof())
            end = positionAt(rs, 0);
    }
    return {start, end};
}

std::optional<SearchProblem> runRange(const Database& db, const SearchRequest& request, SearchResults& results)
{
    const QString section = SqlString(request.codePrefix.left(2));
    const QString fromCode = request.rangeFromCode();
    const qsizetype length = fromCode.size();

    // Both chapters must exist in the section and be in order, whatever the level of the codes.
    double chapterStart = 0;
    double chapterEnd = 0;
    {
        const QString startChapter = request.from.chapter.toUpper();
        const QString endChapter = request.to.chapter.toUpper();
        for (Recordset rs = db.OpenRecordset(QStringLiteral("select distinct seq_capitolo,codice_capitolo from "
                                                            "prezzario where codice_sezione = ") +
                                             section + QStringLiteral(" order by seq_capitolo"));
             !rs.Eof(); rs.MoveNext()) {
            const QString chapter = rs.Fields(1).Text();
            if (chapter == startChapter)
                chapterStart = positionAt(rs, 0);
            if (chapter == endChapter)
                chapterEnd = positionAt(rs, 0);
        }
    }
    if (chapterStart == 0)
        return problem(SearchField::FromChapter, QStringLiteral("Codice Capitolo di partenza inesistente"));
    if (chapterEnd == 0)
        return problem(SearchField::ToChapter, QStringLiteral("Codice Capitolo di arrivo inesistente"));
    if (chapterEnd < chapterStart)
        return problem(SearchField::ToChapter, QStringLiteral("Il Codice Capitolo di arrivo deve essere successivo "
                                                              "nell'ordine del prezzario al Codice Capitolo di "
                                                              "partenza"));

    double start = chapterStart;
    double end = chapterEnd;
    if (length == kArticleLength || length == kSubarticleLength) {
        const bool article = length == kArticleLength;
        const QString level = article ? QStringLiteral("Articolo") : QStringLiteral("Subarticolo");
        std::tie(start, end) =
            rangePositions(db, length, SqlString(fromCode.toUpper()), SqlString(request.rangeToCode().toUpper()));
        if (start == 0)
            return problem(article ? SearchField::FromArticle : SearchField::FromSubarticle,
                           QStringLiteral("Codice %1 di partenza inesistente").arg(level));
        if (end == 0)
            return problem(article ? SearchField::ToArticle : SearchField::ToSubarticle,
                           QStringLiteral("Codice %1 di arrivo inesistente").arg(level));
        if (end < start)
            return problem(article ? SearchField::ToArticle : SearchField::ToSubarticle,
                           QStringLiteral("Il Codice %1 di arrivo deve essere successivo nell'ordine del prezzario "
                                          "al Codice %1 di partenza")
                               .arg(level));
    } else if (length != kChapterLength) {
        return std::nullopt; // codes of no level: nothing to list
    }

    if (length == kChapterLength && fromCode == request.rangeToCode()) {
        // One chapter: its row, each of its articles once, and all its subarticles.
        Recordset rs = db.OpenRecordset(kRangeColumns + QStringLiteral(" where codice_sezione = ") + section +
                                        QStringLiteral(" and codice_capitolo =") +
                                        SqlString(request.from.chapter.toUpper()) + QStringLiteral(" order by sequenza"));
        QString lastArticle;
        for (bool first = true; !rs.Eof(); rs.MoveNext(), first = false) {
            if (first)
                results.chapters.append(rangeChapter(rs));
            const QString articleCode = rs.Fields(codice_totale).Text().left(kArticleLength);
            if (articleCode != lastArticle) {
                results.articles.append(rangeArticle(rs));
                lastArticle = articleCode;
            }
            results.subarticles.append(subarticleAt(rs, codice_totale));
        }
        return std::nullopt;
    }

    // A true range: every row of the section between the two positions, both included.
    const int positionColumn = length == kChapterLength ? seq_capitolo : sequenza;
    QString lastChapter;
    QString lastArticle;
    for (Recordset rs = db.OpenRecordset(kRangeColumns + QStringLiteral(" where codice_sezione = ") + section +
                                         QStringLiteral(" order by sequenza"));
         !rs.Eof(); rs.MoveNext()) {
        const double position = positionAt(rs, positionColumn);
        if (position < start || position > end)
            continue;
        const QString code = rs.Fields(codice_totale).Text();
        if (code.left(kChapterLength) != lastChapter) {
            results.chapters.append(rangeChapter(rs));
            lastChapter = code.left(kChapterLength);
        }
        if (code.left(kArticleLength) != lastArticle) {
            results.articles.append(rangeArticle(rs));
            lastArticle = code.left(kArticleLength);
        }
        results.subarticles.append(subarticleAt(rs, codice_totale));
    }
    return std::nullopt;
}

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

QString SearchRequest::rangeFromCode() const
{
    return rangeCode(codePrefix, from);
}

QString SearchRequest::rangeToCode() const
{
    return rangeCode(codePrefix, to);
}

bool rangeCodesWellFormed(const SearchRequest& request)
{
    return request.mode == SearchMode::Range && !validateRangeParts(request);
}

std::optional<SearchProblem> validate(const SearchRequest& request)
{
    switch (request.mode) {
    case SearchMode::None:
        return problem(SearchField::Mode, QStringLiteral("Selezionare un tipo di ricerca prima di procedere "));
    case SearchMode::Text:
        return validateText(request);
    case SearchMode::Article:
        return validateArticle(request);
    case SearchMode::Subarticle:
        return validateSubarticle(request);
    case SearchMode::Range:
        return validateRange(request);
    }
    return std::nullopt;
}

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
