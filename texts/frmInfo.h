#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmInfo;
}

namespace core {
struct AppState;
}

namespace texts {

// The on-line user manual: a menu of topics and the text of the chosen one from table manuale.
// Always shown modally; the window that asked chooses which topics are offered.
class frmInfo : public QDialog
{
    Q_OBJECT

public:
    enum class Topics {
        All,          // the main menu
        Search,       // Ricerca
        Consultation, // Consultazione
    };

    explicit frmInfo(core::AppState& state, QWidget* parent = nullptr);
    ~frmInfo() override;

    // Each opening starts with an empty text and the full menu, loads the topics for the window that
    // asked, and blocks until the user closes the window.
    int showModal(Topics topics = Topics::All);
    // What showModal does before it blocks: the window emptied, loaded for 'topics' and placed on the screen.
    void prepare(Topics topics);

private:
    void Form_Load(Topics topics);

    // Menu handlers: every topic shows the manual text stored under its own caption.
    void mnuPP_Click();
    void mnuC_Click();
    void mnuR_Click();
    void mnuRT_Click();
    void mnuCAS_Click();
    void mnuCA_Click();
    void mnuAS_Click();
    void mnuCS_Click();
    void mnuS_Click();
    void mnuA_Click();
    void mnuCP_Click();
    void mnuA2_Click();
    void mnuS2_Click();
    void mnuI_Click();
    void mnuMnu_Click();

    void showTopic(const QString& caption);

    core::AppState& m_state;
    std::unique_ptr<Ui::frmInfo> m_ui;
};

} // namespace texts
