#include "SnapshotFiles.h"

#include <QDir>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace SnapshotFiles {

namespace {

const QString TimeFormat = u"yyMMdd_HHmmss"_s;
// "_130512_143005_01.bmp"
constexpr qsizetype StampedSuffixLength = 21;
constexpr int SearchSeconds = 120;
// Times are stored to the second and the still's stamp may be taken in the same second as the record.
constexpr int EarlySeconds = 1;

QString suffix(Occasion occasion)
{
    switch (occasion) {
    case Occasion::FirstWeighing:
        return u"_一次计量"_s;
    case Occasion::SecondWeighing:
        return u"_二次计量"_s;
    case Occasion::Load:
        return u"_自动抓拍"_s;
    }
    return {};
}

/** The time of a still's name "<plate>_YYMMDD_HHMMSS_0n.bmp"; invalid when the name is not one. */
QDateTime stampOf(const QString& name)
{
    if (name.size() < StampedSuffixLength || !name.endsWith(u".bmp"_s, Qt::CaseInsensitive))
        return {};
    const QString stamp = name.mid(name.size() - StampedSuffixLength + 1, TimeFormat.size());
    QDateTime time = QDateTime::fromString(stamp, TimeFormat);
    // Two-digit years are read as 19xx.
    return time.isValid() ? time.addYears(100) : time;
}

} // namespace

QString folderName(Occasion occasion, const QDateTime& time)
{
    return time.toString(u"yyyy年MM月"_s) + suffix(occasion);
}

QString folderPath(const QString& programFolder, Occasion occasion, const QDateTime& time)
{
    return programFolder + u'/' + folderName(occasion, time);
}

QString safePlate(const QString& plate)
{
    QString safe = plate;
    for (QChar& c : safe)
        if (c < QChar(32) || u"/\\:*?\"<>|"_s.contains(c))
            c = u'_';
    return safe;
}

QString baseName(const QString& plate, const QDateTime& time)
{
    const QString stamp = time.toString(TimeFormat);
    return plate.isEmpty() ? stamp : safePlate(plate) + u'_' + stamp;
}

QString fileName(const QString& base, int channel)
{
    return base + u"_0"_s + QString::number(channel + 1) + u".bmp"_s;
}

QStringList findStills(const QString& programFolder, Occasion occasion, const QString& plate,
                       const QDateTime& recordTime)
{
    const QString prefix = safePlate(plate.trimmed()) + u'_';
    const QDateTime from = recordTime.addSecs(-EarlySeconds);
    const QDateTime to = recordTime.addSecs(SearchSeconds);
    // The stills may fall into the next month's folder.
    QStringList folders{folderPath(programFolder, occasion, from)};
    if (folderName(occasion, to) != folderName(occasion, from))
        folders.append(folderPath(programFolder, occasion, to));

    std::map<QDateTime, QStringList> byTime;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            if (name.size() != prefix.size() + StampedSuffixLength - 1 ||
                !name.startsWith(prefix, Qt::CaseInsensitive))
                continue;
            const QDateTime stamp = stampOf(name);
            if (stamp.isValid() && stamp >= from && stamp <= to)
                byTime[stamp].append(dir.filePath(name));
        }
    }
    return byTime.empty() ? QStringList() : byTime.begin()->second;
}

RecordStills findRecordStills(const QString& programFolder, const QString& plate, const QDateTime& time1,
                              const QDateTime& time2)
{
    RecordStills stills;
    if (!time1.isValid() || !time2.isValid()) {
        const QDateTime pending = time1.isValid() ? time1 : time2;
        if (pending.isValid())
            stills.first = findStills(programFolder, Occasion::FirstWeighing, plate, pending);
        return stills;
    }
    if (time1 != time2)
        stills.first = findStills(programFolder, Occasion::FirstWeighing, plate, std::min(time1, time2));
    stills.second = findStills(programFolder, Occasion::SecondWeighing, plate, std::max(time1, time2));
    return stills;
}

} // namespace SnapshotFiles
