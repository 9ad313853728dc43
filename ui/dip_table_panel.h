#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include <QDockWidget>

class DipTableModel;
class DipTableSorting;
class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

// "Dip Table": every dip in a table beside the log, any column sorted (by
// depth at first) and filtered (depths, grades, found dips under a
// confidence, dips not yet reviewed), its Depth, Dip, Azimuth and Grade
// edited by typing (a value refused is told under the table). Its selection is the dips the
// window rings; Delete asks for the selected dips to go, Ctrl+C copies them.
class DipTablePanel : public QDockWidget {
    Q_OBJECT
public:
    DipTablePanel(DipTableModel& model, QWidget* parent);

    // The dips selected, by their places in the work's list, in the table's
    // order.
    std::vector<std::size_t> selectedDips() const;
    // The dip's row selected alone, made current and shown.
    void select(std::size_t dip);
    // The selected rows, tab-separated with the columns' names, on the
    // clipboard.
    void copy() const;

    // Review Least Sure: the found dips under 90 % sure not yet reviewed,
    // the least sure first, the first of them chosen, with the bar of Keep,
    // Delete, Previous and Next. Any other filter ends the review.
    void startReview();

signals:
    void selectionChanged();
    // A row made current: its dip is to be brought into sight.
    void currentChanged(std::size_t dip);
    void deleteRequested(const std::vector<std::size_t>& dips);
    // The reviewed dip kept, or deleted; the next takes its row.
    void keepRequested(std::size_t dip);
    void removeRequested(std::size_t dip);

private:
    // The filters over the table: depths, grades, a confidence, not reviewed.
    QLayout* makeFilters(QWidget* body);
    QWidget* makeReviewBar(QWidget* body);
    void filterChanged();
    // The row selected alone, made current and scrolled to.
    void choose(const QModelIndex& row);
    // The current row's dip, if any.
    std::optional<std::size_t> currentDip() const;
    // Keep or Delete on the current dip, then the row that took its place.
    void review(bool keep);
    void step(bool forward);
    void showReview();

    DipTableModel& model_;
    DipTableSorting* sorted_;
    QTableView* view_;
    QLabel* refusal_;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    std::array<QCheckBox*, 4> grades_{};
    QSpinBox* under_ = nullptr;
    QCheckBox* unreviewed_ = nullptr;
    QWidget* reviewBar_ = nullptr;
    QLabel* reviewCount_ = nullptr;
    QLabel* reviewCurrent_ = nullptr;
    std::array<QPushButton*, 4> reviewButtons_{};  // Keep, Delete, Previous, Next
};
