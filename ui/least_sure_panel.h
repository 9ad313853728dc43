#pragma once

#include <QDockWidget>

class QLabel;
class QPushButton;

// "Least Sure Dips": the found dips a reviewer has not kept yet, stepped
// through from the least sure upward, each kept or removed.
class LeastSurePanel : public QDockWidget {
    Q_OBJECT
public:
    explicit LeastSurePanel(QWidget* parent = nullptr);

    // How many are left and the one framed, described; none left: empty.
    void showReview(int left, const QString& current);

signals:
    void keepClicked();
    void removeClicked();
    void stepClicked(bool forward);

private:
    QLabel* count_ = nullptr;
    QLabel* current_ = nullptr;
    QPushButton* keep_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
};
