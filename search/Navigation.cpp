#include "search/frmCerca.h"

#include "core/AppState.h"
#include "ui/Guard.h"
#include "ui/ReportList.h"
#include "ui/ResultRows.h"

#include "ui_frmCerca.h"

namespace search {

using ui::ReportList;

namespace {
const QString kDrillDownInterrupted =
    QStringLiteral("L'elenco non è stato completato: le righe parziali sono state eliminate.\n\n");
} // namespace

// A drill-down the engine stops half-way empties the lists it was refilling, so that none shows a partial content.
void frmCerca::drillDown(const std::function<void()>& operation, std::initializer_list<ReportList*> targets)
{
    const auto emptyTargets = [this, targets] {
        for (ReportList* list : targets) {
            list->RemoveAll();
            if (list == m_ui->lstArticoli)
                m_shown.articles.clear();
            if (list == m_ui->lstSubarticoli)
                m_shown.subarticles.clear();
        }
    };
    ui::guarded(this, [&] {
        try {
            operation();
        } catch (const core::Error& error) {
            emptyTargets();
            refreshCounters();
            throw core::Error(kDrillDownInterrupted + error.text());
        } catch (const std::exception& error) {
            emptyTargets();
            refreshCounters();
            throw core::Error(kDrillDownInterrupted + QString::fromLocal8Bit(error.what()));
        }
    });
}

void frmCerca::lstCapitoli_ItemClick()
{
    drillDown([this] { chapterSelected(); }, {m_ui->lstArticoli, m_ui->lstSubarticoli});
}

void frmCerca::lstArticoli_GotFocus()
{
    if (m_ui->lstArticoli->Count() == 0)
        return;
    lstArticoli_ItemClick();
}

void frmCerca::lstArticoli_ItemClick()
{
    drillDown([this] { articleSelected(); }, {m_ui->lstSubarticoli});
}

void frmCerca::lstSubarticoli_GotFocus()
{
    if (m_ui->lstSubarticoli->Count() == 0)
        return;
    lstSubarticoli_ItemClick();
}

void frmCerca::lstSubarticoli_ItemClick()
{
    drillDown([this] { subarticleSelected(); }, {m_ui->lstArticoli});
}

void frmCerca::articleSelected()
{
    Ui::frmCerca& ui = *m_ui;
    ui.txtArticolo->setPlainText(m_shown.articles.value(ui.lstArticoli->SelectedRow()).articolo.toString());
    ui.txtArtSel->setText(ui.lstArticoli->SelectedText());
    if (m_shown.lockSubarticles)
        return;

    ui.lstSubarticoli->RemoveAll();
    m_shown.subarticles.clear();
    m_shown.subarticles =
        m_state.priceList.subarticles(ui.txtArtSel->text(), core::SubarticleOrder::ByListOrder).subarticles;
    for (qsizetype i = 0; i < m_shown.subarticles.size(); ++i)
        ui::rows::addSubarticle(*ui.lstSubarticoli, ReportList::keyFor(i), m_shown.subarticles[i]);
    selectFirstRows({ui.lstSubarticoli});
    refreshCounters();
}

void frmCerca::chapterSelected()
{
    if (!m_shown.expandChapter)
        return;
    m_ui->lstArticoli->RemoveAll();
    m_ui->lstSubarticoli->RemoveAll();
    m_shown.articles.clear();
    m_shown.subarticles.clear();
    showArticles(core::articlesOfChapter(m_state.priceList, m_ui->lstCapitoli->SelectedText()), false);
}

void frmCerca::subarticleSelected()
{
    if (!m_shown.climbToArticle)
        return;
    m_ui->lstArticoli->RemoveAll();
    m_shown.articles.clear();
    showArticles(core::articleOfSubarticle(m_state.priceList, m_ui->lstSubarticoli->SelectedText()), true);
}

void frmCerca::showArticles(const QList<core::ArticleResult>& articles, bool showDetails)
{
    Ui::frmCerca& ui = *m_ui;
    m_shown.articles = articles;
    for (qsizetype i = 0; i < articles.size(); ++i)
        ui::rows::addArticle(*ui.lstArticoli, ReportList::keyFor(i), articles[i]);
    if (showDetails && !articles.isEmpty()) {
        ui.txtArticolo->setPlainText(articles.last().articolo.toString());
        ui.txtArtSel->setText(articles.last().code);
    }
    selectFirstRows({ui.lstArticoli});
    refreshCounters();
}

} // namespace search
