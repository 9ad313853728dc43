#include "session/work_controls.h"

namespace {

WorkControls of(std::initializer_list<WorkControl> controls)
{
    WorkControls set;
    for (WorkControl c : controls)
        set.set(std::size_t(c));
    return set;
}

// Usable from the moment they first are until another log is opened.
const WorkControls kLasting = of({WorkControl::SaveProject, WorkControl::ExportDips, WorkControl::ExportNearestInteger,
                                  WorkControl::EditDips, WorkControl::Grid});

}  // namespace

WorkControls workControls(const WorkState& s)
{
    using C = WorkControl;
    WorkControls on = s.picture ? s.before & kLasting : WorkControls();
    const auto when = [&on](bool condition, std::initializer_list<WorkControl> controls) {
        if (condition)
            on |= of(controls);
    };
    const bool placing = s.picture && s.digitizing && s.calibrated;
    when(s.picture, {C::WellDetails, C::MarkTools, C::ZoomButtons});
    when(s.picture && (s.openedProject || s.calibrated), {C::SaveProject});
    when(s.picture && s.calibrated, {C::Grid});
    when(s.picture && (s.openedProject || s.dips || placing), {C::ExportDips});
    when(placing, {C::ExportNearestInteger, C::EditDips, C::Grades, C::Readout});
    when(s.picture && !s.digitizing && (s.scale || s.openedProject), {C::DepthTools});
    // One review at a time: a calibration under review is not yet the
    // calibration that tadpoles would be read by.
    when(s.picture && s.calibrated && !s.searching && !s.reviewingCalibration, {C::FindTadpoles});
    when(s.picture && !s.searching && !s.reviewing, {C::FindCalibration});
    when(s.picture && (s.reviewing || s.reviewingCalibration), {C::ReviewKeys});
    when(s.picture && s.scale, {C::ScaleCaption});
    return on;
}
