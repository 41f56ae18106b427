#include "collection/frmVociScelte.h"
#include "collection/ChosenItemsModel.h"
#include "collection/MeasureLinesModel.h"

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "core/CarryOver.h"
#include "core/Collections.h"
#include "core/Computo.h"
#include "core/Error.h"
#include "core/Find.h"
#include "core/Numbers.h"
#include "ui/Guard.h"
#include "import/XpweComputo.h"
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
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>

#include "ui_frmVociScelte.h"

namespace collection {

frmVociScelte::frmVociScelte(core::AppState& state, QWidget* mainWindow)
    : ui::FunctionWindow(mainWindow), m_state(state), m_ui(std::make_unique<Ui::frmVociScelte>()),
      m_store(std::make_unique<core::CollectionStore>(core::CollectionStore::defaultFolder())),
      m_model(new ChosenItemsModel(this)), m_lines(new MeasureLinesModel(this))
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
    // Fitted to their texts by fitColumns(), not by the view, which would lay out a thousand rows at each change.
    list.horizontalHeader()->setSectionResizeMode(ChosenItemsModel::Descrizione, QHeaderView::Stretch);
    list.setWordWrap(false);
    list.installEventFilter(this);
    list.viewport()->installEventFilter(this);
    list.setMinimumHeight(list.horizontalHeader()->sizeHint().height() + 6 * (list.fontMetrics().height() + 6));

    m_model->m_changed = [this](int item, std::optional<double> quantity) {
        m_collections[m_current].items[item].quantita = quantity;
        save();
        fitColumns(true);
        showTotal();
    };
    m_model->m_moved = [this](QList<int> items, const ChosenItemsModel::Landing& landing) {
        moveItems(std::move(items), landing);
    };
    list.setDragEnabled(true);
    list.setAcceptDrops(true);
    list.setDropIndicatorShown(true);
    list.setDragDropMode(QAbstractItemView::InternalMove);
    list.setDefaultDropAction(Qt::MoveAction);
    m_model->m_refused = [this](const QString& text) {
        statusBar()->showMessage(QStringLiteral("Quantità non valida: «%1»: %2.").arg(text, core::kTypedNumberHint),
                                 8000);
    };
    connect(list.selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmVociScelte::showLines);

