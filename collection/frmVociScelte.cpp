#include "collection/frmVociScelte.h"
#include "collection/ChosenItemsModel.h"

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "core/CarryOver.h"
#include "core/Collections.h"
#include "core/Error.h"
#include "core/Find.h"
#include "core/Numbers.h"
#include "ui/Guard.h"
#include "report/export/ItemExport.h"
#include "ui/KeyboardAccess.h"
#include "ui/ListCopy.h"
#include "ui/MessageBox.h"
#include "ui/ListFiles.h"
#include "core/SafeFiles.h"
#include "ui/WaitCursor.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>

#include "ui_frmVociScelte.h"

namespace collection {

frmVociScelte::frmVociScelte(core::AppState& state, QWidget* mainWindow)
    : ui::FunctionWindow(mainWindow), m_state(state), m_ui(std::make_unique<Ui::frmVociScelte>()),
      m_store(std::make_unique<core::CollectionStore>(core::CollectionStore::defaultFolder())),
      m_model(new ChosenItemsModel(this))
{
    setHoldsMainWindow(false); // kept open beside the windows it collects from
    Ui::frmVociScelte& ui = *m_ui;
    ui.setupUi(this);
    QTableView& list = *ui.lstVociScelte;
    list.setModel(m_model);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
    list.verticalHeader()->setVisible(false);
    // Rows of one line, as the other lists; the description takes the room the others leave.
    list.verticalHeader()->setDefaultSectionSize(list.fontMetrics().height() + 6);
    list.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list.horizontalHeader()->setSectionResizeMode(ChosenItemsModel::Descrizione, QHeaderView::Stretch);
    list.setWordWrap(false);
    list.installEventFilter(this);
    list.setMinimumHeight(list.horizontalHeader()->sizeHint().height() + 8 * (list.fontMetrics().height() + 8));

    m_model->m_changed = [this](int row, std::optional<double> quantity) {
        core::Collection& collection = m_collections[m_current];
        collection.items[row].quantita = quantity;
        save();
        showTotal();
    };
    m_model->m_moved = [this](QList<int> rows, int target) { moveRows(std::move(rows), target); };
    list.setDragEnabled(true);
    list.setAcceptDrops(true);
    list.setDropIndicatorShown(true);
    list.setDragDropMode(QAbstractItemView::InternalMove);
    list.setDefaultDropAction(Qt::MoveAction);
    m_model->m_refused = [this](const QString& text) {
        statusBar()->showMessage(QStringLiteral("Quantità non valida: «%1»: %2.").arg(text, core::kTypedNumberHint),
                                 8000);
    };

    connect(ui.cmbRaccolta, &QComboBox::activated, this, &frmVociScelte::choose);
    connect(ui.cmdNuova, &QPushButton::clicked, this, &frmVociScelte::newCollection);
    connect(ui.cmdRinomina, &QPushButton::clicked, this, &frmVociScelte::renameCollection);
    connect(ui.cmdEliminaRaccolta, &QPushButton::clicked, this, &frmVociScelte::removeCollection);
    connect(ui.cmdRimuovi, &QPushButton::clicked, this, &frmVociScelte::removeSelected);
    connect(ui.cmdSu, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(ui.cmdGiu, &QPushButton::clicked, this, [this] { moveSelected(+1); });
    connect(ui.cmdEsporta, &QPushButton::clicked, this, &frmVociScelte::exportCollection);
    connect(ui.cmdRiporta, &QPushButton::clicked, this, &frmVociScelte::carryOver);
    ui::closeOnEscape(this);
    ui::scrollWhenSmall(this);
}

frmVociScelte::~frmVociScelte() = default;

// Showing and closing

void frmVociScelte::showFromMenu()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    ui::restorePlacement(this, QSize(1100, 640));
    openLoaded(m_ui->lstVociScelte);
}

void frmVociScelte::Form_Load()
{
    loadCollections();
}

// Collections

void frmVociScelte::loadCollections()
{
    m_collections = m_store->collections();
    const QStringList setAside = m_store->setAside();
    if (!setAside.isEmpty())
        ui::MessageBox::warning(isVisible() ? this : nullptr, setAside.join(u'\n'));
    if (m_collections.isEmpty())
        m_collections.append(firstCollection());
    const QString last = m_store->lastUsed();
    m_current = 0;
    for (int i = 0; i < m_collections.size(); ++i) {
        if (m_collections[i].id == last)
            m_current = i;
    }
    QComboBox& names = *m_ui->cmbRaccolta;
    const QSignalBlocker quiet(&names);
    names.clear();
    for (const core::Collection& collection : m_collections)
        names.addItem(collection.name, collection.id);
    names.setCurrentIndex(m_current);
    showCollection();
}

core::Collection frmVociScelte::firstCollection()
{
    try {
        return m_store->create(QStringLiteral("Voci scelte"), m_state.AnnoPrezzario, core::kListTitle);
    } catch (const core::Error& error) {
        // The window still works on a folder it cannot write: each change says again that it was not saved.
        ui::MessageBox::warning(isVisible() ? this : nullptr, error.text());
        return core::CollectionStore::make(QStringLiteral("Voci scelte"), m_state.AnnoPrezzario, core::kListTitle);
    }
}

void frmVociScelte::choose(int index)
{
    if (index < 0 || index >= m_collections.size())
        return;
    m_current = index;
    showCollection();
    try {
        m_store->setLastUsed(m_collections[index].id);
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
    }
}

const core::Collection& frmVociScelte::current() const
{
    return m_collections[m_current];
}

QString frmVociScelte::currentName() const
{
    return m_current >= 0 ? m_collections[m_current].name : QString();
}

void frmVociScelte::showCollection()
{
    const core::Collection& collection = m_collections[m_current];
    const core::ExportDocument document = core::exportDocument(m_state.priceList, collection);
    m_model->setItems(document.items);
    // Ready for a quantity: typing on a row gives its quantity.
    if (m_model->rowCount() > 0)
        m_ui->lstVociScelte->setCurrentIndex(m_model->index(0, ChosenItemsModel::Quantita));
    const bool sameEdition = collection.editionYear == m_state.AnnoPrezzario;
    m_ui->lblEdizione->setText(
        sameEdition ? QStringLiteral("Raccolta fatta sul %1 %2.").arg(collection.editionTitle, collection.editionYear)
                    : QStringLiteral("Raccolta fatta sul %1 %2: prezzi e voci sono quelli del prezzario aperto, %3; i "
                                     "prezzi cambiati mostrano il precedente nella nota.")
                          .arg(collection.editionTitle, collection.editionYear, m_state.AnnoPrezzario));
    m_ui->cmdRiporta->setVisible(!sameEdition);
    showTotal();
}

void frmVociScelte::showTotal()
{
    ui::showCount(m_ui->lblTotale, m_ui->lstVociScelte,
                  QStringLiteral("Totale: %1").arg(core::moneyText(core::totalCents(m_model->items()))));
}

void frmVociScelte::save()
{
    try {
        m_store->save(m_collections[m_current]);
        m_store->setLastUsed(m_collections[m_current].id);
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
    }
}

frmVociScelte::Added frmVociScelte::add(const QString& code)
{
    if (m_collections.isEmpty())
        loadCollections();
    core::Collection& collection = m_collections[m_current];
    for (const core::ChosenItem& item : collection.items) {
        if (item.code == code)
            return Added::AlreadyChosen;
    }
    const std::optional<core::ChosenItem> item = core::chosenItem(m_state.priceList, code);
    if (!item)
        return Added::NotInList;
    core::addItem(collection, *item);
    save();
    showCollection();
    return Added::Added;
}

void frmVociScelte::newCollection()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Nuova raccolta"),
                                               QStringLiteral("Nome della raccolta:"), QLineEdit::Normal, {}, &ok)
                             .trimmed();
    if (!ok || name.isEmpty())
        return;
    try {
        m_collections.append(m_store->create(name, m_state.AnnoPrezzario, core::kListTitle));
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
        return;
    }
    m_ui->cmbRaccolta->addItem(name, m_collections.back().id);
    m_ui->cmbRaccolta->setCurrentIndex(int(m_collections.size()) - 1);
    choose(int(m_collections.size()) - 1);
}

