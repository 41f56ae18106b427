#pragma once

#include <QSettings>
#include <QString>

namespace core {

// The user's settings (window places, the lists opened, Trova's history) live in QSettings' INI file, which
// QSettings replaces only when written whole. A settings file that is not a regular file (a pipe, which
// QSettings would wait on forever at the start) is set aside here before anything reads it.
//
// Called once after the application's names are set and before any QSettings is made; 'folder' is where
// the settings go (the user's configuration folder when empty). Returns a message for the standard error
// when a file was set aside, else nothing.
QString useSafeSettings(const QString& folder = {});

} // namespace core
