#include "app/Application.h"

#include <QApplication>
#include <QAction>
#include <QFileInfo>
#include <QShortcut>
#include <QStatusBar>

#include <cstdio>

#include "core/AppState.h"
#include "core/Error.h"
#include "ui/KeyboardAccess.h"
#include "ui/MDIForm1.h"
#include "ui/Exporter.h"
#include "ui/MessageBox.h"
#include "app/ProgramIcon.h"
#include "report/PrintSearchReport.h"
#include "search/frmCerca.h"
#include "texts/frmInfo.h"
#include "texts/frmPremesse.h"
#include "consultation/frmPrincipale.h"
#include "search/frmTrova.h"
#include "core/Collections.h"
#include "collection/frmVociScelte.h"
#include "compare/frmConfronta.h"
#include "ui/ListFiles.h"
#include "ui/ReportList.h"
#include "ui/WaitCursor.h"

namespace app {

void printSearch(const core::PriceList& list, const QString& heading, search::frmCerca& window)
{
    const report::SearchReport search{window.currentRequest(), window.shownResults(), window.reportKind(),
                                      window.Elemento_DA(), window.Elemento_A()};
    report::PrintSearchReport(list, heading, window, search);
}

Application::Application(core::AppState& state) : m_state(state), m_main(std::make_unique<ui::MDIForm1>(state))
{
    // Every window of the program shows it.
    QApplication::setWindowIcon(programIcon());
    ui::openContextMenusWithShiftF10();
}

Application::~Application() = default;

bool Application::startUp(const QString& applicationFolder, const QString& databaseFile)
{
    try {
        m_main->MDIForm_Load(applicationFolder, databaseFile);
    } catch (const core::Error& error) {
        std::fprintf(stderr, "prezzario: %s\n", qUtf8Printable(error.text()));
        ui::MessageBox::warning(nullptr, error.text());
        return false;
    }
    ui::rememberListFile(m_state.priceList.path());
    ui::MDIForm1* main = m_main.get();
    QObject::connect(main, &ui::MDIForm1::premesseRequested, main, [this] { premesse().showFromMenu(); });
    QObject::connect(main, &ui::MDIForm1::alberoRequested, main, [this] { showConsultazione(); });
    QObject::connect(main, &ui::MDIForm1::ricercheRequested, main, [this] { ricerca().showFromMenu(); });
    QObject::connect(main, &ui::MDIForm1::trovaRequested, main, [this] { trova().showFromMenu(); });
    QObject::connect(main, &ui::MDIForm1::vociScelteRequested, main, [this] { vociScelte().showFromMenu(); });
    QObject::connect(main, &ui::MDIForm1::confrontaRequested, main, [this] { confronto().showFromMenu(); });
    QObject::connect(main, &ui::MDIForm1::manualeRequested, main, [this] { showManuale(texts::frmInfo::Topics::All); });
    QObject::connect(main, &ui::MDIForm1::openListRequested, main,
                     [this](const QString& path) { openPriceList(path); });
    return true;
}

bool Application::openPriceList(const QString& path)
{
    // The file being written would be lost with its window: the user waits for it instead.
    for (QObject* window :
         std::initializer_list<QObject*>{m_consultazione.get(), m_ricerca.get(), m_trova.get(), m_confronto.get()}) {
        if (!window)
            continue;
        // Exporter has no meta-object of its own for findChildren to tell it by.
        for (const QObject* child : window->findChildren<QObject*>()) {
            const auto* exporter = dynamic_cast<const ui::Exporter*>(child);
            if (exporter && exporter->busy()) {
                ui::MessageBox::warning(m_main.get(), QStringLiteral("Un'esportazione è in corso: aprire l'altro "
                                                                     "prezzario quando sarà finita."));
                return false;
            }
        }
    }
    core::PriceList list;
    try {
        const ui::WaitCursor wait;
        list = core::PriceList::open(QFileInfo(path).absoluteFilePath());
    } catch (const core::Error& error) {
        ui::MessageBox::warning(m_main.get(), error.text());
        return false;
    }
    dropListWindows();
    m_main->useList(std::move(list));
    ui::rememberListFile(m_state.priceList.path());
    if (m_vociScelte)
        m_vociScelte->listChanged();
    return true;
}

void Application::dropListWindows()
{
    for (QWidget* window : std::initializer_list<QWidget*>{m_consultazione.get(), m_ricerca.get(), m_trova.get(),
                                                           m_confronto.get(), m_premesse.get(), m_manuale.get()}) {
        if (window && window->isVisible())
            window->close();
    }
    // Destroying a window waits for the work it still has running (its core::Jobs).
    m_consultazione.reset();
    m_ricerca.reset();
    m_trova.reset();
    m_confronto.reset();
    m_premesse.reset();
    m_manuale.reset();
}

consultation::frmPrincipale& Application::consultazione()
{
    if (!m_consultazione) {
        m_consultazione = std::make_unique<consultation::frmPrincipale>(m_state, m_main.get());
        QObject::connect(m_consultazione.get(), &consultation::frmPrincipale::manualeRequested, m_main.get(),
                         [this] { showManuale(texts::frmInfo::Topics::Consultation); });
        offerTrova(m_consultazione.get());
        offerVociScelte(m_consultazione.get());
        offerChoice(m_consultazione.get(), "lstSubarticoli");
    }
    return *m_consultazione;
}

void Application::showConsultazione()
{
    consultazione().showFromMenu();
}

search::frmCerca& Application::ricerca()
{
    if (!m_ricerca) {
        m_ricerca = std::make_unique<search::frmCerca>(m_state, m_main.get());
        search::frmCerca* window = m_ricerca.get();
        QObject::connect(window, &search::frmCerca::manualeRequested, m_main.get(),
                         [this] { showManuale(texts::frmInfo::Topics::Search); });
        QObject::connect(window, &search::frmCerca::consultazioneRequested, m_main.get(),
                         [this](const QString& code) { consultazione().openAt(code); });
        QObject::connect(window, &search::frmCerca::stampaRequested, m_main.get(),
                         [this, window] { printSearch(m_state.priceList, m_main->windowTitle(), *window); });
        offerTrova(window);
        offerVociScelte(window);
        offerChoice(window, "lstSubarticoli");
        offerExport(window, "lstSubarticoli");
    }
    return *m_ricerca;
}

search::frmTrova& Application::trova()
{
    if (!m_trova) {
        m_trova = std::make_unique<search::frmTrova>(m_state, m_main.get());
        QObject::connect(m_trova.get(), &search::frmTrova::consultazioneRequested, m_main.get(),
                         [this](const QString& code) { consultazione().openAt(code); });
        offerTrova(m_trova.get());
        offerVociScelte(m_trova.get());
        // Trova's one list: Ctrl+D adds its item from the box as well, where the user typed the words.
        offerChoice(m_trova.get(), "lstTrovati", Qt::WindowShortcut);
        offerExport(m_trova.get(), "lstTrovati");
    }
    return *m_trova;
}

collection::frmVociScelte& Application::vociScelte()
{
    if (!m_vociScelte) {
        m_vociScelte = std::make_unique<collection::frmVociScelte>(m_state, m_main.get());
        offerTrova(m_vociScelte.get());
    }
    return *m_vociScelte;
}

compare::frmConfronta& Application::confronto()
{
    if (!m_confronto) {
        m_confronto = std::make_unique<compare::frmConfronta>(m_state, m_main.get());
        QObject::connect(m_confronto.get(), &compare::frmConfronta::consultazioneRequested, m_main.get(),
                         [this](const QString& code) { consultazione().openAt(code); });
        offerTrova(m_confronto.get());
        offerVociScelte(m_confronto.get());
    }
    return *m_confronto;
}

void Application::offerExport(QMainWindow* window, const char* listName)
{
    auto* list = window->findChild<ui::ReportList*>(QString::fromLatin1(listName));
    auto* exportList = new QAction(QStringLiteral("Esporta elenco…"), list);
    list->addLeadingAction(exportList);
    auto* exporter = new ui::Exporter(window);
    QObject::connect(exportList, &QAction::triggered, window, [this, list, exporter, window] {
        QStringList codes;
        for (qsizetype row = 0; row < list->Count(); ++row)
            codes << list->Text(ui::ReportList::keyFor(row));
        try {
            collection::exportWithDialog(*exporter, core::exportDocument(m_state.priceList, codes),
                                         QStringLiteral("Elenco"));
        } catch (const core::Error& error) {
            ui::MessageBox::warning(window, error.text());
        }
    });
}

void Application::offerChoice(QMainWindow* window, const char* listName, Qt::ShortcutContext context)
{
    auto* list = window->findChild<ui::ReportList*>(QString::fromLatin1(listName));
    auto* add = new QAction(QStringLiteral("Aggiungi alle voci scelte"), list);
    add->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    add->setShortcutContext(context);
    add->setShortcutVisibleInContextMenu(true);
    list->addLeadingAction(add);
    QObject::connect(add, &QAction::triggered, window, [this, window, list] {
        if (!list->HasSelection())
            return;
        const QString code = list->SelectedText();
        QString said;
        try {
            switch (vociScelte().add(code)) {
            case collection::frmVociScelte::Added::Added:
                said = QStringLiteral("%1 aggiunta alle voci scelte «%2».").arg(code, vociScelte().currentName());
                break;
            case collection::frmVociScelte::Added::AlreadyChosen:
                said = QStringLiteral("%1 è già tra le voci scelte «%2»: non è stata aggiunta di nuovo.")
                           .arg(code, vociScelte().currentName());
                break;
            case collection::frmVociScelte::Added::NotInList:
                said = QStringLiteral("%1 non è una voce del prezzario.").arg(code);
                break;
            }
        } catch (const core::Error& error) {
            said = error.text();
        }
        window->statusBar()->showMessage(said, 8000);
    });
}

void Application::offerTrova(QWidget* window)
{
    auto* shortcut = new QShortcut(ui::kTrovaShortcut, window);
    QObject::connect(shortcut, &QShortcut::activated, window, [this] { trova().showFromMenu(); });
}

void Application::offerVociScelte(QWidget* window)
{
    auto* shortcut = new QShortcut(ui::kVociScelteShortcut, window);
    QObject::connect(shortcut, &QShortcut::activated, window, [this] { vociScelte().showFromMenu(); });
}

texts::frmPremesse& Application::premesse()
{
    if (!m_premesse) {
        m_premesse = std::make_unique<texts::frmPremesse>(m_state, m_main.get());
        offerTrova(m_premesse.get());
        offerVociScelte(m_premesse.get());
    }
    return *m_premesse;
}

texts::frmInfo& Application::manuale()
{
    // Without owner: from the main menu, and application-modal from the working windows alike.
    if (!m_manuale)
        m_manuale = std::make_unique<texts::frmInfo>(m_state);
    return *m_manuale;
}

void Application::showManuale(texts::frmInfo::Topics topics)
{
    manuale().showModal(topics);
}

} // namespace app
