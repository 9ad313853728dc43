#include "ui/user_messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QVBoxLayout>

QMessageBox::StandardButton UserMessages::askYesNoCancel(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);  // Enter keeps the work: it saves
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

void UserMessages::showInfo(const QString& title, const QString& text)
{
    QMessageBox::information(parent_, title, text);
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
    QDialog dialog(parent_);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(label, &dialog));
    auto* list = new QComboBox(&dialog);
    list->addItems(choices);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // The title bar is cut to the dialog's width: room for the whole title
    // in the title bar's larger font, and its buttons.
    dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(title) * 3 / 2 + 150);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return list->currentText();
}
