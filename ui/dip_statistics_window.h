#pragma once

#include <array>
#include <vector>

#include <QWidget>

#include "drawing/log_drawing.h"
#include "model/dip_statistics.h"

class QCheckBox;
class QPainter;
class QLabel;
class QLineEdit;
class QPushButton;
class WorkSession;

// "Dip Statistics": beside the log, without blocking it, the rose of dip
// azimuths and the net of poles of the dips chosen by grade and depth (and,
// when rows are selected in the dip table, among them), with their count and
// mean. It reads the work and is told when it changed.
class DipStatisticsWindow : public QWidget {
    Q_OBJECT
public:
    DipStatisticsWindow(const WorkSession& session, const GradeColours& colours, QWidget* parent = nullptr);

    // The work changed (or the grades' colours): everything is worked out again.
    void refresh();
    // Only these dips (the rows selected in the dip table, by their places
    // in the list), or every dip when empty: the title says which.
    void setZone(std::vector<std::size_t> dips);

    const DipStatistics& statistics() const { return statistics_; }
    // Count, what was left out, the mean, and a word on limits that are not numbers.
    QString summary() const;

    // The diagrams as a PNG picture or, for a name ending in ".svg", an SVG
    // document, written through a temporary file. False when it cannot be.
    bool saveImage(const QString& path) const;

signals:
    void saveImageRequested();

private:
    // The saved image: the diagrams, then a line of what they rest on and
    // a legend of the grades' colours.
    void paintSaved(QPainter& p, const QRectF& area) const;
    class Diagrams;

    // Which dips the zone holds, in words; empty for the whole log.
    QString zoneWords() const;
    // The boxes as they stand; limitsValid_ says whether both limits read.
    DipSelection selection();

    const WorkSession& session_;
    const GradeColours& colours_;
    DipStatistics statistics_;
    std::vector<std::size_t> zone_;
    bool limitsValid_ = true;
    std::array<QCheckBox*, 4> grades_{};
    QLineEdit* from_;
    QLineEdit* to_;
    QLabel* summary_;
    Diagrams* diagrams_;
    QPushButton* save_;
};
