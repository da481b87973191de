#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include "platform/AppError.h"

/** Line settings applied to a serial line before it is opened. */
struct LineSettings
{
    enum class Parity { None, Odd, Even, Mark, Space };
    enum class StopBits { One, Two };

    /** A port name such as "COM1" or "ttyUSB0", or a device path such as "/dev/pts/3". */
    QString portName;
    qint32 baudRate = 9600;
    Parity parity = Parity::None;
    /** 5 to 8. */
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    /**
     * A received chunk ends when the line has been silent for longer than this after a byte; 0 or less
     * delivers whatever has arrived at once.
     */
    int readIntervalTimeout = 0;

    bool operator==(const LineSettings&) const = default;
};

/** Opening a serial line failed; the text is what the user sees. */
class SerialError final : public AppError
{
public:
    using AppError::AppError;
};

/**
 * A serial line that moves bytes: opened exclusively with line settings, closed, written to, and read in
 * chunks. Received bytes arrive as chunks of 1 to MaxChunk bytes on the thread that owns the line, in
 * arrival order; a chunk ends after MaxChunk bytes or when the line has been silent for longer than the
 * read-interval time-out. Chunk borders are not frame borders. No flow control; DTR and RTS are held on
 * while the line is open. Line errors are not reported.
 */
class SerialLine : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SerialLine)

public:
    static constexpr int MaxChunk = 128;

    // The texts of failed opens, in the order in which the causes are checked.
    inline static const QString AlreadyOpenText = QStringLiteral("This serial port already opened");
    inline static const QString CannotOpenText =
        QStringLiteral("没有打开串口,原因可能是串口被某个程序打开或者不存在");
    inline static const QString NotCommHandleText = QStringLiteral("File handle is not a comm handle ");
    inline static const QString BufferText = QStringLiteral("Cannot setup comm buffer");
    inline static const QString EventText = QStringLiteral("Unable to create event");
    inline static const QString ReadThreadText = QStringLiteral("Unable to create read thread");
    inline static const QString WriteThreadText = QStringLiteral("Unable to create write thread");

    explicit SerialLine(QObject* parent = nullptr) : QObject(parent) {}
    ~SerialLine() override = default;

    /**
     * Opens the named port with the settings; both queues start empty. Throws SerialError with one of
     * the texts above; the line then stays closed.
     */
    virtual void open(const LineSettings& settings) = 0;
    /** Closes the line and discards what was not delivered; nothing happens when it is closed. */
    virtual void close() = 0;
    /** Queues a copy of the bytes for sending; false when the line is closed or the bytes are empty. */
    virtual bool send(const QByteArray& bytes) = 0;
    virtual bool isOpen() const = 0;

Q_SIGNALS:
    void chunkReceived(const QByteArray& chunk);
    /** The device went away (adapter pulled, pseudo-terminal closed); the line has closed itself. */
    void deviceLost();
};

/** Makes a line on the system's serial ports (Qt Serial Port). */
std::unique_ptr<SerialLine> makeSystemSerialLine();
