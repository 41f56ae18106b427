#include "tests/export/ExportFixture.h"
#include "report/export/ItemExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using report::ExportFormat;

TEST(ExportTarget, formatFollowsTheExtensionInAnyCase)
{
    const struct
    {
        const char* path;
        std::optional<ExportFormat> format;
    } cases[] = {
        {"elenco.pdf", ExportFormat::Pdf}, {"ELENCO.PDF", ExportFormat::Pdf}, {"a/b.Xlsx", ExportFormat::Xlsx},
        {"c.csv", ExportFormat::Csv},      {"d.XPWE", ExportFormat::Xpwe},    {"e.xls", std::nullopt},
        {"f.pdf.txt", std::nullopt},       {"senza", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(report::exportFormatFor(QString::fromUtf8(c.path)), c.format) << c.path;
}

const ExportFormat allFormats[] = {ExportFormat::Pdf, ExportFormat::Xlsx, ExportFormat::Csv, ExportFormat::Xpwe};

// A target the user cannot write is refused with a message naming it, and no file appears.
TEST(ExportTarget, unwritableTargetThrowsAndLeavesNoFile)
{
    const QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString readOnly = dir.filePath(QStringLiteral("sola-lettura"));
    ASSERT_TRUE(QDir().mkdir(readOnly));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);

    QStringList folders{dir.filePath(QStringLiteral("manca")), plain.fileName()};
    if (::geteuid() != 0) // root writes into a read-only folder all the same
        folders << readOnly;
    for (const QString& folder : folders) {
        for (ExportFormat format : allFormats) {
            const QString path = folder + QStringLiteral("/elenco.") + QString::number(int(format));
            SCOPED_TRACE(path.toStdString());
            try {
                report::exportItems(exporttest::sampleDocument(), path, format);
                ADD_FAILURE() << "no error";
            } catch (const report::ExportError& error) {
                EXPECT_TRUE(error.text().contains(path)) << error.text().toStdString();
            }
            EXPECT_FALSE(QFile::exists(path));
        }
    }
    EXPECT_TRUE(QDir(readOnly).isEmpty());
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A pipe, a device or a folder where the file should go is refused and left as it was: an export never waits
// on a pipe nor replaces a device with a file. A link to a file is followed: the file it leads to is replaced.
TEST(ExportTarget, onlyARegularFileIsReplaced)
{
    const QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(path("cartella")));
    QStringList refused{path("pipe"), path("cartella")};
    // A device node of our own, never the system's /dev/null: only root may make one.
    if (::mknod(QFile::encodeName(path("dispositivo")).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        refused << path("dispositivo");
    for (const QString& target : refused) {
        for (ExportFormat format : allFormats) {
            SCOPED_TRACE(target.toStdString());
            struct stat before = {}, after = {};
            ::lstat(QFile::encodeName(target).constData(), &before);
            EXPECT_THROW(report::exportItems(exporttest::sampleDocument(), target, format), report::ExportError);
            ::lstat(QFile::encodeName(target).constData(), &after);
            EXPECT_EQ(before.st_mode, after.st_mode);
            EXPECT_EQ(before.st_ino, after.st_ino);
        }
    }

    QFile real(path("vero.csv"));
    ASSERT_TRUE(real.open(QIODevice::WriteOnly));
    real.close();
    ASSERT_TRUE(QFile::link(real.fileName(), path("collegamento.csv")));
    report::exportItems(exporttest::sampleDocument(), path("collegamento.csv"), ExportFormat::Csv);
    EXPECT_TRUE(QFileInfo(path("collegamento.csv")).isSymLink());
    EXPECT_GT(QFileInfo(real.fileName()).size(), 100);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files | QDir::System).size(), 4) << "nothing left beside";
}

// A workbook that cannot be finished (here: no room for libxlsxwriter's work files) leaves the previous file as
// it was and nothing beside it.
TEST(ExportTarget, failureMidwayKeepsTheExistingFile)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.xlsx"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("precedente");
    old.close();

    // The system's temporary folder is a file, so libxlsxwriter cannot start.
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(path));
    EXPECT_THROW(report::exportItems(exporttest::sampleDocument(), path, ExportFormat::Xlsx), report::ExportError);
    if (tmpdir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", tmpdir);

    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("precedente"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("elenco.xlsx")});
}

} // namespace
