#include "ui/dip_table_panel.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "model/work_edits.h"
#include "session/dip_table_model.h"
#include "ui/grade_boxes.h"

namespace {

// The table takes Delete and Copy itself while it has the focus, before the
// window's shortcuts for them.
class DipTableView : public QTableView {
public:
    DipTableView(std::function<void()> remove, std::function<void()> copy, QWidget* parent)
        : QTableView(parent), remove_(std::move(remove)), copy_(std::move(copy))
    {
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ShortcutOverride && taken(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
        return QTableView::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier)
            remove_();
        else if (e->matches(QKeySequence::Copy))
            copy_();
        else
            QTableView::keyPressEvent(e);
    }

private:
    static bool taken(const QKeyEvent* e)
    {
        return (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) || e->matches(QKeySequence::Copy);
    }

    std::function<void()> remove_;
    std::function<void()> copy_;
};

// The rows Review Least Sure goes through.
DipFilter reviewFilter()
{
    DipFilter f;
    f.under = kReviewBelow;
    f.unreviewed = true;
    return f;
}

}  // namespace

DipTablePanel::DipTablePanel(DipTableModel& model, QWidget* parent)
    : QDockWidget(QStringLiteral("Dip Table"), parent), model_(model)
{
    setObjectName(QStringLiteral("diptable"));
    sorted_ = new DipTableSorting(model, this);
    view_ = new DipTableView([this] { emit deleteRequested(selectedDips()); }, [this] { copy(); }, this);
    view_->setObjectName(QStringLiteral("diptableview"));
    view_->setModel(sorted_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::AnyKeyPressed);
    view_->setSortingEnabled(true);
    view_->sortByColumn(DipTableModel::Depth, Qt::AscendingOrder);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    // Narrow columns, each as wide as its name with the sort mark or its
    // longest value: the table stands beside the log, not over it.
    const QFontMetrics text = view_->fontMetrics();
    const QFontMetrics names = view_->horizontalHeader()->fontMetrics();
    const char* const longest[] = {"NO CAL", "NO CAL", "360.0", "D", "100", "by hand"};
    for (int column = 0; column < DipTableModel::Columns; ++column) {
        const QString name = model.headerData(column, Qt::Horizontal).toString();
        view_->setColumnWidth(column, std::max(names.horizontalAdvance(name) + names.height(),
                                               text.horizontalAdvance(QLatin1String(longest[column])))
                                          + 8);
    }
    view_->horizontalHeader()->setStretchLastSection(true);
    // A value refused is told under the table, and its cell opened again.
    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("diptablerefusal"));
    refusal_->setWordWrap(true);
    refusal_->hide();
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(makeFilters(body));
    layout->addWidget(makeReviewBar(body));
    layout->addWidget(view_);
    layout->addWidget(refusal_);
    setWidget(body);
    connect(&model, &DipTableModel::refused, this, [this](const QModelIndex& cell, const QString& why) {
        refusal_->setText(why);
        refusal_->show();
        const QPersistentModelIndex again = sorted_->mapFromSource(cell);
        QTimer::singleShot(0, this, [this, again] {
            if (again.isValid())
                view_->edit(again);
        });
    });
    connect(&model, &QAbstractItemModel::dataChanged, refusal_, &QWidget::hide);
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DipTablePanel::selectionChanged);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit currentChanged(std::size_t(sorted_->mapToSource(current).row()));
                showReview();
            });
    for (const auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(sorted_, change, this, &DipTablePanel::showReview);
    connect(sorted_, &QAbstractItemModel::dataChanged, this, &DipTablePanel::showReview);
}

std::vector<std::size_t> DipTablePanel::selectedDips() const
{
    QModelIndexList rows = view_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::size_t> dips;
    dips.reserve(std::size_t(rows.size()));
    for (const QModelIndex& r : rows)
        dips.push_back(std::size_t(sorted_->mapToSource(r).row()));
    return dips;
}

void DipTablePanel::select(std::size_t dip)
{
    const QModelIndex row = sorted_->mapFromSource(model_.index(int(dip), 0));
    if (!row.isValid())
        return;
    choose(row);
}

void DipTablePanel::choose(const QModelIndex& row)
{
    view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(row);
}

