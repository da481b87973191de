#include "IndicatorReader.h"

#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/SerialLine.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

IndicatorReader::IndicatorReader(std::unique_ptr<SerialLine> line, DataModule& dm, const Clock& clock,
                                 const LoginState& login, QObject* parent)
    : QObject(parent), m_dm(dm), m_clock(clock), m_login(login), m_Comm1(std::move(line)),
      m_kilograms(IniFile(dm.iniPath()).read(Option::UnitKilograms)),
      m_blackBox(dm, IniFile(dm.iniPath()).read(Option::LowerLimit))
{
    connect(m_Comm1.get(), &SerialLine::chunkReceived, this, &IndicatorReader::Comm1ReceiveData);
    m_silenceTimer.setInterval(SilenceMs / 4);
    connect(&m_silenceTimer, &QTimer::timeout, this, &IndicatorReader::watchSilence);
}

bool IndicatorReader::hasReading() const
{
    return m_lastWeightAt.isValid() && m_lastWeightAt.msecsTo(m_clock.now()) <= SilenceMs;
}

void IndicatorReader::watchSilence()
{
    const bool reading = hasReading();
    if (reading != std::exchange(m_reading, reading))
        Q_EMIT readingChanged(reading);
}

IndicatorReader::~IndicatorReader()
{
    m_Comm1->close();
}

QString IndicatorReader::unitLabel() const
{
    return m_kilograms ? u"kg"_s : u"t"_s;
}

bool IndicatorReader::LoadIndicatorSettings()
{
    const std::optional<IndicatorModel> model = IndicatorModels::selected(m_dm.Parameters());
    if (!model) {
        Q_EMIT problem(Problem::NoModel, NoModelMessage);
        return false;
    }
    useModel(*model);
    return true;
}

void IndicatorReader::useModel(const IndicatorModel& model)
{
    const LineSettings settings = model.stationLineSettings();
    m_settings = settings;
    m_frame = model.frameParameters();
    m_hasModel = true;
}

bool IndicatorReader::OpenPort()
{
    if (!m_hasModel)
        return false;
    try {
        m_Comm1->open(m_settings);
    } catch (const SerialError& e) {
        Q_EMIT problem(Problem::PortFailed, e.text());
        return false;
    }
    m_silenceTimer.start();
    return true;
}

void IndicatorReader::ClosePort()
{
    m_Comm1->close();
    m_silenceTimer.stop();
    m_lastWeightAt = {};
    watchSilence();
}

void IndicatorReader::Comm1ReceiveData(const QByteArray& chunk)
{
    if (!m_hasModel)
        return;
    const std::optional<double> weight = FrameRule::read(chunk, m_history, m_frame);
    if (weight) {
        m_lastWeightAt = m_clock.now();
        showWeight(*weight / (m_kilograms ? 1.0 : 1000.0));
        UpdateStableLamp(m_live);
        blackBoxStep();
    }
    watchSilence();
    Q_EMIT chunkHandled(weight.has_value());
}

void IndicatorReader::showWeight(double weight)
{
    // The display shows whole units, and everything else reads the weight back from the display.
    double shown = std::round(weight);
    if (shown == 0)
        shown = 0; // no "-0"
    m_live = shown;
    m_liveText = QString::number(shown, 'f', 0);
}

void IndicatorReader::UpdateStableLamp(double weight)
{
    m_readings[0] = m_readings[1];
    m_readings[1] = m_readings[2];
    m_readings[2] = weight;
    m_stable = m_readings[0] == m_readings[1] && m_readings[1] == m_readings[2];
}

void IndicatorReader::blackBoxStep()
{
    // A new load on the scale may report its own failure again.
    if (m_live > lowerLimit())
        m_insertFailureShown = false;
    std::optional<double> recorded;
    try {
        recorded = m_blackBox.step(m_live, m_login.CurrentOperator);
    } catch (const AppError& e) {
        // The peak stays for the next try; one message per load, not one per chunk.
        if (!std::exchange(m_insertFailureShown, true))
            Q_EMIT problem(Problem::BlackBoxFailed, e.text());
        return;
    }
    if (recorded) {
        m_insertFailureShown = false;
        Q_EMIT loadLeft(*recorded);
    }
}
