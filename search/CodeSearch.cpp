#include "frmCerca.h"

#include "AppState.h"
#include "EscapeQuotes.h"
#include "Messages.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "WaitCursor.h"

#include "ui_frmCerca.h"

namespace search {

using ui::ReportList;

// The last checks of both code searches, in their order: no quote in the article or chapter code, and
// a single section chosen (the whole list has no codes to look up).
bool frmCerca::chapterAndArticleUsable(QLineEdit* cap, QLineEdit* art, const QString& wholeListWarning)
{
    if (rows::hasApostrophe(art->text())) {
        warn(msg::kCodiceArticolo, art);
        return false;
    }
    if (rows::hasApostrophe(cap->text())) {
        warn(msg::kCodiceCapitolo, cap);
        return false;
    }
    if (m_chosenIndex == 0) {
        warn(wholeListWarning, m_ui->cmbSezioni);
        return false;
    }
    return true;
}

bool frmCerca::runArticle()
{
    Ui::frmCerca& ui = *m_ui;
    const QString cap = ui.txtArtCap->text();
    const QString art = ui.txtArtArt->text();
    if (ui.cmbSezioni->currentText().isEmpty()) {
        warn(msg::kSezioneArticolo, ui.cmbSezioni);
        return false;
    }
    if (art.size() != 3 || cap.size() != 3) {
        warn(msg::kCodiciCapitoloArticolo, cap.size() != 3 ? ui.txtArtCap : ui.txtArtArt);
        return false;
    }
    if (!chapterAndArticleUsable(ui.txtArtCap, ui.txtArtArt, msg::kSezionePerArticolo))
        return false;

    // The boxes cannot hold a quote any more; the section prefix may come from typed combo text.
    const QString code = core::SqlString(ui.lblArtSez->text() + cap.toUpper() + u'.' + art.toUpper());

    ui::WaitCursor wait;
    startRun(Mode::Code);
    const core::Database& db = m_state.dbPrezzario;
    {
        core::Recordset& rs3 = m_state.rs3;
        const core::SlotGuard closing(rs3);
        rs3 = db.OpenRecordset(QStringLiteral("select mid(codice_totale,1,10),sezione,capitolo,articolo,seq_capitolo,"
                                              "note_capitolo,note_articolo from prezzario where "
                                              "mid(codice_totale,1,10) = ") +
                               code + QStringLiteral(" order by sequenza"));
        if (!rs3.Eof()) {
            rs3.MoveFirst();
            QString previous;
            qsizetype counter = 0;
            for (; !rs3.Eof(); rs3.MoveNext()) {
                const QString articleCode = rs3.Fields(0).Text();
                const QString grouping = articleCode + u'.' + rs3.Fields(2).Text() + u'.' + rs3.Fields(4).Text();
                if (grouping != previous) {
                    const QString key = ReportList::keyFor(counter);
                    rows::addChapter(*ui.lstCapitoli, key, articleCode.left(6), rs3.Fields(1).Text(),
                                     rs3.Fields(2).Text(), rs3.Fields(5).Text());
                    rows::addArticle(*ui.lstArticoli, key, articleCode, rs3.Fields(1).Text(), rs3.Fields(2).Text(),
                                     rs3.Fields(3).Text(), rs3.Fields(6).Text());
                    ui.txtArticolo->setPlainText(rs3.Fields(3).Text());
                    ui.txtArtSel->setText(articleCode);
                    ++counter;
                }
                previous = grouping;
            }
        }
    }
    {
        core::Recordset& rs4 = m_state.rs4;
        const core::SlotGuard closing(rs4);
        rs4 = db.OpenRecordset(QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,"
                                              "incidenza_manodopera,somma_manodopera,seq_capitolo from prezzario "
                                              "where mid(codice_totale,1,10) = ") +
                               code + QStringLiteral(" order by sequenza"));
        if (!rs4.Eof()) {
            rs4.MoveFirst();
            qsizetype counter = 0;
            for (; !rs4.Eof(); rs4.MoveNext()) {
                rows::addSubarticle(*ui.lstSubarticoli, ReportList::keyFor(counter), rs4.Fields(0).Text(),
                                    rs4.Fields(1).Text(), rs4.Fields(2).Text(), rs4.Fields(3), rs4.Fields(4),
                                    rs4.Fields(5));
                ++counter;
            }
        }
    }
    return true;
}

bool frmCerca::runSubarticle()
{
    Ui::frmCerca& ui = *m_ui;
    const QString cap = ui.txtSubCap->text();
    const QString art = ui.txtSubArt->text();
    const QString sub = ui.txtSubSub->text();
    if (ui.cmbSezioni->currentText().isEmpty()) {
        warn(msg::kSezioneSubarticolo, ui.cmbSezioni);
        return false;
    }
    if (art.size() != 3 || cap.size() != 3) {
        warn(msg::kCodiciCapitoloArticolo, cap.size() != 3 ? ui.txtSubCap : ui.txtSubArt);
        return false;
    }
    if (sub.size() != 3) {
        warn(QStringLiteral("Il Codice Subarticolo devono avere una lunghezza di 3 caratteri."), ui.txtSubSub);
        return false;
    }
    if (rows::hasApostrophe(sub)) {
        warn(QStringLiteral("Il Codice Subarticolo deve avere una lunghezza di 3 caratteri ed essere composto da "
                            "tre numeri. Es. : '010'"),
             ui.txtSubSub);
        return false;
    }
    if (!chapterAndArticleUsable(ui.txtSubCap, ui.txtSubArt, msg::kSezionePerSubarticolo))
        return false;

    const QString code =
        core::SqlString(ui.lblSubSez->text() + cap.toUpper() + u'.' + art.toUpper() + u'.' + sub.toUpper());

    ui::WaitCursor wait;
    startRun(Mode::Code);
    core::Recordset& rs4 = m_state.rs4;
    const core::SlotGuard closing(rs4);
    rs4 = m_state.dbPrezzario.OpenRecordset(
        QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,somma_manodopera,"
                       "seq_capitolo,sezione,capitolo,articolo,note_capitolo,note_articolo from prezzario where "
                       "codice_totale = ") +
        code);
    if (!rs4.Eof()) {
        rs4.MoveFirst();
        qsizetype counter = 0;
        for (; !rs4.Eof(); rs4.MoveNext()) {
            const QString key = ReportList::keyFor(counter);
            const QString codiceTotale = rs4.Fields(0).Text();
            const QString sezione = rs4.Fields(7).Text();
            const QString capitolo = rs4.Fields(8).Text();
            rows::addChapter(*ui.lstCapitoli, key, codiceTotale.left(6), sezione, capitolo, rs4.Fields(10).Text());
            rows::addArticle(*ui.lstArticoli, key, codiceTotale.left(10), sezione, capitolo, rs4.Fields(9).Text(),
                             rs4.Fields(11).Text());
            rows::addSubarticle(*ui.lstSubarticoli, key, codiceTotale, rs4.Fields(1).Text(), rs4.Fields(2).Text(),
                                rs4.Fields(3), rs4.Fields(4), rs4.Fields(5));
            ++counter;
        }
    }
    return true;
}

} // namespace search
