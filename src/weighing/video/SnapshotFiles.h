#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

/**
 * Where the station's stills go: one folder per month and occasion under the program folder
 * ("2013年05月_二次计量") and one file per channel named after the plate and the time
 * ("A123_130512_143005_01.bmp"; a black box load has no plate: "130512_143005_01.bmp").
 */
namespace SnapshotFiles {

enum class Occasion { FirstWeighing, SecondWeighing, Load };

/** "YYYY年MM月" + "_一次计量", "_二次计量" or "_自动抓拍". */
QString folderName(Occasion occasion, const QDateTime& time);
QString folderPath(const QString& programFolder, Occasion occasion, const QDateTime& time);
/** The plate as a file name part: characters that a file system refuses or reads as a folder become "_". */
QString safePlate(const QString& plate);
/** plate + "_" + "YYMMDD_HHMMSS", or the time text alone for an empty plate. */
QString baseName(const QString& plate, const QDateTime& time);
/** base + "_01.bmp" … "_04.bmp" for channels 0 to 3. */
QString fileName(const QString& base, int channel);

/**
 * The stills of one weighing pass of a plate: the files of the first snapshot occasion at or after the
 * record's time (the stills follow the save, after the ticket) within two minutes, in channel order.
 * Plates compare without letter case, as the record lookups do. Empty when there are none.
 */
QStringList findStills(const QString& programFolder, Occasion occasion, const QString& plate,
                       const QDateTime& recordTime);

struct RecordStills
{
    QStringList first;
    QStringList second;
};

/**
 * The stills of a weighing record from its two pass times (皮重时间 and 毛重时间, in either order: the
 * earlier is the first weighing). A pending record (one valid time) has first-weighing stills only, a
 * one-pass record (equal times) second-weighing stills only.
 */
RecordStills findRecordStills(const QString& programFolder, const QString& plate, const QDateTime& time1,
                              const QDateTime& time2);

} // namespace SnapshotFiles
