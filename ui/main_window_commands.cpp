// Commands of the main window that start the work: opening the picture, the
// calibration dialogs, the mode switch and the display options.
#include <cmath>
#include <fstream>

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QUndoStack>

#include "core/calibration_dialogs.h"
#include "interaction/picture_mouse.h"
#include "ui/common_dialog.h"
#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/user_messages.h"

// Scans come as TIFF, PNG and JPEG besides Windows bitmaps.
const QString DigitizeWindow::kPictureFilter =
    QStringLiteral("Windows Bitmap|*.bmp|All log pictures|*.bmp;*.tif;*.tiff;*.png;*.jpg;*.jpeg|"
                   "TIFF|*.tif;*.tiff|PNG|*.png|JPEG|*.jpg;*.jpeg");

void DigitizeWindow::mnuopen_Click()
{
    if (!settleUnsavedWork(QStringLiteral("The work stays open.")))
        return;
    CommonDialog& d = *cmDialog1_;
    d.Filter = kPictureFilter;
    d.FilterIndex = 1;
    d.FileName = QStringLiteral("*.bmp");
    if (!d.ShowOpen())
        return;
    openPicture(d.FileName);
}

bool DigitizeWindow::openPicture(const QString& path)
{
    LogPicture picture;
    if (!readPicture(picture, path, QStringLiteral("Open Picture")))
        return false;
    // A new piece of work: nothing of the one before stays.
    resetControls();
    state_ = freshWork();
    picture6_ = std::move(picture);
    state_.FILE = QFileInfo(path).fileName().toStdString();
    picturePath_ = QFileInfo(path).absoluteFilePath();
    workName_ = QString::fromStdString(state_.FILE);
    projectPath_.clear();
    undoStack_->clear();
    // The decoded size, also for a top-down bitmap, whose header gives its
    // height negated, and for kinds without a bitmap header.
    state_.IMAGEWIDTH = picture6_.width();
    state_.IMAGEHEIGHT = picture6_.height();
    picture1_->surface().setPicture(&picture6_);
    picture1_->setBordered(true);  // the layout below paints the picture into it
    state_.interaction.PendingCentreX = state_.interaction.PendingCentreY = -1;

    setscaleform_->show();
    for (int t = 2; t < 8; ++t)
        option2_[std::size_t(t)]->setEnabled(true);
    label70_->setEnabled(true);
    label100_->setVisible(false);
    label90_->setVisible(false);
    command1_[0]->setEnabled(true);
    command1_[1]->setEnabled(true);
    Form_Resize();
    showWorkName();
    followSavedState();
    refreshStatistics();
    return true;
}

void DigitizeWindow::setscaleform_Command1_Click()
{
    // The option shown selected is the scale chosen, also when the form was
    // loaded afresh after being closed by its frame.
    int mode = 0;
    for (int i = 0; i < SetScaleForm::kScales; ++i)
        if (setscaleform_->option(i)->isChecked())
            mode = i;
    const auto choice = readDipScale(mode, setscaleform_->minDipText().toStdString(),
                                     setscaleform_->maxDipText().toStdString());
    if (const auto* refusal = std::get_if<std::string>(&choice)) {
        messages_->showError(QStringLiteral("Define Dip Scale"), QString::fromStdString(*refusal));
        return;
    }
    optDigCal_[0]->setEnabled(true);
    optDigCal_[1]->setEnabled(true);
    option2_[0]->setEnabled(true);
    option2_[1]->setEnabled(true);
    apply(std::get<DefineDipScale>(choice));
    label11_->setText(QString::fromStdString(dipScaleCaption(state_.DipScaleMode)));
    label11_->setVisible(true);
    setscaleform_->hide();
    if (state_.AwaitCustomClick) {
        setDipScalePrompt(::dipScalePrompt(state_.CustomClicks * 10 + state_.MINDIP));
        showDipScalePrompt(true);
    }
}

void DigitizeWindow::setdepthform_Command1_Click()
{
    mouse_->setdepthform_Command1_Click(setdepthform_->depthText().toStdString());
}

void DigitizeWindow::OptDigCal_Click(int index)
{
    // "Area Erase" and "Delete Dip" were chosen for the mode being left.
    mouse_->disarm();
    state_.WorkMode = static_cast<std::int16_t>(index);
    if (index == 1) {
        option2_[0]->setEnabled(true);
        option2_[1]->setEnabled(true);
        for (QRadioButton* q : option1_)
            q->setEnabled(false);
        for (QLabel* l : readout_)
            l->setVisible(false);
    } else {
        option2_[0]->setEnabled(false);
        option2_[1]->setEnabled(false);
        if (state_.NUMDEP >= 2) {
            for (QRadioButton* q : option1_)
                q->setEnabled(true);
            for (QLabel* l : readout_)
                l->setVisible(true);
            mnureslog_->setEnabled(true);
            mnusavedig_->setEnabled(true);
            mnuerase_->setEnabled(true);
            state_.CurrentQuality.assign(1, 'A');  // GCC 12 warns wrongly (-Wrestrict) on = "A"
        }
    }
}

void DigitizeWindow::mnugrid_Click()
{
    const Qt::CheckState s = check1_->checkState();
    if (s == Qt::Unchecked)
        mnugrid_->setChecked(false);
    else if (s == Qt::Checked)
        mnugrid_->setChecked(true);
    apply(SwitchGrid{});
    redraw();
}

void DigitizeWindow::qualityColour_Click(int quality)
{
    Rgb* colours[] = {&state_.QualityColorA, &state_.QualityColorB, &state_.QualityColorC, &state_.QualityColorD};
    Rgb& colour = *colours[quality];
    CommonDialog& d = *cmDialog1_;
    d.Flags = CommonDialog::kInitialColour;
    d.Color = QColor(colour.r, colour.g, colour.b);
    if (!d.ShowColor())
        return;
    colour = Rgb{std::uint8_t(d.Color.red()), std::uint8_t(d.Color.green()), std::uint8_t(d.Color.blue())};
    settings::setGradeColour(quality, colour);
    setQualitySwatch(quality, colour);
    PP();
    refreshStatistics();
}
