#include "core/Settings.h"

#include "core/SafeFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

QString useSafeSettings(const QString& folder)
{
    const QString config =
        folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) : folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);

    // Where QSettings keeps a program's settings, its organization's name standing in when none is set.
    const QString organization = QCoreApplication::organizationName();
    const QString path =
        QDir(config).filePath((organization.isEmpty() ? QStringLiteral("Unknown Organization") : organization) + u'/' +
                              QCoreApplication::applicationName() + QStringLiteral(".conf"));
    struct stat info = {};
    const QByteArray encoded = QFile::encodeName(path);
    const bool found = ::stat(encoded.constData(), &info) == 0;
    if ((found && S_ISREG(info.st_mode)) || (!found && errno == ENOENT))
        return {};
    const QString aside = path + QStringLiteral(".non-valido-") +
                          QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (::rename(encoded.constData(), QFile::encodeName(aside).constData()) != 0) {
        const int error = errno;
        // Never read, and so never waited on: this run keeps its settings in a folder of its own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QDir::temp().filePath(QStringLiteral("prezzario-impostazioni-%1").arg(::getpid())));
        return QStringLiteral("Le impostazioni «%1» non sono un file normale e non si possono mettere da parte (%2): "
                              "le finestre ripartono dalle posizioni iniziali.")
            .arg(QDir::toNativeSeparators(path), systemReason(error));
    }
    return QStringLiteral("Le impostazioni «%1» non erano un file normale: messe da parte come «%2»; le finestre "
                          "ripartono dalle posizioni iniziali.")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(aside));
}

} // namespace core