    // The lines of the item on the current row, typed in place as in a spreadsheet.
    QTableView& lines = *ui.lstMisure;
    lines.setModel(m_lines);
    lines.setSelectionBehavior(QAbstractItemView::SelectRows);
    lines.setSelectionMode(QAbstractItemView::ExtendedSelection);
    lines.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    lines.verticalHeader()->setVisible(false);
    lines.verticalHeader()->setDefaultSectionSize(lines.fontMetrics().height() + 6);
    lines.horizontalHeader()->setSectionResizeMode(MeasureLinesModel::Descrizione, QHeaderView::Stretch);
    for (int column = MeasureLinesModel::PartiUguali; column < MeasureLinesModel::kColumns; ++column)
        lines.setColumnWidth(column, lines.fontMetrics().horizontalAdvance(QStringLiteral("(4,50+1,20)/2")) + 16);
    lines.setWordWrap(false);
    lines.setMinimumHeight(lines.horizontalHeader()->sizeHint().height() + 3 * (lines.fontMetrics().height() + 6));
    // Ins and Canc, as in the list above, through the event filter; the menu offers the same.
    lines.installEventFilter(this);
    lines.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* addLineAction = new QAction(QStringLiteral("Aggiungi riga"), &lines);
    auto* removeLineAction = new QAction(QStringLiteral("Elimina riga"), &lines);
    lines.addActions({addLineAction, removeLineAction});
    connect(addLineAction, &QAction::triggered, this, &frmVociScelte::addLine);
    connect(removeLineAction, &QAction::triggered, this, &frmVociScelte::removeLines);
    m_lines->m_changed = [this](const QList<core::MeasureLine>& changed) { linesChanged(changed); };
    // Once the editor has closed: a box shown while it commits would take its focus and make it commit again.
    m_lines->m_refused = [this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { ui::MessageBox::warning(this, message); }, Qt::QueuedConnection);
    };
    ui.splMisure->setStretchFactor(0, 3);
    ui.splMisure->setStretchFactor(1, 2);

    connect(ui.cmbRaccolta, &QComboBox::activated, this, &frmVociScelte::choose);
    connect(ui.cmdNuova, &QPushButton::clicked, this, &frmVociScelte::newCollection);
    connect(ui.cmdRinomina, &QPushButton::clicked, this, &frmVociScelte::renameCollection);
    connect(ui.cmdEliminaRaccolta, &QPushButton::clicked, this, &frmVociScelte::removeCollection);
    connect(ui.cmdImportaXpwe, &QPushButton::clicked, this, &frmVociScelte::importXpwe);
    connect(ui.cmdRimuovi, &QPushButton::clicked, this, &frmVociScelte::removeSelected);
    connect(ui.cmdSu, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(ui.cmdGiu, &QPushButton::clicked, this, [this] { moveSelected(+1); });
    connect(ui.cmdNuovoCapitolo, &QPushButton::clicked, this, &frmVociScelte::newChapter);
    connect(ui.cmdAggiungiRiga, &QPushButton::clicked, this, &frmVociScelte::addLine);
    connect(ui.cmdEliminaRiga, &QPushButton::clicked, this, &frmVociScelte::removeLines);
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
    m_model->setDocument(core::exportDocument(m_state.priceList, collection));
    fitColumns(false);
    // Ready for a quantity: typing on a row gives its quantity.
    if (!collection.items.isEmpty())
        m_ui->lstVociScelte->setCurrentIndex(m_model->index(m_model->rowOf(0), ChosenItemsModel::Quantita));
    showLines();
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
    const core::ComputoTotals& totals = m_model->totals();
    ui::showCount(m_ui->lblTotale, m_ui->lstVociScelte,
                  QStringLiteral("Totale: %1").arg(core::moneyText(totals.amount)));
    m_ui->lblManodopera->setText(core::labourSummary(totals));
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
    // With chapters, among the items of none, which come first.
    if (!collection.chapters.isEmpty())
        core::groupByChapter(collection);
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

QList<int> frmVociScelte::selectedItems() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_ui->lstVociScelte->selectionModel()->selectedRows())
        rows << index.row();
    return m_model->itemsAt(rows);
}

void frmVociScelte::removeSelected()
{
    const QList<int> items = selectedItems();
    if (items.isEmpty())
        return;
    core::Collection& collection = m_collections[m_current];
    for (auto item = items.rbegin(); item != items.rend(); ++item)
        collection.items.removeAt(*item);
    save();
    showCollection();
    if (!collection.items.isEmpty())
        m_ui->lstVociScelte->selectRow(m_model->rowOf(std::min<int>(items.front(), collection.items.size() - 1)));
}

void frmVociScelte::moveSelected(int step)
{
    const QModelIndex current = m_ui->lstVociScelte->currentIndex();
    const int item = current.isValid() ? m_model->itemAt(current.row()) : -1;
    if (item < 0)
        return;
    const int row = current.row();
    if (row + step < 0 || row + step >= m_model->rowCount())
        return;
    // Up is before the row above, down before the row after the next: past a heading, into the next chapter.
    moveItems({item}, m_model->landingBefore(step < 0 ? row + step : row + step + 1));
}

void frmVociScelte::moveItems(QList<int> items, const ChosenItemsModel::Landing& landing)
{
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    core::Collection& collection = m_collections[m_current];
    int first = -1;
    if (landing.beforeItem) {
        const std::optional<int> moved = core::moveItems(collection, items, *landing.beforeItem);
        if (!moved)
            return;
        first = *moved;
    } else {
        if (!core::moveToChapter(collection, items, landing.chapter))
            return;
        // After the chapter's other items: the last ones of it.
        for (int i = 0; i < collection.items.size(); ++i) {
            if (collection.items[i].chapter == landing.chapter)
                first = i - int(items.size()) + 1;
        }
    }
    save();
    showCollection();
    selectItems(first, int(items.size()));
}

