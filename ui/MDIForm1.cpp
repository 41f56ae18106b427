#include "ui/MDIForm1.h"

#include "core/AppState.h"
#include "ui/KeyboardAccess.h"
#include "ui/WindowPlacement.h"
#include "core/PriceList.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>

#include "ui_MDIForm1.h"

namespace ui {

MDIForm1::MDIForm1(core::AppState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_ui(std::make_unique<Ui::MDIForm1>())
{
    m_ui->setupUi(this);
    connect(m_ui->mnuPremesse, &QAction::triggered, this, &MDIForm1::mnuPremesse_Click);
    connect(m_ui->mnuAlbero, &QAction::triggered, this, &MDIForm1::mnuAlbero_Click);
    connect(m_ui->mnuRicerche, &QAction::triggered, this, &MDIForm1::mnuRicerche_Click);
    connect(m_ui->mnuTrova, &QAction::triggered, this, &MDIForm1::trovaRequested);
    connect(m_ui->mnuVociScelte, &QAction::triggered, this, &MDIForm1::vociScelteRequested);
    connect(m_ui->mnuConfronta, &QAction::triggered, this, &MDIForm1::confrontaRequested);
    connect(m_ui->mnuManuale, &QAction::triggered, this, &MDIForm1::mnuManuale_Click);

    for (const auto& [action, letter] : {std::pair{m_ui->mnuMenu->menuAction(), u'M'}, {m_ui->mnuPremesse, u'P'},
                                         {m_ui->mnuAlbero, u'C'}, {m_ui->mnuRicerche, u'R'}, {m_ui->mnuTrova, u'T'}, {m_ui->mnuVociScelte, u'V'},
                                         {m_ui->mnuConfronta, u'E'},
                                         {m_ui->mnuManuale, u'M'}})
        setMnemonic(action, QChar(letter));
    enableMnemonics(m_ui->menubar);
    m_ui->mnuRicerche->setShortcut(QKeySequence::Find);
    m_ui->mnuManuale->setShortcut(QKeySequence::HelpContents);
    m_ui->mnuTrova->setShortcut(kTrovaShortcut);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
    restorePlacement(this, size());
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::MDIForm_Load(const QString& applicationFolder, const QString& databaseFile)
{
    const QString path = databaseFile.isEmpty() ? QDir(applicationFolder).filePath(core::kDatabaseFileName)
                                                : QFileInfo(databaseFile).absoluteFilePath();
    core::PriceList list = core::PriceList::open(path);
    m_state.AnnoPrezzario = list.year();
    m_state.priceList = std::move(list);
    setWindowTitle(windowTitle() + m_state.AnnoPrezzario + QStringLiteral(" CD"));
}

void MDIForm1::closeEvent(QCloseEvent* event)
{
    // A function window is open: closing now would close the database under it.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    savePlacement(this);
    MDIForm_Unload();
    event->accept();
}

void MDIForm1::MDIForm_Unload()
{
    m_state.priceList.close();
}

void MDIForm1::mnuPremesse_Click()
{
    emit premesseRequested();
}

void MDIForm1::mnuAlbero_Click()
{
    emit alberoRequested();
}

void MDIForm1::mnuRicerche_Click()
{
    emit ricercheRequested();
}

void MDIForm1::mnuManuale_Click()
{
    emit manualeRequested();
}

} // namespace ui
