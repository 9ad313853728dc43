#include "ui/task_progress.h"

std::unique_ptr<QProgressDialog> taskProgress(QWidget* parent, const QString& name, const QString& title,
                                              const QString& label, int delay)
{
    auto progress = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 1000, parent);
    progress->setObjectName(name);
    progress->setWindowTitle(title);
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    progress->setMinimumDuration(delay);
    progress->setValue(0);
    return progress;
}
