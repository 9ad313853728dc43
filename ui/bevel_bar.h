#pragma once

#include <QWidget>

// The top and bottom bars (Picture3, Picture2): a grey and a white outline and
// a black line along the top, drawn whenever the bar changes size.
class BevelBar : public QWidget {
public:
    explicit BevelBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
