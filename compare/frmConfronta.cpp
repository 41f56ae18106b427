#include "compare/frmConfronta.h"
#include "compare/ChangeChart.h"
#include "compare/ComparedRows.h"

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "report/export/ComparisonExport.h"
#include "core/Error.h"
#include "core/Find.h"
#include "core/Numbers.h"
#include "ui/PlainInput.h"
#include "core/SafeFiles.h"
#include "ui/Guard.h"
#include "ui/KeyboardAccess.h"
#include "ui/MessageBox.h"
#include "ui/ListFiles.h"
#include "ui/ReportList.h"
#include "ui/WaitCursor.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QStatusBar>

#include <cmath>

#include "ui_frmConfronta.h"

namespace compare {

using core::CompareState;
using ui::ReportList;

namespace {

// The entries of cmbStato before the states one by one.
constexpr int kAllButInvariate = -1;
constexpr int kAll = -2;
const QString kThresholdTip =
    QStringLiteral("Mostra solo le voci il cui prezzo è cambiato almeno di tanto per cento, in più o in meno.");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString percent(std::optional<double> value)
{
    return value ? core::percentText(*value) : QString();
}

QString signedPercent(std::optional<double> value)
{
    return value ? core::signedPercentText(*value) + QStringLiteral(" %") : QStringLiteral("–");
}

} // namespace

// What a comparison in the worker hands to the window.
struct frmConfronta::Outcome
{
    std::optional<core::Comparison> comparison;
    QString olderYear, newerYear;
    QMap<QString, QString> sectionNames;
};

frmConfronta::frmConfronta(core::AppState& state, QWidget* mainWindow)
    : ui::FunctionWindow(mainWindow), m_state(state), m_ui(std::make_unique<Ui::frmConfronta>())
{
    Ui::frmConfronta& ui = *m_ui;
    ui.setupUi(this);

    setUpComparedColumns(*ui.lstConfronto);
    ui.lstSezioni->setColumns({{QStringLiteral("Sezione"), 900},
                               {QStringLiteral("Descrizione"), 2200},
                               {QStringLiteral("Voci confrontate"), 1500, true},
                               {QStringLiteral("Mediana %"), 1100, true},
                               {QStringLiteral("Media %"), 1100, true}});
    ui::reserveRows(ui.lstConfronto, 6);
    ui.splConfronto->setStretchFactor(0, 2);
    ui.splConfronto->setStretchFactor(1, 3);
    ui.layRiepilogo->setStretch(0, 1);
    ui.layRiepilogo->setStretch(1, 1);

    ui.cmbStato->addItem(QStringLiteral("Tutte tranne invariate"), kAllButInvariate);
    ui.cmbStato->addItem(QStringLiteral("Tutte"), kAll);
    for (const auto& [state, name] :
         {std::pair{CompareState::Invariata, "Invariate"}, std::pair{CompareState::Variata, "Variate"},
          std::pair{CompareState::Nuova, "Nuove"}, std::pair{CompareState::Eliminata, "Eliminate"},
          std::pair{CompareState::Ricodificata, "Ricodificate"}})
        ui.cmbStato->addItem(QString::fromUtf8(name), int(state));
    ui.txtSoglia->setToolTip(kThresholdTip);

    // The view's own chart: one set in its place would leave this one to nobody.
    ui.chtVariazioni->chart()->legend()->hide();
    ui.chtVariazioni->setRenderHint(QPainter::Antialiasing);
    ui.chtVariazioni->setMinimumSize(420, 220);

    // Signals: the state picked (by the user or by code) and the threshold's textChanged filter at once.
    connect(ui.cmbStato, &QComboBox::currentIndexChanged, this, &frmConfronta::filter);
    connect(ui.txtSoglia, &QLineEdit::textChanged, this, &frmConfronta::filter);
    connect(ui.cmdAnnulla, &QPushButton::clicked, this, &frmConfronta::cancel);
    connect(ui.cmdEsporta, &QPushButton::clicked, this, &frmConfronta::exportList);

    ReportList& list = *ui.lstConfronto;
    auto* open = new QAction(QStringLiteral("Apri in Consultazione"), &list);
    auto* exportAction = new QAction(QStringLiteral("Esporta elenco…"), &list);
    auto* copyCode = new QAction(QStringLiteral("Copia codice"), &list);
    // The list's own "Copia codice" takes the first column, here the state: this one takes the item's code.
    for (QAction* action : list.actions()) {
        if (action->text() == copyCode->text())
            action->setVisible(false);
    }
    list.addLeadingAction(open);
    list.addLeadingAction(exportAction);
    list.addLeadingAction(copyCode);
    connect(open, &QAction::triggered, this, &frmConfronta::openSelected);
    connect(exportAction, &QAction::triggered, this, &frmConfronta::exportList);
    connect(copyCode, &QAction::triggered, this, &frmConfronta::copySelectedCode);
    connect(&list, &ReportList::ItemActivate, this, &frmConfronta::openSelected);

    ui::closeOnEscape(this);
    ui::scrollWhenSmall(this);
    showProgressBar(false);
    clearResult(QString());
}

frmConfronta::~frmConfronta() = default;

// Opening

void frmConfronta::showFromMenu()
{
    const QString path = QFileDialog::getOpenFileName(m_mainWindow, QStringLiteral("Confronta con un'altra edizione"),
                                                      QFileInfo(m_state.priceList.path()).absolutePath(),
                                                      QStringLiteral("Prezzari (*.mdb);;Tutti i file (*)"));
    if (!path.isEmpty())
        open(path);
}

bool frmConfronta::open(const QString& olderPath)
{
    QWidget* parent = isVisible() ? static_cast<QWidget*>(this) : m_mainWindow;
    // One file under two names (a link, a second mount) is still the open list.
    if (core::sameFile(olderPath, m_state.priceList.path())) {
        ui::MessageBox::warning(parent, QStringLiteral("«%1» è il prezzario già aperto: scegliere il file di "
                                                       "un'altra edizione.")
                                            .arg(native(olderPath)));
        return false;
    }
    QString olderYear;
    try {
        const ui::WaitCursor wait;
        olderYear = core::PriceList::open(olderPath).year();
    } catch (const core::Error& error) {
        ui::MessageBox::warning(parent, QStringLiteral("Il file «%1» non si può confrontare: non è un prezzario "
                                                       "leggibile.\n\n%2")
                                            .arg(native(olderPath), error.text()));
        return false;
    }
    bool olderNumber = false, newerNumber = false;
    const int older = olderYear.toInt(&olderNumber);
    const int newer = m_state.AnnoPrezzario.toInt(&newerNumber);
    if (olderNumber && newerNumber && older > newer) {
        const QMessageBox::StandardButton answer = QMessageBox::question(
            parent, ui::MessageBox::defaultTitle(),
            QStringLiteral("Il prezzario scelto è del %1, più recente di quello aperto (%2): il confronto lo tratta "
                           "come edizione precedente.\n\nConfrontare comunque?")
                .arg(olderYear, m_state.AnnoPrezzario),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    ui::rememberListFile(olderPath);
    if (isVisible()) {
        raise();
        activateWindow();
    } else {
        ui::restorePlacement(this, QSize(1280, 720));
        if (!openLoaded(m_ui->lstConfronto))
            return false;
    }
    compare(olderPath);
    return true;
}

void frmConfronta::Form_Load()
{
    const QSignalBlocker a(m_ui->cmbStato), b(m_ui->txtSoglia);
    m_ui->cmbStato->setCurrentIndex(0);
    m_ui->txtSoglia->clear();
}

void frmConfronta::Form_Closing()
{
    cancel();
}

// Comparing

void frmConfronta::compare(const QString& olderPath)
{
    if (m_comparing)
        m_comparing->cancel();
    m_olderPath = olderPath;
    m_newerPath = m_state.priceList.path();
    clearResult(QStringLiteral("Confronto di «%1» con «%2»…").arg(native(m_olderPath), native(m_newerPath)));
    setWindowTitle(QStringLiteral("Confronto edizioni"));
    m_ui->prgConfronto->setValue(0);
    showProgressBar(true);

    core::JobHandlers<std::shared_ptr<Outcome>> handlers;
    handlers.progress = [this](int percent) { m_ui->prgConfronto->setValue(percent); };
    handlers.done = [this](std::shared_ptr<Outcome> outcome) { finished(std::move(outcome)); };
    handlers.failed = [this](const QString& failure) {
        m_comparing.reset();
        showProgressBar(false);
        clearResult(QStringLiteral("Confronto non riuscito."));
        ui::MessageBox::warning(this, failure);
    };
    handlers.outOfMemory = QStringLiteral("Memoria insufficiente per confrontare le due edizioni.");
    m_comparing = m_jobs.start<std::shared_ptr<Outcome>>(
        [olderPath = m_olderPath, newerPath = m_newerPath](core::JobControl& control) {
            auto outcome = std::make_shared<Outcome>();
            // Connections of their own: a connection belongs to the thread that opened it.
            const core::PriceList older = core::PriceList::open(olderPath);
            const core::PriceList newer = core::PriceList::open(newerPath);
            // Each list is read once from end to end: a large page cache would only hold it a second time.
            for (const core::PriceList* list : {&older, &newer})
                list->database().Execute(QStringLiteral("pragma cache_size = 64"));
            outcome->olderYear = older.year();
            outcome->newerYear = newer.year();
            for (const core::PriceList* list : {&newer, &older}) {
                for (const core::Section& section : list->sections()) {
                    if (!outcome->sectionNames.contains(section.code))
                        outcome->sectionNames.insert(section.code, section.name.toString());
                }
            }
            outcome->comparison = core::compareEditions(older, newer, control.reporter());
            return outcome;
        },
        std::move(handlers));
}

void frmConfronta::cancel()
{
    if (!m_comparing || m_comparing->cancelled())
        return;
    m_comparing->cancel();
    showProgressBar(false);
    clearResult(QStringLiteral("Confronto annullato."));
}

void frmConfronta::showProgressBar(bool shown)
{
    m_ui->lblAvanzamento->setVisible(shown);
    m_ui->prgConfronto->setVisible(shown);
    m_ui->cmdAnnulla->setVisible(shown);
}

void frmConfronta::finished(std::shared_ptr<Outcome> outcome)
{
    m_comparing.reset();
    showProgressBar(false);
    if (!outcome->comparison) {
        clearResult(QStringLiteral("Confronto annullato."));
        return;
    }
    m_comparison = std::make_shared<const core::Comparison>(std::move(*outcome->comparison));
    m_olderYear = outcome->olderYear;
    m_newerYear = outcome->newerYear;
    m_sectionNames = outcome->sectionNames;
    setWindowTitle(QStringLiteral("Confronto edizioni %1 → %2").arg(m_olderYear, m_newerYear));
    showSummary();
    showSections();
    showHistogram();
    filter();
}

void frmConfronta::clearResult(const QString& why)
{
    Ui::frmConfronta& ui = *m_ui;
    m_comparison.reset();
    m_rows.reset();
    ui.lstConfronto->setRows(nullptr);
    ui.lstSezioni->RemoveAll();
    QChart* chart = ui.chtVariazioni->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    ui.lblRiepilogo->setText(why.toHtmlEscaped());
    ui::showCount(ui.lblConfrontati, ui.lstConfronto, QStringLiteral("0 voci"));
    ui.cmdEsporta->setEnabled(false);
}

// The result

void frmConfronta::showSummary()
{
    const core::Comparison& comparison = *m_comparison;
    const QLocale locale;
    const auto edition = [](const QString& heading, const QString& year, const QString& path) {
        return QStringLiteral("%1: <b>%2</b> — %3<br>")
            .arg(heading, year.toHtmlEscaped(), native(path).toHtmlEscaped());
    };
    QString html = edition(QStringLiteral("Edizione precedente"), m_olderYear, m_olderPath) +
                   edition(QStringLiteral("Edizione aperta"), m_newerYear, m_newerPath);
    html += QStringLiteral("<p>Invariate <b>%1</b> · Variate <b>%2</b> · Nuove <b>%3</b> · Eliminate <b>%4</b> · "
                           "Ricodificate <b>%5</b></p>")
                .arg(locale.toString(comparison.invariate), locale.toString(comparison.variate),
                     locale.toString(comparison.nuove), locale.toString(comparison.eliminate),
                     locale.toString(comparison.ricodificate));
    html += QStringLiteral("<p>");
    if (comparison.ricodificate == 0) {
        html += QStringLiteral("Nessuna voce ricodificata.");
    } else {
        html += (comparison.ricodificate == 1
                     ? QStringLiteral("1 voce ricodificata")
                     : locale.toString(comparison.ricodificate) + QStringLiteral(" voci ricodificate")) +
                QStringLiteral(": codice scomparso abbinato a un codice nuovo con la stessa descrizione e unità.");
    }
    html += QStringLiteral("</p><p>");
    const core::ChangeFigures& figures = comparison.figures;
    if (figures.count == 0) {
        html += QStringLiteral("Nessuna voce ha un prezzo in entrambe le edizioni: nessuna variazione da calcolare.");
    } else {
        html += QStringLiteral("Variazione di prezzo delle %1 presenti in entrambe le edizioni: mediana <b>%2</b>, "
                               "media <b>%3</b>.")
                    .arg(itemCount(figures.count), signedPercent(figures.median), signedPercent(figures.mean));
    }
    html += QStringLiteral("</p>");
    m_ui->lblRiepilogo->setText(html);
}

void frmConfronta::showSections()
{
    ReportList& list = *m_ui->lstSezioni;
    list.RemoveAll();
    // Every section of either edition: one only the older holds has items, all gone, and no figures.
    QMap<QString, bool> sections;
    for (const core::ComparedItem& item : m_comparison->items)
        sections.insert(item.section, true);
    for (auto name = m_sectionNames.cbegin(); name != m_sectionNames.cend(); ++name)
        sections.insert(name.key(), true);
    const QLocale locale;
    ui::ReportRow row;
    qsizetype added = 0;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        const core::ChangeFigures figures = m_comparison->sectionFigures.value(section.key());
        row.clear();
        row.cell(section.key())
            .cell(m_sectionNames.value(section.key()))
            .cell(locale.toString(figures.count))
            .cell(percent(figures.median))
            .cell(percent(figures.mean));
        list.Add(ReportList::keyFor(added++), row);
    }
}

void frmConfronta::showHistogram()
{
    drawChangeHistogram(*m_ui->chtVariazioni->chart(), *m_comparison);
}

// The list

bool frmConfronta::threshold(std::optional<double>& bound)
{
    return ui::typedNumber(m_ui->txtSoglia, bound, kThresholdTip, QStringLiteral("Percentuale non valida: "));
}

void frmConfronta::filter()
{
    std::optional<double> least;
    // An invalid threshold is marked and left out, so that the list still answers the state.
    if (!threshold(least))
        least.reset();
    if (!m_comparison)
        return;
    const int chosen = m_ui->cmbStato->currentData().toInt();
    core::CompareFilter rule;
    rule.states = chosen == kAll               ? core::CompareFilter::States::All
                  : chosen == kAllButInvariate ? core::CompareFilter::States::AllButUnchanged
                                               : core::CompareFilter::States::One;
    rule.state = CompareState(chosen);
    rule.leastPercent = least;
    std::vector<std::int32_t> shown;
    const QList<core::ComparedItem>& items = m_comparison->items;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (rule.accepts(items[i]))
            shown.push_back(std::int32_t(i));
    }
    auto rows = std::make_shared<ComparedRows>(m_comparison, std::move(shown));
    m_rows = rows;
    ReportList& list = *m_ui->lstConfronto;
    list.setRows(rows);
    const qsizetype count = rows->rowCount();
    ui::showCount(m_ui->lblConfrontati, &list,
                  count == 1 ? QStringLiteral("1 voce") : QStringLiteral("%1 voci").arg(QLocale().toString(count)));
    m_ui->cmdEsporta->setEnabled(count > 0);
    if (count > 0)
        list.Select(ReportList::keyFor(0));
}

QList<core::ComparedItem> frmConfronta::shownItems() const
{
    QList<core::ComparedItem> items;
    if (!m_rows)
        return items;
    items.reserve(m_rows->rowCount());
    for (qsizetype row = 0; row < m_rows->rowCount(); ++row)
        items << m_rows->item(row);
    return items;
}

void frmConfronta::openSelected()
{
    const ReportList& list = *m_ui->lstConfronto;
    if (!m_rows || !list.HasSelection())
        return;
    const core::ComparedItem& item = m_rows->item(list.SelectedRow());
    if (item.newCode.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("%1 è stata eliminata: non c'è nell'edizione aperta, e non si può "
                                                "aprire in Consultazione.")
                                     .arg(item.oldCode),
                                 8000);
        return;
    }
    emit consultazioneRequested(item.newCode);
}

