#include "tests/support/TestRun.h"

#ifdef PREZZARIO_TEST_DRAWING
#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif

// The library's tests run without widgets: a core application, or for those that draw (PDF pages) a GUI
// application on the offscreen platform.
int main(int argc, char** argv)
{
    testing_support::TestRun run;
#ifdef PREZZARIO_TEST_DRAWING
    QGuiApplication application(argc, argv);
#else
    QCoreApplication application(argc, argv);
#endif
    return run.exec(argc, argv);
}
