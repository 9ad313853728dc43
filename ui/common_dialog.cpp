#include "ui/common_dialog.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "ui/program_settings.h"

QString CommonDialog::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|', Qt::SkipEmptyParts);
    if (parts.size() == 1)
        return parts.front();
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        // Qt reads the patterns from the parentheses; a description that
        // already shows them is kept as it is.
        if (!description.contains(pattern))
            description += QStringLiteral(" (%1)").arg(pattern);
        entries << description;
    }
    return entries.join(QStringLiteral(";;"));
}

QString CommonDialog::fileKind(const QString& filter)
{
    const QStringList parts = filter.split('|', Qt::SkipEmptyParts);
    const QString pattern = parts.size() == 1 ? parts.front() : parts.value(1);
    const qsizetype dot = pattern.indexOf(QStringLiteral("*."));
    return dot < 0 ? QString() : pattern.mid(dot + 2).section(';', 0, 0).toLower();
}

bool CommonDialog::ShowOpen() { return showFile(false); }

bool CommonDialog::ShowSave() { return showFile(true); }

bool CommonDialog::showFile(bool save)
{
    FileRequest request;
    request.save = save;
    request.title = DialogTitle;
    request.filter = qtFilter(Filter);
    const QStringList entries = request.filter.split(QStringLiteral(";;"));
    const int index = FilterIndex >= 1 && FilterIndex <= entries.size() ? FilterIndex - 1 : 0;
    request.selectedFilter = entries.value(index);
    request.confirmOverwrite = save && (Flags & kOverwritePrompt);
    // A name typed without extension gets the one of the filter shown, as
    // users expect of a save dialog.
    const QStringList parts = Filter.split('|', Qt::SkipEmptyParts);
    const QString pattern = parts.size() == 1 ? parts.front() : parts.value(2 * index + 1);
    if (save && pattern.startsWith(QStringLiteral("*.")) && pattern.count('*') == 1 && !pattern.contains(';'))
        request.defaultSuffix = pattern.mid(2);
    // A pattern as the initial name ("*.bmp") only filters; a name is proposed.
    const QFileInfo initial(FileName);
    const QString kind = fileKind(Filter);
    request.directory = initial.isAbsolute() ? initial.absolutePath() : QDir::currentPath();
    // Each kind of file opens where its last one was, from run to run. A
    // project is proposed beside its picture, where it finds it again.
    const QString remembered = settings::lastFolder(kind);
    if (!initial.isAbsolute() && !(save && kind == QStringLiteral("ddp")) && !remembered.isEmpty()
        && QFileInfo(remembered).isDir())
        request.directory = remembered;
    request.initialName = FileName.contains('*') ? QString() : initial.fileName();

    const std::optional<QString> chosen = chooseFile(request);
    if (!chosen || chosen->isEmpty())
        return false;
    remember(*chosen);
    settings::setLastFolder(kind, QFileInfo(*chosen).absolutePath());
    return true;
}

void CommonDialog::remember(const QString& path)
{
    const QFileInfo info(path);
    FileName = info.absoluteFilePath();
    FileTitle = info.fileName();
    // The chosen folder becomes the current one, where bare names are found.
    QDir::setCurrent(info.absolutePath());
}

bool CommonDialog::ShowColor()
{
    const std::optional<QColor> chosen = chooseColour(Color);
    if (!chosen)
        return false;
    Color = *chosen;
    return true;
}

std::optional<QString> CommonDialog::chooseFile(const FileRequest& r)
{
    QFileDialog dialog(parent_, r.title, r.directory, r.filter);
    dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.selectNameFilter(r.selectedFilter);
    if (!r.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!r.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(r.defaultSuffix);
    if (!r.initialName.isEmpty())
        dialog.selectFile(r.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QColor> CommonDialog::chooseColour(const QColor& initial)
{
    const QColor c = QColorDialog::getColor((Flags & kInitialColour) ? initial : QColor(Qt::black), parent_);
    if (!c.isValid())
        return std::nullopt;
    return c;
}
