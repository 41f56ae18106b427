#include "frmCerca.h"

#include "AppState.h"
#include "EscapeQuotes.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "WaitCursor.h"

#include "ui_frmCerca.h"

namespace search {

using ui::ReportList;

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

} // namespace

bool frmCerca::runText()
{
    Ui::frmCerca& ui = *m_ui;
    const QString sectionText = ui.cmbSezioni->currentText();
    if (sectionText.isEmpty()) {
        warn(QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca elemento"), ui.cmbSezioni);
        return false;
    }
    if (ui.txtCerca->text().size() < 2) {
        warn(QStringLiteral("Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca"),
             ui.txtCerca);
        return false;
    }
    if (!ui.chkCapitoli->isChecked() && !ui.chkArticoli->isChecked() && !ui.chkSubarticoli->isChecked()) {
        warn(QStringLiteral(
                 "Selezionare almeno una scelta fra Capitoli/Articoli/Subarticoli prima di procedere con la ricerca"),
             ui.chkCapitoli);
        return false;
    }

    // Quotes doubled and the text between the asterisks of a like pattern.
    const QString pattern = core::SqlString(u'*' + ui.txtCerca->text().toUpper() + u'*');
    QString chapterOrder = QStringLiteral(" order by seq_capitolo");
    QString order = QStringLiteral(" order by sequenza");
    if (m_chosenIndex != 0) {
        // The section code comes from typed text as well: quoted, it can neither break nor change the query.
        const QString section = core::SqlString(sectionText.left(2));
        chapterOrder = QStringLiteral(" and codice_sezione = ") + section + QStringLiteral(" order by seq_capitolo");
        order = QStringLiteral(" and codice_sezione = ") + section + QStringLiteral(" order by sequenza");
    }

    ui::WaitCursor wait;
    startRun(Mode::Text);
    const core::Database& db = m_state.dbPrezzario;

    if (ui.chkCapitoli->isChecked()) {
        core::Recordset& rs2 = m_state.rs2;
        const core::SlotGuard closing(rs2);
        rs2 = db.OpenRecordset(QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo,seq_capitolo,"
                                              "note_capitolo from prezzario where ucase(capitolo) like ") +
                               pattern + chapterOrder);
        if (!rs2.Eof()) {
            rs2.MoveFirst();
            // One row per subarticle comes back: a chapter is listed at the first row of each run of its code.
            // Codes are compared, and texts listed, in the engine's UTF-8: most rows only repeat a code.
            QByteArray code;
            QByteArray previous;
            qsizetype counter = 0;
            for (; !rs2.Eof(); rs2.MoveNext()) {
                joinCode(code, {rs2.Utf8(0), rs2.Utf8(2)});
                if (code != previous) {
                    rows::addChapter(*ui.lstCapitoli, ReportList::keyFor(counter), QByteArrayView(code), rs2.Utf8(1),
                                     rs2.Utf8(3), rs2.Utf8(5));
                    ++counter;
                    previous.swap(code);
                }
            }
        }
    }

    if (ui.chkArticoli->isChecked()) {
        core::Recordset& rs3 = m_state.rs3;
        const core::SlotGuard closing(rs3);
        rs3 = db.OpenRecordset(QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, "
                                              "codice_articolo,articolo,seq_capitolo,note_articolo from prezzario "
                                              "where ucase(articolo) like ") +
                               pattern + order);
        if (!rs3.Eof()) {
            rs3.MoveFirst();
            QByteArray code;
            QByteArray previous;
            qsizetype counter = 0;
            for (; !rs3.Eof(); rs3.MoveNext()) {
                joinCode(code, {rs3.Utf8(0), rs3.Utf8(2), rs3.Utf8(4)});
                if (code != previous) {
                    rows::addArticle(*ui.lstArticoli, ReportList::keyFor(counter), QByteArrayView(code), rs3.Utf8(1),
                                     rs3.Utf8(3), rs3.Utf8(5), rs3.Utf8(7));
                    ++counter;
                    previous.swap(code);
                }
            }
        }
    }

    if (ui.chkSubarticoli->isChecked()) {
        core::Recordset& rs4 = m_state.rs4;
        const core::SlotGuard closing(rs4);
        rs4 = db.OpenRecordset(QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,"
                                              "incidenza_manodopera,somma_manodopera,seq_capitolo from prezzario "
                                              "where ucase(subarticolo) like ") +
                               pattern + order);
        if (!rs4.Eof()) {
            rs4.MoveFirst();
            qsizetype counter = 0;
            for (; !rs4.Eof(); rs4.MoveNext()) {
                rows::addSubarticle(*ui.lstSubarticoli, ReportList::keyFor(counter), rs4.Utf8(0), rs4.Utf8(1),
                                    rs4.Utf8(2), rs4.Fields(3), rs4.Fields(4), rs4.Fields(5));
                ++counter;
            }
        }
    }

    // The typed text marked where it was found; refilling a list (RemoveAll) takes the marks away.
    const QString typed = ui.txtCerca->text();
    if (ui.chkCapitoli->isChecked())
        ui.lstCapitoli->setHighlight(typed, {2});
    if (ui.chkArticoli->isChecked())
        ui.lstArticoli->setHighlight(typed, {3});
    if (ui.chkSubarticoli->isChecked())
        ui.lstSubarticoli->setHighlight(typed, {1});
    return true;
}

// The search-kind code of the last text or range run, read by the report.
void frmCerca::setSearchKind()
{
    struct Kind
    {
        bool capitoli;
        bool articoli;
        bool subarticoli;
        const char16_t* code;
    };
    static constexpr Kind kKinds[] = {
        {true, true, true, u"CapInd_ArtInd_SubInd"},
        {true, true, false, u"CapInd_ArtInd_SubDip"},
        {false, true, true, u"ArtInd_SubInd"},
        {true, false, true, u"CapInd_SubInd"},
        {false, false, true, u"SubInd"},
        {true, false, false, u"CapInd"},
        {false, true, false, u"ArtInd"},
    };
    m_report.Tipo_Stampa_Testo.clear();
    const bool capitoli = m_ui->chkCapitoli->isChecked();
    const bool articoli = m_ui->chkArticoli->isChecked();
    const bool subarticoli = m_ui->chkSubarticoli->isChecked();
    for (const Kind& kind : kKinds) {
        if (kind.capitoli == capitoli && kind.articoli == articoli && kind.subarticoli == subarticoli) {
            m_report.Tipo_Stampa_Testo = QString::fromUtf16(kind.code);
            break;
        }
    }
}

} // namespace search
