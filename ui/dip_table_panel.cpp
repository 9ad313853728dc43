#include "ui/dip_table_panel.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "session/dip_table_model.h"

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
            });
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
    for (int g = 0; g < 4; ++g) {
        auto* box = new QCheckBox(QString(QChar('A' + g)), body);
        box->setObjectName(QStringLiteral("diptablegrade%1").arg(QChar('A' + g)));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &DipTablePanel::filterChanged);
        kinds->addWidget(box);
        grades_[std::size_t(g)] = box;
    }
    under_ = new QSpinBox(body);
    under_->setObjectName(QStringLiteral("diptableunder"));
    under_->setRange(0, 100);
    under_->setSuffix(QStringLiteral(" %"));
    under_->setSpecialValueText(QStringLiteral("any"));
    connect(under_, &QSpinBox::valueChanged, this, &DipTablePanel::filterChanged);
    kinds->addWidget(new QLabel(QStringLiteral("Found under"), body));
    kinds->addWidget(under_);
    unreviewed_ = new QCheckBox(QStringLiteral("Not yet reviewed"), body);
    unreviewed_->setObjectName(QStringLiteral("diptableunreviewed"));
    connect(unreviewed_, &QCheckBox::toggled, this, &DipTablePanel::filterChanged);
    kinds->addWidget(unreviewed_);
    kinds->addStretch(1);
    rows->addLayout(depths);
    rows->addLayout(kinds);
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
    emit selectionChanged();  // rows filtered out leave the selection
}
