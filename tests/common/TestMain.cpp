// Entry point of every test program: a QApplication on the offscreen platform,
// pauses shortened to nothing, and no message box ever shown as a window.
#include "core/MessageBox.h"
#include "core/Pause.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
