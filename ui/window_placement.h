#pragma once

class QWidget;

// Puts a small tool window beside the log view: right of the main window
// when the screen has room there, otherwise over the right side of the log
// view, in the half away from the screen row avoidY (global pixels), where
// the user is about to click.
void placeBesideLog(QWidget* window, const QWidget* logView, int avoidY);

// "Define Dip Scale" beside the log, clear of the view's upper half, where
// the dip track's printed scale shows while it is asked about.
void placeScaleForm(QWidget& form, const QWidget& logView);
