#include "session/batch_options.h"

#include <map>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct WellOption {
    const char* name;
    const char* description;
    std::string WellDetails::*member;
};

const WellOption kWellOptions[] = {
    {"well", "The well's name (LAS WELL).", &WellDetails::name},
    {"company", "The company (LAS COMP).", &WellDetails::company},
    {"field", "The field (LAS FLD).", &WellDetails::field},
    {"location", "The location (LAS LOC).", &WellDetails::location},
    {"province", "The province (LAS PROV).", &WellDetails::province},
    {"service-company", "The service company (LAS SRVC).", &WellDetails::serviceCompany},
    {"uwi", "The unique well identifier (LAS UWI).", &WellDetails::uwi},
};

bool readGrade(const QString& text, std::string& grade)
{
    if (gradeIndex(text.toStdString()) < 0)
        return false;
    grade = text.toStdString();
    return true;
}

// A picture's file name as a well's name: double quotes and line breaks,
// which no file the program writes can carry there, become single quotes
// and spaces.
QString wellNameOf(QString name)
{
    for (QChar& c : name)
        if (c == QLatin1Char('"'))
            c = QLatin1Char('\'');
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    return name;
}

// Two pictures whose outputs would be the same files: the first such pair.
std::optional<std::pair<QString, QString>> sharingOutputs(const BatchOptions& o)
{
    std::map<QString, QString> byOutput;
    for (const QString& picture : o.pictures) {
        const QFileInfo file(picture);
        const QString folder = o.outFolder.isEmpty() ? file.absolutePath() : QFileInfo(o.outFolder).absoluteFilePath();
        const auto [at, added] = byOutput.emplace(QDir(folder).filePath(file.completeBaseName()), picture);
        if (!added && at->second != picture)
            return std::pair(at->second, picture);
    }
    return std::nullopt;
}

}  // namespace

