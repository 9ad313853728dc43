#include <gtest/gtest.h>

#include <QGuiApplication>

// Drawing with fonts needs a GUI application, though no window is shown.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
