#include "report/Layouts.h"

#include "report/AutomationError.h"
#include "core/Field.h"
#include "core/PriceList.h"
#include "report/ReportRows.h"

namespace report {

QString numberCell(const std::optional<double>& number)
{
    return number ? core::numberText(*number) : QString();
}

QString shareCell(const std::optional<double>& share)
{
    return share ? core::numberText(*share) + QStringLiteral(" %") : QString();
}

void noRowsFor(const QString& code, int riga)
{
    throw ReportError(QStringLiteral("Nel prezzario non c'è più alcuna voce con il codice «%1»: la stampa si è fermata "
                                     "alla riga %2.\nLe righe già scritte restano nel foglio.")
                          .arg(code)
                          .arg(riga));
}

namespace {

// The listed codes of the one level a grouped report prints.
QStringList listedCodes(const core::SearchResults& results, core::PriceList::Level level)
{
    QStringList codes;
    if (level == core::PriceList::Level::Article) {
        for (const core::ArticleResult& article : results.articles)
            codes << article.code;
    } else if (level == core::PriceList::Level::Chapter) {
        for (const core::ChapterResult& chapter : results.chapters)
            codes << chapter.code;
    } else {
        for (const core::Subarticle& subarticle : results.subarticles)
            codes << subarticle.code;
    }
    return codes;
}

} // namespace

void printGrouped(const ReportContext& context)
{
    using Level = core::PriceList::Level;
    const core::ReportKind kind = context.search.kind;
    const Level level = kind == core::ReportKind::ArtInd   ? Level::Article
                        : kind == core::ReportKind::CapInd ? Level::Chapter
                                                           : Level::Subarticle;
    const QStringList codes = listedCodes(context.search.results, level);
    ReportRows& rows = context.rows;
    rows.riga = 3;
    // Not reset between list items, so that neighbouring items share their headings.
    QString lastSection;
    QString lastChapter;
    QString lastArticle;
    // The rows of an item, headings included, are known only once its query has run.
    rows.expectItems(level == Level::Article   ? QStringLiteral("Articoli")
                     : level == Level::Chapter ? QStringLiteral("Capitoli")
                                               : QStringLiteral("Subarticoli"),
                     codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QString& code = codes[i];
        QList<core::PriceList::Row> found = context.list.rowsUnder(code, level);
        if (found.isEmpty())
            noRowsFor(code, rows.riga);
        // A subarticle prints its own row only, its cells as the list shows them.
        if (level == Level::Subarticle)
            found.resize(1);
        for (const core::PriceList::Row& row : found) {
            const QString section = row.codiceSezione;
            if (section != lastSection) {
                if (rows.riga != 3)
                    ++rows.riga;
                rows.section(section, row.sezione.toString(),
                             row.noteSezione.isNull() ? std::nullopt
                                                      : std::optional<QString>(row.noteSezione.toString()));
                lastSection = section;
            }
            const QString chapterCode = row.code.left(6);
            if (chapterCode != lastChapter) {
                rows.chapter(section, chapterCode, row.capitolo.toString(), row.noteCapitolo.toString());
                lastChapter = chapterCode;
            }
            const QString articleCode = row.code.left(10);
            if (articleCode != lastArticle) {
                rows.article(section, articleCode, row.articolo.toString(), row.noteArticolo.toString());
                lastArticle = articleCode;
            }
            const core::Subarticle& item =
                level == Level::Subarticle ? context.search.results.subarticles[i] : row.subarticle;
            const QString itemSection = level == Level::Subarticle ? code.left(2) : row.code.left(2);
            rows.subarticle(itemSection, item.code, item.subarticolo.toString(), item.simbolo.toString(),
                            numberCell(item.prezzoLordo), shareCell(item.incidenzaManodopera),
                            numberCell(item.sommaManodopera));
        }
        rows.itemDone();
    }
}

} // namespace report
