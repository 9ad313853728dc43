#include "ui/picture_reading.h"

#include <atomic>

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "ui/busy_pointer.h"
#include "ui/input_blocker.h"

bool readShowingProgress(QWidget* parent, const QString& title, int delay,
                         const std::function<bool(const LogPicture::Progress& progress)>& read)
{
    BusyPointer busy;
    std::atomic<int> permille{0};
    std::atomic<bool> cancelled{false};
    QProgressDialog progress(QStringLiteral("Reading the picture..."), QStringLiteral("Cancel"), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("openprogress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumDuration(delay);
    progress.setValue(0);
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancelled] { cancelled = true; });
    const InputBlocker blocker(&progress);

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { progress.setValue(permille); });
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
