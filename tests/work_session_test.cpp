// The use cases of a piece of work as every front end reaches them: no
// window, no widget (this program links QtCore and QtGui only).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "files/project_file.h"
#include "session/tadpole_search.h"
#include "session/work_recovery.h"
#include "session/work_session.h"

namespace {

std::string fileBytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

// The shipped sample: depth lines every 100 rows from 2400 at row 400, the
// dip track linear from 0 at x 220 to 90 at x 820.
const QString kSample = QStringLiteral(SAMPLE_PICTURE);

class WorkSessionTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }

    void calibrateSample(WorkSession& s)
    {
        QString error;
        ASSERT_TRUE(s.openPicture(kSample, error)) << error.toStdString();
        ASSERT_TRUE(s.apply(SetDipScale{DipScale{DipScaleKind::Linear, 0, 90, {}}}, error));
        ASSERT_TRUE(s.apply(AddDepthRows{{{2400, 400, 220, 820}, {2830, 4700, 220, 820}}}, error));
    }

    QTemporaryDir folder_;
};

}  // namespace

TEST_F(WorkSessionTest, CalibrateFindAcceptSaveExportAndOpenAgain)
{
    WorkSession s;
    calibrateSample(s);
    EXPECT_FALSE(s.saved());
    EXPECT_EQ(s.undoName(), "Add Depth Rows");
    EXPECT_DOUBLE_EQ(*s.calibration().depthAt(450), 2405);

    const auto search = s.tadpoleSearch(DetectionSettings{});
    ASSERT_TRUE(search);
    s.review(search->runHere(), 0.5);
    EXPECT_GE(s.found().proposals().size(), 70u);
    QString error;
    ASSERT_TRUE(s.acceptFound("A", "C", error)) << error.toStdString();
    EXPECT_TRUE(s.found().empty());
    EXPECT_EQ(s.undoName(), "Add Found Tadpoles");
    const std::size_t dips = s.work().dips.size();
    EXPECT_GE(dips, 70u);

    ASSERT_TRUE(s.saveProject(path("sample.ddp"), 0.5, error)) << error.toStdString();
    EXPECT_TRUE(s.saved());
    EXPECT_EQ(s.workName(), "sample.ddp");
    for (const auto& [name, kind] : {std::pair{"sample.dip", WorkSession::DipTable::OneDecimal},
                                     std::pair{"sample.csv", WorkSession::DipTable::Csv}})
        ASSERT_TRUE(s.exportDips(path(name), kind, error)) << error.toStdString();
    ASSERT_TRUE(s.exportLas(path("sample.las"), "M", QDate(2000, 1, 1), error));
    const std::string table = fileBytes(path("sample.dip"));
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), std::ptrdiff_t(dips));
    EXPECT_NE(fileBytes(path("sample.las")).find(" sample_log : Well"), std::string::npos);

    WorkSession again;
    ASSERT_TRUE(again.openProject(path("sample.ddp"), error)) << error.toStdString();
    EXPECT_TRUE(again.saved());
    EXPECT_EQ(again.openedZoom(), 0.5);
    EXPECT_EQ(again.picturePath(), QFileInfo(kSample).absoluteFilePath());
    ASSERT_EQ(again.work().dips.size(), dips);
    for (std::size_t i = 0; i < dips; ++i)
        EXPECT_EQ(*again.calibration().depthAt(again.work().dips[i].y) >= 2400, true);
    ASSERT_TRUE(again.saveProject(path("again.ddp"), 0.5, error));
    EXPECT_EQ(fileBytes(path("again.ddp")), fileBytes(path("sample.ddp")));
}

