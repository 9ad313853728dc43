#include "ui/picture_reading.h"

#include <atomic>

#include <QEventLoop>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "ui/busy_pointer.h"
#include "ui/input_blocker.h"
#include "ui/task_progress.h"

bool readShowingProgress(QWidget* parent, const QString& title, int delay,
                         const std::function<bool(const LogPicture::Progress& progress)>& read)
{
    BusyPointer busy;
    std::atomic<int> permille{0};
    std::atomic<bool> cancelled{false};
    const auto progress =
        taskProgress(parent, QStringLiteral("openprogress"), title, QStringLiteral("Reading the picture..."), delay);
    QObject::connect(progress.get(), &QProgressDialog::canceled, [&cancelled] { cancelled = true; });
    const InputBlocker blocker(progress.get());

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { progress->setValue(permille); });
    poll.start(50);
    QEventLoop loop;
    QFutureWatcher<bool> watcher;
    QObject::connect(&watcher, &QFutureWatcher<bool>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&] {
        return read([&](double done) {
            permille = int(done * 1000);
            return !cancelled;
        });
    }));
    loop.exec();
    return watcher.result();
}
