#include "ui/user_messages.h"

#include <QInputDialog>

QMessageBox::StandardButton UserMessages::askYesNoCancel(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool UserMessages::askYesNo(const QString& title, const QString& text)
{
    return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

void UserMessages::showError(const QString& title, const QString& text)
{
    QMessageBox::warning(parent_, title, text);
}

std::optional<QString> UserMessages::askText(const QString& title, const QString& label)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title, label, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> UserMessages::askChoice(const QString& title, const QString& label, const QStringList& choices)
{
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent_, title, label, choices, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return chosen;
}