TEST_F(WorkSessionTest, UndoRedoAndTheSavedPlace)
{
    WorkSession s;
    calibrateSample(s);
    QString error;
    ASSERT_TRUE(s.saveProject(path("log.ddp"), 1, error));
    ASSERT_TRUE(s.apply(AddDips{{Dip{300, 500, 45, "B"}}}, error));
    EXPECT_FALSE(s.saved());
    EXPECT_EQ(s.undoName(), "Add Dip");
    s.undo();
    EXPECT_TRUE(s.saved());
    EXPECT_EQ(s.redoName(), "Add Dip");
    s.redo();
    ASSERT_EQ(s.work().dips.size(), 1u);
    EXPECT_NEAR(*s.calibration().dipAt(300, 500), 12, 1e-9);
    // An action that changes nothing is none.
    ASSERT_TRUE(s.apply(EraseDips{600, 700}, error));
    EXPECT_EQ(s.undoName(), "Add Dip");
    // The work cannot take it: refused with the reason, nothing changed.
    EXPECT_FALSE(s.apply(DeleteDip{5}, error));
    EXPECT_NE(error.indexOf("nothing was changed"), -1);
    EXPECT_EQ(s.work().dips.size(), 1u);
}

TEST_F(WorkSessionTest, ThePictureIsFoundWhereTheProjectSaysItIsAndBeside)
{
    ASSERT_TRUE(QDir(folder_.path()).mkpath("scans") && QDir(folder_.path()).mkpath("projects"));
    ASSERT_TRUE(QFile::copy(kSample, path("scans/well.bmp")));
    WorkSession s;
    QString error;
    ASSERT_TRUE(s.openPicture(path("scans/well.bmp"), error));
    ASSERT_TRUE(s.saveProject(path("projects/well.ddp"), 1, error));
    EXPECT_EQ(fileBytes(path("projects/well.ddp")).substr(0, 24), "FILE,\"../scans/well.bmp\"");
    ASSERT_TRUE(s.saveProject(path("scans/beside.ddp"), 1, error));
    EXPECT_EQ(fileBytes(path("scans/beside.ddp")).substr(0, 16), "FILE,\"well.bmp\"\r");

    const auto opening = WorkSession::readProjectFile(path("projects/well.ddp"), error);
    ASSERT_TRUE(opening) << error.toStdString();
    EXPECT_EQ(opening->picturePath, QFileInfo(path("scans/well.bmp")).absoluteFilePath());
    // A project moved beside its picture finds it there by its name.
    ASSERT_TRUE(QFile::copy(path("projects/well.ddp"), path("scans/moved.ddp")));
    EXPECT_EQ(WorkSession::readProjectFile(path("scans/moved.ddp"), error)->picturePath,
              QFileInfo(path("scans/well.bmp")).absoluteFilePath());
    // Nowhere: the front end asks the user where it is.
    ASSERT_TRUE(QFile::copy(path("projects/well.ddp"), path("lost.ddp")));
    const auto lost = WorkSession::readProjectFile(path("lost.ddp"), error);
    ASSERT_TRUE(lost);
    EXPECT_TRUE(lost->picturePath.isEmpty());
    EXPECT_EQ(lost->pictureName, "well.bmp");
    WorkSession elsewhere;
    EXPECT_FALSE(elsewhere.openProject(path("lost.ddp"), error));
    EXPECT_NE(error.indexOf("is not there"), -1) << error.toStdString();
    EXPECT_FALSE(elsewhere.hasPicture());
    // Found elsewhere: the work names another picture and is not saved so.
    auto picture = WorkSession::readPicture(path("scans/well.bmp"), error);
    ASSERT_TRUE(picture);
    elsewhere.startWithProject(*lost, path("scans/well.bmp"), std::move(*picture));
    EXPECT_FALSE(elsewhere.saved());
    ASSERT_TRUE(elsewhere.saveProject(path("lost.ddp"), 1, error));
    EXPECT_FALSE(WorkSession::readProjectFile(path("lost.ddp"), error)->picturePath.isEmpty());
}