void DipTablePanel::copy() const
{
    QGuiApplication::clipboard()->setText(model_.tabSeparated(selectedDips()));
}

QLayout* DipTablePanel::makeFilters(QWidget* body)
{
    auto* rows = new QVBoxLayout;
    auto* depths = new QHBoxLayout;
    from_ = new QLineEdit(body);
    to_ = new QLineEdit(body);
    from_->setObjectName(QStringLiteral("diptablefrom"));
    to_->setObjectName(QStringLiteral("diptableto"));
    depths->addWidget(new QLabel(QStringLiteral("Depths"), body));
    for (QLineEdit* box : {from_, to_}) {
        box->setPlaceholderText(box == from_ ? QStringLiteral("top") : QStringLiteral("bottom"));
        box->setMaximumWidth(80);
        connect(box, &QLineEdit::textChanged, this, &DipTablePanel::filterChanged);
        depths->addWidget(box);
        if (box == from_)
            depths->addWidget(new QLabel(QStringLiteral("to"), body));
    }
    depths->addStretch(1);
    auto* kinds = new QHBoxLayout;
    grades_ = addGradeBoxes(*kinds, body, QStringLiteral("diptablegrade"));
    for (QCheckBox* box : grades_)
        connect(box, &QCheckBox::toggled, this, &DipTablePanel::filterChanged);
    under_ = new QSpinBox(body);
    under_->setObjectName(QStringLiteral("diptableunder"));
    under_->setRange(0, 100);
    under_->setSuffix(QStringLiteral(" %"));
    under_->setSpecialValueText(QStringLiteral("any"));
    connect(under_, &QSpinBox::valueChanged, this, &DipTablePanel::filterChanged);
    kinds->addStretch(1);
    // Three short rows rather than two long ones: the panel shares a narrow
    // side of the window with the log.
    auto* found = new QHBoxLayout;
    found->addWidget(new QLabel(QStringLiteral("Found under"), body));
    found->addWidget(under_);
    unreviewed_ = new QCheckBox(QStringLiteral("Not yet reviewed"), body);
    unreviewed_->setObjectName(QStringLiteral("diptableunreviewed"));
    connect(unreviewed_, &QCheckBox::toggled, this, &DipTablePanel::filterChanged);
    found->addWidget(unreviewed_);
    found->addStretch(1);
    rows->addLayout(depths);
    rows->addLayout(kinds);
    rows->addLayout(found);
    return rows;
}

void DipTablePanel::filterChanged()
{
    const auto depth = [](const QLineEdit* box) -> std::optional<double> {
        bool number = false;
        const double value = box->text().trimmed().toDouble(&number);
        return number && std::isfinite(value) ? std::optional(value) : std::nullopt;
    };
    DipFilter f;
    f.from = depth(from_);
    f.to = depth(to_);
    for (std::size_t g = 0; g < 4; ++g)
        f.grades[g] = grades_[g]->isChecked();
    if (under_->value() > 0)
        f.under = under_->value();
    f.unreviewed = unreviewed_->isChecked();
    sorted_->setFilter(f);
    if (f != reviewFilter())
        reviewBar_->hide();
    emit selectionChanged();  // rows filtered out leave the selection
}

