#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "ui/main_window.h"

namespace {

// Names the folders of the settings and recovery files, whatever the
// program file is called.
void nameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("dipdigitizer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIP_VERSION));
}

// The file to open, if any. "--help", "--version" and mistakes are answered
// here, before any window system is asked for: they work on a terminal
// without a display, as a package's checks run them.
QString fileToOpen(int argc, char** argv)
{
    QCoreApplication terminal(argc, argv);
    nameProgram();
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Digitizer of dipmeter logs."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("A log picture to open, or a project (.ddp) to go on with."),
                                  QStringLiteral("[file]"));
    options.process(terminal);
    return options.positionalArguments().value(0);
}

}  // namespace

int main(int argc, char** argv)
{
    const QString file = fileToOpen(argc, argv);
    QApplication app(argc, argv);
    nameProgram();
    QApplication::setDesktopFileName(QStringLiteral("dipdigitizer"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dipdigitizer.svg")));
    DigitizeWindow window;
    QObject::connect(&window, &DigitizeWindow::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    if (!file.isEmpty())
        window.openFile(file);
    return app.exec();
}
