#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and data of these runs stay apart from the user's; each
    // window test points XDG_DATA_HOME into a folder of its own as well.
    QTemporaryDir home;
    for (const char* place : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qputenv(place, home.filePath(QString::fromLatin1(place)).toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dipdigitizer"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
