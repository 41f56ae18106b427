#include "SearchWindow.h"

#include "Database.h"
#include "MessageBox.h"
#include "PriceList.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace benchdata {

SearchWindow::SearchWindow(const QString& list)
{
    // A warning would wait for a click that never comes; recorded, it fails the benchmark instead.
    ui::MessageBox::setRecording(true);
    state.dbPrezzario = core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
    window = new search::frmCerca(state, &mainWindow);
    window->showFromMenu();
    // The offscreen screen is smaller than a user's: as many rows in sight, and so as much to paint.
    window->setWindowState(Qt::WindowNoState);
    window->resize(1366, 740);
    QApplication::processEvents();
}

void SearchWindow::prepareTextSearch(const QString& word, bool capitoli, bool articoli, bool subarticoli)
{
    auto* sections = control<QComboBox>("cmbSezioni");
    sections->setCurrentIndex(0);
    emit sections->activated(0);
    control<QRadioButton>("opttesto")->click();
    control<QLineEdit>("txtCerca")->setText(word);
    const std::pair<const char*, bool> boxes[] = {
        {"chkCapitoli", capitoli}, {"chkArticoli", articoli}, {"chkSubarticoli", subarticoli}};
    for (const auto& [name, wanted] : boxes) {
        auto* box = control<QCheckBox>(name);
        if (box->isChecked() != wanted)
            box->click();
    }
}

void SearchWindow::runSearch()
{
    control<QAbstractButton>("cmdCerca")->click();
    QApplication::processEvents(); // the lists show their rows
}

QString SearchWindow::takeWarning()
{
    if (ui::MessageBox::recorded().isEmpty())
        return {};
    const QString text = ui::MessageBox::recorded().front().text;
    ui::MessageBox::clearRecorded();
    return text;
}

} // namespace benchdata
