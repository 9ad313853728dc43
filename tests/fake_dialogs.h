#pragma once

#include <deque>

#include <QStringList>

#include "ui/common_dialog.h"
#include "ui/user_messages.h"

// The common dialog with its choosers answering what a test set in advance.
class FakeCommonDialog : public CommonDialog {
public:
    std::deque<QString> files;   // an empty name: cancel
    std::optional<QColor> colour;  // nothing: cancel
    FileRequest lastRequest;
    QColor lastInitialColour;

protected:
    std::optional<QString> chooseFile(const FileRequest& request) override
    {
        lastRequest = request;
        const QString answer = files.empty() ? QString() : files.front();
        if (!files.empty())
            files.pop_front();
        return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer);
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
    bool yes = false;          // the answer to yes-or-no questions
    std::deque<QString> texts;  // typed answers; none left: cancel
    QStringList questions, questionTitles, errors, infos;

    QMessageBox::StandardButton askYesNoCancel(const QString& title, const QString& text) override
    {
        questionTitles << title;
        questions << text;
        return answer;
    }
    bool askYesNo(const QString& title, const QString& text) override
    {
        questionTitles << title;
        questions << text;
        return yes;
    }
    void showError(const QString& title, const QString& text) override { errors << title + ": " + text; }
    void showInfo(const QString& title, const QString& text) override { infos << title + ": " + text; }
    QStringList lastChoices;  // as offered, the proposed first
    QStringList labels;       // of the questions that want typing or a choice
    std::optional<QString> askChoice(const QString& title, const QString& label, const QStringList& choices) override
    {
        lastChoices = choices;
        return askText(title, label);
    }
    std::optional<QString> askText(const QString&, const QString& label) override
    {
        labels << label;
        if (texts.empty())
            return std::nullopt;
        const QString answer = texts.front();
        texts.pop_front();
        return answer;
    }
};
