#pragma once

#include "FrameFormat.h"
#include "LineCoding.h"
#include "LoadScript.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

/**
 * A weighing indicator in continuous-output mode on a pseudo-terminal. It sends frames of the weight that
 * the load profile gives, paced like a line of its coding, whether or not anybody listens; what does not
 * fit into the terminal's queue is lost, as on a real line. A reader whose settings differ from the
 * indicator's receives what its UART would make of the line. A pseudo-terminal passes the reader's baud
 * rate and stop bits, but not its data bits (they are taken to be the indicator's), and of its parity only
 * odd, mark, space or neither (neither is taken as the indicator's parity when that is none or even).
 */
class Simulator final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Simulator)

public:
    struct Options
    {
        FrameFormat format = FrameFormat::Stx;
        LineCoding coding;
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
    /** The reader's settings as far as the pseudo-terminal shows them. */
    LineCoding readerCoding() const;

    Options m_options;
    LoadProfile m_profile;
    int m_master = -1;
    int m_slave = -1;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_sent = 0;
    qint64 m_nextFrame = 0;
    QByteArray m_rest;
    LineChannel m_channel;
    int m_drainTicks = 0;
};
