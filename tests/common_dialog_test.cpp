#include <gtest/gtest.h>

#include <QDir>

#include "fake_dialogs.h"

TEST(CommonDialog, TranslatesFiltersToQtsForm)
{
    EXPECT_EQ(CommonDialog::qtFilter("Windows Bitmap|*.bmp"), "Windows Bitmap (*.bmp)");
    EXPECT_EQ(CommonDialog::qtFilter("Project files (*.ddp)|*.ddp|"), "Project files (*.ddp)");
    EXPECT_EQ(CommonDialog::qtFilter("Dipmeter Digitizer Project|*.ddp"), "Dipmeter Digitizer Project (*.ddp)");
    EXPECT_EQ(CommonDialog::qtFilter("*.dip"), "*.dip");
    EXPECT_EQ(CommonDialog::qtFilter("Pictures|*.bmp;*.dib|All|*.*"), "Pictures (*.bmp *.dib);;All (*.*)");
}

TEST(CommonDialog, KeepsItsSettingsBetweenUsesAndCancelChangesNothing)
{
    FakeCommonDialog d;
    d.Filter = "Dip files (*.dip)|*.dip|";
    d.FilterIndex = 1;
    d.Flags = CommonDialog::kOverwritePrompt;
    d.DialogTitle = "Save Digitized Dips";
    d.FileName = "well7.dip";
    const QString target = QDir::temp().filePath("well7.dip");
    d.files.push_back(target);
    ASSERT_TRUE(d.ShowSave());
    EXPECT_TRUE(d.lastRequest.save);
    EXPECT_TRUE(d.lastRequest.confirmOverwrite);
    EXPECT_EQ(d.lastRequest.title, "Save Digitized Dips");
    EXPECT_EQ(d.lastRequest.initialName, "well7.dip");
    EXPECT_EQ(d.lastRequest.selectedFilter, "Dip files (*.dip)");
    EXPECT_EQ(d.FileName, target);
    EXPECT_EQ(d.FileTitle, "well7.dip");
    EXPECT_EQ(QDir::currentPath(), QDir::temp().absolutePath());  // bare names are found there

    // Cancelled: the title chosen last stays for the next default name.
    d.files.push_back(QString());
    d.FileName = "*.bmp";
    EXPECT_FALSE(d.ShowOpen());
    EXPECT_EQ(d.FileTitle, "well7.dip");
    EXPECT_FALSE(d.lastRequest.save);
    EXPECT_FALSE(d.lastRequest.confirmOverwrite);
    EXPECT_EQ(d.lastRequest.initialName, "");  // a pattern is no name to propose
    EXPECT_EQ(d.DialogTitle, "Save Digitized Dips");

    d.Color = QColor(1, 2, 3);
    EXPECT_FALSE(d.ShowColor());
    EXPECT_EQ(d.Color, QColor(1, 2, 3));
    d.colour = QColor(9, 9, 9);
    EXPECT_TRUE(d.ShowColor());
    EXPECT_EQ(d.Color, QColor(9, 9, 9));
}
