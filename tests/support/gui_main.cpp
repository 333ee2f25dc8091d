#include "TestLogFolder.h"

#include <QApplication>
#include <gtest/gtest.h>

// Window tests need a QApplication; CTest runs them on the offscreen platform.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const b2d::test::TestLogFolder logs;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
