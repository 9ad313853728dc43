#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "ui/main_window.h"

int main(int argc, char** argv)
{
    // Answered before any window system is asked for: it works on a terminal
    // without a display, as a package's checks run it.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("dipdigitizer %s\n", DIP_VERSION);
            return 0;
        }

    QApplication app(argc, argv);
    // Names the folders of the settings and recovery files, whatever the
    // program file is called.
    QApplication::setApplicationName(QStringLiteral("dipdigitizer"));
    QApplication::setApplicationVersion(QStringLiteral(DIP_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dipdigitizer"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dipdigitizer.svg")));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Digitizer of dipmeter logs."));
    options.addHelpOption();
    options.addVersionOption();
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
