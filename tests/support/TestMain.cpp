#include <QApplication>
#include <gtest/gtest.h>

#include "platform/ControlCharFilter.h"

// Every test program runs with a QApplication so that widgets, fonts and SQL drivers are available.
int main(int argc, char **argv)
{
    // Tests never need a screen; a developer may still set another platform by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ControlCharFilter::install(&app); // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
