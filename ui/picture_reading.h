#pragma once

#include <functional>

#include <QString>

#include "picture/log_picture.h"

class QWidget;

// Reads a picture on a worker thread while this one keeps the windows drawn:
// a read that lasts shows a progress dialog ("openprogress") with Cancel
// after delay milliseconds, and meanwhile the user's input reaches only
// that dialog. Returns what read returned; read passes the progress on to
// LogPicture::load, which stops when it is cancelled.
bool readShowingProgress(QWidget* parent, const QString& title, int delay,
                         const std::function<bool(const LogPicture::Progress& progress)>& read);
