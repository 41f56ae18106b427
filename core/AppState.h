#pragma once

#include "Database.h"
#include "Recordset.h"

#include <QString>

namespace core {

// The state shared by every window for the whole run: the open database, the four recordset slots
// and the three shared texts. One instance lives in main() and is handed to each window.
struct AppState
{
    Database dbPrezzario;
    Recordset rsMain;
    Recordset rs2;
    Recordset rs3;
    Recordset rs4;

    QString DbPassword;
    QString AnnoPrezzario;
    QString ContestoManuale;
};

} // namespace core
