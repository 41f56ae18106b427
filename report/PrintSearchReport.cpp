#include "report/PrintSearchReport.h"

#include "core/PriceList.h"
#include "report/AutomationError.h"
#include "ui/Guard.h"
#include "report/Layouts.h"
#include "report/OfficeSettings.h"
#include "report/ReportProgress.h"
#include "report/ReportRows.h"
#include "ui/WaitCursor.h"
#include "report/modExcel97.h"

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
    core::ReportKind kind;
    Layout layout;
    const char16_t* before;
    const char16_t* after;
};

// The search kinds of a text search, their layouts and the title around the searched text.
constexpr TextKind kTextKinds[] = {
    {core::ReportKind::ArtInd, Layout::Grouped, u" - Ricerca del testo:  '",
     u"'  contenuto nell'Articolo e tutti i suoi Subarticoli associati"},
    {core::ReportKind::CapInd, Layout::Grouped, u" - Ricerca del testo:  '",
     u"'  contenuto nel Capitolo e tutti i suoi Articoli e Subarticoli associati"},
    {core::ReportKind::SubInd, Layout::Grouped, u" - Ricerca del testo:  '", u"'  contenuto nei soli Subarticoli"},
    {core::ReportKind::CapInd_ArtInd_SubInd, Layout::ResultLists, u" - Ricerca del testo:  '",
     u"'  contenuto in Capitoli, Articoli e Subarticoli non correlati fra loro"},
    {core::ReportKind::ArtInd_SubInd, Layout::ResultLists, u" - Ricerca del testo:  '",
     u"'  contenuto in Articoli e Subarticoli non correlati fra loro"},
    {core::ReportKind::CapInd_SubInd, Layout::ResultLists, u" - Ricerca del testo:  '",
     u"'  contenuto in Capitoli e Subarticoli non correlati fra loro"},
    {core::ReportKind::CapInd_ArtInd_SubDip, Layout::ResultListsRelated, u" - Ricerca del testo: '",
     u"' contenuto in Capitoli e Articoli con relativi Subarticoli correlati"},
};

QString codeTitle(const SearchReport& search)
{
    const core::SearchRequest& request = search.request;
    const core::CodeParts& code = request.code;
    if (request.mode == core::SearchMode::Range)
        return QStringLiteral("  - Ricerca da codice inziale: '") + search.rangeFrom.toUpper() +
               QStringLiteral("' a codice finale: '") + search.rangeTo.toUpper() + u'\'';
    if (request.mode == core::SearchMode::Article)
        return QStringLiteral("  - Ricerca per Articolo con codice: '") + request.codePrefix.toUpper() +
               code.chapter.toUpper() + u'.' + code.article.toUpper() + u'\'';
    return QStringLiteral("  - Ricerca per Subarticolo con codice: '") + request.codePrefix.toUpper() +
           code.chapter.toUpper() + u'.' + code.article.toUpper() + u'.' + code.subarticle.toUpper() + u'\'';
}

void writeReport(const ReportContext& context, const QString& heading)
{
    const SearchReport& search = context.search;
    if (search.request.mode == core::SearchMode::Text) {
        // A kind that is none of these (no kind included) leaves the workbook as the template made it.
        for (const TextKind& kind : kTextKinds) {
            if (search.kind != kind.kind)
                continue;
            context.rows.title(heading + QStringView(kind.before) + search.request.text + QStringView(kind.after));
            context.rows.riga = 3;
            if (kind.layout == Layout::Grouped)
                printGrouped(context);
            else
                printResultLists(context, kind.layout == Layout::ResultListsRelated);
            return;
        }
        return;
    }
    context.rows.title(heading + codeTitle(search));
    context.rows.riga = 3;
    printCodeAndRange(context);
}

} // namespace

void PrintSearchReport(const core::PriceList& list, const QString& heading, QWidget& window,
                       const SearchReport& search)
{
    ui::guarded(&window, [&] {
        if (search.request.mode == core::SearchMode::None)
            throw ReportError(QStringLiteral("Nessun tipo di ricerca è selezionato: non c'è niente da stampare."));
        const OfficeSettings& settings = OfficeSettings::current();
        // Checked before LibreOffice starts, so that a missing piece never leaves an office without a window.
        modExcel97::requireInstalled(settings.templatePath());
        ui::WaitCursor wait;
        // From here the windows repaint while the office starts and the rows are written, and take no
        // input until the report ends; the user may cancel from the progress window.
        ReportProgress progress(window);

        modExcel97 excel([&progress] { progress.waiting(); });
        excel.Apri_Modello(settings.templatePath());
        excel.Show();

        ReportRows rows(excel, &progress);
        std::exception_ptr failure;
        try {
            // One query an item: the file's lock is taken once for all of them.
            const core::Database::ReadTransaction reading(list.database());
            writeReport(ReportContext{list, search, rows}, heading);
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
