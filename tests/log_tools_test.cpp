// The tools of the log view against a host the test holds: the work they
// change, the prompts they show and what they draw.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "interaction/log_tools.h"

namespace {

// Keeps what is drawn in invert mode as a set: a figure drawn twice is gone.
class RecordingSurface : public DrawingSurface {
public:
    using Figure = std::tuple<char, int, int, int, int>;
    std::map<Figure, int> inverted;
    int copied = 0;

    void clear() override { inverted.clear(); }
    void paintPicture(double, double, double, double, double, double, double, double) override {}
    void line(double x1, double y1, double x2, double y2, Rgb) override { record('l', x1, y1, x2, y2); }
    void box(double x1, double y1, double x2, double y2, Rgb) override { record('b', x1, y1, x2, y2); }
    void circle(double x, double y, double r, Rgb) override { record('c', x, y, r, 0); }
    void print(const std::string&) override {}
    double textWidth(const std::string& text) const override { return 8.0 * text.size(); }
    double scaleWidth() const override { return 400; }
    double scaleHeight() const override { return 600; }
    void refresh() override {}
    using DrawingSurface::line;

    int shownInverted() const
    {
        int n = 0;
        for (const auto& [figure, times] : inverted)
            n += times % 2;
        return n;
    }

private:
    void record(char kind, double a, double b, double c, double d)
    {
        if (pen().drawMode == DrawMode::Invert)
            ++inverted[Figure{kind, int(a * 8), int(b * 8), int(c * 8), int(d * 8)}];
        else
            ++copied;
    }
};

class FakeHost : public ToolHost {
public:
    Work work_;
    Calibration calibration_{Work{}};
    Viewport viewport_;
    RecordingSurface surface_;
    std::vector<std::string> actions, messages;
    std::string prompt;
    std::optional<double> askedDepthAt, proposedDepth;
    bool windowEnabled = true;
    Readout readout;
    int redraws = 0;
    std::optional<SnapTarget> snap;
    bool keep = true;  // the answer to questions

    const Work& work() const override { return work_; }
    const Calibration& calibration() const override { return calibration_; }
    int pictureWidth() const override { return 400; }
    int pictureHeight() const override { return 600; }
    const Viewport& viewport() const override { return viewport_; }
    DrawingSurface& surface() override { return surface_; }
    bool apply(const WorkEdit& edit) override
    {
        applyEdit(work_, edit);
        calibration_ = Calibration(work_);
        actions.push_back(editName(edit));
        redraw();  // as the window draws the changed work
        return true;
    }
    void redraw() override
    {
        ++redraws;
        surface_.clear();
    }
    void showMessage(const std::string& title, const std::string& text) override
    {
        messages.push_back(title + ": " + text);
    }
    bool confirm(const std::string& title, const std::string& text) override
    {
        messages.push_back(title + "? " + text);
        return keep;
    }
    void showPrompt(const std::string& text, std::optional<double>) override { prompt = text; }
    void hidePrompt() override { prompt.clear(); }
    void askDepth(double y, std::optional<double> proposal) override
    {
        askedDepthAt = y;
        proposedDepth = proposal;
    }
    void showDefineDipScale() override { messages.push_back("Define Dip Scale"); }
    void setWindowEnabled(bool enabled) override { windowEnabled = enabled; }
    void showReadout(const Readout& r) override { readout = r; }
    std::optional<Rgb> gradeColour(const std::string& grade) const override
    {
        return gradeIndex(grade) < 0 ? std::nullopt : std::optional<Rgb>(Rgb{255, 0, 0});
    }
    std::optional<SnapTarget> snapTarget(double, double, double) override { return snap; }

    void linearScale() { apply(SetDipScale{DipScale{DipScaleKind::Linear, 0, 90, {}}}); }
};

class LogToolsTest : public ::testing::Test {
protected:
    void addRow(double y, const char* depth)
    {
        tools_.press(kLeftButton, 200, y);
        ASSERT_TRUE(tools_.calibration().depthEntered(depth));
        tools_.press(kLeftButton, 100, y);
        tools_.press(kLeftButton, 280, y);
    }
    void calibrate()
    {
        host_.linearScale();
        addRow(100, "1000");
        addRow(300, "1100");
    }

    FakeHost host_;
    FoundReview review_;
    int reviewChanges_ = 0;
    LogTools tools_{host_, review_, [this] { ++reviewChanges_; }};
};

}  // namespace

