#include "ui/search_progress.h"

#include <QTimer>

#include "session/picture_search.h"
#include "ui/input_blocker.h"
#include "ui/task_progress.h"

SearchProgress::SearchProgress(PictureSearch& search, QWidget* parent, const QString& name, const QString& title,
                               const QString& label, int delay)
    : dialog_(taskProgress(parent, name, title, label, delay)),
      blocker_(std::make_unique<InputBlocker>(dialog_.get())),
      poll_(std::make_unique<QTimer>())
{
    QObject::connect(dialog_.get(), &QProgressDialog::canceled, &search, [&search] { search.cancel(); });
    QObject::connect(poll_.get(), &QTimer::timeout, dialog_.get(),
                     [this, &search] { dialog_->setValue(int(search.progress() * 1000)); });
    poll_->start(50);
}

SearchProgress::~SearchProgress()
{
    poll_.reset();
    blocker_.reset();
    dialog_->hide();
}
