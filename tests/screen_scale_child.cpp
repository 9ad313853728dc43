// A run of the program on a screen of the scale the environment sets
// (QT_FONT_DPI): it opens the picture named first, calibrates a linear
// scale and two depth rows and places a dip with the mouse, saves the
// project to the file named second, and prints the screen's dots per inch.
#include <cstdio>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include "fake_dialogs.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    auto dialog = std::make_unique<FakeCommonDialog>();
    FakeCommonDialog& answers = *dialog;
    DigitizeWindow window(std::move(dialog), std::make_unique<FakeMessages>());
    window.show();
    if (!window.openPicture(QString::fromLocal8Bit(argv[1])))
        return 3;
    QWidget& view = window.logView();
    const auto click = [&](int x, int y) {
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, view.contentsRect().topLeft() + QPoint(x, y));
    };
    QRadioButton* linear = window.scaleForm().option(1);
    QTest::mouseClick(linear, Qt::LeftButton, Qt::NoModifier, QPoint(6, linear->height() / 2));
    QTest::mouseClick(window.scaleForm().okButton(), Qt::LeftButton);
    for (const auto& [y, depth] : {std::pair(100, "1000"), std::pair(300, "1100")}) {
        click(200, y);
        QTest::keyClicks(window.depthForm().depthBox(), depth);
        QTest::keyClick(window.depthForm().depthBox(), Qt::Key_Return);
        click(100, y);
        click(280, y);
    }
    QRadioButton* digitize = window.findChild<QRadioButton*>(QStringLiteral("OptDigCal(0)"));
    QTest::mouseClick(digitize, Qt::LeftButton, Qt::NoModifier, QPoint(6, digitize->height() / 2));
    click(190, 200);
    click(250, 200);
    answers.files.push_back(QString::fromLocal8Bit(argv[2]));
    window.findChild<QAction*>(QStringLiteral("mnusavecal"))->trigger();
    std::printf("%g\n", QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    return window.session().saved() ? 0 : 4;
}
