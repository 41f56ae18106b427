#include "MessageBox.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Numbers are checked in their Italian form ("12,5"), the locale the program is used in.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    core::MessageBox::setRecording(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
