#include "report/OfficeSettings.h"

#include "core/PriceList.h"

#include <QCoreApplication>
#include <QDir>

namespace report {

QString OfficeSettings::folder() const
{
    return applicationFolder.isEmpty() ? QCoreApplication::applicationDirPath() : applicationFolder;
}

QString OfficeSettings::helperPath() const
{
    return QDir(folder()).filePath(QStringLiteral("prezzario-calc"));
}

QString OfficeSettings::templatePath() const
{
    return QDir(folder()).filePath(core::kTemplateFileName);
}

QString OfficeSettings::defaultSoffice()
{
    return QStringLiteral(PREZZARIO_SOFFICE);
}

OfficeSettings& OfficeSettings::current()
{
    static OfficeSettings settings;
    return settings;
}

} // namespace report
