#pragma once

#include <QColor>
#include <QString>
#include <QTime>

/*
 * The catalogue of Option.ini: every section and key the program reads or writes, with its type and
 * default. Names are matched without regard to letter case; each entry carries the spelling the program
 * writes. Entries whose default depends on the program folder are functions of it.
 */

struct TextSetting
{
    QString section;
    QString key;
    QString def;
};
struct IntSetting
{
    QString section;
    QString key;
    int def;
};
struct NumberSetting
{
    QString section;
    QString key;
    double def;
};
struct BoolSetting
{
    QString section;
    QString key;
    bool def;
};
struct TimeSetting
{
    QString section;
    QString key;
    QTime def;
};

namespace Option {

inline const QString DefaultCaption = QStringLiteral("Hemlo电子汽车衡(地磅)称重管理系统Version2013");

// Main window and background
inline const TextSetting ApplicationCaption{QStringLiteral("Application"), QStringLiteral("Caption"), DefaultCaption};
inline const BoolSetting PictureBackdrop{QStringLiteral("picture"), QStringLiteral("Backdrop"), false};
inline TextSetting PicturePath(const QString& folder)
{
    return {QStringLiteral("Picture"), QStringLiteral("path"), folder + QStringLiteral("/Picture/Image1280-1024-1.jpg")};
}
inline const IntSetting BackdropColor{QStringLiteral("picture"), QStringLiteral("backdropcolor"), 15714723};
/** Colours are stored as the integer 0x00BBGGRR (red in the low byte). */
inline QColor colorFromValue(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
inline int colorValue(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

// Schedule
inline const BoolSetting ShutdownEnabled{QStringLiteral("ExitWindows"), QStringLiteral("IfExit"), false};
inline const TimeSetting ShutdownTime{QStringLiteral("ExitWindows"), QStringLiteral("time"), QTime(23, 59, 59)};
inline const BoolSetting AutoBackupEnabled{QStringLiteral("AutoBackup"), QStringLiteral("AutoBackup"), false};
inline const TimeSetting AutoBackupTime{QStringLiteral("AutoBackup"), QStringLiteral("BackupTime"), QTime(12, 0, 0)};
inline const BoolSetting CloseBackupEnabled{QStringLiteral("CloseBackup"), QStringLiteral("CloseBackup"), false};
inline TextSetting BackupFolder(const QString& folder)
{
    return {QStringLiteral("BackupdataPath"), QStringLiteral("Path"), folder + QStringLiteral("/backup")};
}

// Weighing options
inline const TextSetting SelectNumText{QStringLiteral("Select"), QStringLiteral("Num"), QStringLiteral("2000")};
inline const IntSetting SelectNum{QStringLiteral("Select"), QStringLiteral("Num"), 2000};
inline const TextSetting LowerLimitText{QStringLiteral("黑匣子"), QStringLiteral("下限值"), QStringLiteral("1000")};
inline const NumberSetting LowerLimit{QStringLiteral("黑匣子"), QStringLiteral("下限值"), 1000};
inline const BoolSetting Sound{QStringLiteral("Sound"), QStringLiteral("Sound"), false};
inline const BoolSetting AutoRun{QStringLiteral("AutoRun"), QStringLiteral("AutoRun"), false};
/** The settings window shows an absent entry unticked, while the weighing station acts as if ticked. */
inline const BoolSetting CheckdataInSettings{QStringLiteral("Checkdata"), QStringLiteral("check"), false};
inline const BoolSetting CheckdataAtStation{QStringLiteral("Checkdata"), QStringLiteral("Check"), true};
inline const BoolSetting PrintDirectly{QStringLiteral("IfPrint"), QStringLiteral("value"), true};
inline const BoolSetting CheckLaterThanLast{QStringLiteral("IfCheckdata"), QStringLiteral("value1"), true};
inline const BoolSetting CheckTareDifference{QStringLiteral("IfCheckdata"), QStringLiteral("value2"), true};
inline const BoolSetting RemindAfter30Days{QStringLiteral("IfCheckdata"), QStringLiteral("value3"), true};
inline const TextSetting ImeName{QStringLiteral("ImeName"), QStringLiteral("ImeName"), QStringLiteral("中文 (简体) - 智能 ABC")};
inline const BoolSetting Video{QStringLiteral("Video"), QStringLiteral("Video"), false};
/** Which capture card the station uses: cameras (the default) or the built-in test pattern. */
inline const QString VideoCardCameras = QStringLiteral("Camera");
inline const QString VideoCardTestPattern = QStringLiteral("TestPattern");
inline const TextSetting VideoCard{QStringLiteral("Video"), QStringLiteral("Card"), VideoCardCameras};
/** The camera of a channel (0 to 3) by its name or id; empty: the system's camera of that number. */
inline TextSetting VideoCamera(int channel)
{
    return {QStringLiteral("Video"), QStringLiteral("Camera") + QString::number(channel + 1), QString()};
}
/** True: kilograms; false: tonnes. */
inline const BoolSetting UnitKilograms{QStringLiteral("Unit"), QStringLiteral("Value"), true};
/** True: quick ticket (report template); false: universal ticket (workbook). */
inline const BoolSetting PrintQuick{QStringLiteral("Print"), QStringLiteral("Type"), true};
/** Ticket printer by name; empty: the system's default printer. */
inline const TextSetting TicketPrinter{QStringLiteral("Print"), QStringLiteral("Printer"), QString()};
inline const BoolSetting HideHelp{QStringLiteral("帮助"), QStringLiteral("自定义"), false};
inline const IntSetting PendingHours{QStringLiteral("时间限值"), QStringLiteral("小时数"), 12};

// Shift markers written by the login
inline const TextSetting ShiftStartRecord{QStringLiteral("weight"), QStringLiteral("StarRec"), QStringLiteral("1")};
inline const TextSetting ShiftStartTime{QStringLiteral("weight"), QStringLiteral("daytime"), QString()};

// Input length of a record field's box, in GBK bytes
inline const QString CheckWidthSection = QStringLiteral("CheckWidth");
inline IntSetting CheckWidth(const QString& field)
{
    return {CheckWidthSection, field, 20};
}

// Paper, report titles, default ticket
inline const TextSetting PaperName{QStringLiteral("zdypage"), QStringLiteral("Name"), QStringLiteral("zdy")};
inline const TextSetting PaperWidth{QStringLiteral("zdypage"), QStringLiteral("PaperWidth"), QStringLiteral("24.00")};
inline const TextSetting PaperLength{QStringLiteral("zdypage"), QStringLiteral("PaperLength"), QStringLiteral("9.50")};
inline const TextSetting ReportTitle1{QStringLiteral("title"), QStringLiteral("title1"), QStringLiteral("**集团公司")};
inline const TextSetting ReportTitle2{QStringLiteral("title"), QStringLiteral("title2"), QStringLiteral("季度月报表")};
inline TextSetting DefaultTicket(const QString& folder)
{
    return {QStringLiteral("默认磅单"), QStringLiteral("路径"), folder + QStringLiteral("/磅单/H标准磅单.fr3")};
}

/** Width in pixels of one grid column; the section is the caption of the window holding the grid. */
inline IntSetting GridWidth(const QString& windowCaption, const QString& field)
{
    return {windowCaption, field, 100};
}

} // namespace Option
