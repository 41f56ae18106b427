#include "frmCerca.h"

#include "AppState.h"
#include "EscapeQuotes.h"
#include "Guard.h"
#include "ReportList.h"
#include "ResultRows.h"

#include "ui_frmCerca.h"

namespace search {

using ui::ReportList;

namespace {
const QString kDrillDownInterrupted =
    QStringLiteral("L'elenco non è stato completato: le righe parziali sono state eliminate.\n\n");
} // namespace

// A drill-down the engine stops half-way empties the lists it was refilling, so that none shows a partial content.
void frmCerca::drillDown(const std::function<void()>& operation, std::initializer_list<ReportList*> targets)
{
    ui::guarded(this, [&] {
        try {
            operation();
        } catch (const core::Error& error) {
            for (ReportList* list : targets)
                list->RemoveAll();
            refreshCounters();
            throw core::Error(kDrillDownInterrupted + error.text());
        } catch (const std::exception& error) {
            for (ReportList* list : targets)
                list->RemoveAll();
            refreshCounters();
            throw core::Error(kDrillDownInterrupted + QString::fromLocal8Bit(error.what()));
        }
    });
}

void frmCerca::lstCapitoli_ItemClick()
{
    drillDown([this] { chapterSelected(); }, {m_ui->lstArticoli, m_ui->lstSubarticoli});
}

void frmCerca::lstArticoli_GotFocus()
{
    if (m_ui->lstArticoli->Count() == 0)
        return;
    lstArticoli_ItemClick();
}

void frmCerca::lstArticoli_ItemClick()
{
    drillDown([this] { articleSelected(); }, {m_ui->lstSubarticoli});
}

void frmCerca::lstSubarticoli_GotFocus()
{
    if (m_ui->lstSubarticoli->Count() == 0)
        return;
    lstSubarticoli_ItemClick();
}

void frmCerca::lstSubarticoli_ItemClick()
{
    drillDown([this] { subarticleSelected(); }, {m_ui->lstArticoli});
}

void frmCerca::articleSelected()
{
    Ui::frmCerca& ui = *m_ui;
    ui.txtArticolo->setPlainText(ui.lstArticoli->SelectedSubItem(3));
    ui.txtArtSel->setText(ui.lstArticoli->SelectedText());
    if (Blocca_Subarticoli)
        return;

    ui.lstSubarticoli->RemoveAll();
    core::Recordset& rs4 = m_state.rs4;
    const core::SlotGuard closing(rs4);
    rs4 = m_state.dbPrezzario.OpenRecordset(
        QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,note_articolo,incidenza_manodopera,"
                       "somma_manodopera from prezzario where mid(codice_totale,1,10) =") +
        core::SqlString(ui.txtArtSel->text()) + QStringLiteral(" order by sequenza"));
    qsizetype counter = 0;
    for (; !rs4.Eof(); rs4.MoveNext()) {
        rows::addSubarticle(*ui.lstSubarticoli, ReportList::keyFor(counter), rs4.Fields(0).Text(), rs4.Fields(1).Text(),
                            rs4.Fields(2).Text(), rs4.Fields(3), rs4.Fields(5), rs4.Fields(6));
        ++counter;
    }
    rs4.Close();
    selectFirstRows({ui.lstSubarticoli});
    refreshCounters();
}

void frmCerca::chapterSelected()
{
    if (!Espandi_Capitolo)
        return;
    m_ui->lstArticoli->RemoveAll();
    m_ui->lstSubarticoli->RemoveAll();
    listArticlesOf(
        QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,articolo,"
                       "seq_capitolo,note_articolo from prezzario where mid(codice_totale,1,6) = ") +
            core::SqlString(m_ui->lstCapitoli->SelectedText()) + QStringLiteral(" order by sequenza"),
        false);
}

void frmCerca::subarticleSelected()
{
    if (!Risali_Articolo)
        return;
    m_ui->lstArticoli->RemoveAll();
    listArticlesOf(
        QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,articolo,"
                       "seq_capitolo,note_articolo from prezzario where codice_totale = ") +
            core::SqlString(m_ui->lstSubarticoli->SelectedText()) + QStringLiteral(" order by sequenza"),
        true);
}

// Lists each run of rows of one article once; only neighbouring rows are compared.
void frmCerca::listArticlesOf(const QString& sql, bool showDetails)
{
    Ui::frmCerca& ui = *m_ui;
    core::Recordset& rs3 = m_state.rs3;
    const core::SlotGuard closing(rs3);
    rs3 = m_state.dbPrezzario.OpenRecordset(sql);
    QString previous;
    qsizetype counter = 0;
    for (; !rs3.Eof(); rs3.MoveNext()) {
        const QString key = rs3.Fields(0).Text() + u'.' + rs3.Fields(2).Text() + u'.' + rs3.Fields(4).Text();
        if (key != previous) {
            const QString articolo = rs3.Fields(5).Text();
            rows::addArticle(*ui.lstArticoli, ReportList::keyFor(counter), key, rs3.Fields(1).Text(),
                             rs3.Fields(3).Text(), articolo, rs3.Fields(7).Text());
            ++counter;
            if (showDetails) {
                ui.txtArticolo->setPlainText(articolo);
                ui.txtArtSel->setText(key);
            }
        }
        previous = key;
    }
    rs3.Close();
    selectFirstRows({ui.lstArticoli});
    refreshCounters();
}

} // namespace search
