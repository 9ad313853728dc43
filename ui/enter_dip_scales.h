#pragma once

#include <QWidget>

class QLabel;

// "Enter Dip Scales" (EnterDipScl): a small window beside the log telling the
// user which dip to click next. It never takes the focus from the log.
class EnterDipScales : public QWidget {
public:
    explicit EnterDipScales(QWidget* parent = nullptr);

    void setPrompt(const QString& text);
    QString prompt() const;

private:
    QLabel* prompt_;
};
