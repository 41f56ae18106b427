// Printing on a machine without LibreOffice, without the helper or without the template: a message that
// names what is missing and how to get it, no office started, and the search window goes on working.
#include "ui/MessageBox.h"
#include "report/OfficeSettings.h"
#include "tests/report/ReportSession.h"

#include <QFile>
#include <QTemporaryDir>

namespace reporttest {

namespace {

// Each test starts from the program's settings pointed at the build's application folder.
struct MissingPiece : ReportSession
{
    void SetUp() override
    {
        ReportSession::SetUp();
        report::OfficeSettings& settings = report::OfficeSettings::current();
        settings = report::OfficeSettings();
        settings.applicationFolder = QStringLiteral(PREZZARIO_APP_DIR);
        settings.officeLaunched = [this](qint64) { ++launched; };
        textSearch(0, QStringLiteral("scavo"), false, true, false);
        ASSERT_TRUE(warnings().isEmpty());
    }

    void TearDown() override
    {
        report::OfficeSettings::current() = report::OfficeSettings();
        ReportSession::TearDown();
    }

    // After the message the window is as usable as before: another search runs.
    void expectWindowStillUsable()
    {
        EXPECT_TRUE(window->isEnabled());
        ui::MessageBox::clearRecorded();
        textSearch(0, QStringLiteral("scavi"), true, false, false);
        EXPECT_TRUE(warnings().isEmpty()) << warnings().join(u'\n').toStdString();
        EXPECT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstCapitoli"))).Count(), 2);
    }

    int launched = 0;
};

} // namespace

TEST_F(MissingPiece, withoutLibreOfficeTheMessageNamesItAndItsPackage)
{
    report::OfficeSettings::current().soffice = QStringLiteral("/nonexistent/libreoffice/program/soffice");
    print();
    EXPECT_FALSE(printed);
    ASSERT_EQ(warnings().size(), 1);
    const QString message = warnings().front();
    EXPECT_TRUE(message.contains(u"LibreOffice Calc")) << message.toStdString();
    EXPECT_TRUE(message.contains(u"«libreoffice-calc»")) << message.toStdString();
    EXPECT_EQ(ui::MessageBox::recorded().front().title, QStringLiteral("Prezziario"));
    EXPECT_EQ(launched, 0);
    expectWindowStillUsable();
}

TEST_F(MissingPiece, withoutTheHelperTheMessageNamesIt)
{
    if (!QFile::exists(QStringLiteral(PREZZARIO_APP_DIR "/stampa.xls")))
        GTEST_SKIP() << "stampa.xls is not built on this machine";
    QTemporaryDir folder;
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(PREZZARIO_APP_DIR "/stampa.xls"), folder.filePath(QStringLiteral("stampa.xls"))));
    report::OfficeSettings::current().applicationFolder = folder.path();
    print();
    EXPECT_FALSE(printed);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().contains(folder.filePath(QStringLiteral("prezzario-calc"))))
        << warnings().front().toStdString();
    EXPECT_EQ(launched, 0);
    expectWindowStillUsable();
}

TEST_F(MissingPiece, withoutTheTemplateTheMessageNamesItAndNoOfficeIsStarted)
{
    if (!QFile::exists(QStringLiteral(PREZZARIO_APP_DIR "/prezzario-calc")) ||
        !QFile::exists(report::OfficeSettings::defaultSoffice()))
        GTEST_SKIP() << "LibreOffice or prezzario-calc is not on this machine";
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(QStringLiteral(PREZZARIO_APP_DIR "/prezzario-calc"),
                            folder.filePath(QStringLiteral("prezzario-calc"))));
    report::OfficeSettings::current().applicationFolder = folder.path();
    print();
    EXPECT_FALSE(printed);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().contains(folder.filePath(QStringLiteral("stampa.xls"))))
        << warnings().front().toStdString();
    EXPECT_EQ(launched, 0);
    expectWindowStillUsable();
}

TEST_F(MissingPiece, withNoSearchModeNothingIsPrintedAndTheUserIsTold)
{
    click("cmdpulisci");
    const Sheet sheet = printDirectly();
    EXPECT_FALSE(printed) << "no workbook is made";
    EXPECT_EQ(launched, 0);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().contains(u"Nessun tipo di ricerca")) << warnings().front().toStdString();
    expectWindowStillUsable();
}

} // namespace reporttest