QWidget* DipTablePanel::makeReviewBar(QWidget* body)
{
    reviewBar_ = new QWidget(body);
    reviewBar_->setObjectName(QStringLiteral("diptablereview"));
    auto* column = new QVBoxLayout(reviewBar_);
    column->setContentsMargins(0, 0, 0, 0);
    reviewCount_ = new QLabel(reviewBar_);
    reviewCount_->setObjectName(QStringLiteral("leastsurecount"));
    reviewCount_->setWordWrap(true);
    reviewCurrent_ = new QLabel(reviewBar_);
    reviewCurrent_->setObjectName(QStringLiteral("leastsurecurrent"));
    reviewCurrent_->setWordWrap(true);
    column->addWidget(reviewCount_);
    column->addWidget(reviewCurrent_);
    auto* buttons = new QGridLayout;
    const struct {
        const char* name;
        const char* caption;
        const char* tip;
    } kinds[] = {{"keepdip", "Keep", "The dip is right: it is marked reviewed"},
                 {"removedip", "Delete", "The dip is wrong: it goes"},
                 {"previousdip", "Previous", "The next less sure dip"},
                 {"nextdip", "Next", "The next surer dip"}};
    for (std::size_t i = 0; i < reviewButtons_.size(); ++i) {
        auto* b = new QPushButton(QString::fromLatin1(kinds[i].caption), reviewBar_);
        b->setObjectName(QString::fromLatin1(kinds[i].name));
        b->setToolTip(QString::fromLatin1(kinds[i].tip));
        buttons->addWidget(b, int(i / 2), int(i % 2));
        reviewButtons_[i] = b;
    }
    column->addLayout(buttons);
    connect(reviewButtons_[0], &QPushButton::clicked, this, [this] { review(true); });
    connect(reviewButtons_[1], &QPushButton::clicked, this, [this] { review(false); });
    connect(reviewButtons_[2], &QPushButton::clicked, this, [this] { step(false); });
    connect(reviewButtons_[3], &QPushButton::clicked, this, [this] { step(true); });
    reviewBar_->hide();
    return reviewBar_;
}

void DipTablePanel::startReview()
{
    show();
    raise();
    {
        // The boxes told at once, as one filter.
        const QSignalBlocker a(from_), b(to_), c(under_), d(unreviewed_);
        from_->clear();
        to_->clear();
        under_->setValue(kReviewBelow);
        unreviewed_->setChecked(true);
        for (QCheckBox* g : grades_) {
            const QSignalBlocker quiet(g);
            g->setChecked(true);
        }
    }
    sorted_->setFilter(reviewFilter());
    view_->sortByColumn(DipTableModel::Confidence, Qt::AscendingOrder);
    reviewBar_->show();
    if (sorted_->rowCount() > 0)
        choose(sorted_->index(0, 0));
    showReview();
    emit selectionChanged();
}

std::optional<std::size_t> DipTablePanel::currentDip() const
{
    const QModelIndex current = view_->selectionModel()->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return std::size_t(sorted_->mapToSource(current).row());
}

void DipTablePanel::review(bool keep)
{
    const QModelIndex current = view_->selectionModel()->currentIndex();
    const std::optional<std::size_t> dip = currentDip();
    if (!dip)
        return;
    const int row = current.row();
    if (keep)
        emit keepRequested(*dip);
    else
        emit removeRequested(*dip);
    // The dip has left the review: the one after it takes its row.
    if (sorted_->rowCount() > 0)
        choose(sorted_->index(std::min(row, sorted_->rowCount() - 1), 0));
    showReview();
    emit selectionChanged();
}

void DipTablePanel::step(bool forward)
{
    const int rows = sorted_->rowCount();
    if (rows == 0)
        return;
    const QModelIndex current = view_->selectionModel()->currentIndex();
    const int row = std::clamp(current.isValid() ? current.row() + (forward ? 1 : -1) : 0, 0, rows - 1);
    choose(sorted_->index(row, 0));
}

void DipTablePanel::showReview()
{
    if (reviewBar_->isHidden())
        return;
    const int left = sorted_->rowCount();
    reviewCount_->setText(left == 0 ? QStringLiteral("No found dip under %1 % sure is left to review.").arg(kReviewBelow)
                                    : QStringLiteral("%1 found dip%2 under %3 % sure not yet reviewed, the least sure "
                                                     "first.")
                                          .arg(left)
                                          .arg(left == 1 ? QString() : QStringLiteral("s"))
                                          .arg(kReviewBelow));
    const QModelIndex current = view_->selectionModel()->currentIndex();
    const auto cell = [&](int column) { return sorted_->index(current.row(), column).data().toString(); };
    reviewCurrent_->setText(current.isValid() ? QStringLiteral("Depth %1, dip %2°, azimuth %3°, grade %4, %5 % sure.")
                                                    .arg(cell(DipTableModel::Depth), cell(DipTableModel::DipAngle),
                                                         cell(DipTableModel::Azimuth), cell(DipTableModel::Grade),
                                                         cell(DipTableModel::Confidence))
                                              : QString());
    for (QPushButton* b : reviewButtons_)
        b->setEnabled(left > 0);
}
