#include "session/calibration_search.h"

#include "session/tadpole_search.h"

FoundCalibration CalibrationSearch::runHere(const DetectionProgress& progress)
{
    const QRect whole(0, 0, picture_.width(), picture_.height());
    bool stopped = false;
    FoundCalibration found = findCalibration(inkRows(picture_, picture_.paperColour(whole), whole),
                                             [this, &progress](double done) { return report(done, progress); },
                                             &stopped);
    if (stopped)
        cancel();
    return found;
}
