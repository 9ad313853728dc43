// "Find Tadpoles", the review of the tadpoles it found, and presses that
// snap to printed tadpoles.
#include <algorithm>
#include <cmath>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QtConcurrent/QtConcurrentRun>

#include "core/dipdigitize.h"
#include "core/number_format.h"
#include "detection/project_track.h"
#include "interaction/picture_mouse.h"
#include "ui/found_tadpoles_panel.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/tadpole_search_run.h"
#include "ui/task_progress.h"
#include "ui/user_messages.h"

namespace {

// Every tadpole with a tail is kept from the search: the review shows those
// sure enough, and the panel can show more or fewer without searching again.
DetectionSettings detectionSettings(const settings::TadpoleSearch& s) { return {s.minDiameter, s.maxDiameter, 0}; }

// The picture's part that the search reads: a grey picture as it is kept,
// any other as an 8-bit grey copy.
struct SearchPart {
    GreyCopy copy;
    GreyPicture view;
};

SearchPart searchPart(const LogPicture& picture, QRgb paper, int left, int top, int right, int bottom)
{
    left = std::clamp(left, 0, picture.width());
    right = std::clamp(right, left, picture.width());
    top = std::clamp(top, 0, picture.height());
    bottom = std::clamp(bottom, top, picture.height());
    const QImage& kept = picture.level(0);
    if (kept.format() == QImage::Format_Grayscale8 && bottom > top)
        return {{}, {kept.constScanLine(top) + left, right - left, bottom - top, kept.bytesPerLine(), left, top}};
    SearchPart part{blankGreyCopy(left, top, right - left, bottom - top), {}};
    picture.toInk(QRect(left, top, right - left, bottom - top), paper, part.copy.pixels.data(), right - left);
    part.view = part.copy.picture;
    return part;
}

// The picture's ink as the search reads it, a part at a time.
GreyRows inkRows(const LogPicture& picture, QRgb paper, const QRect& box)
{
    return {box.left(), box.top(), box.width(), box.height(),
            [&picture, paper](int left, int top, int width, int height, std::uint8_t* out, std::ptrdiff_t stride) {
                picture.toInk(QRect(left, top, width, height), paper, out, stride);
            }};
}

// The box round the calibrated track, and the margin the search reads
// beyond it.
QRect trackBox(const std::vector<TrackStretch>& track, int margin, const QSize& picture)
{
    double left = picture.width(), top = picture.height(), right = 0, bottom = 0;
    for (const TrackStretch& s : track) {
        left = std::min({left, s.leftTop, s.leftBottom, s.rightTop, s.rightBottom});
        right = std::max({right, s.leftTop, s.leftBottom, s.rightTop, s.rightBottom});
        top = std::min(top, s.top);
        bottom = std::max(bottom, s.bottom);
    }
    const QRect searched(QPoint(int(left) - margin, int(top) - margin), QPoint(int(right) + margin, int(bottom) + margin));
    return searched.intersected(QRect(QPoint(0, 0), picture));
}

}  // namespace

void DigitizeWindow::createTadpoleActions()
{
    mnufindtadpoles_ = new QAction(QStringLiteral("Find Tadpoles"), this);
    mnufindtadpoles_->setObjectName(QStringLiteral("mnufindtadpoles"));
    mnufindtadpoles_->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    mnufindtadpoles_->setEnabled(false);
    connect(mnufindtadpoles_, &QAction::triggered, this, &DigitizeWindow::mnufindtadpoles_Click);

    mnusnap_ = new QAction(QStringLiteral("Snap to Tadpoles"), this);
    mnusnap_->setObjectName(QStringLiteral("mnusnap"));
    mnusnap_->setShortcut(QKeySequence(Qt::Key_S));
    mnusnap_->setCheckable(true);
    mnusnap_->setChecked(settings::snapToTadpoles());
    connect(mnusnap_, &QAction::toggled, this, [](bool on) { settings::setSnapToTadpoles(on); });

    // Keys of the review, usable while there is something to review.
    acceptFoundKey_ = new QAction(this);
    acceptFoundKey_->setObjectName(QStringLiteral("acceptFoundKey"));
    acceptFoundKey_->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(acceptFoundKey_, &QAction::triggered, this, &DigitizeWindow::acceptFound);
    const Qt::Key stepKeys[] = {Qt::Key_N, Qt::Key_P};
    for (int i = 0; i < 2; ++i) {
        auto* key = new QAction(this);
        key->setObjectName(i == 0 ? QStringLiteral("nextFoundKey") : QStringLiteral("previousFoundKey"));
        key->setShortcut(QKeySequence(stepKeys[i]));
        connect(key, &QAction::triggered, this, [this, i] { stepFound(i == 0); });
        stepFoundKeys_[std::size_t(i)] = key;
    }
    for (QAction* a : {acceptFoundKey_, stepFoundKeys_[0], stepFoundKeys_[1]}) {
        a->setEnabled(false);
        addAction(a);
    }
}

