#include "report/Layouts.h"

#include "core/PriceList.h"
#include "report/ReportRows.h"

namespace report {

namespace {

void chapterRow(const core::ChapterResult& chapter, ReportRows& rows)
{
    rows.chapter(chapter.code.left(2), chapter.code, chapter.capitolo.toString(), chapter.note.toString());
}

void articleRow(const core::ArticleResult& article, ReportRows& rows)
{
    rows.article(article.code.left(2), article.code, article.articolo.toString(), article.note.toString());
}

void subarticleRow(const core::Subarticle& item, ReportRows& rows)
{
    rows.subarticle(item.code.left(2), item.code, item.subarticolo.toString(), item.simbolo.toString(),
                    numberCell(item.prezzoLordo), shareCell(item.incidenzaManodopera),
                    numberCell(item.sommaManodopera));
}

} // namespace

void printResultLists(const ReportContext& context, bool related)
{
    const core::SearchResults& results = context.search.results;
    const auto& chapters = results.chapters;
    const auto& articles = results.articles;
    const auto& subarticles = results.subarticles;
    ReportRows& rows = context.rows;

    // Rows from the lists are known before the first is written; the subarticles of each related article
    // are known only once its query has run, so that layout counts articles, not rows.
    const auto block = [](qsizetype count) { return count > 0 ? 1 + count : 0; };
    if (!related)
        rows.expectRows(block(chapters.size()) + block(articles.size()) + block(subarticles.size()));
    else if (articles.isEmpty())
        rows.expectRows(block(chapters.size()));
    else
        rows.expectItems(QStringLiteral("Articoli"), articles.size());

    rows.riga = 3;
    if (!chapters.isEmpty()) {
        rows.blockLabel(QStringLiteral("CAPITOLI:"));
        for (const core::ChapterResult& chapter : chapters)
            chapterRow(chapter, rows);
    }
    if (!related) {
        if (!articles.isEmpty()) {
            rows.riga += 2;
            rows.blockLabel(QStringLiteral("ARTICOLI:"));
            for (const core::ArticleResult& article : articles)
                articleRow(article, rows);
        }
        if (!subarticles.isEmpty()) {
            rows.riga += 2;
            rows.blockLabel(QStringLiteral("SUBARTICOLI:"));
            for (const core::Subarticle& item : subarticles)
                subarticleRow(item, rows);
        }
        return;
    }

    if (articles.isEmpty())
        return;
    rows.riga += 2;
    rows.blockLabel(QStringLiteral("ARTICOLI (con SUBARTICOLI associati):"));
    for (const core::ArticleResult& article : articles) {
        articleRow(article, rows);
        for (const core::Subarticle& item :
             context.list.subarticles(article.code, core::SubarticleOrder::ByListOrder).subarticles)
            subarticleRow(item, rows);
        rows.itemDone();
    }
}

} // namespace report
