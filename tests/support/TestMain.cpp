#include "tests/support/TestRun.h"
#include "ui/MessageBox.h"

#include <QApplication>

// The windows' tests: a QApplication on the offscreen platform, and every warning recorded instead of shown.
int main(int argc, char** argv)
{
    testing_support::TestRun run;
    QApplication application(argc, argv);
    ui::MessageBox::setRecording(true);
    return run.exec(argc, argv);
}
