#include "TestLogFolder.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const b2d::test::TestLogFolder logs;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
