#pragma once

#include <optional>

#include <QMessageBox>
#include <QString>

class QWidget;

// The message boxes of the main window; tests replace them.
class UserMessages {
public:
    explicit UserMessages(QWidget* parent = nullptr) : parent_(parent) {}
    virtual ~UserMessages() = default;

    // Yes, No or Cancel, with an exclamation icon and Yes as the default.
    virtual QMessageBox::StandardButton askYesNoCancel(const QString& title, const QString& text);
    // True for Yes; a question icon, Yes the default.
    virtual bool askYesNo(const QString& title, const QString& text);
    virtual void showError(const QString& title, const QString& text);
    // What a command did, when it did several things at once.
    virtual void showInfo(const QString& title, const QString& text);
    // A line of text typed by the user; nothing when cancelled.
    virtual std::optional<QString> askText(const QString& title, const QString& label);
    // One of choices, the first proposed; nothing when cancelled.
    virtual std::optional<QString> askChoice(const QString& title, const QString& label, const QStringList& choices);

protected:
    QWidget* parent_;
};