void frmVociScelte::renameCollection()
{
    core::Collection& collection = m_collections[m_current];
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("Rinomina raccolta"), QStringLiteral("Nome della raccolta:"),
                              QLineEdit::Normal, collection.name, &ok)
            .trimmed();
    if (!ok || name.isEmpty())
        return;
    try {
        m_store->rename(collection, name);
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
        return;
    }
    m_ui->cmbRaccolta->setItemText(m_current, name);
}

void frmVociScelte::removeCollection()
{
    const core::Collection& collection = m_collections[m_current];
    QMessageBox ask(QMessageBox::Question, ui::MessageBox::defaultTitle(),
                    QStringLiteral("Eliminare la raccolta «%1» con le sue %2 voci?")
                        .arg(collection.name)
                        .arg(collection.items.size()),
                    QMessageBox::NoButton, this);
    QPushButton* remove = ask.addButton(QStringLiteral("Elimina"), QMessageBox::DestructiveRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
    ask.exec();
    if (ask.clickedButton() != remove)
        return;
    try {
        m_store->remove(collection.id);
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
        return;
    }
    m_collections.removeAt(m_current);
    if (m_collections.isEmpty())
        m_collections.append(firstCollection());
    m_ui->cmbRaccolta->removeItem(m_current);
    if (m_ui->cmbRaccolta->count() == 0)
        m_ui->cmbRaccolta->addItem(m_collections[0].name, m_collections[0].id);
    m_current = std::min<int>(m_current, int(m_collections.size()) - 1);
    m_ui->cmbRaccolta->setCurrentIndex(m_current);
    choose(m_current);
}

// Items

void frmVociScelte::removeSelected()
{
    QList<int> rows;
    for (const QModelIndex& index : m_ui->lstVociScelte->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<>());
    core::Collection& collection = m_collections[m_current];
    for (const int row : rows)
        collection.items.removeAt(row);
    save();
    showCollection();
    if (m_model->rowCount() > 0)
        m_ui->lstVociScelte->selectRow(std::min(rows.back(), m_model->rowCount() - 1));
}

void frmVociScelte::moveSelected(int step)
{
    const QModelIndex current = m_ui->lstVociScelte->currentIndex();
    if (!current.isValid())
        return;
    const int from = current.row();
    if (from + step < 0 || from + step >= m_model->rowCount())
        return;
    // Down by one is before the row after the next.
    moveRows({from}, step < 0 ? from + step : from + step + 1);
}

void frmVociScelte::moveRows(QList<int> rows, int target)
{
    const qsizetype count = QSet<int>(rows.begin(), rows.end()).size();
    const std::optional<int> moved = core::moveItems(m_collections[m_current], std::move(rows), target);
    if (!moved)
        return;
    target = *moved;
    save();
    showCollection();
    QTableView& list = *m_ui->lstVociScelte;
    list.setCurrentIndex(m_model->index(target, ChosenItemsModel::Codice));
    list.selectionModel()->select(
        QItemSelection(m_model->index(target, 0),
                       m_model->index(target + int(count) - 1, ChosenItemsModel::kColumns - 1)),
        QItemSelectionModel::ClearAndSelect);
}

bool frmVociScelte::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->lstVociScelte && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            removeSelected();
            return true;
        }
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && key->modifiers() == Qt::AltModifier) {
            moveSelected(key->key() == Qt::Key_Up ? -1 : +1);
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            // As the other lists copy: the headings, then the selected rows, numbers as numbers.
            QList<bool> numeric;
            QStringList headings;
            for (int column = 0; column < ChosenItemsModel::kColumns; ++column) {
                numeric << ChosenItemsModel::numeric(column);
                headings << m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            }
            ui::ClipboardTable table(numeric);
            table.addRow(headings, true);
            QList<int> rows;
            for (const QModelIndex& index : m_ui->lstVociScelte->selectionModel()->selectedRows())
                rows << index.row();
            std::sort(rows.begin(), rows.end());
            for (const int row : rows) {
                QStringList cells;
                for (int column = 0; column < ChosenItemsModel::kColumns; ++column)
                    cells << m_model->index(row, column).data(ChosenItemsModel::kCopiedRole).toString();
                table.addRow(cells);
            }
            QGuiApplication::clipboard()->setMimeData(table.mimeData());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Export

void frmVociScelte::exportCollection()
{
    const core::Collection& collection = m_collections[m_current];
    exportWithDialog(*m_exporter, core::exportDocument(m_state.priceList, collection), collection.name);
}

// Carrying over to the open edition

QString frmVociScelte::editionFile(const QString& year)
{
    const QString openFile = m_state.priceList.path();
    {
        const ui::WaitCursor wait;
        for (const QString& file : ui::rememberedListFiles()) {
            if (core::sameFile(file, openFile))
                continue;
            try {
                if (core::PriceList::open(file).year() == year)
                    return file;
            } catch (const core::Error&) {
                // A file moved, damaged or replaced since it was opened is simply not that edition.
            }
        }
    }
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("File del prezzario %1").arg(year),
                                                      QFileInfo(openFile).absolutePath(),
                                                      QStringLiteral("Prezzario (*.mdb);;Tutti i file (*)"));
    if (file.isEmpty())
        return {};
    const QString shown = QDir::toNativeSeparators(file);
    if (core::sameFile(file, openFile)) {
        ui::MessageBox::warning(
            this, QStringLiteral("«%1» è il prezzario aperto: scegliere il file del prezzario %2.").arg(shown, year));
        return {};
    }
    QString fileYear;
    try {
        fileYear = core::PriceList::open(file).year();
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
        return {};
    }
    if (fileYear != year) {
        ui::MessageBox::warning(
            this,
            QStringLiteral("«%1» è il prezzario %2, non il %3 su cui è fatta la raccolta.").arg(shown, fileYear, year));
        return {};
    }
    return file;
}