std::optional<BatchOptions> readBatchOptions(const QStringList& arguments, QString& error, QString& text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Digitizes scanned dipmeter logs without a window: each picture is calibrated as the given "
                       "project is, its tadpoles are found and accepted, and the dips are written."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the version."));
    const QCommandLineOption calibration(QStringLiteral("calibration"),
                                         QStringLiteral("The project (.ddp) whose dip scale and depth rows every log "
                                                        "takes; its dips and picture are ignored. \"auto\": each "
                                                        "log is calibrated from its own depth lines, printed depths "
                                                        "and dip track."),
                                         QStringLiteral("FILE.ddp|auto"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Where the outputs go; beside each picture "
                                                                       "by default."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption formats(QStringLiteral("formats"),
                                     QStringLiteral("Any of las,csv,dip,ddp (default las,csv,ddp)."),
                                     QStringLiteral("LIST"), QStringLiteral("las,csv,ddp"));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("A JSON report to FILE, or to standard output with -."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("Replaces existing outputs."));
    const QCommandLineOption leastSure(QStringLiteral("min-confidence"),
                                       QStringLiteral("The least confidence of a tadpole accepted, 0 to 100 % "
                                                      "(default %1).")
                                           .arg(SearchSettings{}.minConfidence * 100),
                                       QStringLiteral("P"), QString::number(SearchSettings{}.minConfidence * 100));
    const QCommandLineOption dotSize(QStringLiteral("dot-size"),
                                     QStringLiteral("auto, or the dots' diameters looked for in pixels, as 6-12 "
                                                    "(default auto)."),
                                     QStringLiteral("auto|MIN-MAX"), QStringLiteral("auto"));
    const QCommandLineOption filled(QStringLiteral("filled-grade"),
                                    QStringLiteral("The grade of dips of filled dots, A to D (default %1).")
                                        .arg(QString::fromStdString(SearchSettings{}.filledGrade)),
                                    QStringLiteral("G"), QString::fromStdString(SearchSettings{}.filledGrade));
    const QCommandLineOption hollow(QStringLiteral("hollow-grade"),
                                    QStringLiteral("The grade of dips of hollow dots, A to D (default %1).")
                                        .arg(QString::fromStdString(SearchSettings{}.hollowGrade)),
                                    QStringLiteral("G"), QString::fromStdString(SearchSettings{}.hollowGrade));
    const QCommandLineOption wells(QStringLiteral("wells"),
                                   QStringLiteral("Each picture's well, one row a picture, by its file name: the "
                                                  "columns picture,well,company,field,location,province,"
                                                  "service_company,uwi,depth_unit."),
                                   QStringLiteral("FILE.csv"));
    const QCommandLineOption unit(QStringLiteral("depth-unit"), QStringLiteral("The depths' unit: m or ft."),
                                  QStringLiteral("m|ft"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("No progress on standard error."));
    const QCommandLineOption wellsPictures(QStringLiteral("wells-pictures"),
                                           QStringLiteral("Lists the pictures the wells file names, each followed "
                                                          "by a NUL, and digitizes nothing."));
    parser.addOptions({help, version, calibration, out, formats, report, force, leastSure, dotSize, filled, hollow});
    for (const WellOption& w : kWellOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(w.name), QString::fromLatin1(w.description),
                                            QStringLiteral("TEXT")));
    parser.addOptions({wells, unit, quiet, wellsPictures});
    parser.addPositionalArgument(QStringLiteral("PICTURE"), QStringLiteral("The scanned logs to digitize."),
                                 QStringLiteral("PICTURE..."));

    error.clear();
    text.clear();
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        text = parser.helpText() + QStringLiteral(
            "\nExit codes:\n"
            "  0  every log done\n"
            "  1  bad arguments: an unknown option, a value out of range, no picture, no calibration, two pictures "
            "whose outputs would be the same files\n"
            "  2  a picture, the calibration project or the wells file cannot be read\n"
            "  3  an output exists already (no --force)\n"
            "  4  the calibration does not fit the picture, or none was found on it (auto)\n"
            "  5  stopped by SIGTERM or SIGINT\n"
            "  6  more tadpoles accepted than a dip table holds (32767)\n"
            "  7  an output or the report cannot be written\n"
            "With several pictures the other logs still run, and the exit code is the first failure's. The "
            "report's place is claimed before any log runs.\n");
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        text = QStringLiteral("dipdigitizer-batch " DIP_VERSION "\n");
        return std::nullopt;
    }

    BatchOptions o;
    o.pictures = parser.positionalArguments();
    o.calibration = parser.value(calibration);
    o.outFolder = parser.value(out);
    o.wells = parser.value(wells);
    o.report = parser.value(report);
    o.force = parser.isSet(force);
    o.quiet = parser.isSet(quiet);
    o.wellsPictures = parser.isSet(wellsPictures);
    if (o.wellsPictures) {
        if (o.wells.isEmpty())
            error = QStringLiteral("--wells-pictures lists the pictures of a wells file: give it with --wells.");
        return error.isEmpty() ? std::optional(o) : std::nullopt;
    }
    if (o.pictures.isEmpty())
        error = QStringLiteral("No picture was given.");
    else if (o.calibration.isEmpty())
        error = QStringLiteral("--calibration FILE.ddp or --calibration auto is required: the dip scale and depth "
                               "rows come from it.");
    else if (const auto shared = sharingOutputs(o))
        error = QStringLiteral("\"%1\" and \"%2\" would write the same outputs: give them different --out folders, "
                               "or rename one.")
                    .arg(shared->first, shared->second);

    o.las = o.csv = o.dip = o.ddp = false;
    for (const QString& f : parser.value(formats).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString kind = f.trimmed().toLower();
        if (kind == QStringLiteral("las"))
            o.las = true;
        else if (kind == QStringLiteral("csv"))
            o.csv = true;
        else if (kind == QStringLiteral("dip"))
            o.dip = true;
        else if (kind == QStringLiteral("ddp"))
            o.ddp = true;
        else if (error.isEmpty())
            error = QStringLiteral("Unknown format \"%1\": the formats are las, csv, dip and ddp.").arg(f);
    }
    if (!(o.las || o.csv || o.dip || o.ddp) && error.isEmpty())
        error = QStringLiteral("--formats names no format: give any of las, csv, dip and ddp.");

    bool number = false;
    const double percent = parser.value(leastSure).toDouble(&number);
    if ((!number || percent < 0 || percent > 100) && error.isEmpty())
        error = QStringLiteral("--min-confidence takes a percentage from 0 to 100, not \"%1\".")
                    .arg(parser.value(leastSure));
    o.search.minConfidence = percent / 100;

    const QString size = parser.value(dotSize).trimmed();
    if (size != QStringLiteral("auto")) {
        const auto range = QRegularExpression(QStringLiteral("^([0-9.]+)-([0-9.]+)$")).match(size);
        bool low = false, high = false;
        const double least = range.captured(1).toDouble(&low), most = range.captured(2).toDouble(&high);
        if (range.hasMatch() && low && high && dotRangeValid(least, most)) {
            o.search.minDiameter = least;
            o.search.maxDiameter = most;
        } else if (error.isEmpty()) {
            error = QStringLiteral("--dot-size takes auto or two diameters from %1 to %2 pixels, as 6-12, not "
                                   "\"%3\".")
                        .arg(kLeastDotDiameter)
                        .arg(kMostDotDiameter)
                        .arg(size);
        }
    }
    if (!readGrade(parser.value(filled), o.search.filledGrade) && error.isEmpty())
        error = QStringLiteral("--filled-grade takes A, B, C or D, not \"%1\".").arg(parser.value(filled));
    if (!readGrade(parser.value(hollow), o.search.hollowGrade) && error.isEmpty())
        error = QStringLiteral("--hollow-grade takes A, B, C or D, not \"%1\".").arg(parser.value(hollow));

    for (const WellOption& w : kWellOptions)
        if (parser.isSet(QString::fromLatin1(w.name))) {
            o.well.*w.member = parser.value(QString::fromLatin1(w.name)).toStdString();
            o.wellGiven.push_back(w.member);
        }
    if (parser.isSet(unit)) {
        const QString u = parser.value(unit).toLower();
        if (u == QStringLiteral("m") || u == QStringLiteral("ft")) {
            o.well.depthUnit = u.toUpper().toStdString();
            o.wellGiven.push_back(&WellDetails::depthUnit);
        } else if (error.isEmpty()) {
            error = QStringLiteral("--depth-unit takes m or ft, not \"%1\".").arg(parser.value(unit));
        }
    }
    if (!wellDetailsWritable(o.well) && error.isEmpty())
        error = QStringLiteral("A well detail cannot hold a double quote or a line break.");
    if (!error.isEmpty())
        return std::nullopt;
    return o;
}

WellDetails wellDetailsFor(const QString& picture, const LogWells& wells, const BatchOptions& options,
                           QStringList& warnings)
{
    const QFileInfo file(picture);
    WellDetails d;
    if (!wells.calibrationPicture.isEmpty() && file.fileName() == wells.calibrationPicture) {
        d = wells.calibration;
    } else {
        d.name = wellNameOf(file.completeBaseName()).toStdString();
        if (QString::fromStdString(d.name) != file.completeBaseName())
            warnings << QStringLiteral("The well is named \"%1\": a well's name holds no double quote nor line "
                                       "break.")
                            .arg(QString::fromStdString(d.name));
        // Every log the calibration serves is measured in its depths' unit.
        d.depthUnit = wells.calibration.depthUnit;
    }
    if (wells.table) {
        const auto row = wells.table->find(file.fileName().toStdString());
        if (row == wells.table->end())
            warnings << QStringLiteral("The wells file has no row for \"%1\": its well is named \"%2\".")
                            .arg(file.fileName(), QString::fromStdString(d.name));
        else
            for (std::string WellDetails::*given : row->second.given)
                d.*given = row->second.details.*given;
    }
    for (std::string WellDetails::*given : options.wellGiven)
        d.*given = options.well.*given;
    return d;
}
