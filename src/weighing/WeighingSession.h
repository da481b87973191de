#pragma once

#include "RecordStore.h"

#include <QString>
#include <functional>
#include <optional>

class IniFile;

/** The indicator as it stands when the operator presses a key. */
struct LiveReading
{
    /** A weight arrived lately; without one nothing may be weighed. */
    bool present = false;
    bool stable = false;
    /** The whole-number weight as displayed, and as a number. */
    QString text;
    double weight = 0;
    /** [黑匣子] 下限值: lighter is no truck. */
    double lowerLimit = 0;
};

/**
 * The weighing station's decisions, apart from its window: what F1 prepares from the plate, the
 * pending records and the fixed tare; which save F2 makes of what F1 prepared, and nothing else; the
 * checks and statement of F12. Every outcome names the message the operator sees, if any. Failures of
 * statements throw DbError or ConversionError, as the record store does.
 */
class WeighingSession final
{
public:
    inline static const QString TooLightMessage = QStringLiteral("重量小于最小皮重设定值不能称重!");
    inline static const QString SeveralPendingMessage =
        QStringLiteral("您可能输入车号错误，请检查现在的车号或者以前输入的这个车号是否准确!");
    inline static const QString NoReadingMessage =
        QStringLiteral("没有收到称重仪表的数据，不能称重！请检查仪表电源和通讯线路。");
    inline static const QString BadTareMessage = QStringLiteral("非正常皮重，不能存储皮重数据!");
    inline static const QString NoPlateMessage = QStringLiteral("没有输入车牌号码，请重新输入数据");
    inline static const QString TareExistsMessage = QStringLiteral("此车号皮重已经存储，无需重新存皮!");
    inline static const QString TareStoredMessage = QStringLiteral("输入固定皮重数据成功");

    /** What F1 decided. */
    enum class Take { Ignored, NoReading, TooLight, SeveralPending, NoDeduction, FirstWeighing, Completion, FixedTare };
    /** What F2 did. */
    enum class Save { Ignored, NoReading, BoxesRefused, SavedFirst, SavedComplete };
    /** What F12 did. */
    enum class StoreTare { NoReading, BadTare, NoPlate, Exists, Stored };

    struct SaveOutcome
    {
        Save result = Save::Ignored;
        /** The box the check refused (BoxesRefused), else -1. */
        int failingBox = -1;
    };

    WeighingSession(DataModule& dm, const Clock& clock, StationSettings settings);

    /** Builds the boxes from the layout and reads the deduction; false when there is no deduction. */
    bool open();

    const StationSettings& settings() const { return m_store.settings(); }
    WeighingBoxes& boxes() { return m_store.boxes(); }
    RecordListModel& records() { return m_store.records(); }
    const WeighFigures& figures() const { return m_store.figures(); }
    QString recordNumber() const { return m_store.recordNumber(); }
    /** The plate of the weighing on screen: the prepared one, or the chosen record's. */
    QString plateCaption() const { return m_plateCaption; }
    /** F1 prepared something that F2 may save. */
    bool canSave() const { return m_prepared != Take::Ignored; }

    /** F1 with the plate in the boxes. */
    Take takeWeight(const LiveReading& reading);
    /**
     * F2: saves what F1 prepared (a first weighing, a completion or a one-pass weighing with the fixed
     * tare); afterwards nothing is prepared, also when the save failed. `ini` holds the boxes' limits.
     */
    SaveOutcome save(const LiveReading& reading, const QString& operatorName, const IniFile& ini);
    /** Whether the save just made should print a ticket. */
    bool ticketAfter(Save result) const { return result == Save::SavedComplete && settings().printAfterSave; }
    /**
     * F12: stores the live weight as the fixed tare of the plate that `askPlate` returns; it is asked only
     * when the reading can be a tare (nullopt: cancelled, as an empty plate).
     */
    StoreTare storeFixedTare(const LiveReading& reading, const std::function<std::optional<QString>()>& askPlate,
                             const QString& operatorName);
    static QString messageOf(Take result);
    static QString messageOf(StoreTare result);

    /** A record chosen in the grid; nothing is prepared any more. */
    void chooseRecord(int row);
    /** Forgets what F1 prepared. */
    void stopPreparing() { m_prepared = Take::Ignored; }
    /** The newest records, empty boxes (the computed ones stay disabled in the window). */
    void refresh();
    DailyTotals dailyTotals() { return m_store.ShowDailyTotals(); }
    void countReprint(const QString& number) { m_store.countReprint(number); }
    /** The 单价 and 金额 boxes from the 品名 box and the net, after the operator edited a box. */
    void updatePriceAndAmount() { m_store.UpdatePriceAndAmount(); }

private:
    RecordStore m_store;
    DataModule& m_dm;
    Take m_prepared = Take::Ignored;
    QString m_plateCaption;
};
