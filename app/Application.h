#pragma once

#include <QString>

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
}

namespace texts {
class frmInfo;
class frmPremesse;
} // namespace texts

namespace app {

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

    ui::MDIForm1& mainWindow() { return *m_main; }
    consultation::frmPrincipale& consultazione();
    search::frmCerca& ricerca();
    texts::frmPremesse& premesse();
    texts::frmInfo& manuale();

private:
    void showConsultazione();
    void showManuale();

    core::AppState& m_state;
    std::unique_ptr<ui::MDIForm1> m_main;
    std::unique_ptr<consultation::frmPrincipale> m_consultazione;
    std::unique_ptr<search::frmCerca> m_ricerca;
    std::unique_ptr<texts::frmPremesse> m_premesse;
    std::unique_ptr<texts::frmInfo> m_manuale;
};

} // namespace app
