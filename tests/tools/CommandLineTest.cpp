#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace buildertest;

TEST(CommandLine, helpListsTheOptionsAndSucceeds)
{
    const ToolRun run = runTool({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    for (const QString& option : {QStringLiteral("--demo"), QStringLiteral("--rows"), QStringLiteral("--seed"),
                                  QStringLiteral("--from-csv"), QStringLiteral("--out")})
        EXPECT_TRUE(run.out.contains(option)) << option.toStdString();
}

TEST(CommandLine, badUsageExitsWithTwo)
{
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    const QList<QStringList> wrong = {
        {},
        {QStringLiteral("--demo")},
        {QStringLiteral("--demo"), QStringLiteral("--from-csv"), dir.path(), QStringLiteral("--out"), out},
        {QStringLiteral("--demo"), QStringLiteral("--rows"), QStringLiteral("mille"), QStringLiteral("--out"), out},
        {QStringLiteral("--demo"), QStringLiteral("--rows"), QStringLiteral("0"), QStringLiteral("--out"), out},
        {QStringLiteral("--demo"), QStringLiteral("--seed"), QStringLiteral("-1"), QStringLiteral("--out"), out},
        {QStringLiteral("--from-csv"), dir.path(), QStringLiteral("--rows"), QStringLiteral("5"),
         QStringLiteral("--out"), out},
        {QStringLiteral("--demo"), QStringLiteral("--colore"), QStringLiteral("--out"), out},
        {QStringLiteral("--demo"), QStringLiteral("--out"), out, QStringLiteral("avanzo")},
        {QStringLiteral("--from-csv"), dir.path(), QStringLiteral("--check"), QStringLiteral("--out"), out},
        {QStringLiteral("--demo"), QStringLiteral("--check")},
        {QStringLiteral("--demo"), QStringLiteral("--encoding"), QStringLiteral("windows-1252"),
         QStringLiteral("--out"), out},
        {QStringLiteral("--from-csv"), dir.path(), QStringLiteral("--encoding"), QStringLiteral("latin9"),
         QStringLiteral("--out"), out},
        {QStringLiteral("--from-csv"), dir.path(), QStringLiteral("--from-xlsx"), out, QStringLiteral("--out"), out},
        {QStringLiteral("--from-csv"), dir.path(), QStringLiteral("--anno"), QStringLiteral("2024"),
         QStringLiteral("--check")},
        {QStringLiteral("--from-xpwe"), out, QStringLiteral("--anno"), QStringLiteral("24"), QStringLiteral("--check")},
    };
    for (const QStringList& arguments : wrong) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << arguments.join(u' ').toStdString();
    }
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(CommandLine, demoBuildSucceedsWithTheRequestedRows)
{
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    const ToolRun run = runTool({QStringLiteral("--demo"), QStringLiteral("--rows"), QStringLiteral("40"),
                                 QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--out"), out});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("100%"))) << run.err.toStdString();
    EXPECT_EQ(scalar(openBuilt(out), QStringLiteral("select count(*) from prezzario")).toInt(), 40);
}

TEST(CommandLine, csvErrorExitsWithOneNamingTheLineAndLeavesNoFile)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files[QStringLiteral("prezzario.csv")].replace("12.5", "\"12,5\"");
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    const ToolRun run = runTool({QStringLiteral("--from-csv"), csvDir.path(), QStringLiteral("--out"), out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("prezzario.csv, riga 2, colonna \"prezzo_lordo\"")))
        << run.err.toStdString();
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(CommandLine, aCheckWritesNothingAndTheSummarySaysWhatWasRead)
{
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), validCsvFiles());
    const ToolRun check = runTool({QStringLiteral("--from-csv"), csvDir.path(), QStringLiteral("--check")});
    EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
    EXPECT_TRUE(check.err.contains(QStringLiteral("Nessun errore: 3 righe, 1 sezioni, 2 capitoli, 2 articoli, anno "
                                                  "2021. Nessun database scritto")))
        << check.err.toStdString();
    EXPECT_EQ(filesIn(csvDir.path()).size(), 4);

    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    const ToolRun build = runTool({QStringLiteral("--from-csv"), csvDir.path(), QStringLiteral("--out"), out});
    EXPECT_EQ(build.exitCode, 0) << build.err.toStdString();
    // Progress from 0 %, even on a file this small, then what was built.
    EXPECT_TRUE(build.err.startsWith(QStringLiteral("Costruzione del database: 0%"))) << build.err.toStdString();
    EXPECT_TRUE(build.err.contains(QStringLiteral(": 3 righe, 1 sezioni, 2 capitoli, 2 articoli, anno 2021, ")))
        << build.err.toStdString();
}

TEST(CommandLine, missingOptionalFilesAreOnlyAWarning)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files.remove(QStringLiteral("manuale.csv"));
    QTemporaryDir csvDir;
    writeCsvFolder(csvDir.path(), files);
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    const ToolRun run = runTool({QStringLiteral("--from-csv"), csvDir.path(), QStringLiteral("--out"), out});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("manuale.csv"))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("premesse.csv"))) << run.err.toStdString();
    EXPECT_EQ(scalar(openBuilt(out), QStringLiteral("select count(*) from premesse")).toInt(), 2);
}
