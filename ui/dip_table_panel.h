#pragma once

#include <cstddef>
#include <vector>

#include <QDockWidget>

class DipTableModel;
class QLabel;
class QSortFilterProxyModel;
class QTableView;

// "Dip Table": every dip in a table beside the log, any column sorted (by
// depth at first), its Depth, Dip, Azimuth and Grade edited by typing (a
// value refused is told under the table). Its selection is the dips the
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
    DipTableModel& model_;
    QSortFilterProxyModel* sorted_;
    QTableView* view_;
    QLabel* refusal_;
};
