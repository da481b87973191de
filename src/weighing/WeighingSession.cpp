#include "WeighingSession.h"

#include "data/DataModule.h"
#include "data/IniFile.h"

using namespace Qt::Literals::StringLiterals;

WeighingSession::WeighingSession(DataModule& dm, const Clock& clock, StationSettings settings)
    : m_store(dm, clock, std::move(settings)), m_dm(dm)
{
}

bool WeighingSession::open()
{
    m_store.BuildWeighingBoxes();
    return m_store.LoadDeduction();
}

WeighingSession::Take WeighingSession::takeWeight(const LiveReading& reading)
{
    const QString plate = m_store.boxes().GetBoxText(u"车号"_s);
    if (plate.isEmpty())
        return Take::Ignored;
    if (!reading.present)
        return Take::NoReading;
    if (!reading.stable)
        return Take::Ignored;
    if (reading.weight < reading.lowerLimit)
        return Take::TooLight;
    const int pending = m_store.FindPendingRecords(plate);
    if (pending > 1) {
        // Saving now would complete or create a record from values left from before.
        stopPreparing();
        return Take::SeveralPending;
    }
    const double fixedTare = pending == 0 ? m_store.FixedTareOf(plate) : 0.0;
    if ((pending == 1 || fixedTare > 0) && !m_store.hasDeduction()) {
        stopPreparing();
        return Take::NoDeduction;
    }
    if (pending == 1) {
        const QSqlRecord record = m_store.records().record(0);
        m_store.prepareCompletion(record, reading.text);
        m_prepared = Take::Completion;
    } else if (fixedTare > 0) {
        m_store.PrefillFromFixedTare(plate, fixedTare, reading.text);
        m_prepared = Take::FixedTare;
    } else {
        m_store.prepareFirstWeighing(reading.text);
        m_prepared = Take::FirstWeighing;
    }
    m_store.UpdatePriceAndAmount();
    m_plateCaption = m_store.boxes().GetBoxText(u"车号"_s);
    return m_prepared;
}

WeighingSession::SaveOutcome WeighingSession::save(const LiveReading& reading, const QString& operatorName,
                                                   const IniFile& ini)
{
    if (m_store.boxes().GetBoxText(u"车号"_s).isEmpty())
        return {};
    const Take prepared = std::exchange(m_prepared, Take::Ignored);
    if (prepared == Take::Ignored)
        return {};
    if (!reading.present)
        return {Save::NoReading, -1};
    const bool checkFirst = settings().checkAtFirstWeighing;
    const auto check = [&](bool now) -> int { return now ? m_store.boxes().CheckWeighingBoxes(ini) : -1; };

    if (prepared == Take::FixedTare) {
        if (const int failing = check(!checkFirst); failing >= 0)
            return {Save::BoxesRefused, failing};
        m_store.SaveFixedTareWeighing(operatorName);
        return {Save::SavedComplete, -1};
    }
    const bool first = Figures::number(m_store.figures().gross, u"毛重"_s) < 0.01;
    if (first && reading.weight > reading.lowerLimit) {
        if (const int failing = check(checkFirst); failing >= 0)
            return {Save::BoxesRefused, failing};
        m_store.SaveFirstWeighing(operatorName);
        return {Save::SavedFirst, -1};
    }
    if (reading.weight <= reading.lowerLimit)
        return {};
    if (const int failing = check(!checkFirst); failing >= 0)
        return {Save::BoxesRefused, failing};
    m_store.CompleteWeighing(operatorName);
    return {Save::SavedComplete, -1};
}

WeighingSession::StoreTare WeighingSession::storeFixedTare(const LiveReading& reading,
                                                           const std::function<std::optional<QString>()>& askPlate,
                                                           const QString& operatorName)
{
    if (!reading.present)
        return StoreTare::NoReading;
    if (reading.weight < reading.lowerLimit)
        return StoreTare::BadTare;
    const QString name = askPlate().value_or(QString()).trimmed();
    if (name.isEmpty())
        return StoreTare::NoPlate;
    const QString stored = m_dm.QueryScalar(
        u"SELECT 车号 FROM TareWeight WHERE %1"_s.arg(m_dm.dialect().textEquals(u"车号"_s)), {name});
    if (!stored.trimmed().isEmpty())
        return StoreTare::Exists;
    m_dm.InsertRow(u"TareWeight"_s, u"车号,皮重,固定存皮,存皮人"_s, {name, reading.text, u"1"_s, operatorName});
    return StoreTare::Stored;
}

QString WeighingSession::messageOf(Take result)
{
    switch (result) {
    case Take::NoReading:
        return NoReadingMessage;
    case Take::TooLight:
        return TooLightMessage;
    case Take::SeveralPending:
        return SeveralPendingMessage;
    case Take::NoDeduction:
        return RecordStore::NoDeductionMessage;
    default:
        return {};
    }
}

QString WeighingSession::messageOf(StoreTare result)
{
    switch (result) {
    case StoreTare::NoReading:
        return NoReadingMessage;
    case StoreTare::BadTare:
        return BadTareMessage;
    case StoreTare::NoPlate:
        return NoPlateMessage;
    case StoreTare::Exists:
        return TareExistsMessage;
    case StoreTare::Stored:
        return TareStoredMessage;
    }
    return {};
}

void WeighingSession::chooseRecord(int row)
{
    const QSqlRecord record = m_store.records().record(row);
    if (record.isEmpty())
        return;
    m_store.chooseRecord(record);
    m_plateCaption = record.value(u"车号"_s).toString();
    stopPreparing();
}

void WeighingSession::refresh()
{
    m_store.RefreshRecords();
    m_store.boxes().ClearBoxes();
}