void frmVociScelte::selectItems(int first, int count)
{
    QTableView& list = *m_ui->lstVociScelte;
    const int top = m_model->rowOf(first), bottom = m_model->rowOf(first + count - 1);
    if (top < 0 || bottom < 0)
        return;
    list.setCurrentIndex(m_model->index(top, ChosenItemsModel::Codice));
    list.selectionModel()->select(
        QItemSelection(m_model->index(top, 0), m_model->index(bottom, ChosenItemsModel::kColumns - 1)),
        QItemSelectionModel::ClearAndSelect);
}

void frmVociScelte::copySelected()
{
    // As the other lists copy: the headings, then the selected items, numbers as numbers.
    QList<bool> numeric;
    QStringList headings;
    for (int column = 0; column < ChosenItemsModel::kColumns; ++column) {
        numeric << ChosenItemsModel::numeric(column);
        headings << m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    ui::ClipboardTable table(numeric);
    table.addRow(headings, true);
    for (const int item : selectedItems()) {
        QStringList cells;
        for (int column = 0; column < ChosenItemsModel::kColumns; ++column)
            cells << m_model->index(m_model->rowOf(item), column).data(ChosenItemsModel::kCopiedRole).toString();
        table.addRow(cells);
    }
    QGuiApplication::clipboard()->setMimeData(table.mimeData());
}

void frmVociScelte::showListMenu(int row, const QPoint& global)
{
    const core::Collection& collection = m_collections[m_current];
    QMenu menu(this);
    const std::optional<QString> heading = m_model->headingAt(row);
    if (heading && !heading->isEmpty()) {
        const QString chapter = *heading;
        connect(menu.addAction(QStringLiteral("Rinomina capitolo…")), &QAction::triggered, this,
                [this, chapter] { renameChapter(chapter); });
        connect(menu.addAction(QStringLiteral("Elimina capitolo")), &QAction::triggered, this,
                [this, chapter] { removeChapter(chapter); });
        menu.addSeparator();
    }
    const QList<int> items = selectedItems();
    if (!items.isEmpty() && !collection.chapters.isEmpty()) {
        QMenu* into = menu.addMenu(QStringLiteral("Sposta nel capitolo"));
        const auto offer = [&](const QString& text, const QString& chapter) {
            QAction* action = into->addAction(text);
            // Where all of them are already, there is nothing to move.
            action->setEnabled(std::any_of(items.begin(), items.end(),
                                           [&](int item) { return collection.items[item].chapter != chapter; }));
            connect(action, &QAction::triggered, this, [this, items, chapter] {
                moveItems(items, ChosenItemsModel::Landing{std::nullopt, chapter});
            });
        };
        for (const QString& chapter : collection.chapters)
            offer(chapter, chapter);
        into->addSeparator();
        offer(QStringLiteral("Nessun capitolo"), QString());
    }
    connect(menu.addAction(QStringLiteral("Nuovo capitolo…")), &QAction::triggered, this, &frmVociScelte::newChapter);
    menu.exec(global);
}

bool frmVociScelte::eventFilter(QObject* watched, QEvent* event)
{
    QTableView& list = *m_ui->lstVociScelte;
    if ((watched == &list || watched == list.viewport()) && event->type() == QEvent::ContextMenu) {
        const auto* asked = static_cast<QContextMenuEvent*>(event);
        // From the keyboard, the current row's; with the mouse, the row under it.
        const QModelIndex at = asked->reason() == QContextMenuEvent::Keyboard
                                   ? list.currentIndex()
                                   : list.indexAt(list.viewport()->mapFromGlobal(asked->globalPos()));
        showListMenu(at.isValid() ? at.row() : -1, asked->globalPos());
        return true;
    }
    if (watched == m_ui->lstMisure && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            addLine();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            removeLines();
            return true;
        }
    }
    if (watched == &list && event->type() == QEvent::KeyPress) {
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
            copySelected();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Chapters

void frmVociScelte::newChapter()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Nuovo capitolo"),
                                               QStringLiteral("Nome del capitolo:"), QLineEdit::Normal, {}, &ok)
                             .trimmed();
    if (!ok || name.isEmpty())
        return;
    core::Collection& collection = m_collections[m_current];
    if (!core::addChapter(collection, name)) {
        ui::MessageBox::warning(this, QStringLiteral("La raccolta ha già un capitolo «%1».").arg(name));
        return;
    }
    save();
    showCollection();
}

