#pragma once

#include <QString>
#include <QStringList>

namespace core {

// The price-list files the user has opened, newest opening first, each file once by its absolute path, so that
// an item can be followed over the editions. The caller keeps them (ui::rememberListFile keeps them in the
// user's settings).

// `files` with `path` opened now: first, once, and the oldest opening dropped past the most kept.
QStringList withListFileOpened(QStringList files, const QString& path);
// The files of `files` that still exist, in their order: files that are gone are skipped, not forgotten, so that
// a disk plugged in again brings its editions back.
QStringList existingListFiles(const QStringList& files);

} // namespace core
