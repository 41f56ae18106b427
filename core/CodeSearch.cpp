#include "core/SearchQueries.h"

#include "core/EscapeQuotes.h"
#include "core/Recordset.h"
#include "core/RowValues.h"

#include <tuple>
#include <utility>

namespace core {

namespace {

// The code lengths of the three levels a range can span.
constexpr qsizetype kChapterLength = 6;
constexpr qsizetype kArticleLength = 10;
constexpr qsizetype kSubarticleLength = 14;

// A position in the list's order as a number; 0 (not found) for Null.
double positionAt(const Recordset& rs, int i)
{
    return rs.Fields(i).toDouble();
}

} // namespace

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
                results.chapters.append(
                    {articleCode.left(kChapterLength), textAt(rs, 1), textAt(rs, 2), textAt(rs, 5)});
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

namespace {

// The columns of a range's rows.
const QString kRangeColumns =
    QStringLiteral("select sequenza,seq_capitolo,codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
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
        Recordset rs = db.OpenRecordset(
            QStringLiteral("select sequenza,codice_totale from prezzario where codice_totale = ") + startCode);
        if (!rs.Eof())
            start = positionAt(rs, 0);
        rs = db.OpenRecordset(QStringLiteral("select sequenza,codice_totale from prezzario where codice_totale = ") +
                              endCode);
        if (!rs.Eof())
            end = positionAt(rs, 0);
    }
    return {start, end};
}

} // namespace

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
        Recordset rs =
            db.OpenRecordset(kRangeColumns + QStringLiteral(" where codice_sezione = ") + section +
                             QStringLiteral(" and codice_capitolo =") + SqlString(request.from.chapter.toUpper()) +
                             QStringLiteral(" order by sequenza"));
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

} // namespace core
