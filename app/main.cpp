#include "AppState.h"
#include "Application.h"
#include "MDIForm1.h"
#include "MessageBox.h"

#include <QApplication>

#include <exception>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Prezzario"));
    // The user's settings (window sizes and places) go under ~/.config/Prezzario, never beside the database.
    QApplication::setOrganizationName(QStringLiteral("Prezzario"));
    try {
        core::AppState state;
        app::Application prezzario(state);
        if (!prezzario.startUp(QCoreApplication::applicationDirPath()))
            return 1;
        prezzario.mainWindow().show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        // Last resort: a clear message and a clean exit instead of an abort.
        core::MessageBox::warning(nullptr,
                                  QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(error.what())));
        return 1;
    }
}
