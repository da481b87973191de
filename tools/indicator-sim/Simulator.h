#pragma once

#include "FrameFormat.h"
#include "LoadScript.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

/**
 * A weighing indicator in continuous-output mode on a pseudo-terminal. It sends frames of the weight that
 * the load profile gives, paced like a line of the chosen baud rate (8N1: ten bits a byte), whether or not
 * anybody listens; what does not fit into the terminal's queue is lost, as on a real line.
 */
class Simulator final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Simulator)

public:
    struct Options
    {
        FrameFormat format = FrameFormat::Stx;
        int rate = 9600;
        /** Milliseconds from one frame to the next; 0: frames back to back at the line's rate. */
        int interval = 0;
        int division = 20;
        unsigned seed = 1;
    };

    explicit Simulator(const Options& options, QObject* parent = nullptr);
    ~Simulator() override;

    /** Opens the pseudo-terminal and returns the device path to give the reader; throws std::runtime_error.
     */
    QString open();
    void start();
    /** Seconds since the start. */
    double now() const;
    LoadProfile& profile() { return m_profile; }

Q_SIGNALS:
    /** The script ended and what was sent has been read (or a reader never came). */
    void finished();

private:
    void tick();
    QByteArray nextBytes(qint64 count, double kg);
    void write(const QByteArray& bytes);
    void drain();

    Options m_options;
    LoadProfile m_profile;
    int m_master = -1;
    int m_slave = -1;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_sent = 0;
    qint64 m_nextFrame = 0;
    QByteArray m_rest;
    int m_drainTicks = 0;
};