void frmVociScelte::renameChapter(const QString& chapter)
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Rinomina capitolo"),
                                               QStringLiteral("Nome del capitolo:"), QLineEdit::Normal, chapter, &ok)
                             .trimmed();
    if (!ok || name.isEmpty() || name == chapter)
        return;
    core::Collection& collection = m_collections[m_current];
    if (!core::renameChapter(collection, chapter, name)) {
        ui::MessageBox::warning(this, QStringLiteral("La raccolta ha già un capitolo «%1».").arg(name));
        return;
    }
    save();
    showCollection();
}

void frmVociScelte::removeChapter(const QString& chapter)
{
    core::Collection& collection = m_collections[m_current];
    const qsizetype held = std::count_if(collection.items.cbegin(), collection.items.cend(),
                                         [&](const core::ChosenItem& item) { return item.chapter == chapter; });
    if (held > 0) {
        const QString kept =
            held == 1 ? QStringLiteral("La sua voce resta") : QStringLiteral("Le sue %1 voci restano").arg(held);
        QMessageBox ask(
            QMessageBox::Question, ui::MessageBox::defaultTitle(),
            QStringLiteral("Eliminare il capitolo «%1»? %2 nella raccolta, senza capitolo.").arg(chapter, kept),
            QMessageBox::NoButton, this);
        QPushButton* remove = ask.addButton(QStringLiteral("Elimina"), QMessageBox::DestructiveRole);
        ask.setDefaultButton(ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
        ask.exec();
        if (ask.clickedButton() != remove)
            return;
    }
    core::removeChapter(collection, chapter);
    save();
    showCollection();
}

// Measurement lines

void frmVociScelte::showLines()
{
    const QModelIndex current = m_ui->lstVociScelte->currentIndex();
    m_linesItem = current.isValid() ? m_model->itemAt(current.row()) : -1;
    const bool item = m_linesItem >= 0;
    m_lines->setLines(item ? m_collections[m_current].items[m_linesItem].misure : QList<core::MeasureLine>());
    m_ui->lblMisure->setText(item ? QStringLiteral("Righe &di misura di %1:").arg(m_model->items()[m_linesItem].code)
                                  : QStringLiteral("Righe &di misura:"));
    for (QWidget* control : {static_cast<QWidget*>(m_ui->lstMisure), static_cast<QWidget*>(m_ui->cmdAggiungiRiga),
                             static_cast<QWidget*>(m_ui->cmdEliminaRiga)})
        control->setEnabled(item);
}

void frmVociScelte::linesChanged(const QList<core::MeasureLine>& lines)
{
    if (m_linesItem < 0)
        return;
    core::ChosenItem& chosen = m_collections[m_current].items[m_linesItem];
    chosen.misure = lines;
    save();
    // The one item and the sums, not the whole collection again from the list.
    m_model->updateItem(m_linesItem, chosen);
    fitColumns(true);
    showTotal();
}

void frmVociScelte::fitColumns(bool widenOnly)
{
    QHeaderView& header = *m_ui->lstVociScelte->horizontalHeader();
    QFont bold = m_ui->lstVociScelte->font();
    bold.setBold(true);
    const QFontMetrics plain(m_ui->lstVociScelte->font()), headings(bold);
    // The item delegate's margins on both sides, and a little air.
    constexpr int kPadding = 14;
    for (int column = 0; column < ChosenItemsModel::kColumns; ++column) {
        if (column == ChosenItemsModel::Descrizione)
            continue;
        // The amounts' column holds the chapters' subtotals too, in bold.
        const QFontMetrics& metrics = column == ChosenItemsModel::Importo ? headings : plain;
        int width = widenOnly ? header.sectionSize(column) : header.sectionSizeHint(column);
        for (const QString& text : m_model->widestTexts(column))
            width = std::max(width, metrics.horizontalAdvance(text) + kPadding);
        if (width != header.sectionSize(column))
            header.resizeSection(column, width);
    }
}

void frmVociScelte::addLine()
{
    if (m_linesItem < 0)
        return;
    QTableView& lines = *m_ui->lstMisure;
    const QModelIndex current = lines.currentIndex();
    const int at = current.isValid() ? current.row() + 1 : m_lines->rowCount();
    m_lines->insertLine(at);
    lines.setFocus();
    lines.setCurrentIndex(m_lines->index(at, MeasureLinesModel::Descrizione));
}

void frmVociScelte::removeLines()
{
    QTableView& lines = *m_ui->lstMisure;
    QList<int> rows;
    for (const QModelIndex& index : lines.selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && lines.currentIndex().isValid())
        rows << lines.currentIndex().row();
    if (rows.isEmpty())
        return;
    m_lines->removeLines(rows);
    if (m_lines->rowCount() > 0)
        lines.selectRow(std::min(*std::min_element(rows.begin(), rows.end()), m_lines->rowCount() - 1));
}

// Export

void frmVociScelte::exportCollection()
{
    const core::Collection& collection = m_collections[m_current];
    exportWithDialog(*m_exporter, core::exportDocument(m_state.priceList, collection), collection.name,
                     ExportDocuments::ComputoAndElenco);
}

// Computi of other programs

void frmVociScelte::importXpwe()
{
    if (isBusy())
        return;
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Importa computo XPWE"), QDir::homePath(),
                                                      QStringLiteral("XPWE (*.xpwe *.xml);;Tutti i file (*)"));
    if (file.isEmpty())
        return;
    const QString listFile = m_state.priceList.path();
    const QString shown = QDir::toNativeSeparators(file);
    setCursor(Qt::BusyCursor);
    m_ui->cmdImportaXpwe->setEnabled(false);
    statusBar()->showMessage(QStringLiteral("Lettura di «%1»…").arg(shown));
    const auto ended = [this] {
        unsetCursor();
        m_ui->cmdImportaXpwe->setEnabled(true);
        statusBar()->clearMessage();
    };
    core::JobHandlers<import::XpweReading> handlers;
    handlers.done = [this, ended, file, shown](import::XpweReading reading) {
        ended();
        if (!reading.problems.isEmpty() || !reading.collection) {
            // All at once, so that the file can be mended in one go; a very long list shows its beginning.
            constexpr qsizetype kShown = 30;
            QStringList lines = reading.problems.mid(0, kShown);
            if (reading.problems.size() > kShown)
                lines << QStringLiteral("… e altri %1 problemi.").arg(reading.problems.size() - kShown);
            ui::MessageBox::warning(
                this, QStringLiteral("Il computo «%1» non è stato importato:\n%2").arg(shown, lines.join(u'\n')));
            return;
        }
        addImported(file, *reading.collection);
    };
    handlers.failed = [this, ended](const QString& failure) {
        ended();
        ui::MessageBox::warning(this, failure);
    };
    // The list is opened again by the work: a database connection belongs to the thread that opened it.
    m_jobs.start<import::XpweReading>(
        [file, listFile](core::JobControl&) {
            const core::PriceList list = core::PriceList::open(listFile);
            return import::readXpweComputo(file, list, QString());
        },
        std::move(handlers));
}

