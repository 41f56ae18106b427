#include "search/frmTrova.h"

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "ui/Guard.h"
#include "ui/KeyboardAccess.h"
#include "ui/MessageBox.h"
#include "core/Numbers.h"
#include "ui/PlainInput.h"
#include "ui/ReportList.h"
#include "ui/ResultRows.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLocale>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

#include "ui_frmTrova.h"

namespace search {

using ui::ReportList;

namespace {

const QString kHistoryKey = QStringLiteral("frmTrova/testi");
const QString kFiltersKey = QStringLiteral("frmTrova/filtri");

QString escaped(const core::Text& text)
{
    return text.toString().toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

} // namespace

// The items found, read by the list as it draws them.
class FoundRows : public ui::ReportRowSource
{
public:
    FoundRows(std::shared_ptr<const core::FindIndex> index, std::vector<std::int32_t> items)
        : m_index(std::move(index)), m_items(std::move(items))
    {
    }

    qsizetype rowCount() const override { return qsizetype(m_items.size()); }
    QString cell(qsizetype row, int column) const override
    {
        return m_index->cell(m_items[size_t(row)], core::FindColumn(column));
    }
    QString copiedCell(qsizetype row, int column) const override
    {
        return m_index->copiedCell(m_items[size_t(row)], core::FindColumn(column));
    }
    std::int32_t item(qsizetype row) const { return m_items[size_t(row)]; }
    const std::vector<std::int32_t>& items() const { return m_items; }

private:
    std::shared_ptr<const core::FindIndex> m_index;
    std::vector<std::int32_t> m_items;
};

frmTrova::frmTrova(core::AppState& state, QWidget* mainWindow)
    : ui::FunctionWindow(mainWindow), m_state(state), m_ui(std::make_unique<Ui::frmTrova>()),
      m_rememberTimer(new QTimer(this))
{
    Ui::frmTrova& ui = *m_ui;
    ui.setupUi(this);

    ui::rows::setSubarticleColumns(*ui.lstTrovati, ui::rows::SubarticleColumns::Trova);
    ui::reserveRows(ui.lstTrovati, 8);
    ui.splTrova->setStretchFactor(0, 3);
    ui.splTrova->setStretchFactor(1, 1);

    // Signals: textChanged and the filters' changes search at once; returnPressed in the box goes to the list.
    connect(ui.txtTrova, &QLineEdit::textChanged, this, [this] {
        if (m_recalled < 0)
            m_typed = m_ui->txtTrova->text();
        m_rememberTimer->start();
        search();
    });
    connect(ui.txtTrova, &QLineEdit::returnPressed, this, [this] {
        remember();
        if (m_ui->lstTrovati->Count() > 0)
            m_ui->lstTrovati->setFocus(Qt::TabFocusReason);
    });
    for (QLineEdit* box : {ui.txtPrezzoMin, ui.txtPrezzoMax})
        connect(box, &QLineEdit::textChanged, this, &frmTrova::search);
    for (QComboBox* box : {ui.cmbTrovaSezione, ui.cmbTrovaUnita})
        connect(box, &QComboBox::currentIndexChanged, this, &frmTrova::search);
    ui.txtTrova->installEventFilter(this);

    // A text the user stayed on is worth recalling.
    m_rememberTimer->setSingleShot(true);
    m_rememberTimer->setInterval(1500);
    connect(m_rememberTimer, &QTimer::timeout, this, &frmTrova::remember);

    auto* open = new QAction(QStringLiteral("Apri in Consultazione"), ui.lstTrovati);
    ui.lstTrovati->addLeadingAction(open);
    connect(open, &QAction::triggered, this, &frmTrova::openSelected);
    connect(ui.lstTrovati, &ReportList::ItemActivate, this, &frmTrova::openSelected);
    connect(ui.cmdConsultazione, &QPushButton::clicked, this, &frmTrova::openSelected);
    connect(ui.lstTrovati->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmTrova::showDetail);

    // Escape empties the box first, then closes: a user clearing a search does not lose the window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmTrova::escape);
    ui::scrollWhenSmall(this);

    const QSettings settings;
    m_history = settings.value(kHistoryKey).toStringList().mid(0, kHistoryLength);
}

frmTrova::~frmTrova() = default;

// Showing and closing

void frmTrova::showFromMenu()
{
    if (isVisible()) {
        raise();
        activateWindow();
        m_ui->txtTrova->setFocus(Qt::ShortcutFocusReason);
        m_ui->txtTrova->selectAll();
        return;
    }
    ui::restorePlacement(this, QSize(1200, 720));
    openLoaded(m_ui->txtTrova);
}

void frmTrova::Form_Load()
{
    Ui::frmTrova& ui = *m_ui;
    {
        const QSignalBlocker quiet(ui.cmbTrovaSezione);
        ui.cmbTrovaSezione->clear();
        ui.cmbTrovaSezione->addItem(QStringLiteral("Tutte le sezioni"));
        for (const core::Section& section : m_state.priceList.sections())
            ui.cmbTrovaSezione->addItem(section.entry(), section.code);
    }
    {
        const QSignalBlocker quiet(ui.txtTrova);
        ui.txtTrova->clear();
    }
    m_typed.clear();
    m_recalled = -1;
    restoreFilters();
    if (m_index && m_indexPath == m_state.priceList.path())
        search();
    else
        makeIndex();
}

void frmTrova::Form_Closing()
{
    remember();
    saveFilters();
}

// The index

void frmTrova::makeIndex()
{
    if (m_making)
        return;
    m_making = true;
    m_index.reset();
    m_indexPath = m_state.priceList.path();
    ui::showCount(m_ui->lblTrovati, m_ui->lstTrovati, QStringLiteral("Preparazione della ricerca…"));
    m_ui->prgIndice->setValue(0);
    // Shown only when making it takes long enough to wonder about.
    QTimer::singleShot(500, this, [this] {
        if (m_making)
            m_ui->prgIndice->setVisible(true);
    });
    const QString path = m_indexPath;
    core::JobHandlers<std::shared_ptr<const core::FindIndex>> handlers;
    handlers.progress = [this](int percent) { m_ui->prgIndice->setValue(percent); };
    handlers.done = [this](std::shared_ptr<const core::FindIndex> index) {
        if (index)
            indexMade(std::move(index));
    };
    handlers.failed = [this](const QString& failure) {
        m_making = false;
        m_ui->prgIndice->setVisible(false);
        ui::showCount(m_ui->lblTrovati, m_ui->lstTrovati, {});
        ui::MessageBox::warning(this, failure);
    };
    handlers.outOfMemory = QStringLiteral("Memoria insufficiente per preparare la ricerca.");
    m_jobs.start<std::shared_ptr<const core::FindIndex>>(
        [path](core::JobControl& control) {
            // A connection of its own: the window's stays free for the details while this reads the whole list.
            const core::PriceList list = core::PriceList::open(path);
            // Read once from end to end: a page cache the size of the file, as the window's own connection
            // keeps, would only hold the file a second time while the index is made.
            list.database().Execute(QStringLiteral("pragma cache_size = 64"));
            return core::FindIndex::build(list, control.reporter());
        },
        std::move(handlers));
}

void frmTrova::indexMade(std::shared_ptr<const core::FindIndex> index)
{
    m_making = false;
    m_index = std::move(index);
    m_ui->prgIndice->setVisible(false);
    fillUnits();
    search();
}

void frmTrova::fillUnits()
{
    QComboBox& units = *m_ui->cmbTrovaUnita;
    const QSignalBlocker quiet(&units);
    const QString chosen = units.currentIndex() > 0 ? units.currentText() : m_pendingUnit;
    units.clear();
    units.addItem(QStringLiteral("Tutte le unità"));
    for (const core::Text& unit : m_index->units())
        units.addItem(unit.toString());
    units.setCurrentIndex(std::max(0, units.findText(chosen, Qt::MatchExactly)));
    m_pendingUnit.clear();
}

// Searching

bool frmTrova::priceBound(QLineEdit* box, std::optional<double>& bound)
{
    return ui::typedNumber(box, bound, {}, QStringLiteral("Prezzo non valido: "));
}

void frmTrova::search()
{
    Ui::frmTrova& ui = *m_ui;
    core::FindFilter filter;
    filter.section = ui.cmbTrovaSezione->currentData().toString();
    if (ui.cmbTrovaUnita->currentIndex() > 0)
        filter.unit = core::Text::fromString(ui.cmbTrovaUnita->currentText());
    // An invalid bound is marked and left out, so that the list still answers the rest.
    if (!priceBound(ui.txtPrezzoMin, filter.minPrice))
        filter.minPrice.reset();
    if (!priceBound(ui.txtPrezzoMax, filter.maxPrice))
        filter.maxPrice.reset();
    if (!m_index)
        return; // searched once the index is made
    const QString typed = ui.txtTrova->text();
    const core::FindWords words = core::parseFindText(typed);

    if (m_search)
        m_search->cancel();
    struct Found
    {
        std::vector<std::int32_t> items;
        core::FindWords marked;
    };
    core::JobHandlers<std::shared_ptr<Found>> handlers;
    handlers.done = [this](std::shared_ptr<Found> found) {
        if (found)
            showFound(std::move(found->items), found->marked);
    };
    handlers.failed = [this](const QString& failure) { ui::MessageBox::warning(this, failure); };
    m_search = m_jobs.start<std::shared_ptr<Found>>(
        [index = m_index, words, filter](core::JobControl& control) -> std::shared_ptr<Found> {
            std::optional<std::vector<std::int32_t>> items = index->find(words, filter, control.stopFlag());
            if (!items)
                return nullptr;
            return std::make_shared<Found>(Found{std::move(*items), index->resolved(words)});
        },
        std::move(handlers));
}

void frmTrova::showFound(std::vector<std::int32_t> items, const core::FindWords& marked)
{
    ReportList& list = *m_ui->lstTrovati;
    // The item the user was on stays selected when it is still found.
    std::int32_t selected = -1;
    if (m_rows && list.HasSelection())
        selected = m_rows->item(list.SelectedRow());

    auto rows = std::make_shared<FoundRows>(m_index, std::move(items));
    m_rows = rows;
    list.setRows(rows);
    list.setMarker(std::make_shared<core::FindMarker>(marked), {0, 1});
    const qsizetype count = rows->rowCount();
    ui::showCount(m_ui->lblTrovati, &list,
                  count == 1 ? QStringLiteral("1 voce") : QStringLiteral("%1 voci").arg(QLocale().toString(count)));
    m_ui->cmdConsultazione->setEnabled(count > 0);
    if (count > 0) {
        const auto& found = rows->items();
        const auto at = std::lower_bound(found.begin(), found.end(), selected);
        const qsizetype row = at != found.end() && *at == selected ? at - found.begin() : 0;
        list.Select(ReportList::keyFor(row));
        list.showSelected();
    }
    showDetail();
}

std::vector<std::int32_t> frmTrova::shownItems() const
{
    return m_rows ? m_rows->items() : std::vector<std::int32_t>();
}

void frmTrova::showDetail()
{
    ReportList& list = *m_ui->lstTrovati;
    if (!m_rows || !list.HasSelection() || list.SelectedRow() >= m_rows->rowCount()) {
        m_detailCode.clear();
        m_ui->txtDettaglio->clear();
        return;
    }
    const QString code = m_index->code(m_rows->item(list.SelectedRow()));
    if (code == m_detailCode)
        return; // a key that kept the item selected
    m_detailCode = code;
    std::optional<core::PriceList::Row> row;
    try {
        row = m_state.priceList.row(code);
    } catch (const core::Error& error) {
        m_ui->txtDettaglio->setPlainText(error.text());
        return;
    }
    if (!row) {
        m_ui->txtDettaglio->clear();
        return;
    }
    // Each level with its code and its note, as a reader of the printed list finds it.
    QString html;
    const auto level = [&html](const QString& heading, const QString& levelCode, const core::Text& text,
                               const core::Text& note) {
        html += QStringLiteral("<p style='margin:0'><b>%1 %2</b> – %3</p>").arg(heading, levelCode, escaped(text));
        if (!note.isEmpty())
            html += QStringLiteral("<p style='margin:0 0 0 16px; color:#555'>%1</p>").arg(escaped(note));
    };
    level(QStringLiteral("Sezione"), row->codiceSezione, row->sezione, row->noteSezione);
    level(QStringLiteral("Capitolo"), code.left(6), row->capitolo, row->noteCapitolo);
    level(QStringLiteral("Articolo"), code.left(10), row->articolo, row->noteArticolo);
    level(QStringLiteral("Voce"), code, row->subarticle.subarticolo, core::Text());
    const std::int32_t item = m_rows->item(list.SelectedRow());
    html += QStringLiteral("<p>Unità di misura: <b>%1</b> &nbsp; Prezzo: <b>%2</b> &nbsp; Incidenza manodopera: "
                           "<b>%3</b> &nbsp; Manodopera lorda: <b>%4</b></p>")
                .arg(escaped(row->subarticle.simbolo), m_index->cell(item, core::FindColumn::Price),
                     m_index->cell(item, core::FindColumn::LabourShare),
                     m_index->cell(item, core::FindColumn::LabourAmount));
    m_ui->txtDettaglio->setHtml(html);
}

void frmTrova::openSelected()
{
    ReportList& list = *m_ui->lstTrovati;
    if (!m_rows || !list.HasSelection())
        return;
    remember();
    emit consultazioneRequested(m_index->code(m_rows->item(list.SelectedRow())));
}

void frmTrova::escape()
{
    if (!m_ui->txtTrova->text().isEmpty()) {
        m_ui->txtTrova->clear();
        m_ui->txtTrova->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    close();
}

// Memory

bool frmTrova::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->txtTrova && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                recall(+1);
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                // Below the newest text lies the list.
                if (m_recalled < 0) {
                    if (m_ui->lstTrovati->Count() > 0)
                        m_ui->lstTrovati->setFocus(Qt::TabFocusReason);
                } else {
                    recall(-1);
                }
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmTrova::recall(int step)
{
    const int next = std::clamp(m_recalled + step, -1, int(m_history.size()) - 1);
    if (next == m_recalled)
        return;
    m_recalled = next;
    m_ui->txtTrova->setText(next < 0 ? m_typed : m_history[next]);
    m_ui->txtTrova->end(false);
}

void frmTrova::remember()
{
    m_rememberTimer->stop();
    const QString text = m_ui->txtTrova->text().trimmed();
    if (text.isEmpty())
        return;
    m_history.removeAll(text);
    m_history.prepend(text);
    while (m_history.size() > kHistoryLength)
        m_history.removeLast();
    m_recalled = -1;
    m_typed = m_ui->txtTrova->text();
    QSettings().setValue(kHistoryKey, m_history);
}

void frmTrova::saveFilters() const
{
    const Ui::frmTrova& ui = *m_ui;
    QSettings().setValue(kFiltersKey,
                         QStringList{ui.cmbTrovaSezione->currentData().toString(),
                                     ui.cmbTrovaUnita->currentIndex() > 0 ? ui.cmbTrovaUnita->currentText() : QString(),
                                     ui.txtPrezzoMin->text(), ui.txtPrezzoMax->text()});
}

void frmTrova::restoreFilters()
{
    Ui::frmTrova& ui = *m_ui;
    const QStringList saved = QSettings().value(kFiltersKey).toStringList();
    const QSignalBlocker a(ui.cmbTrovaSezione), b(ui.cmbTrovaUnita), c(ui.txtPrezzoMin), d(ui.txtPrezzoMax);
    ui.cmbTrovaSezione->setCurrentIndex(std::max(0, ui.cmbTrovaSezione->findData(saved.value(0))));
    if (saved.value(0).isEmpty())
        ui.cmbTrovaSezione->setCurrentIndex(0);
    m_pendingUnit = saved.value(1);
    if (m_index)
        fillUnits();
    ui.txtPrezzoMin->setText(saved.value(2));
    ui.txtPrezzoMax->setText(saved.value(3));
}

} // namespace search
