#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include <QDockWidget>

class DipTableModel;
class DipTableSorting;
class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
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

signals:
    void selectionChanged();
    // A row made current: its dip is to be brought into sight.
    void currentChanged(std::size_t dip);
    void deleteRequested(const std::vector<std::size_t>& dips);

private:
    // The filters over the table: depths, grades, a confidence, not reviewed.
    QLayout* makeFilters(QWidget* body);
    void filterChanged();

    DipTableModel& model_;
    DipTableSorting* sorted_;
    QTableView* view_;
    QLabel* refusal_;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    std::array<QCheckBox*, 4> grades_{};
    QSpinBox* under_ = nullptr;
    QCheckBox* unreviewed_ = nullptr;
};
