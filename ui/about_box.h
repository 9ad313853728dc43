#pragma once

#include <QDialog>

// "About Vellwick Digitizer", shown modally from the About menu.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};
