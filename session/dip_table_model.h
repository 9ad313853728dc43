#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include "model/calibration.h"
#include "model/work.h"

class WorkSession;

// Which rows the dip table keeps: a depth range (either end open; a dip
// without a depth is kept only when both are), the grades ticked, found dips
// under a confidence, dips not yet reviewed (found and not kept).
struct DipFilter {
    std::optional<double> from;
    std::optional<double> to;
    std::array<bool, 4> grades{true, true, true, true};
    std::optional<int> under;  // in %
    bool unreviewed = false;
    bool operator==(const DipFilter&) const = default;
};

// The work's dips as a table, a row for each in the work's order: Depth,
// Dip, Azimuth, Grade, Confidence (empty for a dip placed by hand) and
// Source ("found", "kept", "by hand"). It follows every change of the work
// and tells only the rows that changed, so that a table of 32,767 dips
// stays quick. Depth, Dip, Azimuth and Grade are edited by typing, each
// typed value one whole edit of the work (one undo step), or refused with
// the reason.
class DipTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Depth, DipAngle, Azimuth, Grade, Confidence, Source, Columns };
    explicit DipTableModel(WorkSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Whether the filter keeps the row.
    bool passes(int row, const DipFilter& filter) const;

    // Whether row a sorts before row b by the column: by number where the
    // column holds numbers ("NO CAL" and an empty confidence first).
    bool sortsBefore(int a, int b, int column) const;

    // What a typed value changes the dip to, or nothing with the reason.
    std::optional<Dip> typed(const Dip& dip, int column, const QString& text, QString& why) const;

    // The rows given (places in the work's list), tab-separated with the
    // columns' names first, each number as the files write it: what a
    // spreadsheet takes as it is.
    QString tabSeparated(const std::vector<std::size_t>& rows) const;

signals:
    // A typed value refused, with the reason: the cell stays as it was.
    void refused(const QModelIndex& index, const QString& why);

private:
    // The work as it stands now, against what the table showed.
    void follow();
    QString text(const Dip& dip, int column) const;
    // The readings of count rows from first, kept for sorting.
    void read(std::size_t first, std::size_t count);

    WorkSession& session_;
    DipList shown_;
    Calibration calibration_;
    std::vector<DepthRow> rows_;
    std::optional<DipScale> scale_;
    std::vector<double> depths_;  // each row's depth, -inf for "NO CAL"
    std::vector<double> dips_;    // and dip
};

// The dip table sorted through the model's own numbers, not its cells'
// texts, so that 32,767 rows sort at once, and filtered.
class DipTableSorting : public QSortFilterProxyModel {
public:
    explicit DipTableSorting(DipTableModel& model, QObject* parent = nullptr);

    const DipFilter& filter() const { return filter_; }
    void setFilter(const DipFilter& filter);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    const DipTableModel& model_;
    DipFilter filter_;
};
