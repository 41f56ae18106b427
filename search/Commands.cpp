#include "search/frmCerca.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "core/AppState.h"
#include "ui/Guard.h"
#include "ui/ReportList.h"
#include "ui/WaitCursor.h"

#include "ui_frmCerca.h"

namespace search {

// The picture of the second print button: a small green spreadsheet, 19 x 18 pixels.
QIcon frmCerca::spreadsheetIcon()
{
    QPixmap pixmap(19, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor dark(0x1d, 0x6f, 0x42);
    const QColor grid(0x8f, 0xc9, 0x9f);
    painter.fillRect(QRect(1, 1, 17, 16), Qt::white);
    painter.fillRect(QRect(1, 1, 17, 4), dark);
    painter.fillRect(QRect(1, 5, 4, 12), QColor(0xd4, 0xec, 0xdb));
    painter.setPen(grid);
    for (const int x : {5, 10, 14})
        painter.drawLine(x, 5, x, 16);
    for (const int y : {8, 11, 14})
        painter.drawLine(2, y, 17, y);
    painter.setPen(dark);
    painter.drawRect(QRect(1, 1, 16, 15));
    painter.end();
    return QIcon(pixmap);
}

void frmCerca::cmdpulisci_Click()
{
    ui::guarded(this, [this] {
        Ui::frmCerca& ui = *m_ui;
        ui::WaitCursor wait;
        setPrintEnabled(false);
        // The modes go first, so that the resets below pass through the input guards without effect.
        for (QRadioButton* option : {ui.optarticolo, ui.optSub, ui.opttesto, ui.optDa_A})
            option->setChecked(false);
        clearRange();
        ui.cmbSezioni->setCurrentIndex(-1);
        ui.cmbSezioni->setEditText(QString());
        m_chosenIndex = -1;
        clearTextInput();
        m_shown = {};
        ui.lblsub->setVisible(true);
        ui.lnlsub->setVisible(false);
        ui.lblsub1->setVisible(false);
        clearArticleCode();
        clearSubarticleCode();
        ui.txtArticolo->clear();
        ui.txtArtSel->clear();
        clearCounters();
        ui.Frame3->setTitle(QStringLiteral("Risultato Articoli"));
        ui.lstCapitoli->RemoveAll();
        ui.lstArticoli->RemoveAll();
        ui.lstSubarticoli->RemoveAll();
        shareRoom();
    });
}

void frmCerca::cmdstampa_Click()
{
    emit stampaRequested();
}

void frmCerca::cmdStampa1_Click()
{
    emit stampaRequested();
}

void frmCerca::mnuInfo_Click()
{
    emit manualeRequested();
}

} // namespace search
