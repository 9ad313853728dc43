#include <gtest/gtest.h>

#include <QDir>

#include "fake_dialogs.h"

TEST(CommonDialog, KeepsItsSettingsBetweenUsesAndCancelChangesNothing)
{
    FakeCommonDialog d;
    d.Filter = "Dip files (*.dip)|*.dip|";
    d.Flags = CommonDialog::kOverwritePrompt;
    d.FileName = "well7.dip";
    d.files.push_back(QDir::temp().filePath("well7.dip"));
    ASSERT_TRUE(d.ShowSave());
    EXPECT_TRUE(d.lastRequest.confirmOverwrite);
    EXPECT_EQ(d.lastRequest.initialName, "well7.dip");
    EXPECT_EQ(d.lastRequest.defaultSuffix, "dip");
    EXPECT_EQ(d.FileTitle, "well7.dip");
    EXPECT_EQ(QDir::currentPath(), QDir::temp().absolutePath());  // bare names are found there

    d.files.push_back(QString());  // cancelled: the title chosen last stays
    d.FileName = "*.bmp";
    EXPECT_FALSE(d.ShowOpen());
    EXPECT_EQ(d.FileTitle, "well7.dip");
    EXPECT_EQ(d.lastRequest.initialName, "");  // a pattern is no name to propose
    d.Color = QColor(1, 2, 3);
    EXPECT_FALSE(d.ShowColor());
    EXPECT_EQ(d.Color, QColor(1, 2, 3));
}
