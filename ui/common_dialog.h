#pragma once

#include <optional>

#include <QColor>
#include <QString>

class QWidget;

// The one common dialog of the main window (CMDialog1). Its settings keep
// their values between uses: a command sets only what it names. Filters are
// written as description and pattern pairs joined by "|". Its fields keep
// the names of the common dialog's own properties (FileName, ShowOpen, ...),
// which the file commands set as that dialog is set, and which tests fake.
class CommonDialog {
public:
    static constexpr int kOverwritePrompt = 2;  // flags of the save commands
    static constexpr int kInitialColour = 1;    // flags of the colour chooser

    explicit CommonDialog(QWidget* parent = nullptr) : parent_(parent) {}
    virtual ~CommonDialog() = default;

    QString FileName;    // initial name in; the chosen full path out
    QString FileTitle;   // the chosen name without its folder
    QString DialogTitle;
    QString Filter;
    int FilterIndex = 0;
    int Flags = 0;
    QColor Color = Qt::black;

    // Each returns false when the user cancels; nothing is changed then.
    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();

    // Takes path as if it had been chosen: a file named on the command line.
    void remember(const QString& path);

    // "Windows Bitmap|*.bmp" as Qt's "Windows Bitmap (*.bmp)"; a lone pattern
    // such as "*.dip" stands for itself.
    static QString qtFilter(const QString& filter);
    // The kind of file a filter asks for, by its first pattern: "bmp" for
    // "Windows Bitmap|*.bmp|...". Each kind remembers its last folder.
    static QString fileKind(const QString& filter);

protected:
    struct FileRequest {
        bool save = false;
        QString title;
        QString filter;  // Qt's form
        QString selectedFilter;
        QString directory;
        QString initialName;
        QString defaultSuffix;
        bool confirmOverwrite = false;
    };
    // The platform's choosers; tests replace them.
    virtual std::optional<QString> chooseFile(const FileRequest& request);
    virtual std::optional<QColor> chooseColour(const QColor& initial);

private:
    bool showFile(bool save);

    QWidget* parent_;
};