void frmVociScelte::carryOver()
{
    const core::Collection older = m_collections[m_current];
    const QString olderFile = editionFile(older.editionYear);
    if (olderFile.isEmpty())
        return;
    const QString openFile = m_state.priceList.path();

    // Modal: the collections must not change under the job, whose end adds one.
    auto* progress = new QProgressDialog(
        QStringLiteral("Confronto del prezzario %1 con il %2…").arg(older.editionYear, m_state.AnnoPrezzario),
        QStringLiteral("Annulla"), 0, 100, this);
    progress->setWindowTitle(QStringLiteral("Riporta a questa edizione"));
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(400);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    const auto ended = [progress] {
        progress->reset();
        progress->deleteLater();
    };
    core::JobHandlers<std::optional<core::CarriedCollection>> handlers;
    handlers.progress = [progress](int percent) { progress->setValue(percent); };
    handlers.done = [this, ended](std::optional<core::CarriedCollection> carried) {
        ended();
        if (carried) // otherwise cancelled
            addCarried(*carried);
    };
    handlers.failed = [this, ended](const QString& failure) {
        ended();
        ui::MessageBox::warning(this, failure);
    };
    // Both lists are opened again by the work: a database connection belongs to the thread that opened it.
    const auto job = m_jobs.start<std::optional<core::CarriedCollection>>(
        [older, olderFile, openFile](core::JobControl& control) -> std::optional<core::CarriedCollection> {
            const core::PriceList olderList = core::PriceList::open(olderFile);
            const core::PriceList openList = core::PriceList::open(openFile);
            const std::optional<core::Comparison> comparison =
                core::compareEditions(olderList, openList, control.reporter());
            if (!comparison)
                return std::nullopt;
            return core::carryOver(older, *comparison, openList);
        },
        std::move(handlers));
    connect(progress, &QProgressDialog::canceled, this, [job] { job->requestStop(); });
}