void DigitizeWindow::createFoundPanel()
{
    foundPanel_ = new FoundTadpolesPanel(this);
    foundPanel_->setSearch(settings::tadpoleSearch());
    addDockWidget(Qt::RightDockWidgetArea, foundPanel_);
    foundPanel_->hide();
    connect(foundPanel_, &FoundTadpolesPanel::acceptClicked, this, &DigitizeWindow::acceptFound);
    connect(foundPanel_, &FoundTadpolesPanel::rejectClicked, this, &DigitizeWindow::rejectFound);
    connect(foundPanel_, &FoundTadpolesPanel::stepClicked, this, &DigitizeWindow::stepFound);
    connect(foundPanel_, &FoundTadpolesPanel::searchChanged, this, [this] {
        const settings::TadpoleSearch search = foundPanel_->search();
        settings::setTadpoleSearch(search);
        if (found_.reviewing()) {
            found_.setLeastConfidence(search.minConfidence);
            showReview();
        }
    });
    QAction* shown = foundPanel_->toggleViewAction();
    shown->setObjectName(QStringLiteral("mnufoundpanel"));
    if (auto* view = menuBar()->findChild<QMenu*>(QStringLiteral("mnuview")))
        view->addAction(shown);
}

void DigitizeWindow::followDigitizingPossible()
{
    mnufindtadpoles_->setEnabled(!search_ && !picture6_.isNull() && digitizingPossible(state_));
}

void DigitizeWindow::mnufindtadpoles_Click()
{
    if (search_ || picture6_.isNull() || !digitizingPossible(state_))
        return;
    const std::vector<TrackStretch> track = calibratedTrack(state_);
    const DetectionSettings wanted = detectionSettings(foundPanel_->search());
    const QRect box = trackBox(track, searchMargin(wanted) + 2, QSize(picture6_.width(), picture6_.height()));
    const QRgb paper = paperColour();
    // The levels' pixels are shared: the search reads them, kept alive by
    // this copy, while the window holds them unchanged (its input is held
    // back meanwhile).
    const LogPicture picture = picture6_;

    search_ = std::make_unique<TadpoleSearchRun>();
    TadpoleSearchRun* run = search_.get();
    run->progress = taskProgress(this, QStringLiteral("findprogress"), QStringLiteral("Find Tadpoles"),
                                 QStringLiteral("Finding tadpoles..."), progressDelay_);
    connect(run->progress.get(), &QProgressDialog::canceled, this, [run] { run->cancelled = true; });
    run->blocker = std::make_unique<InputBlocker>(run->progress.get());
    connect(&run->poll, &QTimer::timeout, this, [run] { run->progress->setValue(run->permille); });
    run->poll.start(50);
    connect(&run->watcher, &QFutureWatcher<FoundTadpoles>::finished, this,
            &DigitizeWindow::finishTadpoleSearch);
    followDigitizingPossible();
    run->watcher.setFuture(QtConcurrent::run([picture, track, wanted, run, box, paper] {
        // Turned to ink a band at a time: a whole well's scan never is at once.
        return findTadpoles(inkRows(picture, paper, box), track, wanted, [run](double done) {
            run->permille = int(done * 1000);
            return !run->cancelled;
        });
    }));
}

void DigitizeWindow::finishTadpoleSearch()
{
    const std::unique_ptr<TadpoleSearchRun> run = std::move(search_);
    const bool cancelled = run->cancelled;
    const FoundTadpoles found = run->watcher.result();
    run->poll.stop();
    run->progress->hide();
    followDigitizingPossible();
    if (cancelled)
        return;  // nothing kept, nothing changed
    scanContext_ = found.context;
    foundPanel_->showScan(found.context);
    foundPanel_->showCurrent(QString());
    found_.show(proposalsFrom(found.tadpoles, state_), foundPanel_->search().minConfidence);
    if (!found_.empty() && state_.WorkMode != 0) {
        optDigCal_[0]->setChecked(true);
        OptDigCal_Click(0);  // reviewing is digitizing
    }
    showReview();
}

void DigitizeWindow::followReview()
{
    foundPanel_->showCounts(found_.counts());
    if (!found_.empty())
        foundPanel_->show();
    for (QAction* a : {acceptFoundKey_, stepFoundKeys_[0], stepFoundKeys_[1]})
        a->setEnabled(!found_.empty());
}

void DigitizeWindow::showReview()
{
    followReview();
    redraw();
}

