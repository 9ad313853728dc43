#pragma once

#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "bmp_encoder.h"
#include "fake_dialogs.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"

// Handles events until cond holds; a failure of the test after five seconds.
// Qt's own QTRY_ macros, outside a QTest run, only return from the function
// and let the test pass.
#define ASSERT_SOON(cond) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(cond); })) << #cond

// Readable failures of comparisons of texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// A main window with faked dialogs and message boxes, shown offscreen, and a
// folder for the bitmaps a test writes. SetUp again starts a fresh run.
// A menu's items as it shows them, "-" for a separator.
inline QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { start({}); }

    // A new window, given a file to open as at the program's start.
    void start(const QString& file)
    {
        window_.reset();  // the run before ends first, as a program would
        qputenv("XDG_DATA_HOME", dataHome_.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsHome_.path());
        auto dialog = std::make_unique<FakeCommonDialog>();
        dialog_ = dialog.get();
        std::unique_ptr<UserMessages> messages;
        if (realMessages_) {
            messages = std::make_unique<UserMessages>();
            messages_ = nullptr;
        } else {
            auto fake = std::make_unique<FakeMessages>();
            messages_ = fake.get();
            messages_->yes = recoverLeftWork_;
            messages = std::move(fake);
        }
        window_ = std::make_unique<DigitizeWindow>(std::move(dialog), std::move(messages));
        window_->show();
        if (!file.isEmpty())
            window_->openFile(file);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        QCoreApplication::processEvents();  // the window looks for work left by an earlier run
    }

    template <typename T>
    T* child(const QString& name)
    {
        T* found = window_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QAction* action(const QString& name) { return child<QAction>(name); }
    const Work& work() { return window_->session().work(); }
    WorkSession& session() { return window_->session(); }
    QString pictureName() { return QFileInfo(session().picturePath()).fileName(); }
    int dipCount() { return int(work().dips.size()); }
    int rowCount() { return int(work().depthRows.size()); }
    bool unsaved() { return !session().saved(); }

    QString writeBitmap(const QString& name, const RgbPicture& picture, int bitsPerPixel, bool topDown = false)
    {
        const QString path = folder_.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << encodeBmp(picture, bitsPerPixel, topDown);
        return path;
    }

    // Back to the main window from a form or a panel, as a window manager
    // does, so that its keys reach it.
    void backToTheWindow()
    {
        window_->activateWindow();
        ASSERT_SOON(window_->isActiveWindow());
    }

    // "Open Picture" with the dialog answering path; the layout and redraw
    // run inside it, so the window shows the picture when it returns.
    void openThroughMenu(const QString& path)
    {
        dialog_->files.push_back(path);
        action("mnuopen")->trigger();
    }

    // A click on the indicator of a radio button or check box, which hits
    // whatever width the layout gave the button.
    static void clickIndicator(QWidget* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }

    QTemporaryDir folder_;
    // Every run of one test shares them, as runs of the program share theirs.
    QTemporaryDir dataHome_;
    QTemporaryDir settingsHome_;
    bool recoverLeftWork_ = false;  // the answer when the window offers work left by an earlier run
    bool realMessages_ = false;     // the program's own message boxes instead of faked answers
    FakeCommonDialog* dialog_ = nullptr;
    FakeMessages* messages_ = nullptr;
    std::unique_ptr<DigitizeWindow> window_;
};

// The mouse on the log view, at pixel positions of its drawing area.
class MouseWindowTest : public WindowTest {
protected:
    QWidget* view() { return child<QWidget>("Picture1"); }
    QPoint at(int x, int y) { return view()->contentsRect().topLeft() + QPoint(x, y); }
    void click(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(view(), button, Qt::NoModifier, at(x, y));
    }
    void move(int x, int y, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent e(QEvent::MouseMove, at(x, y), view()->mapToGlobal(at(x, y)), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(view(), &e);
    }
    QString label(const char* name) { return child<QLabel>(name)->text(); }

    // A white 400 x 600 picture (or the one given) with a linear 0-90 scale
    // defined.
    void openAndDefineLinearScale(const QString& name = QStringLiteral("log.bmp"),
                                  const RgbPicture& picture = RgbPicture(400, 600, 0xffffff), int bitsPerPixel = 24)
    {
        openThroughMenu(writeBitmap(name, picture, bitsPerPixel));
        clickIndicator(window_->scaleForm().option(1));
        QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    }

    // The depth typed over what the box holds (a space or the proposal), and
    // Enter.
    void enterDepth(const char* depth)
    {
        SetDepthForm& form = window_->depthForm();
        QTest::keyClick(form.depthBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(form.depthBox(), depth);
        QTest::keyClick(form.depthBox(), Qt::Key_Return);
    }

    void addRow(int y, const char* depth)
    {
        click(200, y);
        enterDepth(depth);
        click(100, y);
        click(280, y);
    }

    // Depths 1000 at y 100 and 1100 at y 300 on a linear 0-90 scale from x
    // 100 to 280, then digitize mode with grade A.
    void calibrateTwoRowsAndDigitize(const RgbPicture& picture = RgbPicture(400, 600, 0xffffff),
                                     int bitsPerPixel = 24)
    {
        openAndDefineLinearScale(QStringLiteral("log.bmp"), picture, bitsPerPixel);
        addRow(100, "1000");
        addRow(300, "1100");
        digitizeMode();
    }

    // A dip by its two presses, the tail pointing from (x, y) to (tx, ty).
    void tadpole(int x, int y, int tx, int ty)
    {
        click(x, y);
        move(tx, ty);
        click(x, y);
    }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window_.get(), Qt::Key(k), modifiers);
    }
    void option(const char* name, int index) { clickIndicator(child<QRadioButton>(QStringLiteral("%1(%2)").arg(name).arg(index))); }
    void digitizeMode() { option("OptDigCal", 0); }
    void leaveView()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view(), &leave);
    }
    QImage shown() { return window_->logView().surface().image().copy(); }
};
