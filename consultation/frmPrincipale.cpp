#include "consultation/frmPrincipale.h"

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "core/Find.h"
#include "ui/Guard.h"
#include "ui/KeyboardAccess.h"
#include "ui/ListFiles.h"
#include "ui/ReportList.h"
#include "ui/ResultRows.h"
#include "ui/SectionCombo.h"
#include "ui/WaitCursor.h"
#include "ui/WindowPlacement.h"
#include "consultation/frmStoricoPrezzi.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>

#include "ui_frmPrincipale.h"

namespace consultation {

using ui::ReportList;

// The section combo reloads on activated, so that picking the section already shown loads it again; typing
// in it is watched on textEdited alone, never on text set by code. The lists report a row the user reached
// by mouse or keyboard (ItemClick) and the focus the user moved into them (GotFocus).
frmPrincipale::frmPrincipale(core::AppState& state, QWidget* mainWindow)
    : ui::FunctionWindow(mainWindow), m_state(state), m_ui(std::make_unique<Ui::frmPrincipale>())
{
    m_ui->setupUi(this);
    m_ui->menubar->setNativeMenuBar(false);

    ui::setUpSectionCombo(m_ui->cmbSezioni);
    ui::nameComboEditors(this);
    m_ui->lst_Capitoli->setColumns({{QStringLiteral("Codice"), 1000}, {QStringLiteral("Descrizione"), 6450}});
    m_ui->lst_Articoli->setColumns({{QStringLiteral("Codice"), 1000}, {QStringLiteral("Descrizione"), 9575}});
    ui::rows::setSubarticleColumns(*m_ui->lstSubarticoli, ui::rows::SubarticleColumns::Consultazione);

    connect(m_ui->cmbSezioni, &QComboBox::activated, this, &frmPrincipale::cmbSezioni_Click);
    connect(m_ui->cmbSezioni->lineEdit(), &QLineEdit::textEdited, this, &frmPrincipale::cmbSezioni_Change);
    connect(m_ui->lst_Capitoli, &ReportList::ItemClick, this, &frmPrincipale::lst_Capitoli_ItemClick);
    connect(m_ui->lst_Capitoli, &ReportList::GotFocus, this, &frmPrincipale::lst_Capitoli_GotFocus);
    connect(m_ui->lst_Articoli, &ReportList::ItemClick, this, &frmPrincipale::lst_Articoli_ItemClick);
    connect(m_ui->lst_Articoli, &ReportList::GotFocus, this, &frmPrincipale::lst_Articoli_GotFocus);
    connect(m_ui->lstSubarticoli, &ReportList::ItemClick, this, &frmPrincipale::lstSubarticoli_ItemClick);
    connect(m_ui->lstSubarticoli, &ReportList::GotFocus, this, &frmPrincipale::lstSubarticoli_GotFocus);
    connect(m_ui->mnuInf, &QAction::triggered, this, &frmPrincipale::mnuInf_Click);
    connect(m_ui->cmdStorico, &QPushButton::clicked, this, &frmPrincipale::cmdStorico_Click);
    auto* storico = new QAction(QStringLiteral("Storico prezzi"), m_ui->lstSubarticoli);
    storico->setObjectName(QStringLiteral("mnuStorico"));
    m_ui->lstSubarticoli->addLeadingAction(storico);
    connect(storico, &QAction::triggered, this, &frmPrincipale::cmdStorico_Click);
    ui::setMnemonic(m_ui->mnuInf, u'I');
    ui::enableMnemonics(m_ui->menubar);
    m_ui->mnuInf->setShortcut(QKeySequence::HelpContents);
    ui::closeOnEscape(this);
    ui::scrollWhenSmall(this);

    // Notes and descriptions show a few lines and scroll; the lists take the rest of the room.
    const std::pair<QPlainTextEdit*, int> boxes[] = {{m_ui->txtSezioneNote, 2},
                                                     {m_ui->txtCapitoloNote, 2},
                                                     {m_ui->txtArticolo, 3},
                                                     {m_ui->txtArticoloNote, 3},
                                                     {m_ui->txtSubarticolo, 2}};
    for (const auto& [box, lines] : boxes) {
        const int height = box->fontMetrics().lineSpacing() * lines + 2 * box->frameWidth() +
                           2 * int(box->document()->documentMargin()) + 2;
        box->setFixedHeight(height);
    }
    // The subarticles carry the prices: their list keeps room for ten rows, the chapters and articles take what
    // is left.
    ui::reserveRows(m_ui->lstSubarticoli, 10);
}

frmPrincipale::~frmPrincipale() = default;

void frmPrincipale::showFromMenu()
{
    resetToOpeningState();
    // The first time, the window's room of 15,270 x 10,260 twips, and wide enough for the six subarticle columns
    // (the whole screen where it has no room for that); then as the user left it.
    const double pixelsPerTwip = logicalDpiX() / 1440.0;
    ui::restorePlacement(this, QSize(qMax(qRound(15270 * pixelsPerTwip), 1320),
                                     qRound(10260 * pixelsPerTwip) + m_ui->menubar->sizeHint().height()));
    openLoaded(m_ui->cmbSezioni);
}

void frmPrincipale::openAt(const QString& code)
{
    if (!isVisible()) {
        showFromMenu();
        if (!isVisible())
            return;
    }
    raise();
    activateWindow();
    ui::guarded(this, [&] {
        QComboBox& sections = *m_ui->cmbSezioni;
        const QString section = code.left(2) + QStringLiteral(" - ");
        int index = 0;
        while (index < sections.count() && !sections.itemText(index).startsWith(section))
            ++index;
        if (index == sections.count())
            return;
        sections.setCurrentIndex(index);
        reloadSection();
        sections.setFocus(Qt::OtherFocusReason);
        const std::pair<ReportList*, void (frmPrincipale::*)()> levels[] = {
            {m_ui->lst_Capitoli, &frmPrincipale::reloadArticles},
            {m_ui->lst_Articoli, &frmPrincipale::reloadSubarticles},
            {m_ui->lstSubarticoli, &frmPrincipale::showSubarticleDescription}};
        const qsizetype lengths[] = {6, 10, qMax(code.size(), qsizetype(11))};
        for (int level = 0; level < 3 && lengths[level] <= code.size(); ++level) {
            ReportList& list = *levels[level].first;
            const QString key = list.KeyOfText(code.left(lengths[level]));
            if (key.isEmpty())
                return;
            list.Select(key);
            list.showSelected();
            list.setFocus(Qt::OtherFocusReason);
            (this->*levels[level].second)();
        }
    });
}

void frmPrincipale::resetToOpeningState()
{
    const auto enable = qScopeGuard([this] { enableStorico(); });
    m_ui->cmbSezioni->clear();
    m_ui->cmbSezioni->setCurrentIndex(-1);
    m_ui->cmbSezioni->setEditText(QString());
    for (QPlainTextEdit* box :
         {m_ui->txtSezioneNote, m_ui->txtCapitoloNote, m_ui->txtArticolo, m_ui->txtArticoloNote, m_ui->txtSubarticolo})
        box->clear();
    m_ui->txtCapSel->clear();
    m_ui->txtArtSel->clear();
    m_ui->lst_Capitoli->RemoveAll();
    m_ui->lst_Articoli->RemoveAll();
    m_ui->lstSubarticoli->RemoveAll();
    m_chapters.clear();
    m_articles.clear();
    m_subarticles.clear();
}

void frmPrincipale::Form_Load()
{
    ui::WaitCursor wait;
    QStringList entries;
    for (const core::Section& section : m_state.priceList.sections())
        entries << section.entry();
    m_ui->cmbSezioni->addItems(entries);
    m_ui->cmbSezioni->setCurrentIndex(-1);
    m_ui->cmbSezioni->setEditText(QString());
}

void frmPrincipale::Form_Closing()
{
    if (m_storico)
        m_storico->close();
}

// Event handlers

void frmPrincipale::cmbSezioni_Click()
{
    ui::guarded(this, [this] { reloadSection(); });
}

void frmPrincipale::cmbSezioni_Change(const QString& text)
{
    // Only an emptied box does something: it goes back to the first section.
    if (!text.isEmpty() || m_ui->cmbSezioni->count() == 0)
        return;
    m_ui->cmbSezioni->setCurrentIndex(0);
    ui::guarded(this, [this] { reloadSection(); });
}

void frmPrincipale::lst_Capitoli_ItemClick()
{
    ui::guarded(this, [this] { reloadArticles(); });
}

void frmPrincipale::lst_Capitoli_GotFocus()
{
    if (m_ui->lst_Capitoli->Count() > 0)
        lst_Capitoli_ItemClick();
}

void frmPrincipale::lst_Articoli_ItemClick()
{
    ui::guarded(this, [this] { reloadSubarticles(); });
}

void frmPrincipale::lst_Articoli_GotFocus()
{
    if (m_ui->lst_Articoli->Count() > 0)
        lst_Articoli_ItemClick();
}

void frmPrincipale::lstSubarticoli_ItemClick()
{
    if (m_ui->lstSubarticoli->Count() > 0)
        ui::guarded(this, [this] { showSubarticleDescription(); });
}

void frmPrincipale::lstSubarticoli_GotFocus()
{
    lstSubarticoli_ItemClick();
}

void frmPrincipale::mnuInf_Click()
{
    emit manualeRequested();
}

void frmPrincipale::cmdStorico_Click()
{
    ui::guarded(this, [this] {
        const qsizetype row = m_ui->lstSubarticoli->SelectedRow();
        if (row < 0 || row >= m_subarticles.size())
            return;
        const core::Subarticle& item = m_subarticles[row];
        if (!m_storico)
            m_storico = std::make_unique<frmStoricoPrezzi>(this);
        m_storico->showHistory(m_state.priceList.path(), item.code,
                               core::shortDescription(m_ui->txtArticolo->toPlainText(), item.subarticolo.toString()),
                               ui::rememberedListFiles());
    });
}

// Operations

void frmPrincipale::reloadSection()
{
    const auto enable = qScopeGuard([this] { enableStorico(); });
    ui::WaitCursor wait;
    m_chapters.clear();
    m_ui->txtCapSel->clear();
    m_articles.clear();
    m_subarticles.clear();
    m_ui->txtArtSel->clear();
    m_ui->txtArticolo->clear();
    m_ui->txtSezioneNote->clear();
    m_ui->txtCapitoloNote->clear();
    m_ui->txtArticoloNote->clear();
    m_ui->txtSubarticolo->clear();
    m_ui->lst_Capitoli->RemoveAll();
    m_ui->lst_Articoli->RemoveAll();
    m_ui->lstSubarticoli->RemoveAll();

    const QString section = core::sectionCodeOf(m_ui->cmbSezioni->currentText());
    const core::SectionChapters chapters = m_state.priceList.chapters(section);
    if (!chapters.sectionNote.isNull())
        m_ui->txtSezioneNote->setPlainText(chapters.sectionNote.toString());
    m_chapters = chapters.chapters;
    for (qsizetype i = 0; i < m_chapters.size(); ++i) {
        ui::rows::addCodeAndName(*m_ui->lst_Capitoli, ReportList::keyFor(i), section + u'.' + m_chapters[i].code,
                                 m_chapters[i].name);
    }
}

void frmPrincipale::reloadArticles()
{
    const auto enable = qScopeGuard([this] { enableStorico(); });
    ui::WaitCursor wait;
    m_ui->txtCapSel->clear();
    m_articles.clear();
    m_subarticles.clear();
    m_ui->txtArtSel->clear();
    m_ui->txtArticolo->clear();
    m_ui->txtCapitoloNote->clear();
    m_ui->txtArticoloNote->clear();
    m_ui->txtSubarticolo->clear();
    m_ui->lst_Articoli->RemoveAll();
    m_ui->lstSubarticoli->RemoveAll();

    const qsizetype row = m_ui->lst_Capitoli->SelectedRow();
    m_ui->txtCapSel->setText(core::sectionCodeOf(m_ui->cmbSezioni->currentText()) + u'.' + m_chapters.value(row).code);

    const core::ChapterArticles articles = m_state.priceList.articles(m_ui->txtCapSel->text());
    if (!articles.chapterNote.isNull())
        m_ui->txtCapitoloNote->setPlainText(articles.chapterNote.toString());
    m_articles = articles.articles;
    for (qsizetype i = 0; i < m_articles.size(); ++i) {
        ui::rows::addCodeAndName(*m_ui->lst_Articoli, ReportList::keyFor(i),
                                 m_ui->txtCapSel->text() + u'.' + m_articles[i].code, m_articles[i].name);
    }
}

void frmPrincipale::reloadSubarticles()
{
    const auto enable = qScopeGuard([this] { enableStorico(); });
    ui::WaitCursor wait;
    m_ui->txtArtSel->clear();
    m_ui->txtArticolo->clear();
    m_ui->txtArticoloNote->clear();
    m_ui->txtSubarticolo->clear();
    m_ui->lstSubarticoli->RemoveAll();
    m_subarticles.clear();

    const qsizetype row = m_ui->lst_Articoli->SelectedRow();
    const core::ListedArticle article = m_articles.value(row);
    m_ui->txtArticolo->setPlainText(article.name.toString());
    m_ui->txtArtSel->setText(m_ui->txtCapSel->text() + u'.' + article.code);

    const core::ArticleSubarticles subarticles =
        m_state.priceList.subarticles(m_ui->txtArtSel->text(), core::SubarticleOrder::ByCode);
    if (!subarticles.articleNote.isNull())
        m_ui->txtArticoloNote->setPlainText(subarticles.articleNote.toString());
    m_subarticles = subarticles.subarticles;
    for (qsizetype i = 0; i < m_subarticles.size(); ++i)
        ui::rows::addSubarticle(*m_ui->lstSubarticoli, ReportList::keyFor(i), m_subarticles[i]);
}

void frmPrincipale::enableStorico()
{
    // A list that holds rows always has one selected.
    m_ui->cmdStorico->setEnabled(m_ui->lstSubarticoli->Count() > 0);
}

void frmPrincipale::showSubarticleDescription()
{
    m_ui->txtSubarticolo->clear();
    m_ui->txtSubarticolo->setPlainText(m_subarticles.value(m_ui->lstSubarticoli->SelectedRow()).subarticolo.toString());
}

} // namespace consultation
