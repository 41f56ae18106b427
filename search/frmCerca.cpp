#include "search/frmCerca.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLineEdit>
#include <QScreen>

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "ui/Guard.h"
#include "ui/KeyboardAccess.h"
#include "ui/MessageBox.h"
#include "ui/PlainInput.h"
#include "ui/ReportList.h"
#include "ui/SectionCombo.h"
#include "ui/ResultRows.h"
#include "core/SearchMessages.h"
#include "ui/WaitCursor.h"
#include "ui/WindowPlacement.h"

#include <limits>

#include "ui_frmCerca.h"

namespace search {

using ui::ReportList;

namespace {
const QString kRunInterrupted =
    QStringLiteral("La ricerca non è stata completata: i risultati parziali sono stati eliminati.\n\n");
} // namespace

// Handlers run on what the user does, never on values set in code: buttons, options and check boxes on
// clicked, the section combo on activated (picking the entry already shown reloads it too) and its typing on
// textEdited, which forgets the chosen index. The text boxes are the exception: their guards watch
// textChanged, so that a value put in by code is checked as a typed one would be.
frmCerca::frmCerca(core::AppState& state, QWidget* mainWindow)
    : ui::FunctionWindow(mainWindow), m_state(state), m_ui(std::make_unique<Ui::frmCerca>())
{
    Ui::frmCerca& ui = *m_ui;
    ui.setupUi(this);
    ui.menubar->setNativeMenuBar(false);

    ui::setUpSectionCombo(ui.cmbSezioni);
    ui::nameComboEditors(this);

    ui.txtCerca->setMaxLength(std::numeric_limits<int>::max());
    for (QLineEdit* box :
         {ui.cmbSezioni->lineEdit(), ui.txtCerca, ui.txtArtCap, ui.txtArtArt, ui.txtSubCap, ui.txtSubArt, ui.txtSubSub,
          ui.txtDa_Cap, ui.txtDa_Art, ui.txtDa_Sub, ui.txtA_Cap, ui.txtA_Art, ui.txtA_Sub})
        ui::keepControlCharactersOut(box);
    const int codeWidth = ui.txtArtCap->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 14;
    for (QLineEdit* box : {ui.txtArtCap, ui.txtArtArt, ui.txtSubCap, ui.txtSubArt, ui.txtSubSub, ui.txtDa_Cap,
                           ui.txtDa_Art, ui.txtDa_Sub, ui.txtA_Cap, ui.txtA_Art, ui.txtA_Sub})
        box->setFixedWidth(codeWidth);
    const int prefixWidth = ui.lblArtSez->fontMetrics().horizontalAdvance(QStringLiteral("00.")) + 6;
    for (QLabel* label : {ui.lblArtSez, ui.lblSubSez, ui.lblDa_Sez, ui.lblA_Sez})
        label->setMinimumWidth(prefixWidth);
    // The four panels share one width, so that the text box starts where the code columns do.
    int panelWidth = 0;
    for (QWidget* panel : {ui.Panel1, ui.Panel2, ui.Panel3, ui.Panel4})
        panelWidth = std::max(panelWidth, panel->sizeHint().width());
    for (QWidget* panel : {ui.Panel1, ui.Panel2, ui.Panel3, ui.Panel4})
        panel->setFixedWidth(panelWidth);

    ui.cmdStampa1->setIcon(spreadsheetIcon());

    ui.lstCapitoli->setColumns({{QStringLiteral("Codice Capitolo"), 1000},
                                {QStringLiteral("Sezione"), 4000},
                                {QStringLiteral("Capitolo"), 12250},
                                {QStringLiteral("note"), 0}});
    ui.lstArticoli->setColumns({{QStringLiteral("Codice Articolo"), 1000},
                                {QStringLiteral("Sezione"), 2000},
                                {QStringLiteral("Capitolo"), 4000},
                                {QStringLiteral("Articolo"), 10250},
                                {QStringLiteral("note"), 0}});
    ui::rows::setSubarticleColumns(*ui.lstSubarticoli, ui::rows::SubarticleColumns::Ricerca);
    const int detailWidth = ui.lblArticolo->sizeHint().width() + 16;
    ui.txtArtSel->setFixedWidth(detailWidth);
    ui.txtArticolo->setFixedWidth(detailWidth);
    // The description box follows the article list's height instead of asking room of its own.
    ui.txtArticolo->setSizePolicy(ui.txtArticolo->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
    ui.layoutDettaglio->setStretchFactor(ui.txtArticolo, 1);
    ui.txtArticolo->setMinimumHeight(ui.txtArticolo->fontMetrics().lineSpacing() * 3 + 2 * ui.txtArticolo->frameWidth() +
                                     8);

    connect(ui.cmbSezioni, &QComboBox::activated, this, &frmCerca::cmbSezioni_Click);
    connect(ui.cmbSezioni->lineEdit(), &QLineEdit::textEdited, this, &frmCerca::cmbSezioni_Change);
    connect(ui.opttesto, &QRadioButton::clicked, this, &frmCerca::opttesto_Click);
    connect(ui.optarticolo, &QRadioButton::clicked, this, &frmCerca::optarticolo_Click);
    connect(ui.optSub, &QRadioButton::clicked, this, &frmCerca::optSub_Click);
    connect(ui.optDa_A, &QRadioButton::clicked, this, &frmCerca::optDa_A_Click);
    connect(ui.chkCapitoli, &QCheckBox::clicked, this, &frmCerca::chkCapitoli_Click);
    connect(ui.chkArticoli, &QCheckBox::clicked, this, &frmCerca::chkArticoli_Click);
    connect(ui.chkSubarticoli, &QCheckBox::clicked, this, &frmCerca::chkSubarticoli_Click);
    connect(ui.txtCerca, &QLineEdit::textChanged, this, &frmCerca::txtCerca_Change);
    connect(ui.txtArtCap, &QLineEdit::textChanged, this, &frmCerca::txtArtCap_Change);
    connect(ui.txtArtArt, &QLineEdit::textChanged, this, &frmCerca::txtArtArt_Change);
    connect(ui.txtSubCap, &QLineEdit::textChanged, this, &frmCerca::txtSubCap_Change);
    connect(ui.txtSubArt, &QLineEdit::textChanged, this, &frmCerca::txtSubArt_Change);
    connect(ui.txtSubSub, &QLineEdit::textChanged, this, &frmCerca::txtSubSub_Change);
    connect(ui.cmdCerca, &QPushButton::clicked, this, &frmCerca::cmdCerca_Click);
    connect(ui.lstCapitoli, &ReportList::ItemClick, this, &frmCerca::lstCapitoli_ItemClick);
    connect(ui.lstArticoli, &ReportList::GotFocus, this, &frmCerca::lstArticoli_GotFocus);
    connect(ui.lstArticoli, &ReportList::ItemClick, this, &frmCerca::lstArticoli_ItemClick);
    connect(ui.lstSubarticoli, &ReportList::GotFocus, this, &frmCerca::lstSubarticoli_GotFocus);
    connect(ui.lstSubarticoli, &ReportList::ItemClick, this, &frmCerca::lstSubarticoli_ItemClick);
    connect(ui.cmdpulisci, &QPushButton::clicked, this, &frmCerca::cmdpulisci_Click);
    connect(ui.cmdstampa, &QPushButton::clicked, this, &frmCerca::cmdstampa_Click);
    connect(ui.cmdStampa1, &QToolButton::clicked, this, &frmCerca::cmdStampa1_Click);
    connect(ui.mnuInfo, &QAction::triggered, this, &frmCerca::mnuInfo_Click);

    // Enter in a box of the search runs it, exactly as a click on "Esegui Ricerca" does.
    for (QLineEdit* box : {ui.txtCerca, ui.txtArtCap, ui.txtArtArt, ui.txtSubCap, ui.txtSubArt, ui.txtSubSub,
                           ui.txtDa_Cap, ui.txtDa_Art, ui.txtDa_Sub, ui.txtA_Cap, ui.txtA_Art, ui.txtA_Sub})
        connect(box, &QLineEdit::returnPressed, ui.cmdCerca, &QPushButton::click);
    ui::setMnemonic(ui.mnuInfo, u'I');
    ui::enableMnemonics(ui.menubar);
    ui.mnuInfo->setShortcut(QKeySequence::HelpContents);
    ui::closeOnEscape(this);
    ui::scrollWhenSmall(this);
    for (ReportList* list : {ui.lstCapitoli, ui.lstArticoli, ui.lstSubarticoli}) {
        ui::reserveRows(list, 3);
        // A result opens where it lives in the price list.
        auto* open = new QAction(QStringLiteral("Apri in Consultazione"), list);
        list->addLeadingAction(open);
        const auto request = [this, list] {
            if (list->HasSelection())
                emit consultazioneRequested(list->SelectedText());
        };
        connect(open, &QAction::triggered, this, request);
        connect(list, &ReportList::ItemActivate, this, request);
    }
}

frmCerca::~frmCerca() = default;

// Showing and closing

void frmCerca::showFromMenu()
{
    resetToOpeningState();
    // A large window the first time (the whole screen where it has no room for it), then as the user left it.
    ui::restorePlacement(this, QSize(1300, 740));
    openLoaded(m_ui->cmbSezioni);
}

void frmCerca::resetToOpeningState()
{
    Ui::frmCerca& ui = *m_ui;
    // The modes go first, so that emptying the boxes passes through the input guards without effect.
    for (QRadioButton* option : {ui.opttesto, ui.optarticolo, ui.optSub, ui.optDa_A})
        option->setChecked(false);
    while (ui.cmbSezioni->count() > 1)
        ui.cmbSezioni->removeItem(ui.cmbSezioni->count() - 1);
    ui.cmbSezioni->setCurrentIndex(-1);
    ui.cmbSezioni->setEditText(QString());
    m_chosenIndex = -1;
    clearTextInput();
    clearArticleCode();
    clearSubarticleCode();
    clearRange();
    ui.txtArtSel->clear();
    ui.txtArticolo->clear();
    clearCounters();
    ui.lstCapitoli->RemoveAll();
    ui.lstArticoli->RemoveAll();
    ui.lstSubarticoli->RemoveAll();
    ui.Frame3->setTitle(QStringLiteral("Risultato Articoli"));
    ui.lblsub->setVisible(true);
    ui.lblsub1->setVisible(false);
    ui.lnlsub->setVisible(false);
    setPrintEnabled(false);
}

void frmCerca::Form_Load()
{
    ui::WaitCursor wait;
    QStringList entries;
    for (const core::Section& section : m_state.priceList.sections())
        entries << section.entry();
    m_ui->cmbSezioni->addItems(entries);
    m_ui->cmbSezioni->setCurrentIndex(-1);
    m_ui->cmbSezioni->setEditText(QString());
}

// Section choice

QString frmCerca::sectionPrefix() const
{
    return core::sectionCodeOf(m_ui->cmbSezioni->currentText()) + u'.';
}

void frmCerca::cmbSezioni_Change()
{
    m_chosenIndex = -1;
}

void frmCerca::cmbSezioni_Click(int index)
{
    Ui::frmCerca& ui = *m_ui;
    m_chosenIndex = index;
    ui.lblArtSez->clear();
    ui.lblSubSez->clear();
    setPrintEnabled(false);

    const bool noSection = ui.cmbSezioni->currentText().isEmpty() || m_chosenIndex == 0;
    if (ui.optarticolo->isChecked() && noSection)
        warn(core::msg::kSezioneArticolo, ui.cmbSezioni);
    if (ui.optarticolo->isChecked() && m_chosenIndex != 0) {
        ui.lblArtSez->setText(sectionPrefix());
        ui.txtArtCap->clear();
        ui.txtArtArt->clear();
    }
    if (ui.optSub->isChecked() && noSection)
        warn(core::msg::kSezioneSubarticolo, ui.cmbSezioni);
    if (ui.optSub->isChecked() && m_chosenIndex != 0) {
        ui.lblSubSez->setText(sectionPrefix());
        ui.txtSubCap->clear();
        ui.txtSubArt->clear();
        ui.txtSubSub->clear();
    }
    if (ui.optDa_A->isChecked() && noSection)
        warn(QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca ''DA-A''"), ui.cmbSezioni);
    if (ui.optDa_A->isChecked() && m_chosenIndex != 0) {
        ui.lblDa_Sez->setText(sectionPrefix());
        ui.lblA_Sez->setText(sectionPrefix());
        for (QLineEdit* box : {ui.txtDa_Art, ui.txtDa_Cap, ui.txtDa_Sub, ui.txtA_Art, ui.txtA_Cap, ui.txtA_Sub})
            box->clear();
    }
}

// The run frame

void frmCerca::cmdCerca_Click()
{
    ui::guarded(this, [this] {
        // A run the engine stops half-way must not leave half-filled lists that look like a result.
        try {
            runSearch();
        } catch (const core::Error& error) {
            discardResults();
            throw core::Error(kRunInterrupted + error.text());
        } catch (const std::exception& error) {
            discardResults();
            throw core::Error(kRunInterrupted + QString::fromLocal8Bit(error.what()));
        }
    });
}

// The request the controls make: the chosen mode, the section box and the inputs of that mode.
core::SearchRequest frmCerca::currentRequest() const
{
    const Ui::frmCerca& ui = *m_ui;
    core::SearchRequest request;
    if (ui.opttesto->isChecked())
        request.mode = core::SearchMode::Text;
    else if (ui.optarticolo->isChecked())
        request.mode = core::SearchMode::Article;
    else if (ui.optSub->isChecked())
        request.mode = core::SearchMode::Subarticle;
    else if (ui.optDa_A->isChecked())
        request.mode = core::SearchMode::Range;
    request.sectionText = ui.cmbSezioni->currentText();
    request.wholeList = m_chosenIndex == 0;
    request.text = ui.txtCerca->text();
    request.levels = {ui.chkCapitoli->isChecked(), ui.chkArticoli->isChecked(), ui.chkSubarticoli->isChecked()};
    switch (request.mode) {
    case core::SearchMode::Article:
        request.codePrefix = ui.lblArtSez->text();
        request.code = {ui.txtArtCap->text(), ui.txtArtArt->text(), QString()};
        break;
    case core::SearchMode::Subarticle:
        request.codePrefix = ui.lblSubSez->text();
        request.code = {ui.txtSubCap->text(), ui.txtSubArt->text(), ui.txtSubSub->text()};
        break;
    default:
        request.codePrefix = ui.lblDa_Sez->text();
        break;
    }
    request.from = {ui.txtDa_Cap->text(), ui.txtDa_Art->text(), ui.txtDa_Sub->text()};
    request.to = {ui.txtA_Cap->text(), ui.txtA_Art->text(), ui.txtA_Sub->text()};
    return request;
}

void frmCerca::runSearch()
{
    const core::SearchRequest request = currentRequest();
    // The range's codes are kept as typed once they are well formed, even when a later check refuses the run.
    if (core::rangeCodesWellFormed(request)) {
        m_report.Elemento_DA = request.rangeFromCode();
        m_report.Elemento_A = request.rangeToCode();
    }
    if (const std::optional<core::SearchProblem> problem = core::validate(request)) {
        warn(*problem);
        return;
    }
    core::SearchOutcome outcome;
    {
        ui::WaitCursor wait;
        outcome = core::runSearch(m_state.priceList, request);
        if (!outcome.problem) {
            startRun(request.mode);
            m_request = request;
            if (request.mode == core::SearchMode::Text || request.mode == core::SearchMode::Range)
                m_report.kind = outcome.results.reportKind;
            showResults(outcome.results);
        }
    }
    if (outcome.problem) {
        warn(*outcome.problem);
        return;
    }
    if (m_shown.isEmpty()) {
        warn(core::kNoResults);
        setPrintEnabled(false);
    }
}

void frmCerca::startRun(core::SearchMode mode)
{
    Ui::frmCerca& ui = *m_ui;
    clearCounters();
    m_shown = {};
    if (mode == core::SearchMode::Text) {
        ui.lblsub->setVisible(true);
        ui.lnlsub->setVisible(false);
        ui.lblsub1->setVisible(false);
        ui.Frame3->setTitle(QStringLiteral("Risultato Articoli"));
    }
    ui.txtArticolo->clear();
    ui.txtArtSel->clear();
    setPrintEnabled(true);
    ui.lstCapitoli->RemoveAll();
    ui.lstArticoli->RemoveAll();
    ui.lstSubarticoli->RemoveAll();
}

void frmCerca::showResults(const core::SearchResults& results)
{
    Ui::frmCerca& ui = *m_ui;
    m_shown = results;
    for (qsizetype i = 0; i < results.chapters.size(); ++i)
        ui::rows::addChapter(*ui.lstCapitoli, ReportList::keyFor(i), results.chapters[i]);
    for (qsizetype i = 0; i < results.articles.size(); ++i)
        ui::rows::addArticle(*ui.lstArticoli, ReportList::keyFor(i), results.articles[i]);
    for (qsizetype i = 0; i < results.subarticles.size(); ++i)
        ui::rows::addSubarticle(*ui.lstSubarticoli, ReportList::keyFor(i), results.subarticles[i]);
    if (!results.detailCode.isEmpty()) {
        ui.txtArticolo->setPlainText(results.detailArticle.toString());
        ui.txtArtSel->setText(results.detailCode);
    }

    // The typed text marked where it was found; refilling a list (RemoveAll) takes the marks away.
    if (m_request.mode == core::SearchMode::Text) {
        const QString typed = m_request.text;
        if (m_request.levels.capitoli)
            ui.lstCapitoli->setHighlight(typed, {2});
        if (m_request.levels.articoli)
            ui.lstArticoli->setHighlight(typed, {3});
        if (m_request.levels.subarticoli)
            ui.lstSubarticoli->setHighlight(typed, {1});
    }

    selectFirstRows({ui.lstCapitoli, ui.lstArticoli, ui.lstSubarticoli});
    using ArticlesHold = core::SearchResults::ArticlesHold;
    if (results.articlesHold != ArticlesHold::Unchanged)
        ui.Frame3->setTitle(results.articlesHold == ArticlesHold::Results ? QStringLiteral("Risultato Articoli")
                                                                          : QStringLiteral("Articoli Associati"));
    // The subarticle list then holds results of its own, not the subarticles of the selected article.
    if (results.subarticlesAreResults) {
        ui.lblsub->setVisible(false);
        ui.lnlsub->setVisible(true);
        ui.lblsub1->setVisible(true);
    }
    refreshCounters();
}

void frmCerca::discardResults()
{
    Ui::frmCerca& ui = *m_ui;
    setPrintEnabled(false);
    m_shown = {};
    ui.txtArticolo->clear();
    ui.txtArtSel->clear();
    ui.lstCapitoli->RemoveAll();
    ui.lstArticoli->RemoveAll();
    ui.lstSubarticoli->RemoveAll();
    clearCounters();
    shareRoom();
}

// Each count is also the description of the list it counts, for a screen reader on the list.
void frmCerca::refreshCounters()
{
    for (const auto& [label, list] : counters())
        ui::showCount(label, list, QStringLiteral("(Numero di elementi trovati : %1)").arg(list->Count()));
    shareRoom();
}

void frmCerca::clearCounters()
{
    for (const auto& [label, list] : counters())
        ui::showCount(label, list, {});
}

std::array<std::pair<QLabel*, ReportList*>, 3> frmCerca::counters() const
{
    return {{{m_ui->lblcontCap, m_ui->lstCapitoli}, {m_ui->lblcontArt, m_ui->lstArticoli},
             {m_ui->lblcontSub, m_ui->lstSubarticoli}}};
}

void frmCerca::shareRoom()
{
    Ui::frmCerca& ui = *m_ui;
    const bool chapters = ui.lstCapitoli->Count() > 0;
    const bool articles = ui.lstArticoli->Count() > 0;
    const bool subarticles = ui.lstSubarticoli->Count() > 0;
    const bool none = !chapters && !articles && !subarticles;
    for (const auto& [list, full] : {std::pair{ui.lstCapitoli, chapters}, {ui.lstArticoli, articles},
                                     {ui.lstSubarticoli, subarticles}})
        list->setMaximumHeight(full || none ? QWIDGETSIZE_MAX : list->minimumHeight());
    ui.layoutMain->setStretchFactor(ui.Frame2, chapters || none ? 2 : 0);
    ui.layoutMain->setStretchFactor(ui.Frame3, articles || subarticles || none ? 5 : 0);
    const bool neither = !articles && !subarticles;
    ui.gridArticoli->setRowStretch(0, articles || neither ? 2 : 0);
    ui.gridArticoli->setRowStretch(3, subarticles || neither ? 3 : 0);
}

// A refilled list starts from its first row, not from the position the user had reached in the old rows.
void frmCerca::selectFirstRows(std::initializer_list<ReportList*> lists)
{
    for (ReportList* list : lists) {
        if (list->Count() > 0)
            list->Select(ReportList::keyFor(0));
    }
}

void frmCerca::setPrintEnabled(bool enabled)
{
    m_ui->cmdstampa->setEnabled(enabled);
    m_ui->cmdStampa1->setEnabled(enabled);
}

void frmCerca::warn(const core::SearchProblem& problem)
{
    warn(problem.message, controlFor(problem.field), problem.title);
}

QWidget* frmCerca::controlFor(core::SearchField field) const
{
    const Ui::frmCerca& ui = *m_ui;
    switch (field) {
    case core::SearchField::None:
        return nullptr;
    case core::SearchField::Mode:
        return ui.opttesto;
    case core::SearchField::Section:
        return ui.cmbSezioni;
    case core::SearchField::Text:
        return ui.txtCerca;
    case core::SearchField::Levels:
        return ui.chkCapitoli;
    case core::SearchField::Chapter:
        return ui.optSub->isChecked() ? ui.txtSubCap : ui.txtArtCap;
    case core::SearchField::Article:
        return ui.optSub->isChecked() ? ui.txtSubArt : ui.txtArtArt;
    case core::SearchField::Subarticle:
        return ui.txtSubSub;
    case core::SearchField::FromChapter:
        return ui.txtDa_Cap;
    case core::SearchField::FromArticle:
        return ui.txtDa_Art;
    case core::SearchField::FromSubarticle:
        return ui.txtDa_Sub;
    case core::SearchField::ToChapter:
        return ui.txtA_Cap;
    case core::SearchField::ToArticle:
        return ui.txtA_Art;
    case core::SearchField::ToSubarticle:
        return ui.txtA_Sub;
    }
    return nullptr;
}

void frmCerca::warn(const QString& text, QWidget* cause, const QString& title)
{
    ui::MessageBox::warning(this, text, title.isEmpty() ? ui::MessageBox::defaultTitle() : title);
    if (cause)
        cause->setFocus(Qt::OtherFocusReason);
}

} // namespace search
