#include "ui/program_settings.h"

#include <algorithm>
#include <memory>

#include <QColor>
#include <QDir>
#include <QSettings>

#include "model/work.h"

namespace settings {

namespace {

// The file name of the settings, whatever the program file is called.
constexpr auto kName = "dipdigitizer";

QString recentKey() { return QStringLiteral("files/recentProjects"); }

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(QString::fromLatin1(kName), QString::fromLatin1(kName));
}

}  // namespace

QStringList recentProjects()
{
    const auto store = open();
    return store->value(recentKey()).toStringList().mid(0, kRecentProjects);
}

void addRecentProject(const QString& path)
{
    const QString full = QDir::cleanPath(path);
    QStringList list = recentProjects();
    list.removeAll(full);
    list.prepend(full);
    const auto store = open();
    store->setValue(recentKey(), list.mid(0, kRecentProjects));
}

void removeRecentProject(const QString& path)
{
    QStringList list = recentProjects();
    list.removeAll(QDir::cleanPath(path));
    const auto store = open();
    store->setValue(recentKey(), list);
}

QByteArray windowGeometry()
{
    const auto store = open();
    return store->value(QStringLiteral("window/geometry")).toByteArray();
}

QByteArray windowState()
{
    const auto store = open();
    return store->value(QStringLiteral("window/state")).toByteArray();
}

void setWindowPlace(const QByteArray& geometry, const QByteArray& state)
{
    const auto store = open();
    store->setValue(QStringLiteral("window/geometry"), geometry);
    store->setValue(QStringLiteral("window/state"), state);
}

QString lastFolder(const QString& kind)
{
    const auto store = open();
    return store->value(QStringLiteral("folders/") + kind.toLower()).toString();
}

void setLastFolder(const QString& kind, const QString& folder)
{
    const auto store = open();
    store->setValue(QStringLiteral("folders/") + kind.toLower(), folder);
}

std::array<Rgb, 4> gradeColours()
{
    std::array<Rgb, 4> colours{Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{128, 0, 128}};
    const auto store = open();
    for (int g = 0; g < 4; ++g) {
        const QColor stored(store->value(QStringLiteral("colours/grade%1").arg(QChar('A' + g))).toString());
        if (stored.isValid())
            colours[std::size_t(g)] = Rgb{std::uint8_t(stored.red()), std::uint8_t(stored.green()),
                                          std::uint8_t(stored.blue())};
    }
    return colours;
}

void setGradeColour(int grade, Rgb colour)
{
    const auto store = open();
    store->setValue(QStringLiteral("colours/grade%1").arg(QChar('A' + grade)),
                   QColor(colour.r, colour.g, colour.b).name());
}

SearchSettings tadpoleSearch()
{
    const auto store = open();
    const auto number = [&](const char* key, double fallback) {
        return store->value(QString::fromLatin1(key), fallback).toDouble();
    };
    const auto grade = [&](const char* key) { return store->value(QString::fromLatin1(key)).toString().toStdString(); };
    return validSearchSettings({number("tadpoles/minDiameter", 0), number("tadpoles/maxDiameter", 0),
                                number("tadpoles/minConfidence", SearchSettings{}.minConfidence),
                                grade("tadpoles/filledGrade"), grade("tadpoles/hollowGrade")});
}

void setTadpoleSearch(const SearchSettings& search)
{
    const auto store = open();
    store->setValue(QStringLiteral("tadpoles/minDiameter"), search.minDiameter);
    store->setValue(QStringLiteral("tadpoles/maxDiameter"), search.maxDiameter);
    store->setValue(QStringLiteral("tadpoles/minConfidence"), search.minConfidence);
    store->setValue(QStringLiteral("tadpoles/filledGrade"), QString::fromStdString(search.filledGrade));
    store->setValue(QStringLiteral("tadpoles/hollowGrade"), QString::fromStdString(search.hollowGrade));
}

ScaleChoice lastDipScale()
{
    const auto store = open();
    ScaleChoice s;
    s.kind = std::clamp(store->value(QStringLiteral("scale/kind"), 0).toInt(), 0, 4);
    s.minDip = std::clamp(store->value(QStringLiteral("scale/minDip"), 0).toInt(), -90, 90);
    s.maxDip = std::clamp(store->value(QStringLiteral("scale/maxDip"), 90).toInt(), -90, 90);
    return s;
}

void setLastDipScale(const ScaleChoice& scale)
{
    const auto store = open();
    store->setValue(QStringLiteral("scale/kind"), scale.kind);
    store->setValue(QStringLiteral("scale/minDip"), scale.minDip);
    store->setValue(QStringLiteral("scale/maxDip"), scale.maxDip);
}

QString lasUnit()
{
    const QString unit = open()->value(QStringLiteral("export/lasUnit")).toString();
    return unit == QStringLiteral("M") || unit == QStringLiteral("FT") || unit == QStringLiteral("none") ? unit
                                                                                                        : QString();
}

void setLasUnit(const QString& unit) { open()->setValue(QStringLiteral("export/lasUnit"), unit); }

bool snapToTadpoles() { return open()->value(QStringLiteral("tadpoles/snap"), false).toBool(); }

void setSnapToTadpoles(bool on) { open()->setValue(QStringLiteral("tadpoles/snap"), on); }

}  // namespace settings
