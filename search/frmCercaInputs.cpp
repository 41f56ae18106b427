// The search window's modes and the guards of their inputs: choosing a mode empties the others' inputs, and
// an input of a mode not chosen stays empty.
#include "search/frmCerca.h"

#include "core/SearchMessages.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"

#include <QLineEdit>

#include "ui_frmCerca.h"

namespace search {

// Modes

void frmCerca::checkSectionForMode(QRadioButton* option, const QString& emptyWarning, const QString& wholeListWarning,
                                   std::initializer_list<QLabel*> prefixLabels)
{
    if (m_ui->cmbSezioni->currentText().isEmpty()) {
        warn(emptyWarning, m_ui->cmbSezioni);
        option->setChecked(false);
    } else if (m_chosenIndex != 0) {
        for (QLabel* label : prefixLabels)
            label->setText(sectionPrefix());
    } else {
        warn(wholeListWarning, m_ui->cmbSezioni);
        option->setChecked(false);
    }
}

// The chosen mode's button is set first, so that emptying the other modes' inputs passes their input
// guards without effect. A click on the selected button leaves it selected.
void frmCerca::chooseMode(QRadioButton* chosen)
{
    Ui::frmCerca& ui = *m_ui;
    chosen->setChecked(true);
    for (QRadioButton* option : {ui.opttesto, ui.optarticolo, ui.optSub, ui.optDa_A}) {
        if (option != chosen)
            option->setChecked(false);
    }
}

void frmCerca::clearTextInput()
{
    Ui::frmCerca& ui = *m_ui;
    for (QCheckBox* box : {ui.chkCapitoli, ui.chkArticoli, ui.chkSubarticoli})
        box->setChecked(false);
    ui.txtCerca->clear();
}

void frmCerca::clearArticleCode()
{
    Ui::frmCerca& ui = *m_ui;
    ui.lblArtSez->clear();
    ui.txtArtCap->clear();
    ui.txtArtArt->clear();
}

void frmCerca::clearSubarticleCode()
{
    Ui::frmCerca& ui = *m_ui;
    ui.lblSubSez->clear();
    for (QLineEdit* box : {ui.txtSubCap, ui.txtSubArt, ui.txtSubSub})
        box->clear();
}

void frmCerca::clearRange()
{
    Ui::frmCerca& ui = *m_ui;
    ui.lblDa_Sez->clear();
    for (QLineEdit* box : {ui.txtDa_Art, ui.txtDa_Cap, ui.txtDa_Sub})
        box->clear();
    ui.lblA_Sez->clear();
    for (QLineEdit* box : {ui.txtA_Art, ui.txtA_Cap, ui.txtA_Sub})
        box->clear();
}

void frmCerca::opttesto_Click()
{
    chooseMode(m_ui->opttesto);
    clearRange();
    clearArticleCode();
    clearSubarticleCode();
    setPrintEnabled(false);
}

void frmCerca::optarticolo_Click()
{
    Ui::frmCerca& ui = *m_ui;
    chooseMode(ui.optarticolo);
    clearTextInput();
    clearSubarticleCode();
    clearRange();
    setPrintEnabled(false);
    checkSectionForMode(ui.optarticolo, core::msg::kSezioneArticolo, core::msg::kSezionePerArticolo, {ui.lblArtSez});
}

void frmCerca::optSub_Click()
{
    Ui::frmCerca& ui = *m_ui;
    chooseMode(ui.optSub);
    clearTextInput();
    clearArticleCode();
    clearRange();
    setPrintEnabled(false);
    checkSectionForMode(ui.optSub, core::msg::kSezioneSubarticolo, core::msg::kSezionePerSubarticolo, {ui.lblSubSez});
}

void frmCerca::optDa_A_Click()
{
    Ui::frmCerca& ui = *m_ui;
    chooseMode(ui.optDa_A);
    clearTextInput();
    clearSubarticleCode();
    clearArticleCode();
    setPrintEnabled(false);
    checkSectionForMode(ui.optDa_A, core::msg::kSezioneDaA, core::msg::kSezioneDaA, {ui.lblDa_Sez, ui.lblA_Sez});
}

// Input guards: the inputs of a mode stay empty while another mode is selected.

void frmCerca::chkCapitoli_Click()
{
    if (m_ui->optarticolo->isChecked() || m_ui->optSub->isChecked())
        m_ui->chkCapitoli->setChecked(false);
}

void frmCerca::chkArticoli_Click()
{
    if (m_ui->optarticolo->isChecked() || m_ui->optSub->isChecked())
        m_ui->chkArticoli->setChecked(false);
}

void frmCerca::chkSubarticoli_Click()
{
    if (m_ui->optarticolo->isChecked() || m_ui->optSub->isChecked())
        m_ui->chkSubarticoli->setChecked(false);
}

void frmCerca::emptyWhen(bool condition, QLineEdit* box)
{
    if (condition && !box->text().isEmpty())
        box->clear();
}

void frmCerca::txtCerca_Change()
{
    emptyWhen(m_ui->optarticolo->isChecked() || m_ui->optSub->isChecked(), m_ui->txtCerca);
}

void frmCerca::txtArtCap_Change()
{
    emptyWhen(m_ui->opttesto->isChecked() || m_ui->optSub->isChecked(), m_ui->txtArtCap);
}

void frmCerca::txtArtArt_Change()
{
    emptyWhen(m_ui->opttesto->isChecked() || m_ui->optSub->isChecked(), m_ui->txtArtArt);
}

void frmCerca::txtSubCap_Change()
{
    emptyWhen(m_ui->opttesto->isChecked() || m_ui->optarticolo->isChecked(), m_ui->txtSubCap);
}

void frmCerca::txtSubArt_Change()
{
    emptyWhen(m_ui->opttesto->isChecked() || m_ui->optarticolo->isChecked(), m_ui->txtSubArt);
}

void frmCerca::txtSubSub_Change()
{
    emptyWhen(m_ui->opttesto->isChecked() || m_ui->optarticolo->isChecked(), m_ui->txtSubSub);
}

} // namespace search
