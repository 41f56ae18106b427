#include "RecentLists.h"

#include <QFileInfo>
#include <QSettings>

namespace core {

namespace {

const QString kKey = QStringLiteral("edizioni/file");
// Enough for every edition a user keeps; the oldest opening falls off past it.
constexpr qsizetype kMostFiles = 40;

} // namespace

void rememberListFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QSettings settings;
    QStringList files = settings.value(kKey).toStringList();
    files.removeAll(absolute);
    files.prepend(absolute);
    if (files.size() > kMostFiles)
        files.resize(kMostFiles);
    settings.setValue(kKey, files);
}

QStringList rememberedListFiles()
{
    QStringList files;
    for (const QString& file : QSettings().value(kKey).toStringList())
        if (QFileInfo(file).isFile())
            files << file;
    return files;
}

} // namespace core
