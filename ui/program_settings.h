#pragma once

#include <array>
#include <string>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "drawing/drawing_surface.h"
#include "session/search_settings.h"

// What the program remembers between runs, in the user's settings: the
// recent projects, the window's place, the last folder of each kind of file,
// the grade colours and the ways of finding tadpoles. Each call reads or writes the settings afresh, so
// two windows never keep stale copies.
namespace settings {

inline constexpr int kRecentProjects = 8;

// Newest first, at most kRecentProjects full paths.
QStringList recentProjects();
// Puts path first, dropping an older entry of it and the oldest beyond the
// limit.
void addRecentProject(const QString& path);
void removeRecentProject(const QString& path);

QByteArray windowGeometry();
QByteArray windowState();
void setWindowPlace(const QByteArray& geometry, const QByteArray& state);

// The folder last chosen for files of kind (an extension such as "ddp");
// empty when none was.
QString lastFolder(const QString& kind);
void setLastFolder(const QString& kind, const QString& folder);

// The colours of grades A to D; the program's own until the user chose any.
std::array<Rgb, 4> gradeColours();
void setGradeColour(int grade, Rgb colour);

// "Find Tadpoles": what was last set, each part within its limits.
SearchSettings tadpoleSearch();
void setTadpoleSearch(const SearchSettings& search);

// The dip scale last defined (its kind 0 to 4 and limits), proposed for the
// next picture; Standard 0 to 90 until one was.
struct ScaleChoice {
    int kind = 0;
    int minDip = 0;
    int maxDip = 90;
};
ScaleChoice lastDipScale();
void setLastDipScale(const ScaleChoice& scale);

// The depth unit last chosen for a LAS export ("M", "FT" or "none"); empty
// until one was.
QString lasUnit();
void setLasUnit(const QString& unit);

// "Snap to Tadpoles", off until the user turns it on.
bool snapToTadpoles();
void setSnapToTadpoles(bool on);

}  // namespace settings
