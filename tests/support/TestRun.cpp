#include "tests/support/TestRun.h"

#include "core/Settings.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>

#include <gtest/gtest.h>

namespace testing_support {

namespace {

// The offscreen platform reports every window feature it lacks; those lines would bury real failures.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}

// The program keeps its state in the user's settings: each test starts from none, and nothing reaches the
// settings of the user who runs the tests.
class FreshSettings : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { QSettings().clear(); }
};

} // namespace

TestRun::TestRun()
{
    // Before any thread: a mount namespace is made only in a process of one thread.
    SmallDisk::mountIfAsked();
    qInstallMessageHandler(quietOffscreen);
    // A test may give the offscreen screen a size of its own ("offscreen:configfile=…").
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's data (collections of chosen items) goes to a folder of the run, never to the real one.
    // On the small disk when there is one, so that the tests can fill it or make it read-only.
    const QString small = SmallDisk::path();
    m_data = std::make_unique<QTemporaryDir>(small.isEmpty() ? QDir::tempPath() + QStringLiteral("/dati-XXXXXX")
                                                             : small + QStringLiteral("/dati-XXXXXX"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data->path()));
}

TestRun::~TestRun() = default;

int TestRun::exec(int& argc, char** argv)
{
    // Numbers are checked in their Italian form ("12,5"), the locale the program is used in.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    m_settings = std::make_unique<QTemporaryDir>();
    core::useSafeSettings(m_settings->path());
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    return RUN_ALL_TESTS();
}

} // namespace testing_support
