#pragma once

#include <QKeySequence>
#include <QMainWindow>

#include <memory>

namespace Ui {
class MDIForm1;
}

namespace core {
struct AppState;
class PriceList;
} // namespace core
namespace ui {

// Trova opens with it from the main window and from every other window.
inline const QKeySequence kTrovaShortcut{Qt::CTRL | Qt::Key_K};
// Voci scelte comes forward with it from the main window and from every other window.
inline const QKeySequence kVociScelteShortcut{Qt::CTRL | Qt::SHIFT | Qt::Key_D};
// How many list files "Prezzari recenti" offers, the last opened first.
inline constexpr qsizetype kRecentListFiles = 8;

// The main window: the price-list title, the cover and the menu. Its menu commands are signals;
// the application connects them to the windows they open.
class MDIForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIForm1(core::AppState& state, QWidget* parent = nullptr);
    ~MDIForm1() override;

    // Opens the price list of the application folder and puts its year in the title.
    // Throws DbError naming the file and the cause; the database is left closed then.
    // Opens the price list beside the program, or 'databaseFile' when one is given.
    void MDIForm_Load(const QString& applicationFolder, const QString& databaseFile = {});
    // Makes 'list' the open price list, its year in the title.
    void useList(core::PriceList list);

signals:
    void premesseRequested();
    void alberoRequested();
    void ricercheRequested();
    void trovaRequested();
    void vociScelteRequested();
    void confrontaRequested();
    void manualeRequested();
    // "Apri prezzario…" or "Prezzari recenti": the user chose the list file 'path'.
    void openListRequested(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Menu handlers
    void mnuPremesse_Click();
    void mnuAlbero_Click();
    void mnuRicerche_Click();
    void mnuManuale_Click();
    void mnuApri_Click();
    void fillRecenti();
    void MDIForm_Unload();

    core::AppState& m_state;
    std::unique_ptr<Ui::MDIForm1> m_ui;
    QString m_title; // the title before the year
};

} // namespace ui
