#include "RecordStore.h"

#include "MasterData.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/WeightDerived.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "platform/Clock.h"

#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

StationSettings StationSettings::read(const QString& iniPath)
{
    const IniFile ini(iniPath);
    StationSettings s;
    s.checkAtFirstWeighing = ini.read(Option::CheckdataAtStation);
    s.printAfterSave = ini.read(Option::PrintDirectly);
    s.bell = ini.read(Option::Sound);
    s.video = ini.read(Option::Video);
    s.recordCount = ini.read(Option::SelectNum);
    s.pendingHours = ini.read(Option::PendingHours);
    s.startRecord = ini.read(Option::ShiftStartRecord).trimmed();
    // A shift start that is no record number counts from the first record, as a missing one does.
    bool number = false;
    s.startRecord.toLongLong(&number);
    if (!number)
        s.startRecord = Option::ShiftStartRecord.def;
    s.kilograms = ini.read(Option::UnitKilograms);
    s.hideHelp = ini.read(Option::HideHelp);
    return s;
}

RecordStore::RecordStore(DataModule& dm, const Clock& clock, StationSettings settings)
    : m_dm(dm), m_clock(clock), m_settings(std::move(settings))
{}

void RecordStore::BuildWeighingBoxes()
{
    QList<StructureRow> visible;
    for (const StructureRow& row : RecordLayout::read(m_dm.weightdatabase()))
        if (row.visible)
            visible.append(row);
    m_boxes.build(visible);
    m_columns.clear();
    for (const ColumnInfo& c : m_dm.dialect().columns(m_dm.weightdatabase(), u"weight"_s))
        m_columns.append({c.name, c.kind});
}

bool RecordStore::LoadDeduction()
{
    m_deduction = {};
    m_hasDeduction = false;
    QSqlQuery q =
        Sql::exec(m_dm.weightdatabase(),
                  m_dm.dialect().limit(u"SELECT 折扣项目, 折扣数值 FROM Agio ORDER BY ID DESC"_s, 1));
    if (!q.next())
        return false;
    bool ok = false;
    const double value = q.value(1).toString().trimmed().toDouble(&ok);
    if (!ok)
        return false;
    m_deduction.name = q.value(0).toString();
    m_deduction.kind = DeductionSetting::kindOf(m_deduction.name);
    m_deduction.value = value;
    m_hasDeduction = true;
    return true;
}

double RecordStore::FixedTareOf(const QString& plate)
{
    const QVariant tare =
        Sql::scalar(m_dm.weightdatabase(),
                    u"SELECT 皮重 FROM TareWeight WHERE (%1) AND (固定存皮 = %2)"_s.arg(
                        m_dm.dialect().textEquals(u"车号"_s), m_dm.dialect().trueLiteral()),
                    {plate});
    return tare.isNull() ? 0.0 : Figures::number(tare.toString(), u"固定皮重"_s);
}

double RecordStore::UnitPriceOf(const QString& product)
{
    return ::UnitPriceOf(m_dm, product);
}

int RecordStore::FindPendingRecords(const QString& plate)
{
    const QString cutOff = Dialect::dateTimeText(m_clock.now().addSecs(-3600LL * m_settings.pendingHours));
    // The plate index (plate without letter case, 毛重, 皮重时间) holds the plate's pending records
    // together, so the search reads only those, however many records the plate has.
    QSqlQuery q(m_dm.weightdatabase());
    Sql::execOn(q,
                m_dm.dialect().limit(u"SELECT * FROM weight WHERE (%1) AND (毛重 < 1) AND (皮重时间 > ?) "
                                     "ORDER BY 编号 DESC"_s.arg(m_dm.dialect().textEquals(u"车号"_s)),
                                     m_settings.recordCount),
                {plate, cutOff});
    m_records.setQuery(std::move(q));
    return m_records.fetchAll();
}

void RecordStore::RefreshRecords()
{
    QSqlQuery q(m_dm.weightdatabase());
    Sql::execOn(q,
                m_dm.dialect().limit(u"SELECT * FROM weight ORDER BY 编号 DESC"_s, m_settings.recordCount));
    m_records.setQuery(std::move(q));
    m_records.fetchAll();
}

QString RecordStore::newestRecordNumber(const QString& plate)
{
    return m_dm.QueryScalar(
        m_dm.dialect().limit(
            u"SELECT 编号 FROM weight WHERE %1 ORDER BY 编号 DESC"_s.arg(m_dm.dialect().textEquals(u"车号"_s)), 1),
        {plate});
}

