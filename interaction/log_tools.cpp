#include "interaction/log_tools.h"

LogTools::LogTools(ToolHost& host, FoundReview& review, std::function<void()> reviewChanged)
    : host_(host), calibrate_(host), digitize_(host), erase_(host), delete_(host),
      review_(host, review, std::move(reviewChanged))
{
}

void LogTools::press(int button, double x, double y)
{
    if (delete_.armed()) {
        delete_.press(button, x, y);  // the one press it was armed for
        return;
    }
    if (erase_.armed()) {
        erase_.press(button, x, y);
        if (mode_ == WorkMode::Calibrate)
            calibrate_.press(button, x, y);
        return;
    }
    if (mode_ == WorkMode::Calibrate) {
        calibrate_.press(button, x, y);
        return;
    }
    if (button == kLeftButton && !digitize_.awaitingTail() && review_.pressOn(x, y))
        return;
    digitize_.press(button, x, y);
}

void LogTools::move(int buttons, double x, double y)
{
    if (erase_.armed())
        erase_.move(buttons, x, y);
    if (mode_ == WorkMode::Calibrate)
        calibrate_.move(buttons, x, y);
    else if (!erase_.armed())
        digitize_.move(buttons, x, y);
}

void LogTools::release(int button, double x, double y)
{
    if (erase_.armed())
        erase_.release(button, x, y);
}

void LogTools::leave()
{
    if (mode_ == WorkMode::Calibrate)
        calibrate_.leave();
}

void LogTools::drawFigures()
{
    erase_.drawFigures();
    calibrate_.drawFigures();
    digitize_.drawFigures();
}

void LogTools::armErase()
{
    delete_.stepBack();
    erase_.arm();
}

void LogTools::armDelete()
{
    erase_.stepBack();
    delete_.arm();
}

bool LogTools::disarm()
{
    const bool deleteArmed = delete_.stepBack();
    const bool eraseArmed = erase_.stepBack();
    return deleteArmed || eraseArmed;
}

bool LogTools::stepBack()
{
    return mode_ == WorkMode::Calibrate ? calibrate_.stepBack() : digitize_.stepBack();
}

void LogTools::reset()
{
    disarm();
    calibrate_.reset();
    digitize_.reset();
    mode_ = WorkMode::Calibrate;
}
