#pragma once

#include "Database.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

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

#ifdef PREZZARIO_SOFFICE
// Saves `source` (a flat OpenDocument file) as `format` ("xlsx", "ods") beside it in `dir`, through a headless
// LibreOffice on a profile of its own; returns the path of the saved file. The office runs in a process group
// of its own, so that a hung one can be ended whole.
QString saveWithOffice(const QTemporaryDir& dir, const QString& source, const char* format);
#endif

} // namespace buildertest
