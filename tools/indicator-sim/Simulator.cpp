#include "Simulator.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

Simulator::Simulator(const Options& options, QObject* parent)
    : QObject(parent), m_options(options), m_profile(options.division, options.seed), m_channel(options.coding)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &Simulator::tick);
}

Simulator::~Simulator()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

QString Simulator::open()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    const char* name = ptsname(m_master);
    if (!name)
        throw std::runtime_error("the pseudo-terminal has no name");
    const QString path = QString::fromLocal8Bit(name);
    // Holding the device open keeps the line up while no reader has it, and makes it raw, so that no
    // byte is echoed or translated before a reader sets it up.
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0)
        throw std::runtime_error("cannot open the pseudo-terminal's device");
    termios t{};
    if (tcgetattr(m_slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(m_slave, TCSANOW, &t);
    }
    return path;
}

void Simulator::start()
{
    m_clock.start();
    m_timer.start();
}

double Simulator::now() const
{
    return m_clock.isValid() ? m_clock.nsecsElapsed() / 1e9 : 0.0;
}

void Simulator::tick()
{
    const double kg = m_profile.weightAt(now());
    if (m_profile.ended()) {
        m_timer.stop();
        drain();
        return;
    }
    const qint64 ms = m_clock.elapsed();
    if (m_options.interval > 0) {
        for (; m_nextFrame <= ms; m_nextFrame += m_options.interval)
            write(makeFrame(m_options.format, kg));
        return;
    }
    const qint64 due = ms * m_options.coding.rate / (1000 * m_options.coding.bitsPerByte()) - m_sent;
    if (due <= 0)
        return;
    // After a stall the line does not catch up in one burst.
    write(nextBytes(qMin<qint64>(due, 4096), kg));
    m_sent += due;
}

QByteArray Simulator::nextBytes(qint64 count, double kg)
{
    QByteArray out;
    while (out.size() < count) {
        if (m_rest.isEmpty())
            m_rest = makeFrame(m_options.format, kg);
        const qsizetype take = qMin<qsizetype>(m_rest.size(), count - out.size());
        out.append(m_rest.first(take));
        m_rest.remove(0, take);
    }
    return out;
}

namespace {

int rateOf(speed_t speed)
{
    switch (speed) {
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

} // namespace

LineCoding Simulator::readerCoding() const
{
    LineCoding reader = m_options.coding;
    termios t{};
    // On the master side the terminal reports the settings its reader made.
    if (tcgetattr(m_master, &t) != 0)
        return reader;
    if (const int rate = rateOf(cfgetospeed(&t)))
        reader.rate = rate;
    reader.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    const bool odd = t.c_cflag & PARODD;
    const bool stick = t.c_cflag & CMSPAR;
    using P = LineCoding::Parity;
    if (stick)
        reader.parity = odd ? P::Mark : P::Space;
    else if (odd)
        reader.parity = P::Odd;
    else if (m_options.coding.parity != P::None && m_options.coding.parity != P::Even)
        reader.parity = P::None;
    return reader;
}

void Simulator::write(const QByteArray& sent)
{
    const LineCoding reader = readerCoding();
    if (!(reader == m_channel.receiver()))
        m_channel.setReceiver(reader);
    const QByteArray bytes = m_channel.carry(sent);
    if (bytes.isEmpty())
        return;
    // Nobody reading: the terminal's queue is full and the bytes are lost, as on a real line.
    const ssize_t written = ::write(m_master, bytes.constData(), size_t(bytes.size()));
    Q_UNUSED(written);
}

void Simulator::drain()
{
    int waiting = 0;
    if (::ioctl(m_slave, FIONREAD, &waiting) != 0 || waiting == 0 || ++m_drainTicks > 100) {
        Q_EMIT finished();
        return;
    }
    QTimer::singleShot(20, this, &Simulator::drain);
}
