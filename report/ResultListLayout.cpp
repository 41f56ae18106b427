#include "Layouts.h"

#include "AppState.h"
#include "EscapeQuotes.h"
#include "ReportList.h"
#include "ReportRows.h"
#include "frmCerca.h"

namespace report {

namespace {

void chapterBlock(const ui::ReportList& list, ReportRows& rows)
{
    rows.blockLabel(QStringLiteral("CAPITOLI:"));
    for (qsizetype i = 0; i < list.Count(); ++i) {
        const QString key = ui::ReportList::keyFor(i);
        const QString code = list.Text(key);
        rows.chapter(code.left(2), code, list.SubItem(key, 2), list.SubItem(key, 3));
    }
}

void articleRow(const ui::ReportList& list, const QString& key, ReportRows& rows)
{
    const QString code = list.Text(key);
    rows.article(code.left(2), code, list.SubItem(key, 3), list.SubItem(key, 4));
}

} // namespace

void printResultLists(const ReportContext& context, bool related)
{
    const ui::ReportList& chapters = context.cerca.lstCapitoli();
    const ui::ReportList& articles = context.cerca.lstArticoli();
    const ui::ReportList& subarticles = context.cerca.lstSubarticoli();
    ReportRows& rows = context.rows;

    // Rows from the lists are known before the first is written; the subarticles of each related article
    // are known only once its query has run, so that layout counts articles, not rows.
    const auto block = [](const ui::ReportList& list) { return list.Count() > 0 ? 1 + list.Count() : 0; };
    if (!related)
        rows.expectRows(block(chapters) + block(articles) + block(subarticles));
    else if (articles.Count() == 0)
        rows.expectRows(block(chapters));
    else
        rows.expectItems(QStringLiteral("Articoli"), articles.Count());

    rows.riga = 3;
    if (chapters.Count() > 0)
        chapterBlock(chapters, rows);

    if (!related) {
        if (articles.Count() > 0) {
            rows.riga += 2;
            rows.blockLabel(QStringLiteral("ARTICOLI:"));
            for (qsizetype i = 0; i < articles.Count(); ++i)
                articleRow(articles, ui::ReportList::keyFor(i), rows);
        }
        if (subarticles.Count() > 0) {
            rows.riga += 2;
            rows.blockLabel(QStringLiteral("SUBARTICOLI:"));
            for (qsizetype i = 0; i < subarticles.Count(); ++i) {
                const QString key = ui::ReportList::keyFor(i);
                const QString code = subarticles.Text(key);
                rows.subarticle(code.left(2), code, subarticles.SubItem(key, 1), subarticles.SubItem(key, 2),
                                subarticles.SubItem(key, 3), subarticles.SubItem(key, 4), subarticles.SubItem(key, 5));
            }
        }
        return;
    }

    if (articles.Count() == 0)
        return;
    rows.riga += 2;
    rows.blockLabel(QStringLiteral("ARTICOLI (con SUBARTICOLI associati):"));
    core::Recordset& rs4 = context.state.rs4;
    const core::SlotGuard closeSlot(rs4);
    for (qsizetype i = 0; i < articles.Count(); ++i) {
        const QString key = ui::ReportList::keyFor(i);
        articleRow(articles, key, rows);
        rs4 = context.state.dbPrezzario.OpenRecordset(
            QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
                           "somma_manodopera from prezzario where mid(codice_totale,1,10) =") +
            core::SqlString(articles.Text(key)) + QStringLiteral(" order by sequenza"));
        if (!rs4.Eof()) {
            rs4.MoveFirst();
            for (; !rs4.Eof(); rs4.MoveNext()) {
                const QString code = rs4.Fields(0).Text();
                rows.subarticle(code.left(2), code, rs4.Fields(1).Text(), rs4.Fields(2).Text(), rs4.Fields(3).Text(),
                                shareText(rs4.Fields(4)), rs4.Fields(5).Text());
            }
        }
        rs4.Close();
        rows.itemDone();
    }
}

} // namespace report
