#include "session/picture_search.h"

#include <QMetaObject>

PictureSearch::~PictureSearch() { stop(); }

void PictureSearch::stop()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

bool PictureSearch::report(double done, const DetectionProgress& caller)
{
    permille_ = int(done * 1000);
    return !cancelled_ && (!caller || caller(done));
}

void PictureSearch::start()
{
    thread_ = std::thread([this] {
        run();
        QMetaObject::invokeMethod(this, &PictureSearch::finished, Qt::QueuedConnection);
    });
}
