// The reference for the program's start-up: a Qt main window with a menu, and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Finestra"));
    window.menuBar()->addMenu(QStringLiteral("&Menu"))->addAction(QStringLiteral("&Esci"), &application,
                                                                  &QApplication::quit);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
