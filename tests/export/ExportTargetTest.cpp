#include "ExportFixture.h"
#include "ItemExport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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
