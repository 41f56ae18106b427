#include "tests/report/OfficeEnvironment.h"

#include "report/OfficeSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <signal.h>

namespace reporttest {

namespace {

QList<qint64> g_groups;

// A group counts as alive while one of its processes is not a zombie: here nobody may reap the office
// once its launcher is gone, and a zombie would keep kill(-group, 0) succeeding.
bool groupAlive(qint64 group)
{
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid pgrp ...; comm may hold blanks and parentheses, so read after the last ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z")
            return true;
    }
    return false;
}

// One headless LibreOffice for the whole test program, on a profile of its own that goes with it:
// the tests never touch a user's office or profile.
class OfficeEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_profile = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_profile->isValid());
        report::OfficeSettings& settings = report::OfficeSettings::current();
        settings.applicationFolder = QStringLiteral(PREZZARIO_APP_DIR);
        settings.officeArguments = {QStringLiteral("--headless"), QStringLiteral("--invisible"),
                                    QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
                                    QStringLiteral("-env:UserInstallation=file://") + m_profile->path()};
        settings.officeLaunched = [](qint64 group) { g_groups.append(group); };
    }

    void TearDown() override
    {
        signalOffices(SIGCONT);
        signalOffices(SIGTERM);
        waitForOfficesToEnd();
        signalOffices(SIGKILL);
        m_profile.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_profile;
};

[[maybe_unused]] ::testing::Environment* const g_office = ::testing::AddGlobalTestEnvironment(new OfficeEnvironment);

} // namespace

const QList<qint64>& officeGroups()
{
    return g_groups;
}

void waitForOfficesToEnd()
{
    for (int wait = 0; wait < 200 && std::any_of(g_groups.begin(), g_groups.end(), groupAlive); ++wait)
        QThread::msleep(50);
}

void signalOffices(int signal)
{
    for (const qint64 group : g_groups) {
        if (groupAlive(group))
            ::kill(static_cast<pid_t>(-group), signal);
    }
}

} // namespace reporttest
