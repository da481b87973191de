#pragma once

#include "FrameAnalysis.h"
#include "platform/SerialLine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

/**
 * The search that decides: tries line settings one after another on a serial line, listens a short
 * while at each and scores what arrived; at the best setting it listens longer and proposes the frame
 * parameters that read a weight from the stream. A setting whose reception is clean, framed and read
 * ends the trying at once. The line is closed when the search ends.
 */
class IndicatorFinder final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndicatorFinder)

public:
    struct Result
    {
        /** Empty when the search was stopped or the port did not open. */
        std::optional<LineSettings> settings;
        std::optional<FrameProposal> proposal;
        /** The text of a failed open; the search stops at the first, since the port is the same for all. */
        QString failure;
        /** The user stopped the search. */
        bool stopped = false;
        qint64 elapsedMs = 0;
    };

    /** Bytes that tell a setting apart, and how long the analysis at the chosen setting listens. */
    static constexpr int ListenBytes = 64;
    static constexpr int AnalysisMs = 1500;
    /** What arrives just after opening still belongs to the previous setting. */
    static constexpr int SettleMs = 30;

    IndicatorFinder(SerialLine& line, QList<LineSettings> candidates, QObject* parent = nullptr);
    ~IndicatorFinder() override;

    void start();
    /** Stops and closes the line; finished() reports no settings. */
    void stop();
    bool isRunning() const { return m_running; }

    /** The time one setting is listened to at most: the listening bytes at its rate, and a margin. */
    static int listenMs(const LineSettings& settings);
    /** The 120 settings of the console's boxes in the parameter search's order, on one port. */
    static QList<LineSettings> consoleCombinations(const QString& port, int readIntervalTimeout);

Q_SIGNALS:
    /** Listening at candidate `index` of `count`. */
    void trying(const LineSettings& settings, int index, int count);
    void finished(const IndicatorFinder::Result& result);

private:
    void tryNext();
    void received(const QByteArray& chunk);
    void listenEnded();
    void analyse(const LineSettings& settings);
    void finish(Result result);
    double throughput() const;

    SerialLine& m_line;
    QList<LineSettings> m_candidates;
    qsizetype m_index = -1;
    bool m_running = false;
    bool m_analysing = false;
    QList<QByteArray> m_chunks;
    qsizetype m_bytes = 0;
    QElapsedTimer m_sinceOpen;
    /** From the first byte heard at a setting, for the throughput. */
    QElapsedTimer m_sinceFirst;
    qsizetype m_firstBytes = 0;
    QElapsedTimer m_total;
    QTimer m_timer;
    qsizetype m_best = -1;
    double m_bestScore = 0;
    QMetaObject::Connection m_connection;
};