void RecordStore::prepareFirstWeighing(const QString& liveWeight)
{
    m_figures = {u"0"_s, liveWeight, u"0"_s};
}

void RecordStore::PrefillFromFixedTare(const QString& plate, double fixedTare, const QString& liveWeight)
{
    const double gross = Figures::number(liveWeight, u"毛重"_s);
    m_figures = {liveWeight, Figures::plain(fixedTare), Figures::plain(gross - fixedTare)};
    QSqlQuery q = Sql::exec(
        m_dm.weightdatabase(),
        m_dm.dialect().limit(
            u"SELECT * FROM weight WHERE %1 ORDER BY 编号 DESC"_s.arg(m_dm.dialect().textEquals(u"车号"_s)), 1),
        {plate});
    std::optional<QSqlRecord> newest;
    if (q.next())
        newest = q.record();
    ApplyRecordAndDeduction(newest, liveWeight);
}

void RecordStore::prepareCompletion(const QSqlRecord& pending, const QString& liveWeight)
{
    m_recordNumber = pending.value(u"编号"_s).toString();
    const double firstPass = pending.value(u"皮重"_s).toDouble();
    const double gross = Figures::number(liveWeight, u"毛重"_s);
    m_figures = {liveWeight, Figures::plain(firstPass), Figures::plain(gross - firstPass)};
    ApplyRecordAndDeduction(pending, liveWeight);
}

void RecordStore::ApplyRecordAndDeduction(const std::optional<QSqlRecord>& row, const QString& liveWeight)
{
    m_loadedFirst = false;
    if (row)
        m_boxes.takeNonEmptyFrom(*row);
    const SettledFigures settled = Figures::settle(m_figures, liveWeight, m_deduction);
    m_figures = settled.figures;
    m_loadedFirst = settled.loadedFirst;
    m_deductionAmount = settled.amount;
}

void RecordStore::UpdatePriceAndAmount()
{
    const double price = UnitPriceOf(m_boxes.GetBoxText(u"品名"_s));
    m_boxes.SetBoxText(WeighingBoxes::PriceField, Figures::twoDecimals(price));
    const double amount = price * Figures::number(m_figures.net, u"净重"_s);
    m_boxes.SetBoxText(WeighingBoxes::AmountField, Figures::twoDecimals(amount));
}