void frmVociScelte::addImported(const QString& file, const core::Collection& read)
{
    core::Collection made = read;
    made.name = uniqueName(read.name.trimmed().isEmpty() ? QFileInfo(file).completeBaseName() : read.name.trimmed());
    if (!addCollection(made))
        return;
    qsizetype lines = 0;
    for (const core::ChosenItem& item : made.items)
        lines += item.misure.size();
    statusBar()->showMessage(QStringLiteral("Importato «%1» in «%2»: %3 voci, %4 righe di misura, %5 capitoli.")
                                 .arg(QFileInfo(file).fileName(), made.name)
                                 .arg(made.items.size())
                                 .arg(lines)
                                 .arg(made.chapters.size()));
}

QString frmVociScelte::uniqueName(const QString& name) const
{
    const auto taken = [this](const QString& candidate) {
        return std::any_of(m_collections.begin(), m_collections.end(),
                           [&](const core::Collection& collection) { return collection.name == candidate; });
    };
    QString candidate = name;
    for (int number = 2; taken(candidate); ++number)
        candidate = QStringLiteral("%1 (%2)").arg(name).arg(number);
    return candidate;
}

bool frmVociScelte::addCollection(const core::Collection& made)
{
    try {
        core::Collection stored = m_store->create(made.name, made.editionYear, made.editionTitle);
        stored.items = made.items;
        stored.chapters = made.chapters;
        m_store->save(stored);
        m_collections.append(stored);
    } catch (const core::Error& error) {
        ui::MessageBox::warning(this, error.text());
        return false;
    }
    const int index = int(m_collections.size()) - 1;
    m_ui->cmbRaccolta->addItem(m_collections[index].name, m_collections[index].id);
    m_ui->cmbRaccolta->setCurrentIndex(index);
    choose(index);
    return true;
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
    if (!addCollection(carried.collection))
        return;
    ui::MessageBox::warning(this,
                            QStringLiteral("%1 voci riportate: %2 ricodificate, %3 non presenti in questa edizione.")
                                .arg(carried.riportate)
                                .arg(carried.ricodificate)
                                .arg(carried.nonPresenti),
                            QStringLiteral("Riporta a questa edizione"));
}

