#pragma once

#include <deque>

#include <QStringList>

#include "ui/common_dialog.h"
#include "ui/user_messages.h"

// The common dialog with the choosers replaced by answers given in advance.
class FakeCommonDialog : public CommonDialog {
public:
    std::deque<QString> files;  // an empty name: cancel
    std::optional<QColor> colour;              // nothing: cancel
    FileRequest lastRequest;
    QColor lastInitialColour;
    int fileDialogs = 0;

protected:
    std::optional<QString> chooseFile(const FileRequest& request) override
    {
        ++fileDialogs;
        lastRequest = request;
        if (files.empty())
            return std::nullopt;
        const QString answer = files.front();
        files.pop_front();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
    std::optional<QColor> chooseColour(const QColor& initial) override
    {
        lastInitialColour = initial;
        return colour;
    }
};

class FakeMessages : public UserMessages {
public:
    QMessageBox::StandardButton answer = QMessageBox::No;
    QStringList questions;
    QStringList questionTitles;
    QStringList errors;

    QMessageBox::StandardButton askYesNoCancel(const QString& title, const QString& text) override
    {
        questionTitles << title;
        questions << text;
        return answer;
    }
    void showError(const QString& title, const QString& text) override { errors << title + ": " + text; }
};