void frmVociScelte::addCarried(const core::CarriedCollection& carried)
{
    try {
        core::Collection made =
            m_store->create(carried.collection.name, carried.collection.editionYear, carried.collection.editionTitle);
        made.items = carried.collection.items;
        m_store->save(made);
        m_collections.append(made);
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
        return;
    }
    const int index = int(m_collections.size()) - 1;
    m_ui->cmbRaccolta->addItem(m_collections[index].name, m_collections[index].id);
    m_ui->cmbRaccolta->setCurrentIndex(index);
    choose(index);
    ui::MessageBox::warning(this,
                            QStringLiteral("%1 voci riportate: %2 ricodificate, %3 non presenti in questa edizione.")
                                .arg(carried.riportate)
                                .arg(carried.ricodificate)
                                .arg(carried.nonPresenti),
                            QStringLiteral("Riporta a questa edizione"));
}

void exportWithDialog(ui::Exporter& exporter, core::ExportDocument document, const QString& name)
{
    exporter.exportWithDialog(
        ui::ExportChoice{name,
                         {{QStringLiteral("Elenco prezzi unitari (*.pdf)"), core::ExportFormat::Pdf},
                          {QStringLiteral("Foglio di calcolo (*.xlsx)"), core::ExportFormat::Xlsx},
                          {QStringLiteral("CSV (*.csv)"), core::ExportFormat::Csv},
                          {QStringLiteral("XPWE (*.xpwe)"), core::ExportFormat::Xpwe}},
                         QStringLiteral("Il file «%1» non ha un'estensione nota: usare .pdf, .xlsx, .csv o .xpwe.")},
        [document = std::move(document)](const QString& path, const ui::ExportChoice::FileType& type) {
            report::exportItems(document, path, type.format, type.kind);
        });
}

} // namespace collection
