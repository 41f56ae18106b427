#include "PrintSearchReport.h"

#include "AppState.h"
#include "AutomationError.h"
#include "Guard.h"
#include "Layouts.h"
#include "OfficeSettings.h"
#include "ReportProgress.h"
#include "ReportRows.h"
#include "WaitCursor.h"
#include "frmCerca.h"
#include "modExcel97.h"

#include <QWidget>

#include <exception>

namespace report {

namespace {

enum class Layout {
    Grouped,
    ResultLists,
    ResultListsRelated,
};

struct TextKind
{
    const char16_t* code;
    Layout layout;
    const char16_t* before;
    const char16_t* after;
};

// The search kinds of a text search, their layouts and the title around the searched text.
constexpr TextKind kTextKinds[] = {
    {u"ArtInd", Layout::Grouped, u" - Ricerca del testo:  '",
     u"'  contenuto nell'Articolo e tutti i suoi Subarticoli associati"},
    {u"CapInd", Layout::Grouped, u" - Ricerca del testo:  '",
     u"'  contenuto nel Capitolo e tutti i suoi Articoli e Subarticoli associati"},
    {u"SubInd", Layout::Grouped, u" - Ricerca del testo:  '", u"'  contenuto nei soli Subarticoli"},
    {u"CapInd_ArtInd_SubInd", Layout::ResultLists, u" - Ricerca del testo:  '",
     u"'  contenuto in Capitoli, Articoli e Subarticoli non correlati fra loro"},
    {u"ArtInd_SubInd", Layout::ResultLists, u" - Ricerca del testo:  '",
     u"'  contenuto in Articoli e Subarticoli non correlati fra loro"},
    {u"CapInd_SubInd", Layout::ResultLists, u" - Ricerca del testo:  '",
     u"'  contenuto in Capitoli e Subarticoli non correlati fra loro"},
    {u"CapInd_ArtInd_SubDip", Layout::ResultListsRelated, u" - Ricerca del testo: '",
     u"' contenuto in Capitoli e Articoli con relativi Subarticoli correlati"},
};

QString codeTitle(const search::frmCerca& cerca)
{
    if (cerca.optDa_A())
        return QStringLiteral("  - Ricerca da codice inziale: '") + cerca.Elemento_DA().toUpper() +
               QStringLiteral("' a codice finale: '") + cerca.Elemento_A().toUpper() + u'\'';
    if (cerca.optarticolo())
        return QStringLiteral("  - Ricerca per Articolo con codice: '") + cerca.lblArtSez().toUpper() +
               cerca.txtArtCap().toUpper() + u'.' + cerca.txtArtArt().toUpper() + u'\'';
    return QStringLiteral("  - Ricerca per Subarticolo con codice: '") + cerca.lblSubSez().toUpper() +
           cerca.txtSubCap().toUpper() + u'.' + cerca.txtSubArt().toUpper() + u'.' + cerca.txtSubSub().toUpper() +
           u'\'';
}

void writeReport(const ReportContext& context, const QString& heading)
{
    const search::frmCerca& cerca = context.cerca;
    if (cerca.opttesto()) {
        // A kind that is none of these (an empty one included) leaves the workbook as the template made it.
        for (const TextKind& kind : kTextKinds) {
            if (cerca.Tipo_Stampa_Testo() != QStringView(kind.code))
                continue;
            context.rows.title(heading + QStringView(kind.before) + cerca.txtCerca() + QStringView(kind.after));
            context.rows.riga = 3;
            if (kind.layout == Layout::Grouped)
                printGrouped(context, cerca.Tipo_Stampa_Testo());
            else
                printResultLists(context, kind.layout == Layout::ResultListsRelated);
            return;
        }
        return;
    }
    context.rows.title(heading + codeTitle(cerca));
    context.rows.riga = 3;
    printCodeAndRange(context);
}

} // namespace

void PrintSearchReport(core::AppState& state, const QWidget& MDIForm1, search::frmCerca& frmCerca)
{
    ui::guarded(&frmCerca, [&] {
        if (!frmCerca.opttesto() && !frmCerca.optDa_A() && !frmCerca.optarticolo() && !frmCerca.optSub())
            throw ReportError(QStringLiteral("Nessun tipo di ricerca è selezionato: non c'è niente da stampare."));
        const OfficeSettings& settings = OfficeSettings::current();
        // Checked before LibreOffice starts, so that a missing piece never leaves an office without a window.
        modExcel97::requireInstalled(settings.templatePath());
        ui::WaitCursor wait;
        // From here the windows repaint while the office starts and the rows are written, and take no
        // input until the report ends; the user may cancel from the progress window.
        ReportProgress progress(frmCerca);

        modExcel97 excel([&progress] { progress.waiting(); });
        excel.Apri_Modello(settings.templatePath());
        excel.Show();

        ReportRows rows(excel, &progress);
        std::exception_ptr failure;
        try {
            // One query a row: the file's lock is taken once for all of them.
            const core::Database::ReadTransaction reading(state.dbPrezzario);
            writeReport(ReportContext{state, frmCerca, rows}, MDIForm1.windowTitle());
            excel.Flush();
        } catch (...) {
            failure = std::current_exception();
            // What was written before the failure or the cancel belongs in the workbook, if the office
            // still answers.
            try {
                excel.Flush();
            } catch (const core::Error&) {
            }
        }
        // Before any message: the message box must take the input that the progress holds back.
        progress.finish();
        if (settings.reportEnded)
            settings.reportEnded(excel);
        if (failure)
            std::rethrow_exception(failure);
    });
}

} // namespace report
