#pragma once

#include <QString>
#include <QStringList>

namespace core {

// The price-list files the user has opened, kept in the user's settings so that an item can be followed
// over the editions: the newest opening first, each file once, by its absolute path.
void rememberListFile(const QString& path);
// The remembered files that still exist, newest opening first; files that are gone are skipped, not forgotten,
// so that a disk plugged in again brings its editions back.
QStringList rememberedListFiles();

} // namespace core
