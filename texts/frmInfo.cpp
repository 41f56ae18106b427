#include "texts/frmInfo.h"

#include "core/AppState.h"
#include "ui/Guard.h"
#include "ui/KeyboardAccess.h"
#include "Version.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include "ui_frmInfo.h"

namespace texts {

frmInfo::frmInfo(core::AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::frmInfo>())
{
    m_ui->setupUi(this);
    // A dialog has no menu bar of its own: the layout puts it above the text.
    m_ui->verticalLayout->setMenuBar(m_ui->menuBar);

    connect(m_ui->mnuPP, &QAction::triggered, this, &frmInfo::mnuPP_Click);
    connect(m_ui->mnuC, &QAction::triggered, this, &frmInfo::mnuC_Click);
    connect(m_ui->mnuR, &QAction::triggered, this, &frmInfo::mnuR_Click);
    connect(m_ui->mnuRT, &QAction::triggered, this, &frmInfo::mnuRT_Click);
    connect(m_ui->mnuCAS, &QAction::triggered, this, &frmInfo::mnuCAS_Click);
    connect(m_ui->mnuCA, &QAction::triggered, this, &frmInfo::mnuCA_Click);
    connect(m_ui->mnuAS, &QAction::triggered, this, &frmInfo::mnuAS_Click);
    connect(m_ui->mnuCS, &QAction::triggered, this, &frmInfo::mnuCS_Click);
    connect(m_ui->mnuS, &QAction::triggered, this, &frmInfo::mnuS_Click);
    connect(m_ui->mnuA, &QAction::triggered, this, &frmInfo::mnuA_Click);
    connect(m_ui->mnuCP, &QAction::triggered, this, &frmInfo::mnuCP_Click);
    connect(m_ui->mnuA2, &QAction::triggered, this, &frmInfo::mnuA2_Click);
    connect(m_ui->mnuS2, &QAction::triggered, this, &frmInfo::mnuS2_Click);
    connect(m_ui->mnuI, &QAction::triggered, this, &frmInfo::mnuI_Click);
    connect(m_ui->mnuMnu, &QAction::triggered, this, &frmInfo::mnuMnu_Click);
    ui::setMnemonic(m_ui->mnu->menuAction(), u'F');
    ui::enableMnemonics(m_ui->menuBar);
    // Which program the manual belongs to, at the far end of the menu bar.
    auto* version = new QLabel(QStringLiteral("Prezzario " PREZZARIO_VERSION), m_ui->menuBar);
    version->setContentsMargins(0, 0, 8, 0);
    version->setEnabled(false);
    m_ui->menuBar->setCornerWidget(version, Qt::TopRightCorner);
}

frmInfo::~frmInfo() = default;

int frmInfo::showModal(Topics topics)
{
    prepare(topics);
    const int result = exec();
    ui::savePlacement(this);
    return result;
}

void frmInfo::prepare(Topics topics)
{
    m_ui->txtManuale->clear();
    Form_Load(topics);
    ui::restorePlacement(this, size());
}

void frmInfo::Form_Load(Topics topics)
{
    // The hiding of an earlier opening must not carry over.
    for (QAction* entry : m_ui->mnu->actions())
        entry->setVisible(true);

    const QList<QAction*> separators{m_ui->ln1, m_ui->ln2, m_ui->ln3, m_ui->ln4};
    if (topics == Topics::Search) {
        for (QAction* entry : separators)
            entry->setVisible(false);
        m_ui->mnuPP->setVisible(false);
        m_ui->mnuC->setVisible(false);
        m_ui->mnuMnu->setVisible(false);
    }
    if (topics == Topics::Consultation) {
        for (QAction* entry : separators)
            entry->setVisible(false);
        m_ui->mnuPP->setVisible(false);
        m_ui->mnuMnu->setVisible(false);
        for (QAction* entry : {m_ui->mnuA, m_ui->mnuA2, m_ui->mnuAS, m_ui->mnuCA, m_ui->mnuCP, m_ui->mnuCS, m_ui->mnuR,
                               m_ui->mnuRT, m_ui->mnuS, m_ui->mnuS2, m_ui->mnuCAS, m_ui->mnuI})
            entry->setVisible(false);
    }
}

void frmInfo::mnuPP_Click()
{
    showTopic(m_ui->mnuPP->text());
}

void frmInfo::mnuC_Click()
{
    showTopic(m_ui->mnuC->text());
}

void frmInfo::mnuR_Click()
{
    showTopic(m_ui->mnuR->text());
}

void frmInfo::mnuRT_Click()
{
    showTopic(m_ui->mnuRT->text());
}

void frmInfo::mnuCAS_Click()
{
    showTopic(m_ui->mnuCAS->text());
}

void frmInfo::mnuCA_Click()
{
    showTopic(m_ui->mnuCA->text());
}

void frmInfo::mnuAS_Click()
{
    showTopic(m_ui->mnuAS->text());
}

void frmInfo::mnuCS_Click()
{
    showTopic(m_ui->mnuCS->text());
}

void frmInfo::mnuS_Click()
{
    showTopic(m_ui->mnuS->text());
}

void frmInfo::mnuA_Click()
{
    showTopic(m_ui->mnuA->text());
}

void frmInfo::mnuCP_Click()
{
    showTopic(m_ui->mnuCP->text());
}

void frmInfo::mnuA2_Click()
{
    showTopic(m_ui->mnuA2->text());
}

void frmInfo::mnuS2_Click()
{
    showTopic(m_ui->mnuS2->text());
}

void frmInfo::mnuI_Click()
{
    showTopic(m_ui->mnuI->text());
}

void frmInfo::mnuMnu_Click()
{
    showTopic(m_ui->mnuMnu->text());
}

void frmInfo::showTopic(const QString& caption)
{
    ui::guarded(this, [this, &caption] {
        // Every delivered topic has its row; a missing row or a Null text shows nothing, like the preface viewer.
        m_ui->txtManuale->setPlainText(m_state.priceList.manualTopic(caption).toString());
    });
}

} // namespace texts
