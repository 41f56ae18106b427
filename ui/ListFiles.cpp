#include "ui/ListFiles.h"

#include "core/RecentLists.h"

#include <QSettings>

namespace ui {

namespace {

const QString kKey = QStringLiteral("edizioni/file");

} // namespace

void rememberListFile(const QString& path)
{
    QSettings settings;
    settings.setValue(kKey, core::withListFileOpened(settings.value(kKey).toStringList(), path));
}

QStringList rememberedListFiles()
{
    return core::existingListFiles(QSettings().value(kKey).toStringList());
}

} // namespace ui
