#include "IndicatorModel.h"

#include "data/Errors.h"
#include "data/Sql.h"

#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

namespace {

int integerSetting(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError(u"“%1”不是有效的整数值"_s.arg(text));
    return value;
}

std::optional<int> dataBitsOf(const QString& text)
{
    const QString t = text.trimmed();
    if (t == u"8"_s)
        return 8;
    if (t == u"7"_s)
        return 7;
    if (t == u"6"_s)
        return 6;
    return std::nullopt;
}

std::optional<LineSettings::Parity> parityOf(const QString& text, bool withSpace)
{
    const QString t = text.trimmed().toUpper();
    if (t == u"NONE"_s)
        return LineSettings::Parity::None;
    if (t == u"ODD"_s)
        return LineSettings::Parity::Odd;
    if (t == u"EVEN"_s)
        return LineSettings::Parity::Even;
    if (t == u"MARK"_s)
        return LineSettings::Parity::Mark;
    if (withSpace && t == u"SPACE"_s)
        return LineSettings::Parity::Space;
    return std::nullopt;
}

QString text(const QSqlRecord& record, const QString& column)
{
    const QVariant value = record.value(column);
    return value.isNull() ? QString() : value.toString();
}

IndicatorModel modelOf(const QSqlRecord& r)
{
    IndicatorModel m;
    m.name = text(r, u"仪表型号"_s);
    m.wiring = text(r, u"接线方式说明"_s);
    m.selected = r.value(u"是否选择"_s).toBool();
    m.Commname = text(r, u"Commname"_s);
    m.Baudrate = text(r, u"Baudrate"_s);
    m.Parity = text(r, u"Parity"_s);
    m.Bytesize = text(r, u"Bytesize"_s);
    m.Stopbits = text(r, u"Stopbits"_s);
    m.Direction = r.value(u"Direction"_s).toBool();
    m.CountChar = text(r, u"CountChar"_s);
    m.StarChar = text(r, u"StarChar"_s);
    m.StarWeightChar = text(r, u"StarWeightChar"_s);
    m.WeightCharCount = text(r, u"WeightCharCount"_s);
    m.StarOrderChar = text(r, u"StarOrderChar"_s);
    m.OrderCharCount = text(r, u"OrderCharCount"_s);
    m.OrderChar1 = text(r, u"OrderChar1"_s);
    m.OrderChar2 = text(r, u"OrderChar2"_s);
    m.OrderChar3 = text(r, u"OrderChar3"_s);
    return m;
}

std::optional<IndicatorModel> firstModel(const QSqlDatabase& db, const QString& sql,
                                         const QVariantList& values)
{
    QSqlQuery q = Sql::exec(db, sql, values);
    if (!q.next())
        return std::nullopt;
    return modelOf(q.record());
}

} // namespace

FrameParameters IndicatorModel::frameParameters() const
{
    return FrameParameters::fromTexts(Direction, StarChar, StarWeightChar, WeightCharCount, StarOrderChar,
                                      OrderCharCount, OrderChar1);
}

LineSettings IndicatorModel::stationLineSettings() const
{
    LineSettings s;
    s.portName = Commname;
    s.baudRate = integerSetting(Baudrate);
    s.readIntervalTimeout = integerSetting(CountChar);
    s.parity = parityOf(Parity, true).value_or(LineSettings::Parity::None);
    s.dataBits = dataBitsOf(Bytesize).value_or(8);
    s.stopBits = Stopbits.trimmed() == u"1"_s ? LineSettings::StopBits::One : LineSettings::StopBits::Two;
    return s;
}

LineSettings consoleLineSettings(LineSettings previous, const QString& port, const QString& baud,
                                 const QString& parity, const QString& dataBits, const QString& stopBits,
                                 const QString& readInterval)
{
    LineSettings s = previous;
    s.portName = port;
    s.baudRate = integerSetting(baud);
    s.parity = parityOf(parity, false).value_or(previous.parity);
    s.dataBits = dataBitsOf(dataBits).value_or(previous.dataBits);
    if (stopBits.trimmed() == u"1"_s)
        s.stopBits = LineSettings::StopBits::One;
    else if (stopBits.trimmed() == u"2"_s)
        s.stopBits = LineSettings::StopBits::Two;
    s.readIntervalTimeout = integerSetting(readInterval);
    return s;
}

namespace IndicatorModels {

QStringList names(const QSqlDatabase& db)
{
    QStringList result;
    QSqlQuery q = Sql::exec(db, u"SELECT 仪表型号 FROM Com_parameter"_s);
    while (q.next())
        result.append(q.value(0).toString());
    return result;
}

std::optional<IndicatorModel> selected(const QSqlDatabase& db)
{
    return firstModel(db, u"SELECT * FROM Com_parameter WHERE 是否选择 = ?"_s, {true});
}

std::optional<IndicatorModel> find(const QSqlDatabase& db, const QString& name)
{
    return firstModel(db, u"SELECT * FROM Com_parameter WHERE 仪表型号 = ?"_s, {name.trimmed()});
}

void save(const QSqlDatabase& db, const IndicatorModel& m)
{
    const QString name = m.name.trimmed();
    const QVariantList values{m.wiring,
                              true,
                              m.Commname,
                              m.Baudrate,
                              m.Parity,
                              true,
                              m.Bytesize,
                              m.Stopbits,
                              m.Direction,
                              m.CountChar,
                              m.StarChar,
                              m.StarWeightChar,
                              m.WeightCharCount,
                              m.StarOrderChar,
                              m.OrderCharCount,
                              m.OrderChar1,
                              m.OrderChar2,
                              m.OrderChar3,
                              name};
    Sql::inTransaction(db, [&] {
        const bool exists =
            !Sql::scalar(db, u"SELECT 仪表型号 FROM Com_parameter WHERE 仪表型号 = ?"_s, {name}).isNull();
        Sql::exec(db, u"UPDATE Com_parameter SET 是否选择 = ?"_s, {false});
        if (exists) {
            Sql::exec(
                db,
                u"UPDATE Com_parameter SET 接线方式说明 = ?, 是否选择 = ?, Commname = ?, Baudrate = ?, "
                "Parity = ?, ParityCheck = ?, Bytesize = ?, Stopbits = ?, Direction = ?, CountChar = ?, "
                "StarChar = ?, StarWeightChar = ?, WeightCharCount = ?, StarOrderChar = ?, "
                "OrderCharCount = ?, OrderChar1 = ?, OrderChar2 = ?, OrderChar3 = ? WHERE 仪表型号 = ?"_s,
                values);
        } else {
            Sql::exec(db,
                      u"INSERT INTO Com_parameter (接线方式说明, 是否选择, Commname, Baudrate, Parity, "
                      "ParityCheck, Bytesize, Stopbits, Direction, CountChar, StarChar, StarWeightChar, "
                      "WeightCharCount, StarOrderChar, OrderCharCount, OrderChar1, OrderChar2, OrderChar3, "
                      "仪表型号) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                      values);
        }
    });
}

} // namespace IndicatorModels
