// A run of the program that is killed in the middle of its work. It opens
// the picture named first, calibrates two depth rows, places three dips,
// writes what a save would hold to the file named second,
// says "kept" once its recovery file is written, and waits to be killed.
#include <cstdio>
#include <fstream>

#include <QApplication>

#include "files/project_file.h"
#include "ui/main_window.h"
#include "session/work_recovery.h"

namespace {

// No message may wait for an answer.
class QuietMessages : public UserMessages {
public:
    void showError(const QString& title, const QString& text) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dipdigitizer"));
    if (argc != 3)
        return 2;
    DigitizeWindow window(nullptr, std::make_unique<QuietMessages>());
    window.show();
    if (!window.openFile(QString::fromLocal8Bit(argv[1])))
        return 3;
    QObject::connect(&window.recovery(), &WorkRecovery::written, [] {
        std::puts("kept");
        std::fflush(stdout);
    });

    WorkSession& session = window.session();
    QString error;
    const bool done = session.apply(SetDipScale{DipScale{DipScaleKind::Linear, 0, 90, {}}}, error)
                      && session.apply(AddDepthRows{{DepthRow{1000, 100, 100, 280}, DepthRow{1200, 500, 100, 280}}}, error)
                      && session.apply(AddDips{{Dip{200, 400, 30, "B"}}}, error)
                      && session.apply(AddDips{{Dip{133, 200, 60, "B"}}}, error)
                      && session.apply(AddDips{{Dip{167, 300, 90, "C"}}}, error);
    if (!done)
        return 4;
    std::ofstream reference(argv[2], std::ios::binary);
    if (!writeProject(reference, session.projectFile(1)))
        return 4;
    reference.close();
    return app.exec();
}
