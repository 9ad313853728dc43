#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QObject>

class LeastSurePanel;
class LogArea;
class UserMessages;
class WorkSession;

// Edit → Review Least Sure: the found dips not yet reviewed, framed one at
// a time from the least sure upward. Keeping one makes it 100 % sure and
// deleting removes it, each one undo step; the next one is framed then.
class LeastSureReview : public QObject {
    Q_OBJECT
public:
    LeastSureReview(WorkSession& session, LeastSurePanel& panel, LogArea& area, UserMessages& messages,
                    QObject* parent);

    void start();
    void keep();
    void remove();
    void step(bool forward);
    // The panel and the frame after the work changed.
    void follow();
    // The place in the dip list of the dip framed; none when not reviewing.
    std::optional<std::size_t> current() const;

private:
    void frame();
    void apply(bool keeping);

    WorkSession& session_;
    LeastSurePanel& panel_;
    LogArea& area_;
    UserMessages& messages_;
    bool reviewing_ = false;
    // The least-sure order, made again after each change of the work, so
    // that a redraw never sorts the dips.
    std::vector<std::size_t> order_;
    std::size_t position_ = 0;  // in order_
};