void exportWithDialog(ui::Exporter& exporter, core::ExportDocument document, const QString& name,
                      ExportDocuments documents)
{
    using core::ExportDocumentKind;
    using core::ExportFormat;
    QList<ui::ExportChoice::FileType> types;
    if (documents == ExportDocuments::ComputoAndElenco) {
        types = {
            {QStringLiteral("Computo metrico estimativo (*.pdf)"), ExportFormat::Pdf, ExportDocumentKind::Computo},
            {QStringLiteral("Computo metrico estimativo (*.xlsx)"), ExportFormat::Xlsx, ExportDocumentKind::Computo},
            {QStringLiteral("Computo metrico estimativo (*.csv)"), ExportFormat::Csv, ExportDocumentKind::Computo}};
    }
    types << ui::ExportChoice::FileType{QStringLiteral("Elenco prezzi unitari (*.pdf)"), ExportFormat::Pdf}
          << ui::ExportChoice::FileType{QStringLiteral("Foglio di calcolo (*.xlsx)"), ExportFormat::Xlsx}
          << ui::ExportChoice::FileType{QStringLiteral("CSV (*.csv)"), ExportFormat::Csv}
          << ui::ExportChoice::FileType{QStringLiteral("XPWE (*.xpwe)"), ExportFormat::Xpwe};
    exporter.exportWithDialog(
        ui::ExportChoice{name, types,
                         QStringLiteral("Il file «%1» non ha un'estensione nota: usare .pdf, .xlsx, .csv o .xpwe.")},
        [document = std::move(document)](const QString& path, const ui::ExportChoice::FileType& type) {
            report::exportItems(document, path, type.format, type.kind);
        });
}

} // namespace collection
