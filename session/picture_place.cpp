#include "session/picture_place.h"

#include <map>

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
    // A picture and the project made on it (of the same name) are one log,
    // which its project opens.
    const QFileInfo file(current);
    std::map<QString, QFileInfo> logs;  // by name without extension, case folded
    for (const QFileInfo& f : file.dir().entryInfoList({QStringLiteral("*.bmp"), QStringLiteral("*.tif"),
                                                        QStringLiteral("*.tiff"), QStringLiteral("*.png"),
                                                        QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                                        QStringLiteral("*.ddp")},
                                                       QDir::Files)) {
        const auto [at, added] = logs.emplace(f.completeBaseName().toCaseFolded(), f);
        if (!added && f.suffix().compare(QStringLiteral("ddp"), Qt::CaseInsensitive) == 0)
            at->second = f;
    }
    const auto next = logs.upper_bound(file.completeBaseName().toCaseFolded());
    return next == logs.end() ? QString() : next->second.filePath();
}
