// The program as `cmake --install` lays it out (PREZZARIO_APP_DIR is the installed application folder):
// it starts on the installed demo list, and prints through the installed helper and template.
#include "core/AppState.h"
#include "app/Application.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"
#include "tests/report/ReportSession.h"
#include "consultation/frmPrincipale.h"

#include <QDir>
#include <QFileInfo>

using reporttest::ReportSession;

namespace {

QStringList folderState(const QString& path)
{
    QStringList entries;
    for (const QFileInfo& entry : QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        entries << entry.fileName() + u' ' + QString::number(entry.size()) + u' ' +
                       entry.lastModified().toString(Qt::ISODateWithMs);
    return entries;
}

} // namespace

TEST(InstalledTree, startsOnTheInstalledDemoListAndWritesNothingBesideIt)
{
    const QString folder = QStringLiteral(PREZZARIO_APP_DIR);
    const QStringList before = folderState(folder);
    ASSERT_TRUE(before.join(u'\n').contains(QStringLiteral("Prezzario.mdb")));
    ui::MessageBox::clearRecorded();
    {
        core::AppState state;
        app::Application prezzario(state);
        ASSERT_TRUE(prezzario.startUp(folder)) << ui::MessageBox::recorded().value(0).text.toStdString();
        prezzario.mainWindow().show();
        EXPECT_EQ(prezzario.mainWindow().windowTitle(), QStringLiteral("Prezzario Regione Vallorsa 2021 CD"));
        prezzario.consultazione().showFromMenu();
        prezzario.consultazione().close();
    }
    EXPECT_EQ(folderState(folder), before);
}

TEST_F(ReportSession, aSearchPrintsThroughTheInstalledHelperAndTemplate)
{
    textSearch(1, QStringLiteral("scavo"), false, true, false);
    const reporttest::Sheet sheet = print();
    ASSERT_TRUE(printed) << warnings().join(u'\n').toStdString();
    EXPECT_TRUE(sheet.at(1, 1).value().startsWith(reporttest::kHeading));
    expectRow(sheet, 6, reporttest::RowKind::Subarticle, reporttest::kSub010);
}
