// A run of the program that is killed in the middle of its work. It opens
// the picture named first, calibrates two depth lines, places two dips and
// starts a third, writes what a save would hold to the file named second,
// says "kept" once its recovery file is written, and waits to be killed.
#include <cstdio>
#include <fstream>

#include <QApplication>

#include "core/dipdigitize.h"
#include "files/project_file.h"
#include "ui/main_window.h"
#include "ui/work_recovery.h"

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

    window.apply(DefineDipScale{1, 0, 90});
    const double rows[][2] = {{1500, 1000}, {7500, 1200}};
    for (const auto& row : rows) {
        window.apply(PlaceDepthLine{row[0]});
        window.apply(EnterDepth{row[1]});
        window.apply(SetMinDipPosition{1500});
        window.apply(CompleteDepthRow{4200});
    }
    const double dips[][2] = {{3000, 6000}, {2000, 3000}, {2500, 4500}};
    for (const auto& at : dips) {
        const ProjectState& s = window.state();
        window.apply(StartDip{at[0], at[1], getdepth(s, at[1]), getdip(s, at[0], at[1])});
        if (s.NumPoints < 3)  // the last still awaits its tail
            window.apply(FinishDip{s.NumPoints, 30.0 * s.NumPoints, "B"});
    }

    ProjectState saved = window.state();
    std::ofstream reference(argv[2], std::ios::binary);
    if (!writeProject(reference, saved))
        return 4;
    reference.close();
    return app.exec();
}
