#include "Layouts.h"

#include "AppState.h"
#include "EscapeQuotes.h"
#include "ReportList.h"
#include "ReportRows.h"
#include "frmCerca.h"

#include <QHash>
#include <QList>

#include <optional>

namespace report {

namespace {

// The keys of a list's items grouped by the first characters of their code, each group in key order.
QHash<QString, QList<QString>> groupedBy(const ui::ReportList& list, qsizetype length)
{
    QHash<QString, QList<QString>> groups;
    for (qsizetype i = 0; i < list.Count(); ++i) {
        const QString key = ui::ReportList::keyFor(i);
        groups[list.Text(key).left(length)].append(key);
    }
    return groups;
}

} // namespace

void printCodeAndRange(const ReportContext& context)
{
    const search::frmCerca& cerca = context.cerca;
    ReportRows& rows = context.rows;
    const QString combo = cerca.cmbSezioni();
    const QString section = combo.left(2);

    // Each chapter takes, in key order, the listed articles whose code starts with the chapter's code,
    // and each of those the listed subarticles of the article. Grouping the lists once gives the same
    // rows as walking the whole lists for every chapter and article, without the quadratic cost.
    const ui::ReportList& chapters = cerca.lstCapitoli();
    const ui::ReportList& articles = cerca.lstArticoli();
    const ui::ReportList& subarticles = cerca.lstSubarticoli();
    const QHash<QString, QList<QString>> articlesOf = groupedBy(articles, 6);
    const QHash<QString, QList<QString>> subarticlesOf = groupedBy(subarticles, 10);
    qint64 total = 1;
    for (qsizetype c = 0; c < chapters.Count(); ++c) {
        ++total;
        for (const QString& articleKey : articlesOf.value(chapters.Text(ui::ReportList::keyFor(c))))
            total += 1 + subarticlesOf.value(articles.Text(articleKey)).size();
    }
    rows.expectRows(total);

    rows.riga = 3;
    rows.sectionHead(section, combo.mid(5));

    // PrintSearchReport prints nothing when no mode is selected, so one of the three is.
    const QString label = cerca.optDa_A()       ? cerca.lblDa_Sez()
                          : cerca.optarticolo() ? cerca.lblArtSez()
                                                : cerca.lblSubSez();
    const QString noteSection = label.left(2);
    {
        core::Recordset& rsMain = context.state.rsMain;
        const core::SlotGuard closeSlot(rsMain);
        rsMain = context.state.dbPrezzario.OpenRecordset(
            QStringLiteral("select note_sezione from prezzario where codice_sezione=") + core::SqlString(noteSection) +
            QStringLiteral(" order by sequenza"));
        if (rsMain.Eof())
            noRowsFor(noteSection, rows.riga);
        const core::Field note = rsMain.Fields(0);
        rows.sectionNote(note.IsNull() ? std::nullopt : std::optional<QString>(note.Text()));
    }

    for (qsizetype c = 0; c < chapters.Count(); ++c) {
        const QString chapterKey = ui::ReportList::keyFor(c);
        const QString chapter = chapters.Text(chapterKey);
        rows.chapter(section, chapter, chapters.SubItem(chapterKey, 2), chapters.SubItem(chapterKey, 3));
        for (const QString& articleKey : articlesOf.value(chapter)) {
            const QString article = articles.Text(articleKey);
            rows.article(section, article, articles.SubItem(articleKey, 3), articles.SubItem(articleKey, 4));
            for (const QString& key : subarticlesOf.value(article))
                rows.subarticle(section, subarticles.Text(key), subarticles.SubItem(key, 1),
                                subarticles.SubItem(key, 2), subarticles.SubItem(key, 3), subarticles.SubItem(key, 4),
                                subarticles.SubItem(key, 5));
        }
    }
}

} // namespace report
