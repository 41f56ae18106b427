#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace report {

class modExcel97;
class ReportProgress;

// Where the report finds LibreOffice, its helper and its template, and how it starts the office.
// The program keeps the defaults: the user's own LibreOffice and profile, visible. Tests change them
// once, in their main, to run a private headless office that they end themselves.
struct OfficeSettings
{
    // The LibreOffice launcher.
    QString soffice = defaultSoffice();
    // The folder of prezzario-calc and stampa.xls; empty means the folder of the running program.
    QString applicationFolder;
    // Added to the office's command line after the program's own options.
    QStringList officeArguments;
    // How long the office may take to start and answer the first time, and to answer later requests.
    int startTimeoutMs = 120'000;
    int answerTimeoutMs = 60'000;
    // Told the process id of every soffice launcher started (it leads its own process group).
    std::function<void(qint64)> officeLaunched;
    // Called with the wrapper when a report ends, written in full or stopped, before the wrapper goes.
    std::function<void(modExcel97&)> reportEnded;
    // Called after each row a report writes, with its progress, once the windows have been updated.
    // For tests, which act there as a user would at that moment (type, click, cancel).
    std::function<void(const ReportProgress&)> afterRow;

    QString folder() const;
    QString helperPath() const;
    QString templatePath() const;

    static QString defaultSoffice();
    static OfficeSettings& current();
};

} // namespace report
