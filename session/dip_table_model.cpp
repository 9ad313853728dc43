#include "session/dip_table_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/number_format.h"
#include "session/work_session.h"

namespace {

const char* const kColumnNames[] = {"Depth", "Dip", "Azimuth", "Grade", "Confidence", "Source"};

QString sourceOf(const Dip& dip)
{
    if (!dip.confidence)
        return QStringLiteral("by hand");
    return *dip.confidence == 100 ? QStringLiteral("kept") : QStringLiteral("found");
}

// A reading to sort by: "NO CAL" before every number.
double sortable(const Reading& r) { return r ? *r : -std::numeric_limits<double>::infinity(); }

}  // namespace

DipTableModel::DipTableModel(WorkSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session), shown_(session.work().dips), calibration_(session.work()),
      rows_(session.work().depthRows), scale_(session.work().scale)
{
    depths_.resize(shown_.size());
    dips_.resize(shown_.size());
    read(0, shown_.size());
    connect(&session, &WorkSession::workChanged, this, &DipTableModel::follow);
}

void DipTableModel::read(std::size_t first, std::size_t count)
{
    for (std::size_t i = first; i < first + count; ++i) {
        const Dip& d = shown_[i];
        depths_[i] = sortable(calibration_.depthAt(d.y));
        dips_[i] = sortable(calibration_.dipAt(d.x, d.y));
    }
}

bool DipTableModel::sortsBefore(int a, int b, int column) const
{
    const Dip &da = shown_[std::size_t(a)], &db = shown_[std::size_t(b)];
    // Ties go by depth, the shallower first: the least sure dips are
    // reviewed from the top, as Review Least Sure has it.
    const double depthA = depths_[std::size_t(a)], depthB = depths_[std::size_t(b)];
    const auto byThenDepth = [&](const auto& x, const auto& y) { return x != y ? x < y : depthA < depthB; };
    switch (column) {
    case Depth: return depthA < depthB;
    case DipAngle: return byThenDepth(dips_[std::size_t(a)], dips_[std::size_t(b)]);
    case Azimuth: return byThenDepth(da.azimuth, db.azimuth);
    case Confidence: return byThenDepth(da.confidence.value_or(-1), db.confidence.value_or(-1));
    case Grade: return byThenDepth(da.grade, db.grade);
    default: return byThenDepth(sourceOf(da), sourceOf(db));
    }
}

bool DipTableModel::passes(int row, const DipFilter& f) const
{
    const Dip& d = shown_[std::size_t(row)];
    const double depth = depths_[std::size_t(row)];
    if ((f.from || f.to) && !std::isfinite(depth))
        return false;
    if ((f.from && depth < *f.from) || (f.to && depth > *f.to))
        return false;
    if (const int grade = gradeIndex(d.grade); grade >= 0 && !f.grades[std::size_t(grade)])
        return false;
    if (f.under && !(d.confidence && *d.confidence < *f.under))
        return false;
    return !f.unreviewed || (d.confidence && *d.confidence < 100);
}

DipTableSorting::DipTableSorting(DipTableModel& model, QObject* parent) : QSortFilterProxyModel(parent), model_(model)
{
    setSourceModel(&model);
    setDynamicSortFilter(true);
}

void DipTableSorting::setFilter(const DipFilter& filter)
{
    if (filter == filter_)
        return;
    filter_ = filter;
    invalidateFilter();
}

bool DipTableSorting::filterAcceptsRow(int row, const QModelIndex&) const { return model_.passes(row, filter_); }

bool DipTableSorting::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    return model_.sortsBefore(left.row(), right.row(), left.column());
}

int DipTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(shown_.size()); }

int DipTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columns; }

QString DipTableModel::text(const Dip& d, int column) const
{
    switch (column) {
    case Depth: return QString::fromStdString(formatOneDecimal(calibration_.depthAt(d.y)));
    case DipAngle: return QString::fromStdString(formatOneDecimal(calibration_.dipAt(d.x, d.y)));
    case Azimuth: return QString::fromStdString(formatOneDecimal(d.azimuth));
    case Grade: return QString::fromStdString(d.grade);
    case Confidence: return d.confidence ? QString::number(*d.confidence) : QString();
    case Source: return sourceOf(d);
    }
    return QString();
}

QVariant DipTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(shown_.size()))
        return {};
    const Dip& d = shown_[std::size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(d, index.column());
    if (role == Qt::TextAlignmentRole)
        return index.column() <= Confidence && index.column() != Grade ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                                       : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags DipTableModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.isValid() && index.column() <= Grade ? flags | Qt::ItemIsEditable : flags;
}

