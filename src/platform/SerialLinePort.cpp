#include "SerialLinePort.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

std::unique_ptr<SerialLine> makeSystemSerialLine()
{
    return std::make_unique<SerialPortLine>();
}

SerialPortLine::SerialPortLine(QObject* parent) : SerialLine(parent)
{
    m_silence.setSingleShot(true);
    m_silence.setTimerType(Qt::PreciseTimer);
    connect(&m_silence, &QTimer::timeout, this, &SerialPortLine::silenceElapsed);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPortLine::readArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortLine::portFailed);
}

SerialPortLine::~SerialPortLine()
{
    close();
}

namespace {

QSerialPort::Parity qtParity(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case LineSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case LineSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    case LineSettings::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::DataBits qtDataBits(int bits)
{
    switch (bits) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    default:
        return QSerialPort::Data8;
    }
}

/** Where the port lives in the file system, as Qt Serial Port resolves a port name; empty on Windows. */
QString systemLocation(const QString& portName)
{
#ifdef Q_OS_UNIX
    if (portName.startsWith(u'/') || portName.startsWith(u"./"_s) || portName.startsWith(u"../"_s))
        return portName;
    return u"/dev/"_s + portName;
#else
    Q_UNUSED(portName);
    return {};
#endif
}

/** True when the path names something that exists but cannot be a serial device. */
bool existsButIsNoDevice(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return !S_ISCHR(info.st_mode);
#else
    return false;
#endif
}

} // namespace

void SerialPortLine::applySettings(const LineSettings& settings)
{
    // Set before opening: pseudo-terminals silently keep 8 data bits and no parity that way, while the
    // same settings after opening fail there.
    m_port.setPortName(settings.portName.trimmed());
    m_port.setBaudRate(settings.baudRate);
    m_port.setParity(qtParity(settings.parity));
    m_port.setDataBits(qtDataBits(settings.dataBits));
    m_port.setStopBits(settings.stopBits == LineSettings::StopBits::Two ? QSerialPort::TwoStop
                                                                        : QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_interval = settings.readIntervalTimeout;
}

QString SerialPortLine::openFailureText() const
{
    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return CannotOpenText;
    default:
        break;
    }
    // It opened as a file but the serial settings were refused: not a serial device.
    const QString location = systemLocation(m_port.portName());
    return !location.isEmpty() && QFileInfo::exists(location) ? NotCommHandleText : CannotOpenText;
}

void SerialPortLine::open(const LineSettings& settings)
{
    if (m_port.isOpen())
        throw SerialError(AlreadyOpenText);
    applySettings(settings);
    if (m_port.portName().isEmpty())
        throw SerialError(CannotOpenText);
    if (existsButIsNoDevice(systemLocation(m_port.portName())))
        throw SerialError(NotCommHandleText);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString text = openFailureText();
        m_port.clearError();
        throw SerialError(text);
    }
    if (!m_port.clear(QSerialPort::AllDirections)) {
        m_port.close();
        m_port.clearError();
        throw SerialError(BufferText);
    }
    // Modem lines do not exist on every device (pseudo-terminals have none); that is not an error here.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    m_port.clearError();
    m_pending.clear();
    m_ready.clear();
}

void SerialPortLine::close()
{
    m_silence.stop();
    m_pending.clear();
    m_ready.clear();
    if (m_port.isOpen()) {
        m_port.clear(QSerialPort::AllDirections);
        m_port.close();
    }
    m_port.clearError();
}

bool SerialPortLine::send(const QByteArray& bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return false;
    return m_port.write(bytes) == bytes.size();
}

void SerialPortLine::readArrived()
{
    const QByteArray bytes = m_port.readAll();
    if (bytes.isEmpty())
        return;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype take = qMin<qsizetype>(MaxChunk - m_pending.size(), bytes.size() - at);
        m_pending.append(bytes.constData() + at, take);
        at += take;
        if (m_pending.size() == MaxChunk) {
            m_ready.append(m_pending);
            m_pending.clear();
        }
    }
    if (m_pending.isEmpty()) {
        m_silence.stop();
    } else if (m_interval <= 0) {
        m_ready.append(m_pending);
        m_pending.clear();
    } else {
        m_silence.start(m_interval);
    }
    deliver();
}

void SerialPortLine::silenceElapsed()
{
    if (m_pending.isEmpty())
        return;
    m_ready.append(m_pending);
    m_pending.clear();
    deliver();
}

void SerialPortLine::deliver()
{
    // A receiver may run a nested event loop (a message box); chunks that arrive meanwhile wait here so
    // that every receiver sees them in arrival order.
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_ready.isEmpty()) {
        const QByteArray chunk = m_ready.takeFirst();
        Q_EMIT chunkReceived(chunk);
    }
    m_delivering = false;
}

void SerialPortLine::portFailed(QSerialPort::SerialPortError error)
{
    // After a read failure reception stops: a vanished device (a pulled adapter, a closed
    // pseudo-terminal) would otherwise report the same failure for ever. Other line errors are not
    // reported.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && m_port.isOpen())
        QMetaObject::invokeMethod(this, &SerialPortLine::loseDevice, Qt::QueuedConnection);
}

void SerialPortLine::loseDevice()
{
    if (!m_port.isOpen())
        return;
    m_silence.stop();
    if (!m_pending.isEmpty()) {
        m_ready.append(m_pending);
        m_pending.clear();
    }
    deliver();
    m_port.close();
    m_port.clearError();
    Q_EMIT deviceLost();
}
