#pragma once

#include "FrameRule.h"
#include "platform/SerialLine.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

/**
 * One row of `Com_parameter`: an indicator model's line settings and frame parameters. Every value is
 * kept as the text the user typed; numbers are converted only where they are used.
 */
struct IndicatorModel
{
    QString name;   // 仪表型号
    QString wiring; // 接线方式说明
    bool selected = false;
    QString Commname;
    QString Baudrate;
    QString Parity;
    QString Bytesize;
    QString Stopbits;
    bool Direction = true;
    QString CountChar;
    QString StarChar;
    QString StarWeightChar;
    QString WeightCharCount;
    QString StarOrderChar;
    QString OrderCharCount;
    QString OrderChar1;
    QString OrderChar2;
    QString OrderChar3;

    FrameParameters frameParameters() const;
    /**
     * The line settings the weighing station opens its port with. Throws ConversionError when the baud
     * rate or the read-interval time-out (`CountChar`) is not an integer.
     */
    LineSettings stationLineSettings() const;
};

/**
 * The line settings the test console derives from its boxes, starting from the settings it used last:
 * a parity, data-bits or stop-bits text it does not know leaves that setting as it was. Throws
 * ConversionError when the baud rate or the read-interval time-out is not an integer.
 */
LineSettings consoleLineSettings(LineSettings previous, const QString& port, const QString& baud,
                                 const QString& parity, const QString& dataBits, const QString& stopBits,
                                 const QString& readInterval);

/** The table of indicator models in the parameter database; failures throw DbError. */
namespace IndicatorModels {

inline const QString NewModelItem = QStringLiteral("新建一个型号");

/** Every model name in table order. */
QStringList names(const QSqlDatabase& db);
/** The selected model (the first, should several be marked). */
std::optional<IndicatorModel> selected(const QSqlDatabase& db);
/** The model of that name, looked up without surrounding blanks. */
std::optional<IndicatorModel> find(const QSqlDatabase& db, const QString& name);
/**
 * Saves the model under its name without surrounding blanks (updating that row, or inserting one) and
 * makes it the only selected model, in one transaction.
 */
void save(const QSqlDatabase& db, const IndicatorModel& model);

} // namespace IndicatorModels
