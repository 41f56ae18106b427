#include "report/Layouts.h"

#include "core/PriceList.h"
#include "report/ReportRows.h"

#include <QHash>
#include <QList>

namespace report {

namespace {

// The positions of a list's items grouped by the first characters of their code, each group in list order.
template <typename Item>
QHash<QString, QList<qsizetype>> groupedBy(const QList<Item>& items, qsizetype length)
{
    QHash<QString, QList<qsizetype>> groups;
    for (qsizetype i = 0; i < items.size(); ++i)
        groups[items[i].code.left(length)].append(i);
    return groups;
}

} // namespace

void printCodeAndRange(const ReportContext& context)
{
    const core::SearchRequest& request = context.search.request;
    const core::SearchResults& results = context.search.results;
    ReportRows& rows = context.rows;
    const QString section = core::sectionCodeOf(request.sectionText);

    // Each chapter takes, in list order, the listed articles whose code starts with the chapter's code, and
    // each of those the listed subarticles of the article. Grouping the lists once gives the same rows as
    // walking the whole lists for every chapter and article, without the quadratic cost.
    const QHash<QString, QList<qsizetype>> articlesOf = groupedBy(results.articles, 6);
    const QHash<QString, QList<qsizetype>> subarticlesOf = groupedBy(results.subarticles, 10);
    qint64 total = 1;
    for (const core::ChapterResult& chapter : results.chapters) {
        ++total;
        for (const qsizetype a : articlesOf.value(chapter.code))
            total += 1 + subarticlesOf.value(results.articles[a].code).size();
    }
    rows.expectRows(total);

    rows.riga = 3;
    rows.sectionHead(section, request.sectionText.mid(5));
    // The note comes from the section the code boxes start with.
    const QString noteSection = request.codePrefix.left(2);
    const std::optional<core::Text> note = context.list.sectionNote(noteSection);
    if (!note)
        noRowsFor(noteSection, rows.riga);
    rows.sectionNote(note->isNull() ? std::nullopt : std::optional<QString>(note->toString()));

    for (const core::ChapterResult& chapter : results.chapters) {
        rows.chapter(section, chapter.code, chapter.capitolo.toString(), chapter.note.toString());
        for (const qsizetype a : articlesOf.value(chapter.code)) {
            const core::ArticleResult& article = results.articles[a];
            rows.article(section, article.code, article.articolo.toString(), article.note.toString());
            for (const qsizetype s : subarticlesOf.value(article.code)) {
                const core::Subarticle& item = results.subarticles[s];
                rows.subarticle(section, item.code, item.subarticolo.toString(), item.simbolo.toString(),
                                numberCell(item.prezzoLordo), shareCell(item.incidenzaManodopera),
                                numberCell(item.sommaManodopera));
            }
        }
    }
}

} // namespace report
