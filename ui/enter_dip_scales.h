#pragma once

#include <QWidget>

class QLabel;

// "Enter Dip Scales" (EnterDipScl): a small window beside the log telling the
// user which dip to click next.
class EnterDipScales : public QWidget {
public:
    explicit EnterDipScales(QWidget* parent = nullptr);

    // "Please left click on Dip = " and the whole number of degrees.
    void setPromptDip(int degrees);
    QString prompt() const;

private:
    QLabel* label2_;
};
