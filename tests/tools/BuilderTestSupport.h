#pragma once

#include "core/Database.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <vector>

#include <sys/types.h>

// Helpers shared by the builder tests: reading a built database back through the program's own
// engine layer, and writing CSV folders.
namespace buildertest {

// Opens a built file the way the program does: read-only, with the fixed password.
core::Database openBuilt(const QString& path);

// Every row of a query, each as its list of column values (Null is an invalid QVariant).
QList<QVariantList> readAll(const core::Database& db, const QString& sql);
QVariant scalar(const core::Database& db, const QString& sql);

// A valid CSV folder: three subarticle rows, the year, two premesse and two manual topics. Tests
// replace one file's text to make it wrong in exactly one way.
QMap<QString, QByteArray> validCsvFiles();
void writeCsvFolder(const QString& dir, const QMap<QString, QByteArray>& files);

// Files left in a folder, sorted; a failed build must leave only what was there before.
QStringList filesIn(const QString& dir);

QByteArray readFile(const QString& path);

// One member of a zip written by a test; `stored` keeps it uncompressed.
struct ZipMember
{
    const char* name;
    QByteArray data;
    bool stored = false;
};
void writeZip(const QString& path, const std::vector<ZipMember>& members);

#ifdef PREZZARIO_BUILD_EXE
// A run of the real prezzario-build. Arguments are bytes, so that a test can pass a name that is not UTF-8.
struct ToolRun
{
    int exitCode = -1; // -1 when a signal ended it
    int signal = 0;
    QString out;
    QString err;
};
ToolRun runTool(const std::vector<QByteArray>& arguments);
ToolRun runTool(const QStringList& arguments);
// Starts the tool without waiting, its standard error to errFile (and its output beside it); finishTool() waits
// for it and reads both.
pid_t startTool(const std::vector<QByteArray>& arguments, const QString& errFile);
ToolRun finishTool(pid_t pid, const QString& errFile);
#endif

#ifdef PREZZARIO_SOFFICE
// Saves `source` (a flat OpenDocument file) as `format` ("xlsx", "ods") beside it in `dir`, through a headless
// LibreOffice on a profile of its own; returns the path of the saved file. The office runs in a process group
// of its own, so that a hung one can be ended whole.
QString saveWithOffice(const QTemporaryDir& dir, const QString& source, const char* format);
#endif

} // namespace buildertest
