#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The message boxes of the main window; tests replace them.
class UserMessages {
public:
    explicit UserMessages(QWidget* parent = nullptr) : parent_(parent) {}
    virtual ~UserMessages() = default;

    // Yes, No or Cancel, with an exclamation icon and No as the default.
    virtual QMessageBox::StandardButton askYesNoCancel(const QString& title, const QString& text);
    // True for Yes; a question icon, Yes the default.
    virtual bool askYesNo(const QString& title, const QString& text);
    virtual void showError(const QString& title, const QString& text);

protected:
    QWidget* parent_;
};
