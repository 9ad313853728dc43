#pragma once

#include <memory>

#include <QProgressDialog>

// The progress dialog of a long task run in the background (finding
// tadpoles, reading a picture): modal over the window, shown after delay
// milliseconds, from 0 to 1000, kept open until the task itself ends.
std::unique_ptr<QProgressDialog> taskProgress(QWidget* parent, const QString& name, const QString& title,
                                              const QString& label, int delay);