void DigitizeWindow::acceptFound()
{
    if (found_.empty())
        return;
    const settings::TadpoleSearch search = foundPanel_->search();
    std::vector<DipPoint> dips = keptDips(found_, state_, search.filledGrade, search.hollowGrade);
    if (std::size_t(state_.NumPoints) + dips.size() > std::size_t(kMaxDips)) {
        messages_->showError(QStringLiteral("Add Found Tadpoles"),
                             QStringLiteral("The dip table holds at most %1 dips: the %2 tadpoles kept do not fit "
                                            "beside the %3 dips there are. Nothing was added.")
                                 .arg(kMaxDips)
                                 .arg(dips.size())
                                 .arg(state_.NumPoints));
        return;
    }
    found_.clear();
    if (!dips.empty()) {
        apply(AddFoundDips{std::move(dips)});
        mnusavedig_->setEnabled(true);
        enableSaveProjectAs();
    }
    showReview();
}

void DigitizeWindow::rejectFound()
{
    found_.clear();
    showReview();
}

void DigitizeWindow::stepFound(bool forward)
{
    const int index = forward ? found_.next() : found_.previous();
    if (index < 0)
        return;
    const Proposal& p = found_.proposals()[std::size_t(index)];
    centreViewOn(p.x, p.y);
    foundPanel_->showCurrent(QStringLiteral("Depth %1, dip %2°, azimuth %3°, %4, %5 % sure.")
                                 .arg(QString::fromStdString(formatOneDecimal(getdepth(state_, p.y))),
                                      QString::fromStdString(formatOneDecimal(getdip(state_, p.x, p.y))))
                                 .arg(int(std::lround(p.azimuth)) % 360)
                                 .arg(p.filled ? QStringLiteral("filled") : QStringLiteral("hollow"))
                                 .arg(int(std::floor(100 * p.confidence))));
}

QRgb DigitizeWindow::paperColour()
{
    if (!paper_) {
        const std::vector<TrackStretch> track = calibratedTrack(state_);
        const QSize size(picture6_.width(), picture6_.height());
        paper_ = picture6_.paperColour(track.empty() ? QRect(QPoint(0, 0), size) : trackBox(track, 0, size));
    }
    return *paper_;
}

bool DigitizeWindow::toggleProposalAt(double x, double y)
{
    const PictureInteraction& in = state_.interaction;
    if (found_.empty() || state_.WorkMode != 0 || in.AwaitingAzimuth || in.EraseArmed || in.DeleteArmed)
        return false;
    const double reach = 4 * state_.TwipsPerPixelX / state_.ZoomFactor;
    const int index = found_.at(imageX(state_, x), imageY(state_, y), reach);
    if (index < 0)
        return false;
    found_.toggle(index);
    showReview();
    return true;
}

void DigitizeWindow::centreViewOn(double x, double y)
{
    const double viewWidth = picture1_->contentsRect().width() * state_.TwipsPerPixelX;
    const double viewHeight = picture1_->contentsRect().height() * state_.TwipsPerPixelY;
    const std::pair<QScrollBar*, double> bars[] = {
        {hScroll1_, (x - viewWidth / 2 / state_.ZoomFactor) / state_.HScrollUnit},
        {vScroll1_, (y - viewHeight / 2 / state_.ZoomFactor) / state_.VScrollUnit}};
    for (const auto& [bar, value] : bars) {
        const QSignalBlocker quiet(bar);  // one redraw for both
        bar->setValue(std::clamp(int(std::lround(value)), bar->minimum(), bar->maximum()));
    }
    ScrollBars_Change();
}

std::optional<InteractionHost::SnapTarget> DigitizeWindow::snapTarget(double x, double y, double reach)
{
    if (!mnusnap_->isChecked() || picture6_.isNull())
        return std::nullopt;
    const double tx = state_.TwipsPerPixelX, ty = state_.TwipsPerPixelY;
    const double px = x / tx, py = y / ty, pixelReach = reach / tx;
    const DetectionSettings wanted = detectionSettings(foundPanel_->search());
    // Read in the scan's context, learned from the track when no search has.
    if (!scanContext_ && digitizingPossible(state_)) {
        const std::vector<TrackStretch> track = calibratedTrack(state_);
        const QRect box = trackBox(track, 0, QSize(picture6_.width(), picture6_.height()));
        scanContext_ = studyTrack(inkRows(picture6_, paperColour(), box), track, wanted);
    }
    const int around = int(std::ceil(pixelReach)) + snapMargin(wanted) + 2;
    const SearchPart part = searchPart(picture6_, paperColour(), int(px) - around, int(py) - around,
                                       int(px) + around + 1, int(py) + around + 1);
    const auto found = tadpoleNear(part.view, px, py, pixelReach, wanted, scanContext_.value_or(ScanContext{}));
    if (!found)
        return std::nullopt;
    return SnapTarget{found->x * tx, found->y * ty, found->azimuth};
}