std::optional<Dip> DipTableModel::typed(const Dip& dip, int column, const QString& text, QString& why) const
{
    const QString trimmed = text.trimmed();
    bool number = false;
    const double value = trimmed.toDouble(&number);  // C's numbers, whatever the locale
    Dip changed = dip;
    if (column == Grade) {
        const QString grade = trimmed.toUpper();
        if (gradeIndex(grade.toStdString()) < 0) {
            why = QStringLiteral("A grade is A, B, C or D, not \"%1\".").arg(trimmed);
            return std::nullopt;
        }
        changed.grade = grade.toStdString();
        return changed;
    }
    if (!number || !std::isfinite(value)) {
        why = QStringLiteral("\"%1\" is no number.").arg(trimmed);
        return std::nullopt;
    }
    if (column == Azimuth) {
        if (value < 0 || value > 360) {
            why = QStringLiteral("An azimuth lies from 0 to 360, not %1.").arg(trimmed);
            return std::nullopt;
        }
        changed.azimuth = value;
        return changed;
    }
    const std::vector<DepthRow>& rows = calibration_.rows();
    if (!calibration_.complete()) {
        why = QStringLiteral("The log is not calibrated: its dip scale and two depth rows are needed.");
        return std::nullopt;
    }
    if (column == Depth) {
        const auto [shallowest, deepest] = std::minmax({rows.front().depth, rows.back().depth});
        const std::optional<double> y = calibration_.rowOf(value);
        if (!y || !calibration_.depthAt(*y)) {
            why = QStringLiteral("The depth %1 lies outside the calibrated depths %2–%3.")
                      .arg(trimmed, QString::fromStdString(formatPlain(shallowest)),
                           QString::fromStdString(formatPlain(deepest)));
            return std::nullopt;
        }
        changed.y = *y;
        // The same dip at the new depth, where the track lies there.
        if (const Reading d = calibration_.dipAt(dip.x, dip.y))
            if (const std::optional<double> x = calibration_.xOfDip(*d, *y))
                changed.x = *x;
        return changed;
    }
    if (!calibration_.depthAt(dip.y)) {
        why = QStringLiteral("The dip lies outside the calibrated depths: no dip can be read there.");
        return std::nullopt;
    }
    const DipScale& scale = *calibration_.scale();
    const std::optional<double> x =
        value >= scale.minDip && value <= scale.maxDip ? calibration_.xOfDip(value, dip.y) : std::nullopt;
    if (!x) {
        why = QStringLiteral("The dip %1 lies outside the scale's limits, %2 to %3.")
                  .arg(trimmed)
                  .arg(scale.minDip)
                  .arg(scale.maxDip);
        if (scale.kind == DipScaleKind::Custom && value >= scale.minDip && value <= scale.maxDip)
            why = QStringLiteral("The custom scale gives the dip %1 no place: type one of its steps.").arg(trimmed);
        return std::nullopt;
    }
    changed.x = *x;
    return changed;
}

bool DipTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= int(shown_.size()) || index.column() > Grade)
        return false;
    const Dip& dip = shown_[std::size_t(index.row())];
    QString why;
    const std::optional<Dip> changed = typed(dip, index.column(), value.toString(), why);
    if (changed && *changed == dip)
        return true;  // as it was: no edit
    if (!changed || !session_.apply(ChangeDip{std::size_t(index.row()), *changed}, why)) {
        emit refused(index, why);
        return false;
    }
    return true;
}

QVariant DipTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < Columns ? QString::fromLatin1(kColumnNames[section]) : QVariant();
}

QString DipTableModel::tabSeparated(const std::vector<std::size_t>& rows) const
{
    QStringList names;
    for (const char* name : kColumnNames)
        names << QString::fromLatin1(name);
    QString out = names.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const std::size_t r : rows) {
        if (r >= shown_.size())
            continue;
        QStringList cells;
        for (int c = 0; c < Columns; ++c)
            cells << text(shown_[r], c);
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

void DipTableModel::follow()
{
    const Work& work = session_.work();
    if (work.depthRows != rows_ || work.scale != scale_) {
        calibration_ = Calibration(work);
        rows_ = work.depthRows;
        scale_ = work.scale;
        read(0, shown_.size());
        if (!shown_.empty())
            emit dataChanged(index(0, Depth), index(int(shown_.size()) - 1, DipAngle));
    }
    const DipList& now = work.dips;
    // The rows alike at both ends; what lies between them changed.
    const std::size_t least = std::min(now.size(), shown_.size());
    std::size_t front = 0, back = 0;
    while (front < least && now[front] == shown_[front])
        ++front;
    while (back < least - front && now[now.size() - 1 - back] == shown_[shown_.size() - 1 - back])
        ++back;
    const int was = int(shown_.size() - front - back), is = int(now.size() - front - back);
    if (was == is) {
        shown_ = now;
        read(front, std::size_t(is));
        if (is > 0)
            emit dataChanged(index(int(front), 0), index(int(front) + is - 1, Columns - 1));
        return;
    }
    if (was > 0) {
        beginRemoveRows({}, int(front), int(front) + was - 1);
        std::size_t n = 0;
        shown_.keepIf([&](const Dip&) {
            const bool keep = n < front || n >= front + std::size_t(was);
            ++n;
            return keep;
        });
        for (std::vector<double>* readings : {&depths_, &dips_})
            readings->erase(readings->begin() + std::ptrdiff_t(front), readings->begin() + std::ptrdiff_t(front) + was);
        endRemoveRows();
    }
    if (is > 0) {
        beginInsertRows({}, int(front), int(front) + is - 1);
        shown_ = now;
        for (std::vector<double>* readings : {&depths_, &dips_})
            readings->insert(readings->begin() + std::ptrdiff_t(front), std::size_t(is), 0.0);
        read(front, std::size_t(is));
        endInsertRows();
    }
}
