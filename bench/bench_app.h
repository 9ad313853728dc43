#pragma once

// What the window benchmarks share: an offscreen application whose settings
// and unsaved work live in a temporary folder, never among the user's, and
// messages that wait for no one.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/user_messages.h"

// A failure is kept for the benchmark to report, and every question is
// answered No (work an earlier benchmark window left is set aside, not
// opened).
class BenchMessages : public UserMessages {
public:
    QString error;
    void showError(const QString& title, const QString& text) override { error = title + ": " + text; }
    bool askYesNo(const QString&, const QString&) override { return false; }
    QMessageBox::StandardButton askYesNoCancel(const QString&, const QString&) override { return QMessageBox::No; }
};

class BenchApplication {
public:
    BenchApplication(int& argc, char** argv) : app_((prepare(home_), argc), argv)
    {
        QApplication::setApplicationName(QStringLiteral("dipdigitizer"));
    }

    int run(int& argc, char** argv)
    {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }

private:
    static void prepare(const QTemporaryDir& home)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    }

    QTemporaryDir home_;
    QApplication app_;
};
