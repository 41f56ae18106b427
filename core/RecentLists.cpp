#include "core/RecentLists.h"

#include <QFileInfo>

namespace core {

namespace {

// Enough for every edition a user keeps; the oldest opening falls off past it.
constexpr qsizetype kMostFiles = 40;

} // namespace

QStringList withListFileOpened(QStringList files, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    if (files.size() > kMostFiles)
        files.resize(kMostFiles);
    return files;
}

QStringList existingListFiles(const QStringList& files)
{
    QStringList existing;
    for (const QString& file : files) {
        if (QFileInfo(file).isFile())
            existing << file;
    }
    return existing;
}

} // namespace core
