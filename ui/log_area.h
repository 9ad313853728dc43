#pragma once

#include <functional>

#include <QObject>
#include <QSize>

class LogView;
class QLabel;
class QScrollBar;
class QWidget;

// The log view with its scroll bars and zoom: which part of the picture the
// view shows. The scroll bars move in design units (view_rules.h); a
// change of either reaches the view's viewport and is told, so that the
// window redraws.
class LogArea : public QObject {
    Q_OBJECT
public:
    // The view (Picture1), the bars (HScroll1, VScroll1) and the box in their
    // corner (Picture4) are made on parent.
    explicit LogArea(QWidget* parent);

    LogView* view() const { return view_; }
    QScrollBar* horizontalBar() const { return hBar_; }
    QScrollBar* verticalBar() const { return vBar_; }
    QWidget* corner() const { return corner_; }

    // The picture shown, for the bars' ranges; 1 by 1 before there is one.
    void setPictureSize(QSize size);
    double zoom() const;
    // "+" (in) or "-" one step along 8:1 to 1:8; false at either end.
    bool zoomStep(bool in);
    // One step about a point of the view (in view pixels from its top-left
    // corner): the picture's pixel under it stays under it. The bars' ranges
    // are laid out anew; false at either end.
    bool zoomStepAbout(bool in, double viewX, double viewY);
    // A zoom about the view's middle, as zoomStepAbout.
    void setZoomAboutMiddle(double zoom);
    // A zoom kept with a project; one off the ladder is taken as it stands.
    void setZoom(double zoom);
    // The bars' ranges after the view or the picture changed size.
    void layoutRanges();
    // The picture pixel (x, y) in the middle of the view, as near as the
    // scroll steps allow.
    void centreOn(double x, double y);
    // The picture pixel (x, y) in sight with margin pixels round it, the
    // view moved only as far as that needs (not at all when it is in sight).
    void bringIntoSight(double x, double y, double margin);
    // The row y in the middle of the view, the view left as it is across.
    void centreRow(double y);
    // The picture's top rows (or its last) in the view, the view left as
    // it is across.
    void toEnd(bool last);
    // Whole wheel notches, positive away from the user.
    void wheel(double notches, bool horizontal);
    // At the top-left corner again, the bars untold.
    void reset();

signals:
    // The part shown or its zoom changed.
    void viewChanged();

private:
    void followBars();
    // The picture pixel (left, top) at the view's top-left corner, as near
    // as the bars' steps allow.
    void placeAt(double left, double top);
    // The zoom changed by change (false: it did not), the picture point at
    // (viewX, viewY) kept there.
    bool zoomKeeping(double viewX, double viewY, const std::function<bool()>& change);

    LogView* view_;
    QScrollBar* hBar_;
    QScrollBar* vBar_;
    QWidget* corner_;
    QSize picture_{1, 1};
    double hUnit_ = 1;
    double vUnit_ = 1;
};
