#pragma once

#include <array>

#include <QDialog>

class QLineEdit;
class QRadioButton;

// "Define Dip Scale" (setscaleform): the kind of dip scale and its limits.
// Shown without blocking the main window; the window applies the choices
// when OK finds them whole, and not before.
class SetScaleForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kScales = 5;

    explicit SetScaleForm(QWidget* parent = nullptr);

    QString minDipText() const;
    QString maxDipText() const;
    QRadioButton* option(int index) const { return options_[static_cast<std::size_t>(index)]; }
    QLineEdit* limitBox(int index) const { return index == 0 ? minText_ : maxText_; }
    QPushButton* okButton() const { return ok_; }
    // What the form shows when it is loaded afresh: the kind (0 to 4) and
    // the limits last chosen.
    void propose(int kind, int minDip, int maxDip);

signals:
    void okClicked();

protected:
    // Closed by its frame, the window is loaded afresh the next time.
    void closeEvent(QCloseEvent* event) override;

private:
    void reset();

    std::array<QRadioButton*, kScales> options_{};
    QLineEdit* minText_;
    QLineEdit* maxText_;
    QPushButton* ok_;
    int kind_ = 0;
    int minDip_ = 0;
    int maxDip_ = 90;
};
