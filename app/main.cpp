#include <QApplication>

#include "ui/main_window.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    DigitizeWindow window;
    QObject::connect(&window, &DigitizeWindow::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
