#include "ui/MDIForm1.h"

#include "core/AppState.h"
#include "ui/KeyboardAccess.h"
#include "ui/WindowPlacement.h"
#include "core/PriceList.h"
#include "core/SafeFiles.h"
#include "ui/ListFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QShortcut>

#include "ui_MDIForm1.h"

namespace ui {

MDIForm1::MDIForm1(core::AppState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_ui(std::make_unique<Ui::MDIForm1>())
{
    m_ui->setupUi(this);
    m_title = windowTitle();
    connect(m_ui->mnuApri, &QAction::triggered, this, &MDIForm1::mnuApri_Click);
    connect(m_ui->mnuRecenti, &QMenu::aboutToShow, this, &MDIForm1::fillRecenti);
    connect(m_ui->mnuPremesse, &QAction::triggered, this, &MDIForm1::mnuPremesse_Click);
    connect(m_ui->mnuAlbero, &QAction::triggered, this, &MDIForm1::mnuAlbero_Click);
    connect(m_ui->mnuRicerche, &QAction::triggered, this, &MDIForm1::mnuRicerche_Click);
    connect(m_ui->mnuTrova, &QAction::triggered, this, &MDIForm1::trovaRequested);
    connect(m_ui->mnuVociScelte, &QAction::triggered, this, &MDIForm1::vociScelteRequested);
    connect(m_ui->mnuConfronta, &QAction::triggered, this, &MDIForm1::confrontaRequested);
    connect(m_ui->mnuManuale, &QAction::triggered, this, &MDIForm1::mnuManuale_Click);

    for (const auto& [action, letter] : {std::pair{m_ui->mnuMenu->menuAction(), u'M'},
                                         {m_ui->mnuApri, u'A'},
                                         {m_ui->mnuRecenti->menuAction(), u'N'},
                                         {m_ui->mnuPremesse, u'P'},
                                         {m_ui->mnuAlbero, u'C'},
                                         {m_ui->mnuRicerche, u'R'},
                                         {m_ui->mnuTrova, u'T'},
                                         {m_ui->mnuVociScelte, u'V'},
                                         {m_ui->mnuConfronta, u'E'},
                                         {m_ui->mnuManuale, u'M'}})
        setMnemonic(action, QChar(letter));
    enableMnemonics(m_ui->menubar);
    m_ui->mnuRicerche->setShortcut(QKeySequence::Find);
    m_ui->mnuManuale->setShortcut(QKeySequence::HelpContents);
    m_ui->mnuTrova->setShortcut(kTrovaShortcut);
    m_ui->mnuVociScelte->setShortcut(kVociScelteShortcut);
    m_ui->mnuApri->setShortcut(QKeySequence::Open);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
    restorePlacement(this, size());
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::MDIForm_Load(const QString& applicationFolder, const QString& databaseFile)
{
    const QString path = databaseFile.isEmpty() ? QDir(applicationFolder).filePath(core::kDatabaseFileName)
                                                : QFileInfo(databaseFile).absoluteFilePath();
    useList(core::PriceList::open(path));
}

void MDIForm1::useList(core::PriceList list)
{
    m_state.AnnoPrezzario = list.year();
    m_state.priceList = std::move(list);
    setWindowTitle(m_title + m_state.AnnoPrezzario + QStringLiteral(" CD"));
}

void MDIForm1::closeEvent(QCloseEvent* event)
{
    // A function window is open: closing now would close the database under it.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    // A window kept open beside this one (Voci scelte) closes before the list it shows does.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && !window->close()) {
            event->ignore();
            return;
        }
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

void MDIForm1::mnuApri_Click()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Apri prezzario"),
                                                      QFileInfo(m_state.priceList.path()).absolutePath(),
                                                      QStringLiteral("Prezzario (*.mdb);;Tutti i file (*)"));
    if (!file.isEmpty())
        emit openListRequested(file);
}

// Made as the menu opens: the files are those remembered when they were opened, less those gone since.
void MDIForm1::fillRecenti()
{
    QMenu* menu = m_ui->mnuRecenti;
    menu->clear();
    const QStringList files = rememberedListFiles().mid(0, kRecentListFiles);
    int number = 0;
    for (const QString& file : files) {
        QString caption = QDir::toNativeSeparators(file);
        caption.replace(u'&', QStringLiteral("&&"));
        // The digit picks the file from the keyboard.
        QAction* action = menu->addAction(QStringLiteral("&%1  %2").arg(++number).arg(caption));
        action->setCheckable(true);
        action->setChecked(core::sameFile(file, m_state.priceList.path()));
        connect(action, &QAction::triggered, this, [this, file] { emit openListRequested(file); });
    }
    if (files.isEmpty())
        menu->addAction(QStringLiteral("Nessun prezzario aperto di recente"))->setEnabled(false);
}

} // namespace ui
