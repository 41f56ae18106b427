#pragma once

#include <QString>
#include <QStringList>

namespace ui {

// The price-list files the user has opened, kept in the user's settings (core/RecentLists.h says which).
void rememberListFile(const QString& path);
QStringList rememberedListFiles();

} // namespace ui
