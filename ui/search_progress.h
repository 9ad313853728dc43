#pragma once

#include <memory>

#include <QString>

class InputBlocker;
class PictureSearch;
class QProgressDialog;
class QTimer;
class QWidget;

// A search over the picture while it runs in the background: its progress
// dialog, whose Cancel cancels it, and the window's input held back.
// Destroyed when the search has ended.
class SearchProgress {
public:
    SearchProgress(PictureSearch& search, QWidget* parent, const QString& name, const QString& title,
                   const QString& label, int delay);
    ~SearchProgress();
    SearchProgress(const SearchProgress&) = delete;
    SearchProgress& operator=(const SearchProgress&) = delete;

private:
    std::unique_ptr<QProgressDialog> dialog_;
    std::unique_ptr<InputBlocker> blocker_;
    std::unique_ptr<QTimer> poll_;
};