TEST_F(LogToolsTest, ADepthRowIsFourStepsAndOneActionAndStepsBackWithin)
{
    tools_.press(kLeftButton, 200, 100);  // no scale yet: the dialog is asked for
    EXPECT_EQ(host_.messages, std::vector<std::string>{"Define Dip Scale"});
    host_.linearScale();
    host_.actions.clear();
    addRow(100, "1000");
    tools_.press(kLeftButton, 200, 700);  // below the picture: the line stays on its last row
    EXPECT_EQ(host_.askedDepthAt, 600);
    EXPECT_FALSE(host_.windowEnabled);
    EXPECT_FALSE(host_.proposedDepth);  // one row only: nothing to propose from
    EXPECT_FALSE(tools_.calibration().depthEntered("1e999"));
    EXPECT_TRUE(tools_.calibration().depthEntered(" 1100 ft"));
    EXPECT_TRUE(host_.windowEnabled);
    EXPECT_EQ(host_.prompt, "Please left click on Dip = 0");
    tools_.press(kLeftButton, 100, 600);
    EXPECT_EQ(host_.prompt, "Please left click on Dip = 90");
    EXPECT_TRUE(tools_.stepBack());
    EXPECT_EQ(host_.prompt, "Please left click on Dip = 0");
    tools_.press(kLeftButton, 110, 600);
    EXPECT_EQ(host_.work_.depthRows.size(), 1u);  // nothing in the work until the row is whole
    tools_.press(kLeftButton, 290, 600);
    EXPECT_EQ(host_.actions, (std::vector<std::string>{"Add Depth Row", "Add Depth Row"}));
    EXPECT_EQ(host_.work_.depthRows[1], (DepthRow{1100, 600, 110, 290}));
    EXPECT_EQ(host_.prompt, "");

    tools_.press(kLeftButton, 200, 400);
    EXPECT_EQ(host_.proposedDepth, 1060);
    tools_.calibration().depthCancelled();  // "Enter Depth" closed: the line goes
    EXPECT_FALSE(tools_.calibration().enteringRow());
    EXPECT_FALSE(tools_.stepBack());
    EXPECT_EQ(host_.work_.depthRows.size(), 2u);
}

TEST_F(LogToolsTest, ACustomScaleIsItsPositionsThenOneAction)
{
    DipScale custom{DipScaleKind::Custom, 0, 30, {}};
    tools_.calibration().startCustomScale(custom);
    EXPECT_EQ(host_.prompt, "Please left click on Dip = 0");
    for (int i = 0; i < 3; ++i)
        tools_.press(kLeftButton, 100 + 30 * i, 20);
    EXPECT_EQ(host_.prompt, "Please left click on Dip = 30");
    EXPECT_TRUE(tools_.stepBack());
    EXPECT_EQ(host_.prompt, "Please left click on Dip = 20");
    tools_.press(kLeftButton, 170, 20);
    EXPECT_FALSE(host_.work_.scale);
    tools_.press(kLeftButton, 200, 20);
    ASSERT_TRUE(host_.work_.scale);
    EXPECT_EQ(host_.work_.scale->customSteps, (std::vector<double>{100, 130, 170, 200}));
    EXPECT_EQ(host_.actions, std::vector<std::string>{"Define Dip Scale"});
}

TEST_F(LogToolsTest, CalibrationMarkersAndRubberFiguresLeaveNothingBehind)
{
    calibrate();
    for (int y : {50, 60, 70})
        tools_.move(0, 150, y);
    EXPECT_EQ(host_.surface_.shownInverted(), 1);  // the line across the view, where the cursor is
    tools_.leave();
    EXPECT_EQ(host_.surface_.shownInverted(), 0);

    tools_.setMode(WorkMode::Digitize);
    tools_.press(kLeftButton, 190, 200);
    for (int x : {200, 220, 240})
        tools_.move(0, x, 200);
    EXPECT_EQ(host_.surface_.shownInverted(), 2);  // the guide circle and one tail
    tools_.press(kLeftButton, 0, 0);
    EXPECT_EQ(host_.work_.dips.size(), 1u);
    EXPECT_NEAR(host_.work_.dips[0].azimuth, 90, 1e-9);
}

