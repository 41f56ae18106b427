#include "core/AppState.h"
#include "app/Application.h"
#include "core/Error.h"
#include "tests/support/Fixture.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"
#include "core/PriceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts the program on a folder; returns the one warning shown, or "" when it started.
QString startUpFailure(const QString& folder)
{
    ui::MessageBox::clearRecorded();
    core::AppState state;
    app::Application prezzario(state);
    if (prezzario.startUp(folder)) {
        EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
        return {};
    }
    EXPECT_FALSE(state.priceList.isOpen());
    EXPECT_EQ(ui::MessageBox::recorded().size(), 1);
    if (ui::MessageBox::recorded().isEmpty())
        return QStringLiteral("(no message)");
    EXPECT_EQ(ui::MessageBox::recorded().front().title, QStringLiteral("Prezziario"));
    return ui::MessageBox::recorded().front().text;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void execute(const QString& path, const QString& connect, const QString& sql)
{
    core::Database db = core::Database::OpenDatabase(path, connect, core::Database::Mode::CreateWrite);
    db.Execute(sql);
}

const QString kConnect = QStringLiteral(";pwd=") + core::kDbPassword;

} // namespace

TEST(StartUp, opensAGoodPriceList)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    EXPECT_EQ(startUpFailure(folder.folder()), QString());
}

TEST(StartUp, missingFileIsNamed)
{
    QTemporaryDir empty;
    const QString message = startUpFailure(empty.path());
    EXPECT_TRUE(
        message.contains(QDir::toNativeSeparators(QDir(empty.path()).filePath(QStringLiteral("Prezzario.mdb")))))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("non esiste"))) << message.toStdString();
}

TEST(StartUp, wrongPasswordIsRefused)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(core::kDatabaseFileName);
    execute(path, QStringLiteral(";pwd=un'altra"),
            QStringLiteral("create table anno_prezzario(ANNO_PREZZARIO integer)"));
    const QString message = startUpFailure(dir.path());
    EXPECT_TRUE(message.contains(QStringLiteral("password non è corretta"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Prezzario.mdb")));
}

TEST(StartUp, filesThatAreNotThePriceListAreRecognised)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(core::kDatabaseFileName);

    writeBytes(path, "questo non è un database\n");
    EXPECT_TRUE(startUpFailure(dir.path()).contains(QStringLiteral("non è un database del Prezzario")));

    writeBytes(path, QByteArray());
    EXPECT_TRUE(startUpFailure(dir.path()).contains(QStringLiteral("vuoto")));

    QFile::remove(path);
    execute(path, QStringLiteral(";pwd="), QStringLiteral("create table anno_prezzario(ANNO_PREZZARIO integer)"));
    EXPECT_TRUE(startUpFailure(dir.path()).contains(QStringLiteral("non protetto da password")));

    // The right key on a database that is not a price list.
    QFile::remove(path);
    execute(path, kConnect, QStringLiteral("create table anno_prezzario(ANNO_PREZZARIO integer)"));
    const QString message = startUpFailure(dir.path());
    EXPECT_TRUE(message.contains(QStringLiteral("mancano le tabelle prezzario, premesse, manuale")))
        << message.toStdString();
}

TEST(StartUp, damagedFirstPageIsRefusedCleanly)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    QFile file(folder.database());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(1000);
    char byte = 0;
    file.getChar(&byte);
    file.seek(1000);
    file.putChar(static_cast<char>(byte ^ 0x5A));
    file.close();
    const QString message = startUpFailure(folder.folder());
    EXPECT_TRUE(message.contains(QStringLiteral("danneggiato"))) << message.toStdString();
}

// The start-up message for a file its user may not read. Root reads every file, so as root the opening is
// tried by a child process that has become an ordinary user.
QString unreadableFileMessage(const QString& path)
{
    if (geteuid() != 0)
        return startUpFailure(QFileInfo(path).path());
    int channel[2];
    EXPECT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        QByteArray text = "(opened)";
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            text = "(cannot become an ordinary user)";
        try {
            core::Database::OpenDatabase(path, kConnect);
        } catch (const core::DbError& error) {
            text = error.text().toUtf8();
        }
        (void)!write(channel[1], text.constData(), size_t(text.size()));
        _exit(0);
    }
    close(channel[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(channel[0]);
    waitpid(child, nullptr, 0);
    return QString::fromUtf8(text);
}

TEST(StartUp, unreadableFileIsNamedAndExplained)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    QFile::setPermissions(folder.folder(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(folder.database(), {});
    const QString message = unreadableFileMessage(folder.database());
    EXPECT_TRUE(message.contains(QStringLiteral("non si hanno i permessi per leggere il file")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(folder.database()))) << message.toStdString();
    QFile::setPermissions(folder.database(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST(StartUp, missingYearIsRefused)
{
    const fixture::PriceListFolder empty({{fixture::Row{}}});
    execute(empty.database(), kConnect, QStringLiteral("delete from anno_prezzario"));
    QString message = startUpFailure(empty.folder());
    EXPECT_TRUE(message.contains(QStringLiteral("anno_prezzario non contiene alcuna riga"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Prezzario.mdb")));

    const fixture::PriceListFolder nullYear({{fixture::Row{}}});
    execute(nullYear.database(), kConnect, QStringLiteral("update anno_prezzario set ANNO_PREZZARIO = null"));
    message = startUpFailure(nullYear.folder());
    EXPECT_TRUE(message.contains(QStringLiteral("è vuoto"))) << message.toStdString();
}

TEST(StartUp, readOnlyFolderGainsNoFiles)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    const QDir dir(folder.folder());
    const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QFile::setPermissions(folder.database(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(folder.folder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    {
        core::AppState state;
        app::Application prezzario(state);
        ASSERT_TRUE(prezzario.startUp(folder.folder()));
        EXPECT_FALSE(state.priceList.sections().isEmpty());
        EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        prezzario.mainWindow().close();
    }
    EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    QFile::setPermissions(folder.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(folder.database(), QFile::ReadOwner | QFile::WriteOwner);
}
