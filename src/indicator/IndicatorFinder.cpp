#include "IndicatorFinder.h"

namespace {

int bitsPerByte(const LineSettings& s)
{
    return 2 + s.dataBits + (s.parity == LineSettings::Parity::None ? 0 : 1) +
           (s.stopBits == LineSettings::StopBits::Two ? 1 : 0);
}

} // namespace

IndicatorFinder::IndicatorFinder(SerialLine& line, QList<LineSettings> candidates, QObject* parent)
    : QObject(parent), m_line(line), m_candidates(std::move(candidates))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &IndicatorFinder::listenEnded);
}

IndicatorFinder::~IndicatorFinder()
{
    if (m_running)
        m_line.close();
}

int IndicatorFinder::listenMs(const LineSettings& settings)
{
    return SettleMs + 100 + int(qint64(ListenBytes) * bitsPerByte(settings) * 1000 / qMax(1, settings.baudRate));
}

QList<LineSettings> IndicatorFinder::consoleCombinations(const QString& port, int readIntervalTimeout)
{
    using P = LineSettings::Parity;
    using S = LineSettings::StopBits;
    QList<LineSettings> all;
    for (const S stop : {S::One, S::Two})
        for (const int bits : {8, 7, 6})
            for (const P parity : {P::None, P::Odd, P::Even, P::Mark})
                for (const int baud : {9600, 4800, 2400, 1200, 600})
                    all.append({port, baud, parity, bits, stop, readIntervalTimeout});
    return all;
}

void IndicatorFinder::start()
{
    m_running = true;
    m_analysing = false;
    m_index = -1;
    m_best = -1;
    m_bestScore = 0;
    m_total.start();
    m_connection = connect(&m_line, &SerialLine::chunkReceived, this, &IndicatorFinder::received);
    tryNext();
}

void IndicatorFinder::stop()
{
    if (!m_running)
        return;
    Result result;
    result.stopped = true;
    finish(result);
}

void IndicatorFinder::tryNext()
{
    ++m_index;
    if (m_index >= m_candidates.size()) {
        if (m_best < 0)
            finish({});
        else
            analyse(m_candidates[m_best]);
        return;
    }
    const LineSettings& settings = m_candidates[m_index];
    Q_EMIT trying(settings, int(m_index), int(m_candidates.size()));
    m_chunks.clear();
    m_bytes = 0;
    m_line.close();
    try {
        // Chunks as they come: the listening is over before a silence would end one.
        LineSettings listening = settings;
        listening.readIntervalTimeout = 0;
        m_line.open(listening);
    } catch (const SerialError& e) {
        Result result;
        result.failure = e.text();
        finish(result);
        return;
    }
    m_sinceOpen.start();
    m_timer.start(listenMs(settings));
}

void IndicatorFinder::received(const QByteArray& chunk)
{
    if (!m_running || m_sinceOpen.elapsed() < SettleMs)
        return;
    if (m_chunks.isEmpty()) {
        m_sinceFirst.start();
        m_firstBytes = chunk.size();
    }
    m_chunks.append(chunk);
    m_bytes += chunk.size();
    if (!m_analysing && m_bytes >= ListenBytes && m_timer.isActive()) {
        m_timer.stop();
        // Leave the signal's delivery before the line is closed and opened again.
        QTimer::singleShot(0, this, &IndicatorFinder::listenEnded);
    }
}

void IndicatorFinder::listenEnded()
{
    if (!m_running)
        return;
    if (m_analysing) {
        Result result;
        result.settings = m_candidates[m_best];
        result.proposal = FrameAnalysis::propose(m_chunks);
        if (!result.proposal)
            result.settings.reset();
        finish(result);
        return;
    }
    ReceptionScore score = FrameAnalysis::score(m_chunks);
    score.throughput = throughput();
    if (score.value() > m_bestScore) {
        m_bestScore = score.value();
        m_best = m_index;
    }
    if (score.decisive())
        analyse(m_candidates[m_index]);
    else
        tryNext();
}

void IndicatorFinder::analyse(const LineSettings& settings)
{
    m_analysing = true;
    if (m_index != m_best || !m_line.isOpen()) {
        m_index = m_best;
        m_line.close();
        try {
            LineSettings listening = settings;
            listening.readIntervalTimeout = 0;
            m_line.open(listening);
        } catch (const SerialError& e) {
            Result result;
            result.failure = e.text();
            finish(result);
            return;
        }
        m_sinceOpen.start();
        m_chunks.clear();
    }
    // The frames already heard count too; the longer listening shows which digits move.
    m_timer.start(AnalysisMs);
}

double IndicatorFinder::throughput() const
{
    const LineSettings& s = m_candidates[m_index];
    const qint64 ms = m_chunks.isEmpty() ? 0 : m_sinceFirst.elapsed();
    if (ms <= 0)
        return 0;
    const double capacity = double(ms) * s.baudRate / (1000.0 * bitsPerByte(s));
    return double(m_bytes - m_firstBytes) / capacity;
}

void IndicatorFinder::finish(Result result)
{
    m_running = false;
    m_timer.stop();
    disconnect(m_connection);
    m_line.close();
    result.elapsedMs = m_total.elapsed();
    Q_EMIT finished(result);
}