TEST_F(LogToolsTest, ADipIsTwoPressesOrOneWhenSnapReadsTheTail)
{
    calibrate();
    host_.actions.clear();
    tools_.setMode(WorkMode::Digitize);
    tools_.press(kLeftButton, 190, 400);  // below the calibration
    EXPECT_EQ(host_.messages.back(), "Not Calibrated: This area of the log is not calibrated.");
    tools_.press(kLeftButton, 190, 200);
    tools_.move(0, 190, 150);
    EXPECT_EQ(host_.readout.azimuth, "0.0");
    EXPECT_EQ(host_.readout.depth, "1050.0");  // the dip's own while its tail swings
    EXPECT_TRUE(tools_.stepBack());  // Escape: the dip awaiting its tail goes
    EXPECT_TRUE(host_.work_.dips.empty());
    tools_.digitize().setGrade("C");
    tools_.press(kLeftButton, 190, 200);
    tools_.move(0, 190, 250);
    tools_.press(kLeftButton, 190, 200);
    ASSERT_EQ(host_.work_.dips.size(), 1u);
    EXPECT_EQ(host_.work_.dips[0], (Dip{190, 200, 180, "C"}));

    host_.snap = ToolHost::SnapTarget{150.5, 250.5, 33.0};
    tools_.press(kLeftButton, 149, 252);
    ASSERT_EQ(host_.work_.dips.size(), 2u);
    EXPECT_EQ(host_.work_.dips[1], (Dip{150.5, 250.5, 33, "C"}));
    EXPECT_EQ(host_.actions, (std::vector<std::string>{"Add Dip", "Add Dip"}));
    host_.viewport_ = Viewport{100, 150, 2};  // the same press at 2:1, scrolled
    host_.snap.reset();
    tools_.press(kLeftButton, 180, 100);
    tools_.press(kLeftButton, 180, 100);
    EXPECT_EQ(host_.work_.dips[2].x, 190);
    EXPECT_EQ(host_.work_.dips[2].y, 200);
}

TEST_F(LogToolsTest, EraseAndDeleteAreArmedForOneUseEach)
{
    calibrate();
    host_.apply(AddDips{{Dip{150, 150, 0, "A"}, Dip{150, 200, 0, "A"}, Dip{200, 250, 0, "B"}}});
    tools_.setMode(WorkMode::Digitize);
    tools_.armDelete();
    tools_.press(kLeftButton, 159, 150);  // 9 pixels away: nothing, and the tool is spent
    EXPECT_EQ(host_.work_.dips.size(), 3u);
    tools_.press(kLeftButton, 155, 199);  // a dip begins there
    EXPECT_TRUE(tools_.digitize().awaitingTail());
    EXPECT_TRUE(tools_.stepBack());
    tools_.armDelete();
    tools_.press(kLeftButton, 155, 199);
    EXPECT_EQ(host_.work_.dips.size(), 2u);

    tools_.armErase();
    tools_.press(kLeftButton, 10, 140);
    tools_.move(kLeftButton, 10, 180);
    tools_.move(kLeftButton, 10, 210);
    EXPECT_EQ(host_.surface_.shownInverted(), 1);  // one band shown
    tools_.release(kLeftButton, 10, 210);
    ASSERT_EQ(host_.work_.dips.size(), 1u);
    EXPECT_EQ(host_.work_.dips[0].y, 250);
    EXPECT_EQ(host_.actions.back(), "Area Erase");
    EXPECT_EQ(host_.surface_.shownInverted(), 0);
    tools_.armErase();
    EXPECT_TRUE(tools_.disarm());
    EXPECT_FALSE(tools_.disarm());
}

TEST_F(LogToolsTest, APressOnAProposalKeepsOrDropsIt)
{
    calibrate();
    tools_.setMode(WorkMode::Digitize);
    review_.show({Proposal{200, 220, 5, true, 30, 0.9, true}});
    tools_.press(kLeftButton, 208, 220);  // within 4 pixels of the dot's edge
    EXPECT_FALSE(review_.proposals()[0].kept);
    EXPECT_EQ(reviewChanges_, 1);
    EXPECT_TRUE(host_.work_.dips.empty());
    tools_.press(kLeftButton, 260, 220);  // off the proposals: a dip as ever
    tools_.press(kLeftButton, 260, 220);
    EXPECT_EQ(host_.work_.dips.size(), 1u);
}
