#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Enter Depth" (setdepthform): the depth of the depth line just placed.
// Shown without waiting, modal to the main window; OK is reported and the
// window decides whether the dialog goes, while Escape or the frame's close
// box reject it.
class SetDepthForm : public QDialog {
    Q_OBJECT
public:
    explicit SetDepthForm(QWidget* parent = nullptr);

    // Shown afresh: the box holds one space with the focus in it, or the
    // proposed depth with the focus on OK, so that Enter accepts it.
    void activate(const QString& proposal);

    QString depthText() const;
    QLineEdit* depthBox() const { return depth_; }
    QPushButton* okButton() const { return ok_; }

signals:
    void okClicked();

private:
    QLineEdit* depth_;
    QPushButton* ok_;
};
