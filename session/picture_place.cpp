#include "session/picture_place.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::string pictureEntry(const QString& picturePath, const QString& projectPath)
{
    const QDir folder = QFileInfo(projectPath).absoluteDir();
    // Separators as the file has always had them on this system.
    return QFile::encodeName(QDir::toNativeSeparators(folder.relativeFilePath(QFileInfo(picturePath).absoluteFilePath())))
        .toStdString();
}

QString findPicture(const std::string& entry, const QString& projectPath)
{
    const QString named = QDir::fromNativeSeparators(QFile::decodeName(QByteArray::fromStdString(entry)));
    const QDir folder = QFileInfo(projectPath).absoluteDir();
    for (const QString& candidate : {folder.absoluteFilePath(named), folder.absoluteFilePath(QFileInfo(named).fileName())})
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).absoluteFilePath();
    return QString();
}

QString nextLog(const QString& current)
{
    const QFileInfo file(current);
    const QStringList logs = file.dir().entryList({QStringLiteral("*.bmp"), QStringLiteral("*.tif"),
                                                   QStringLiteral("*.tiff"), QStringLiteral("*.png"),
                                                   QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                                   QStringLiteral("*.ddp")},
                                                  QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : logs)
        if (name.compare(file.fileName(), Qt::CaseInsensitive) > 0)
            return file.dir().filePath(name);
    return QString();
}