const RecordStore::Column& RecordStore::column(const QString& field) const
{
    for (const Column& c : m_columns)
        if (c.name.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    throw DbError(u"数据表“weight”中没有称重项目“%1”，请在“设置称重项目”中检查称重项目"_s.arg(field));
}

void RecordStore::appendBoxes(QStringList& names, QVariantList& values) const
{
    // The saves name the weight, time, operator and deduction columns themselves; a box for one of
    // them would name a column twice.
    const QStringList own = names;
    for (int i = 0; i < m_boxes.count(); ++i) {
        const Column& c = column(m_boxes.entries()[i].field);
        for (const QString& name : own)
            if (name.compare(c.name, Qt::CaseInsensitive) == 0)
                throw DbError(
                    u"称重项目“%1”由系统填写，不能设为可见，请在“设置称重项目”中修改"_s.arg(c.name));
        names.append(c.name);
        values.append(Dialect::toColumnValue(c.kind, m_boxes.text(i).trimmed(), c.name));
    }
}

QString RecordStore::now() const
{
    return Dialect::dateTimeText(m_clock.now());
}

qlonglong RecordStore::recordKey(const QString& number)
{
    bool ok = false;
    const qlonglong key = number.trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(u"“%1”不是有效的记录编号"_s.arg(number));
    return key;
}

QString RecordStore::insertRecord(QStringList names, QVariantList values)
{
    appendBoxes(names, values);
    QStringList quoted;
    for (const QString& name : names)
        quoted.append(m_dm.dialect().quote(name));
    const QSqlQuery insert =
        Sql::exec(m_dm.weightdatabase(),
                  u"INSERT INTO weight (%1) VALUES (%2)"_s.arg(quoted.join(u", "_s),
                                                               QStringList(names.size(), u"?"_s).join(u", "_s)),
                  values);
    return insert.lastInsertId().toString();
}

void RecordStore::SaveFirstWeighing(const QString& operatorName)
{
    insertRecord({u"皮重"_s, u"皮重时间"_s, u"皮重操作人"_s},
                 {Figures::number(m_figures.firstPass, u"毛皮重"_s), now(), operatorName});
}

void RecordStore::SaveFixedTareWeighing(const QString& operatorName)
{
    const QString time = now();
    const QStringList names{u"皮重"_s,       u"皮重时间"_s, u"皮重操作人"_s, u"毛重"_s,  u"毛重时间"_s,
                            u"毛重操作人"_s, u"净重"_s,     u"扣杂方式"_s,   u"扣重数"_s};
    const QVariantList values{Figures::number(m_figures.firstPass, u"毛皮重"_s),
                              time,
                              operatorName,
                              Figures::number(m_figures.gross, u"毛重"_s),
                              time,
                              operatorName,
                              Figures::number(m_figures.net, u"净重"_s),
                              m_deduction.description() + OrderTag::FixedTare,
                              m_deductionAmount};
    m_recordNumber = insertRecord(names, values);
}

void RecordStore::chooseRecord(const QSqlRecord& record)
{
    m_recordNumber = record.value(u"编号"_s).toString();
    m_figures = {Figures::plain(record.value(u"毛重"_s).toDouble()), Figures::plain(record.value(u"皮重"_s).toDouble()),
                 Figures::plain(record.value(u"净重"_s).toDouble())};
    m_boxes.FillBoxesFromRow(record);
}

void RecordStore::CompleteWeighing(const QString& operatorName)
{
    const qlonglong key = recordKey(m_recordNumber);
    const bool loadedFirstPass = m_loadedFirst;
    const QSqlDatabase db = m_dm.weightdatabase();
    Sql::inTransaction(db, [&] {
        QVariant firstTime;
        QVariant firstOperator;
        {
            QSqlQuery stored = Sql::exec(
                db, m_dm.dialect().limit(u"SELECT 皮重时间, 皮重操作人 FROM weight WHERE 编号 = ?"_s, 1),
                {key});
            if (!stored.next())
                throw DbError(u"没有找到编号为 %1 的称重记录，它可能已被删除"_s.arg(key));
            const QDateTime time = Dialect::toDateTime(stored.value(0));
            firstTime = time.isValid() ? QVariant(Dialect::dateTimeText(time)) : QVariant();
            firstOperator = stored.value(1);
        }
        const QString time = now();
        const double gross = Figures::number(m_figures.gross, u"毛重"_s);
        const double tare = Figures::number(m_figures.firstPass, u"毛皮重"_s);
        const double net = Figures::number(m_figures.net, u"净重"_s);
        QStringList names;
        QVariantList values;
        if (loadedFirstPass) {
            names = {u"毛重"_s,       u"皮重"_s,       u"净重"_s,     u"皮重时间"_s, u"毛重时间"_s,
                     u"皮重操作人"_s, u"毛重操作人"_s, u"扣杂方式"_s, u"扣重数"_s};
            values = {gross,
                      tare,
                      net,
                      time,
                      firstTime,
                      firstOperator,
                      operatorName,
                      m_deduction.description() + OrderTag::LoadedFirst,
                      m_deductionAmount};
        } else {
            names = {u"毛重"_s,       u"皮重"_s,     u"净重"_s,  u"毛重时间"_s,
                     u"毛重操作人"_s, u"扣杂方式"_s, u"扣重数"_s};
            values = {gross,          tare,         net,
                      time,           operatorName, m_deduction.description() + OrderTag::EmptyFirst,
                      m_deductionAmount};
        }
        appendBoxes(names, values);
        QStringList assignments;
        for (const QString& name : names)
            assignments.append(m_dm.dialect().quote(name) + u" = ?"_s);
        values.append(key);
        // Only while the record is still pending: of two completions of one record (a second station,
        // a second window) exactly one writes.
        const QSqlQuery update = Sql::exec(
            db, u"UPDATE weight SET %1 WHERE 编号 = ? AND 毛重 < 1"_s.arg(assignments.join(u", "_s)), values);
        if (update.numRowsAffected() == 0)
            throw DbError(CompletedElsewhereMessage.arg(key));
    });
}

void RecordStore::countReprint(const QString& number)
{
    const auto has = std::find_if(m_columns.begin(), m_columns.end(),
                                  [](const Column& c) { return c.name == u"补打次数"_s; });
    if (has == m_columns.end())
        return;
    Sql::exec(m_dm.weightdatabase(),
              u"UPDATE weight SET 补打次数 = COALESCE(补打次数, 0) + 1 WHERE 编号 = ?"_s,
              {recordKey(number)});
}

DailyTotals RecordStore::ShowDailyTotals()
{
    const RecordTotals totals =
        WeightDerived::totalsFrom(m_dm.weightdatabase(), m_dm.dialect(), recordKey(m_settings.startRecord));
    return {totals.trucks, totals.net};
}
