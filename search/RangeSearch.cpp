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

namespace {

// The code lengths of the three levels a range can span.
constexpr qsizetype kChapter = 6;
constexpr qsizetype kArticle = 10;
constexpr qsizetype kSubarticle = 14;

// Positions of the columns of "select * from prezzario" that the range listing reads.
enum Column {
    sequenza = 0,
    codice_totale = 1,
    sezione = 3,
    capitolo = 7,
    note_capitolo = 8,
    seq_capitolo = 9,
    articolo = 11,
    note_articolo = 12,
    subarticolo = 14,
    simbolo = 15,
    prezzo_lordo = 16,
    incidenza_manodopera = 17,
    somma_manodopera = 18,
};

QString rangeCode(const QLabel* prefix, const QLineEdit* cap, const QLineEdit* art, const QLineEdit* sub)
{
    QString code = prefix->text() + cap->text();
    if (!art->text().isEmpty())
        code += u'.' + art->text();
    if (!sub->text().isEmpty())
        code += u'.' + sub->text();
    return code;
}

bool badOptionalPart(const QString& part)
{
    return !part.isEmpty() && (part.size() != 3 || rows::hasApostrophe(part));
}

void addChapterRow(ReportList& list, qsizetype counter, const core::Recordset& rs)
{
    rows::addChapter(list, ReportList::keyFor(counter), rs.Fields(codice_totale).Text().left(kChapter),
                     rs.Fields(sezione).Text(), rs.Fields(capitolo).Text(), rs.Fields(note_capitolo).Text());
}

void addArticleRow(ReportList& list, qsizetype counter, const core::Recordset& rs)
{
    rows::addArticle(list, ReportList::keyFor(counter), rs.Fields(codice_totale).Text().left(kArticle),
                     rs.Fields(sezione).Text(), rs.Fields(capitolo).Text(), rs.Fields(articolo).Text(),
                     rs.Fields(note_articolo).Text());
}

void addSubarticleRow(ReportList& list, qsizetype counter, const core::Recordset& rs)
{
    rows::addSubarticle(list, ReportList::keyFor(counter), rs.Fields(codice_totale).Text(),
                        rs.Fields(subarticolo).Text(), rs.Fields(simbolo).Text(), rs.Fields(prezzo_lordo),
                        rs.Fields(incidenza_manodopera), rs.Fields(somma_manodopera));
}

} // namespace

