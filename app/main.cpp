#include <QApplication>
#include <QCommandLineParser>

#include "ui/main_window.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Names the folder of the recovery files, whatever the program file is called.
    QApplication::setApplicationName(QStringLiteral("dipdigitizer"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Digitizer of dipmeter logs."));
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("A log picture to open, or a project (.ddp) to go on with."),
                                  QStringLiteral("[file]"));
    options.process(app);

    DigitizeWindow window;
    QObject::connect(&window, &DigitizeWindow::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    if (!options.positionalArguments().isEmpty())
        window.openFile(options.positionalArguments().constFirst());
    return app.exec();
}
