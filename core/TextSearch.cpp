#include "core/SearchQueries.h"

#include "core/EscapeQuotes.h"
#include "core/Recordset.h"
#include "core/RowValues.h"

#include <QHash>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace core {

namespace {

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

} // namespace

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

} // namespace core