bool frmCerca::runRange()
{
    Ui::frmCerca& ui = *m_ui;
    if (ui.cmbSezioni->currentText().isEmpty() || m_chosenIndex == 0) {
        warn(msg::kSezioneDaA, ui.cmbSezioni);
        return false;
    }
    const QString daCap = ui.txtDa_Cap->text();
    const QString aCap = ui.txtA_Cap->text();
    if (daCap.size() != 3 || aCap.size() != 3) {
        warn(QStringLiteral("I Codici Capitolo devono essere valorizzati, avere una lunghezza di 3 caratteri ed "
                            "essere composti da una lettera e due numeri. Es. : 'A01'"),
             daCap.size() != 3 ? ui.txtDa_Cap : ui.txtA_Cap);
        return false;
    }
    for (qsizetype i = 0; i < daCap.size(); ++i) {
        if (daCap[i] == u'\'' || aCap[i] == u'\'') {
            warn(QStringLiteral("I Codici Capitolo devono avere una lunghezza di 3 caratteri ed essere composti da "
                                "una lettera e due numeri. Es. : 'A01'"),
                 daCap[i] == u'\'' ? ui.txtDa_Cap : ui.txtA_Cap);
            return false;
        }
    }
    const QString articleWarning =
        QStringLiteral("I Codici Articolo, se sono valorizzati, devono avere una lunghezza di 3 caratteri ed essere "
                       "composti da una lettera e due numeri. Es. : 'A01'");
    if (badOptionalPart(ui.txtDa_Art->text()) || badOptionalPart(ui.txtA_Art->text())) {
        warn(articleWarning, badOptionalPart(ui.txtDa_Art->text()) ? ui.txtDa_Art : ui.txtA_Art);
        return false;
    }
    if ((!ui.txtDa_Sub->text().isEmpty() && ui.txtDa_Art->text().isEmpty()) ||
        (!ui.txtA_Sub->text().isEmpty() && ui.txtA_Art->text().isEmpty())) {
        warn(QStringLiteral("Impossibile cercare il Codice Subarticolo senza il Codice Articolo"),
             ui.txtDa_Art->text().isEmpty() && !ui.txtDa_Sub->text().isEmpty() ? ui.txtDa_Art : ui.txtA_Art);
        return false;
    }
    if (badOptionalPart(ui.txtDa_Sub->text()) || badOptionalPart(ui.txtA_Sub->text())) {
        warn(QStringLiteral("Il Codice Subarticolo, se presente, deve avere una lunghezza di 3 caratteri ed essere "
                            "composto da tre numeri. Es. : '010'"),
             badOptionalPart(ui.txtDa_Sub->text()) ? ui.txtDa_Sub : ui.txtA_Sub);
        return false;
    }
    // Kept as typed, even when a later check refuses the run.
    m_report.Elemento_DA = rangeCode(ui.lblDa_Sez, ui.txtDa_Cap, ui.txtDa_Art, ui.txtDa_Sub);
    m_report.Elemento_A = rangeCode(ui.lblA_Sez, ui.txtA_Cap, ui.txtA_Art, ui.txtA_Sub);
    const qsizetype length = m_report.Elemento_DA.size();
    // The empty box of the code that stops a level short of the other.
    auto levelMismatch = [&ui]() -> QWidget* {
        if (ui.txtDa_Art->text().isEmpty() != ui.txtA_Art->text().isEmpty())
            return ui.txtDa_Art->text().isEmpty() ? ui.txtDa_Art : ui.txtA_Art;
        return ui.txtDa_Sub->text().isEmpty() ? ui.txtDa_Sub : ui.txtA_Sub;
    };
    if (length != m_report.Elemento_A.size()) {
        warn(QStringLiteral("Ricerca possibile solo fra elementi dello stesso tipo (Capitolo-Capitolo, "
                            "Articolo-Articolo, Subarticolo-Subarticolo)"),
             levelMismatch(), QStringLiteral("Prezzario"));
        return false;
    }

    const QString section = core::SqlString(ui.lblA_Sez->text().left(2));
    const core::Database& db = m_state.dbPrezzario;

    // Both chapters must exist in the section and be in order, whatever the level of the codes.
    double chapterStart = 0;
    double chapterEnd = 0;
    {
        core::Recordset& rs2 = m_state.rs2;
        const core::SlotGuard closing(rs2);
        rs2 = db.OpenRecordset(
            QStringLiteral("select distinct seq_capitolo,codice_capitolo from prezzario where codice_sezione = ") +
            section + QStringLiteral(" order by seq_capitolo"));
        if (!rs2.Eof()) {
            rs2.MoveFirst();
            const QString startChapter = daCap.toUpper();
            const QString endChapter = aCap.toUpper();
            for (; !rs2.Eof(); rs2.MoveNext()) {
                const QString chapter = rs2.Fields(1).Text();
                if (chapter == startChapter)
                    chapterStart = rows::position(rs2.Fields(0));
                if (chapter == endChapter)
                    chapterEnd = rows::position(rs2.Fields(0));
            }
        }
    }
    if (chapterStart == 0) {
        warn(QStringLiteral("Codice Capitolo di partenza inesistente"), ui.txtDa_Cap);
        return false;
    }
    if (chapterEnd == 0) {
        warn(QStringLiteral("Codice Capitolo di arrivo inesistente"), ui.txtA_Cap);
        return false;
    }
    if (chapterEnd < chapterStart) {
        warn(QStringLiteral("Il Codice Capitolo di arrivo deve essere successivo nell'ordine del prezzario al Codice "
                            "Capitolo di partenza"),
             ui.txtA_Cap);
        return false;
    }

    const QString startCode = core::SqlString(m_report.Elemento_DA.toUpper());
    const QString endCode = core::SqlString(m_report.Elemento_A.toUpper());
    double start = 0;
    double end = 0;
    if (length == kArticle) {
        core::Recordset& rs3 = m_state.rs3;
        const core::SlotGuard closing(rs3);
        rs3 = db.OpenRecordset(QStringLiteral("select min(sequenza),mid(codice_totale,1,10) from prezzario where "
                                              "mid(codice_totale,1,10) = ") +
                               startCode + QStringLiteral(" group by mid(codice_totale,1,10)"));
        if (!rs3.Eof())
            start = rows::position(rs3.Fields(0));
        rs3.Close();
        rs3 = db.OpenRecordset(QStringLiteral("select max(sequenza),mid(codice_totale,1,10) from prezzario where "
                                              "mid(codice_totale,1,10) = ") +
                               endCode + QStringLiteral(" group by mid(codice_totale,1,10)"));
        if (!rs3.Eof())
            end = rows::position(rs3.Fields(0));
        rs3.Close();
        if (start == 0) {
            warn(QStringLiteral("Codice Articolo di partenza inesistente"), ui.txtDa_Art);
            return false;
        }
        if (end == 0) {
            warn(QStringLiteral("Codice Articolo di arrivo inesistente"), ui.txtA_Art);
            return false;
        }
        if (end < start) {
            warn(QStringLiteral("Il Codice Articolo di arrivo deve essere successivo nell'ordine del prezzario al "
                                "Codice Articolo di partenza"),
                 ui.txtA_Art);
            return false;
        }
    }
    if (length == kSubarticle) {
        core::Recordset& rs4 = m_state.rs4;
        const core::SlotGuard closing(rs4);
        rs4 = db.OpenRecordset(QStringLiteral("select sequenza,codice_totale from prezzario where codice_totale = ") +
                               startCode);
        if (!rs4.Eof())
            start = rows::position(rs4.Fields(0));
        rs4.Close();
        rs4 = db.OpenRecordset(QStringLiteral("select sequenza,codice_totale from prezzario where codice_totale = ") +
                               endCode);
        if (!rs4.Eof())
            end = rows::position(rs4.Fields(0));
        rs4.Close();
        if (start == 0) {
            warn(QStringLiteral("Codice Subarticolo di partenza inesistente"), ui.txtDa_Sub);
            return false;
        }
        if (end == 0) {
            warn(QStringLiteral("Codice Subarticolo di arrivo inesistente"), ui.txtA_Sub);
            return false;
        }
        if (end < start) {
            warn(QStringLiteral("Il Codice Subarticolo di arrivo deve essere successivo nell'ordine del prezzario al "
                                "Codice Subarticolo di partenza"),
                 ui.txtA_Sub);
            return false;
        }
    }

    ui::WaitCursor wait;
    startRun(Mode::Range);
    if (length == kChapter && m_report.Elemento_DA == m_report.Elemento_A)
        listChapterRange(section);
    else if (length == kChapter)
        listRange(section, kChapter, chapterStart, chapterEnd);
    else if (length == kArticle || length == kSubarticle)
        listRange(section, length, start, end);
    return true;
}

