#pragma once

#include "SerialLine.h"

#include <QList>
#include <QSerialPort>
#include <QTimer>

/**
 * A serial line on Qt Serial Port: real serial ports, USB adapters and pseudo-terminals (which accept
 * any baud rate but ignore data bits other than 8 and parity). The port is read on the owning thread's
 * event loop and cut into chunks here.
 */
class SerialPortLine final : public SerialLine
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SerialPortLine)

public:
    explicit SerialPortLine(QObject* parent = nullptr);
    ~SerialPortLine() override;

    void open(const LineSettings& settings) override;
    void close() override;
    bool send(const QByteArray& bytes) override;
    bool isOpen() const override { return m_port.isOpen(); }

private:
    void applySettings(const LineSettings& settings);
    QString openFailureText() const;
    void readArrived();
    void silenceElapsed();
    void deliver();
    void portFailed(QSerialPort::SerialPortError error);
    void loseDevice();

    QSerialPort m_port;
    QTimer m_silence;
    int m_interval = 0;
    QByteArray m_pending;
    QList<QByteArray> m_ready;
    bool m_delivering = false;
};
