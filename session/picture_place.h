#pragma once

#include <string>

#include <QString>

// Where a project's picture is. The project file names it by its path
// relative to the project's folder (just its name when it lies beside the
// project), or by its whole path when there is no relative one. Earlier
// projects name it by its name alone, beside the project.

// The project file's entry for the picture at picturePath, saved as projectPath.
std::string pictureEntry(const QString& picturePath, const QString& projectPath);

// The picture a project at projectPath names: the whole path of the file,
// or empty when it is not where the entry says nor beside the project.
QString findPicture(const std::string& entry, const QString& projectPath);

// The log that follows current in its folder by name: the next picture
// (bmp, tif, tiff, png, jpg, jpeg) or project (.ddp), a picture and a
// project of the same name being one log that its project opens; empty
// when none follows.
QString nextLog(const QString& current);