TEST_F(WorkSessionTest, WhatCannotBeOpenedOrWrittenChangesNothing)
{
    WorkSession s;
    calibrateSample(s);
    const Work before = s.work();
    QString error;
    EXPECT_FALSE(s.openPicture(path("missing.bmp"), error));
    EXPECT_FALSE(error.isEmpty());
    std::ofstream(path("cut.ddp").toStdString()) << "FILE,\"x.bmp\"\r\nIMAGEWIDTH,1\r\n";
    EXPECT_FALSE(s.openProject(path("cut.ddp"), error));
    EXPECT_NE(error.indexOf("ends early"), -1) << error.toStdString();
    ASSERT_TRUE(QDir(folder_.path()).mkdir("work.ddp.saving"));  // the temporary file cannot be made
    EXPECT_FALSE(s.saveProject(path("work.ddp"), 1, error));
    EXPECT_FALSE(QFile::exists(path("work.ddp")));
    EXPECT_TRUE(s.work() == before);
    EXPECT_FALSE(s.saved());
    EXPECT_EQ(s.picturePath(), QFileInfo(kSample).absoluteFilePath());
}

TEST_F(WorkSessionTest, AFullDipTableRefusesTheFoundTadpolesAndKeepsThemUnderReview)
{
    WorkSession s;
    calibrateSample(s);
    QString error;
    ASSERT_TRUE(s.apply(AddDips{std::vector<Dip>(kMaxDips - 1, Dip{500, 1000, 90, "B"})}, error));
    FoundTadpoles found;
    for (int i = 0; i < 3; ++i)
        found.tadpoles.push_back(FoundTadpole{300.5 + 40 * i, 2000.5, 10, true, 45.0, 0.9, {}});
    s.review(found, 0.5);
    const Work before = s.work();

    EXPECT_FALSE(s.acceptFound("A", "C", error));
    EXPECT_NE(error.indexOf("the 3 tadpoles kept do not fit beside the 32766 dips"), -1) << error.toStdString();
    EXPECT_EQ(s.found().proposals().size(), 3u);
    EXPECT_TRUE(s.work() == before);
    EXPECT_EQ(s.undoName(), "Add Dips");

    s.found().setLeastConfidence(0.95);  // none kept: nothing to add, the review ends
    EXPECT_TRUE(s.acceptFound("A", "C", error));
    EXPECT_TRUE(s.found().empty());
    EXPECT_TRUE(s.work() == before);
}

TEST_F(WorkSessionTest, UnsavedWorkIsKeptForRecoveryUntilItIsSaved)
{
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    WorkSession s;
    s.keepForRecovery([] { return 0.25; });
    calibrateSample(s);
    QSignalSpy written(s.recovery(), &WorkRecovery::written);
    ASSERT_TRUE(written.wait(10000));
    const QString kept = s.recovery()->currentFile();
    EXPECT_TRUE(kept.endsWith(QStringLiteral("/sample_log.bmp.recovery.ddp"))) << kept.toStdString();

    // Read back as a project naming the picture by its whole path.
    QString error;
    const auto opening = WorkSession::readProjectFile(kept, error);
    ASSERT_TRUE(opening) << error.toStdString();
    EXPECT_TRUE(opening->file.work == s.work());
    EXPECT_EQ(opening->file.zoom, 0.25);
    EXPECT_EQ(opening->picturePath, QFileInfo(kSample).absoluteFilePath());

    ASSERT_TRUE(s.saveProject(path("saved.ddp"), 1, error));
    EXPECT_FALSE(QFileInfo::exists(kept));
    EXPECT_TRUE(s.recovery()->currentFile().isEmpty());
    s.undo();  // unsaved again
    s.recovery()->waitForWrite();
    s.recovery()->writeNow();
    s.recovery()->waitForWrite();
    EXPECT_TRUE(QFileInfo::exists(s.recovery()->currentFile()));
    const QString folder = QFileInfo(s.recovery()->currentFile()).absolutePath();
    s.endCleanly();
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(WorkRecovery::leftWork().empty());
}
