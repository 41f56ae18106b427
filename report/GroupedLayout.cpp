#include "Layouts.h"

#include "AppState.h"
#include "EscapeQuotes.h"
#include "AutomationError.h"
#include "ReportList.h"
#include "ReportRows.h"
#include "frmCerca.h"

#include <optional>

namespace report {

QString shareText(const core::Field& field)
{
    return field.IsNull() ? QString() : field.Text() + QStringLiteral(" %");
}

void noRowsFor(const QString& code, int riga)
{
    throw ReportError(QStringLiteral("Nel prezzario non c'è più alcuna voce con il codice «%1»: la stampa si è fermata "
                                     "alla riga %2.\nLe righe già scritte restano nel foglio.")
                          .arg(code)
                          .arg(riga));
}

void printGrouped(const ReportContext& context, const QString& kind)
{
    const bool articles = kind == u"ArtInd";
    const bool chapters = kind == u"CapInd";
    const ui::ReportList& list = articles   ? context.cerca.lstArticoli()
                                   : chapters ? context.cerca.lstCapitoli()
                                              : context.cerca.lstSubarticoli();
    core::Recordset& slot = articles ? context.state.rs3 : chapters ? context.state.rs2 : context.state.rs4;
    const core::SlotGuard closeSlot(slot);
    ReportRows& rows = context.rows;

    rows.riga = 3;
    // Not reset between list items, so that neighbouring items share their headings.
    QString lastSection;
    QString lastChapter;
    QString lastArticle;

    const qsizetype count = list.Count();
    // The rows of an item, headings included, are known only once its query has run.
    rows.expectItems(articles   ? QStringLiteral("Articoli")
                     : chapters ? QStringLiteral("Capitoli")
                                : QStringLiteral("Subarticoli"),
                     count);
    for (qsizetype i = 0; i < count; ++i) {
        const QString itemKey = ui::ReportList::keyFor(i);
        const QString key = list.Text(itemKey);
        const QString where = articles   ? QStringLiteral("mid(codice_totale,1,10) = ")
                              : chapters ? QStringLiteral("mid(codice_totale,1,6) = ")
                                         : QStringLiteral("codice_totale = ");
        const QString sql = QStringLiteral("select * from prezzario where ") + where + core::SqlString(key) +
                            QStringLiteral(" order by sequenza");
        slot = context.state.dbPrezzario.OpenRecordset(sql);
        if (slot.Eof())
            noRowsFor(key, rows.riga);

        const auto writeRow = [&] {
            const QString codiceTotale = slot.Fields(1).Text();
            const QString section = slot.Fields(2).Text();
            if (section != lastSection) {
                if (rows.riga != 3)
                    ++rows.riga;
                const core::Field note = slot.Fields(4);
                rows.section(section, slot.Fields(3).Text(),
                             note.IsNull() ? std::nullopt : std::optional<QString>(note.Text()));
                lastSection = section;
            }
            const QString chapterKey = codiceTotale.left(6);
            if (chapterKey != lastChapter) {
                rows.chapter(section, chapterKey, slot.Fields(7).Text(), slot.Fields(8).Text());
                lastChapter = chapterKey;
            }
            const QString articleKey = codiceTotale.left(10);
            if (articleKey != lastArticle) {
                rows.article(section, articleKey, slot.Fields(11).Text(), slot.Fields(12).Text());
                lastArticle = articleKey;
            }
            if (articles || chapters)
                rows.subarticle(codiceTotale.left(2), codiceTotale, slot.Fields(14).Text(), slot.Fields(15).Text(),
                                slot.Fields(16).Text(), shareText(slot.Fields(17)), slot.Fields(18).Text());
            else
                rows.subarticle(key.left(2), key, list.SubItem(itemKey, 1), list.SubItem(itemKey, 2),
                                list.SubItem(itemKey, 3), list.SubItem(itemKey, 4), list.SubItem(itemKey, 5));
        };

        if (articles || chapters) {
            slot.MoveFirst();
            for (; !slot.Eof(); slot.MoveNext())
                writeRow();
        } else {
            // The subarticle's own row only: its cells come from the list.
            writeRow();
            slot.Close();
        }
        rows.itemDone();
    }
}

} // namespace report
