#pragma once

#include <QString>

/** The deduction in force at the weighing station: kind and value of the newest `Agio` row. */
struct DeductionSetting
{
    /** 折扣项目 as stored; any text. */
    QString name;
    /** 1 毛重折扣, 2 毛重比例, 3 净重折扣, 4 净重比例; 0 for any other name (no deduction). */
    int kind = 0;
    double value = 0;

    /** The kind number of a name; 0 for a name that is none of the four. */
    static int kindOf(const QString& name);
    /**
     * What a save writes into 扣杂方式 before the order tag: the name, then "[" + the value + "]" for the
     * fixed kinds (a plain number, such as -300), "[×98%]" for the percentage kinds, "[]" for none.
     */
    QString description() const;
};

/** Order tags that end 扣杂方式. */
namespace OrderTag {
inline const QString EmptyFirst = QStringLiteral("[皮->毛]");
inline const QString LoadedFirst = QStringLiteral("[毛->皮]");
inline const QString FixedTare = QStringLiteral("[皮->毛][固]");
} // namespace OrderTag

/** The texts of the three weight boxes: gross (Edit1), first pass (Edit2) and net (Edit3). */
struct WeighFigures
{
    QString gross = QStringLiteral("0");
    QString firstPass = QStringLiteral("0");
    QString net = QStringLiteral("0");

    bool operator==(const WeighFigures&) const = default;
};

/** The weighing order and the deduction applied to the figures of a second (or one-pass) weighing. */
struct SettledFigures
{
    WeighFigures figures;
    /** The first pass was the loaded truck. */
    bool loadedFirst = false;
    /** Deducted weight (扣重数), two decimals. */
    double amount = 0;
};

namespace Figures {

/** A number as a plain text: 15000, 12.5, 0.01, -300 (at most two decimals, no trailing zeros). */
QString plain(double value);
/** A number with two decimals ("0.00"). */
QString twoDecimals(double value);
/** The number a box holds; throws ConversionError naming the box when the text is not a number. */
double number(const QString& text, const QString& box);
/** A text ending in ".00" loses those three characters (the weight boxes show 98.00 as 98). */
QString withoutZeroDecimals(const QString& text);

/**
 * Settles the weighing order and applies the deduction. When the net is negative the truck came loaded
 * first: the first pass becomes the gross and the live weight the tare. Then, with value v:
 * 毛重折扣 adds v to the gross, 毛重比例 keeps v per cent of it; the net is gross minus tare; 净重折扣
 * adds v to the net, 净重比例 keeps v per cent of it. The amount is what was taken off. Every changed
 * figure is written with two decimals, as the boxes hold it. Throws ConversionError for a box that holds
 * no number.
 */
SettledFigures settle(WeighFigures figures, const QString& liveWeight, const DeductionSetting& deduction);

} // namespace Figures
