// The window tests run on Qt's offscreen platform. Started with --shutdown-child, the program
// instead plays the part of the real program for the shutdown test.

#include "tests/ui/ShutdownChild.h"

#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], pestrel::test::kShutdownChildOption) == 0)
        return pestrel::test::RunShutdownChild();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
