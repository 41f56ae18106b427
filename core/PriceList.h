#pragma once

#include <QString>

namespace core {

// Fixed facts of the delivered price list: its file name and the password of the file.
inline const QString kDatabaseFileName = QStringLiteral("Prezzario.mdb");
inline const QString kDbPassword = QStringLiteral("qzkw");
inline const QString kTemplateFileName = QStringLiteral("stampa.xls");

} // namespace core