// One chapter: its row, each of its articles once, and all its subarticles.
void frmCerca::listChapterRange(const QString& section)
{
    Ui::frmCerca& ui = *m_ui;
    core::Recordset& rs4 = m_state.rs4;
    const core::SlotGuard closing(rs4);
    rs4 = m_state.dbPrezzario.OpenRecordset(QStringLiteral("select * from prezzario where codice_sezione = ") +
                                            section + QStringLiteral(" and codice_capitolo =") +
                                            core::SqlString(ui.txtDa_Cap->text().toUpper()) +
                                            QStringLiteral(" order by sequenza"));
    addChapterRow(*ui.lstCapitoli, 0, rs4);

    rs4.MoveFirst();
    QString lastArticle;
    qsizetype counter = 0;
    for (; !rs4.Eof(); rs4.MoveNext()) {
        const QString article = rs4.Fields(codice_totale).Text().left(kArticle);
        if (article != lastArticle) {
            addArticleRow(*ui.lstArticoli, counter++, rs4);
            lastArticle = article;
        }
    }

    rs4.MoveFirst();
    counter = 0;
    for (; !rs4.Eof(); rs4.MoveNext())
        addSubarticleRow(*ui.lstSubarticoli, counter++, rs4);
}

// A true range: every row of the section between the two positions, both included.
void frmCerca::listRange(const QString& section, qsizetype codeLength, double start, double end)
{
    Ui::frmCerca& ui = *m_ui;
    const int positionColumn = codeLength == kChapter ? seq_capitolo : sequenza;
    core::Recordset& rs4 = m_state.rs4;
    const core::SlotGuard closing(rs4);
    rs4 = m_state.dbPrezzario.OpenRecordset(QStringLiteral("select * from prezzario where codice_sezione = ") +
                                            section + QStringLiteral(" order by sequenza"));
    rs4.MoveFirst();
    QString lastChapter;
    QString lastArticle;
    qsizetype chapters = 0;
    qsizetype articles = 0;
    qsizetype subarticles = 0;
    for (; !rs4.Eof(); rs4.MoveNext()) {
        const double position = rows::position(rs4.Fields(positionColumn));
        if (position < start || position > end)
            continue;
        const QString code = rs4.Fields(codice_totale).Text();
        if (code.left(kChapter) != lastChapter) {
            addChapterRow(*ui.lstCapitoli, chapters++, rs4);
            lastChapter = code.left(kChapter);
        }
        if (code.left(kArticle) != lastArticle) {
            addArticleRow(*ui.lstArticoli, articles++, rs4);
            lastArticle = code.left(kArticle);
        }
        addSubarticleRow(*ui.lstSubarticoli, subarticles++, rs4);
    }
}

} // namespace search
