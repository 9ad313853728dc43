// The program on a screen of 1600 by 1000 pixels with the shipped sample log
// open: prints where "Define Dip Scale" stands and where the log view shows
// the dip track's printed scale, as global rectangles "x y w h", one a line.
#include <cstdio>

#include <QApplication>
#include <QScreen>
#include <QTemporaryFile>

#include "fake_dialogs.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/set_scale_form.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    // argv[2]: the offscreen platform's screens, as JSON.
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + argv[2]);
    QApplication app(argc, argv);
    DigitizeWindow window(std::make_unique<FakeCommonDialog>(), std::make_unique<FakeMessages>());
    window.show();
    if (!window.openPicture(QString::fromLocal8Bit(argv[1])))
        return 3;
    QApplication::processEvents();
    const QRect form = window.scaleForm().frameGeometry();
    // The sample prints its scale's numbers and ticks at x 190 to 740, y 270
    // to 320 of the picture.
    const QWidget& view = window.logView();
    const Viewport& v = window.logView().viewport();
    const QPoint topLeft = view.mapToGlobal(view.contentsRect().topLeft());
    const QRect scale(topLeft + QPoint(int(v.toViewX(190)), int(v.toViewY(270))),
                      topLeft + QPoint(int(v.toViewX(740)), int(v.toViewY(320))));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const QRect& r : {screen, form, scale})
        std::printf("%d %d %d %d\n", r.x(), r.y(), r.width(), r.height());
    return 0;
}