void frmConfronta::copySelectedCode()
{
    const ReportList& list = *m_ui->lstConfronto;
    if (!m_rows || !list.HasSelection())
        return;
    const core::ComparedItem& item = m_rows->item(list.SelectedRow());
    QGuiApplication::clipboard()->setText(item.newCode.isEmpty() ? item.oldCode : item.newCode);
}

QString frmConfronta::title() const
{
    return QStringLiteral("Confronto %1 – %2").arg(m_olderYear, m_newerYear);
}

void frmConfronta::exportList()
{
    if (!m_rows || m_rows->rowCount() == 0)
        return;
    m_exporter->exportWithDialog(
        ui::ExportChoice{QStringLiteral("Confronto %1-%2").arg(m_olderYear, m_newerYear),
                         {{QStringLiteral("Foglio di calcolo (*.xlsx)"), core::ExportFormat::Xlsx},
                          {QStringLiteral("CSV (*.csv)"), core::ExportFormat::Csv},
                          {QStringLiteral("PDF (*.pdf)"), core::ExportFormat::Pdf}},
                         QStringLiteral("Il file «%1» non ha un'estensione adatta: usare .xlsx, .csv o .pdf.")},
        [items = shownItems(), title = title()](const QString& path, const ui::ExportChoice::FileType& type) {
            report::exportComparison(items, title, report::ComparisonHeadings::Italian, path, type.format);
        });
}

} // namespace compare
