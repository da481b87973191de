#pragma once

#include "RecordListModel.h"
#include "WeighingBoxes.h"
#include "WeighingFigures.h"
#include "data/Dialect.h"

#include <QSqlRecord>
#include <QString>
#include <optional>

class Clock;
class DataModule;

/** What the weighing station reads from Option.ini when it is opened. */
struct StationSettings
{
    /** [Checkdata] Check: the boxes are checked at the first weighing (else at the second or one-pass). */
    bool checkAtFirstWeighing = true;
    /** [IfPrint] Value: a ticket after a completing or one-pass save. */
    bool printAfterSave = true;
    /** [Sound] Sound: the bell after every F2. */
    bool bell = false;
    /** [Video] Video. */
    bool video = false;
    /** [Select] Num: how many records the grid lists. */
    int recordCount = 2000;
    /** [时间限值] 小时数: how old a pending record may be to be completed. */
    int pendingHours = 12;
    /** [Weight] StarRec: first record of the shift, for the totals. */
    QString startRecord = QStringLiteral("1");
    /** [Unit] Value: kilograms (else tonnes). */
    bool kilograms = true;
    /** [帮助] 自定义: the help texts are hidden. */
    bool hideHelp = false;

    static StationSettings read(const QString& iniPath);
};

/** The day's totals of the status bar: trucks and net weight from the shift's first record on. */
struct DailyTotals
{
    int trucks = 0;
    double quantity = 0;
};

/**
 * The weighing station's record layer: the weighing boxes, the record query of the grid, the weight
 * figures of the weighing being prepared, and the saves. Every value is a bound parameter; field names
 * come from `structure` and are checked against the real columns of `weight` before they enter a
 * statement. Every save is one statement, so a failure leaves the record as it was. Failures throw
 * DbError (with the database's text) or ConversionError.
 */
class RecordStore final
{
public:
    inline static const QString NoDeductionMessage = QStringLiteral(
        "没有找到扣杂设置，无法完成二次计量或固定皮重称重。请在“设置扣杂功能”中保存一种扣杂方式，"
        "然后重新打开称重窗口。");

    inline static const QString CompletedElsewhereMessage =
        QStringLiteral("编号为 %1 的称重记录已经完成二次计量（可能在另一台称重电脑上），本次没有保存。");

    RecordStore(DataModule& dm, const Clock& clock, StationSettings settings);

    const StationSettings& settings() const { return m_settings; }
    WeighingBoxes& boxes() { return m_boxes; }
    const WeighingBoxes& boxes() const { return m_boxes; }
    RecordListModel& records() { return m_records; }

    /** Reads the visible layout rows and makes the boxes; also learns the columns of `weight`. */
    void BuildWeighingBoxes();
    /** Reads the deduction in force; false (and no deduction) when `Agio` has no usable row. */
    bool LoadDeduction();
    bool hasDeduction() const { return m_hasDeduction; }
    const DeductionSetting& deduction() const { return m_deduction; }

    /** The fixed tare in force for the plate; 0 when there is none. */
    double FixedTareOf(const QString& plate);
    /** The unit price in force for the product; 0 when there is none. */
    double UnitPriceOf(const QString& product);

    /** The grid lists the plate's pending records within the time limit, newest first; their number. */
    int FindPendingRecords(const QString& plate);
    /** The grid lists the newest records ([Select] Num of them). */
    void RefreshRecords();
    /** The number of the plate's newest record; empty when it has none. */
    QString newestRecordNumber(const QString& plate);

    /** The three weight boxes of the weighing being prepared or of the chosen record. */
    const WeighFigures& figures() const { return m_figures; }
    void setFigures(const WeighFigures& figures) { m_figures = figures; }
    /** The record being completed, the one just saved, or the one chosen in the grid; F9 reprints it. */
    QString recordNumber() const { return m_recordNumber; }
    /** The truck came loaded first (the completion swaps the passes). */
    bool loadedFirst() const { return m_loadedFirst; }
    /** Chooses a record of the grid: its number, its weights and its boxes. */
    void chooseRecord(const QSqlRecord& record);

    /** No pending record and no fixed tare: the live weight is the first pass. */
    void prepareFirstWeighing(const QString& liveWeight);
    /** One pass with the plate's fixed tare; the boxes take over the plate's newest record. */
    void PrefillFromFixedTare(const QString& plate, double fixedTare, const QString& liveWeight);
    /** Completion of the one pending record (a row of the grid). */
    void prepareCompletion(const QSqlRecord& pending, const QString& liveWeight);
    /** Boxes from the row (when there is one), weighing order and deduction. */
    void ApplyRecordAndDeduction(const std::optional<QSqlRecord>& row, const QString& liveWeight);
    /** The 单价 and 金额 boxes from the 品名 box and the net. */
    void UpdatePriceAndAmount();

    /** A new pending record: first pass, now, operator and the boxes. */
    void SaveFirstWeighing(const QString& operatorName);
    /** A new complete record weighed once against the fixed tare; it becomes the chosen record. */
    void SaveFixedTareWeighing(const QString& operatorName);
    /**
     * Completes the pending record prepared by prepareCompletion(): the weights, the second pass's time
     * and operator, the deduction and the boxes. When the loaded truck came first, the stored first-pass
     * time becomes the gross time and now the tare time; the operator columns keep first and second
     * pass. Throws DbError when the record no longer exists.
     */
    void CompleteWeighing(const QString& operatorName);

    /** Adds one to the record's 补打次数 where the layout has that column. */
    void countReprint(const QString& number);
    DailyTotals ShowDailyTotals();

private:
    struct Column
    {
        QString name;
        ColumnKind kind;
    };
    const Column& column(const QString& field) const;
    /** Quoted assignments or names of the fixed columns plus the boxes, and the bound values. */
    void appendBoxes(QStringList& names, QVariantList& values) const;
    /** Inserts one record: the given columns, then every weighing box. Returns its number. */
    QString insertRecord(QStringList names, QVariantList values);
    QString now() const;
    static qlonglong recordKey(const QString& number);

    DataModule& m_dm;
    const Clock& m_clock;
    StationSettings m_settings;
    WeighingBoxes m_boxes;
    RecordListModel m_records;
    QList<Column> m_columns;
    DeductionSetting m_deduction;
    bool m_hasDeduction = false;
    WeighFigures m_figures;
    QString m_recordNumber;
    bool m_loadedFirst = false;
    double m_deductionAmount = 0;
};
