#include "core/AppState.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"
#include "core/Numbers.h"
#include "core/Settings.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <exception>

int main(int argc, char* argv[])
{
    // Read before QApplication exists: --help, --version and a wrong option need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine line = app::parseCommandLine(arguments);
    switch (line.action) {
    case app::CommandLine::Action::Help:
        std::fputs(qUtf8Printable(app::usage()), stdout);
        return 0;
    case app::CommandLine::Action::Version:
        std::fputs(qUtf8Printable(app::versionLine()), stdout);
        return 0;
    case app::CommandLine::Action::Refused:
        std::fprintf(stderr, "%s\n", qUtf8Printable(line.error));
        return 2;
    case app::CommandLine::Action::Run:
        break;
    }

    QApplication application(argc, argv);
    core::useNeutralNumericLocale();
    QApplication::setApplicationName(QStringLiteral("Prezzario"));
    // The user's settings (window sizes and places) go under ~/.config/Prezzario, never beside the database.
    QApplication::setOrganizationName(QStringLiteral("Prezzario"));
    const QString settingsSetAside = core::useSafeSettings();
    if (!settingsSetAside.isEmpty())
        std::fprintf(stderr, "prezzario: %s\n", qUtf8Printable(settingsSetAside));
    // The desktop entry that started the program: the desktop shows its name and icon for the windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("it.vallorsa.Prezzario"));
    // Qt's own dialogs (choosing a file, asking yes or no) in the user's language, as the program's windows are.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    try {
        core::AppState state;
        app::Application prezzario(state);
        if (!prezzario.startUp(QCoreApplication::applicationDirPath(), line.database))
            return 1;
        prezzario.mainWindow().show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        // Last resort: a clear message and a clean exit instead of an abort.
        ui::MessageBox::warning(nullptr,
                                  QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(error.what())));
        return 1;
    }
}
