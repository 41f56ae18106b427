#pragma once

#include "texts/frmInfo.h"

#include <QString>

class QMainWindow;
class QWidget;

#include <memory>

namespace core {
struct AppState;
} // namespace core

namespace ui {
class MDIForm1;
} // namespace ui

namespace consultation {
class frmPrincipale;
}

namespace search {
class frmCerca;
class frmTrova;
}

namespace collection {
class frmVociScelte;
}

namespace compare {
class frmConfronta;
}

namespace texts {
class frmPremesse;
} // namespace texts

namespace core {
class PriceList;
}

namespace app {

// What both print buttons of the search window do: print the search it shows, under 'heading'.
void printSearch(const core::PriceList& list, const QString& heading, search::frmCerca& window);

// The program: the main window and the function windows its menu opens, each created on first use
// and shown again by later commands.
class Application
{
public:
    explicit Application(core::AppState& state);
    ~Application();

    // Opens the price list of the application folder, or 'databaseFile' when one is given, and wires the
    // menu. When the database cannot be used, tells the user why (in a message box, and on the standard
    // error for whoever started the program from a terminal) and returns false.
    bool startUp(const QString& applicationFolder, const QString& databaseFile = {});

    // Makes the list file 'path' the open price list, as "Apri prezzario…" does: the windows made from the
    // list before are closed and made again from the new one on their next opening, and Voci scelte shows
    // its collection against the new edition. A file that is not a price list is refused with the reason,
    // and nothing changes; so is any change while a window is exporting. Returns whether it changed.
    bool openPriceList(const QString& path);

    ui::MDIForm1& mainWindow() { return *m_main; }
    consultation::frmPrincipale& consultazione();
    search::frmCerca& ricerca();
    search::frmTrova& trova();
    collection::frmVociScelte& vociScelte();
    compare::frmConfronta& confronto();
    texts::frmPremesse& premesse();
    texts::frmInfo& manuale();

private:
    void showConsultazione();
    void showManuale(texts::frmInfo::Topics topics);
    // Ctrl+K in 'window' opens Trova, as it does from the main menu.
    void offerTrova(QWidget* window);
    // Ctrl+Shift+D in 'window' brings Voci scelte forward, opening it if need be.
    void offerVociScelte(QWidget* window);
    // Closes and destroys the windows that show the open list; Voci scelte stays.
    void dropListWindows();
    // "Aggiungi alle voci scelte" (Ctrl+D and the context menu) on the subarticle list 'listName' of 'window'.
    void offerChoice(QMainWindow* window, const char* listName, Qt::ShortcutContext context = Qt::WidgetShortcut);
    // "Esporta elenco…" in the context menu of the list 'listName' of 'window': every row's item.
    void offerExport(QMainWindow* window, const char* listName);

    core::AppState& m_state;
    std::unique_ptr<ui::MDIForm1> m_main;
    std::unique_ptr<consultation::frmPrincipale> m_consultazione;
    std::unique_ptr<search::frmCerca> m_ricerca;
    std::unique_ptr<search::frmTrova> m_trova;
    std::unique_ptr<collection::frmVociScelte> m_vociScelte;
    std::unique_ptr<compare::frmConfronta> m_confronto;
    std::unique_ptr<texts::frmPremesse> m_premesse;
    std::unique_ptr<texts::frmInfo> m_manuale;
};

} // namespace app
