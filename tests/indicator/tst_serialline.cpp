#include "IndicatorTest.h"

#include "platform/SerialLinePort.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

/** A pseudo-terminal pair: the test writes and reads the master, the line opens the slave. */
class Pty final
{
public:
    Pty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            qFatal("no pseudo-terminal");
        slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~Pty() { hangUp(); }
    Q_DISABLE_COPY_MOVE(Pty)

    void write(const QByteArray& bytes) const
    {
        if (::write(m_master, bytes.constData(), size_t(bytes.size())) != bytes.size())
            qFatal("pseudo-terminal write failed");
    }
    /** What the line has sent so far. */
    QByteArray readNow() const
    {
        pollfd p{m_master, POLLIN, 0};
        QByteArray bytes;
        char buffer[256];
        while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

    /** Closes the master side, as when the other end goes away. */
    void hangUp()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    QString slave;

private:
    int m_master = -1;
};

LineSettings ptySettings(const Pty& pty, int readInterval)
{
    LineSettings s;
    s.portName = pty.slave;
    s.baudRate = 9600;
    s.readIntervalTimeout = readInterval;
    return s;
}

} // namespace

void IndicatorTest::lineChunksAtSilencesAndSize()
{
    Pty pty;
    SerialPortLine line;
    QSignalSpy chunks(&line, &SerialLine::chunkReceived);
    line.open(ptySettings(pty, 200));

    QByteArray burst;
    for (int i = 0; i < 300; ++i)
        burst.append(char('A' + i % 26));
    // Written from another thread, so that the pauses are real while this thread reads.
    std::thread writer([&] {
        using namespace std::chrono_literals;
        pty.write("abc");
        std::this_thread::sleep_for(10ms); // shorter than the time-out: same chunk
        pty.write("def");
        std::this_thread::sleep_for(600ms); // longer: the chunk ends
        pty.write("ghi");
        std::this_thread::sleep_for(600ms);
        pty.write(burst);
    });
    QTRY_COMPARE_WITH_TIMEOUT(chunks.size(), 5, 10000);
    writer.join();

    QByteArrayList received;
    for (const QList<QVariant>& args : chunks)
        received.append(args.at(0).toByteArray());
    QCOMPARE(received.mid(0, 2), (QByteArrayList{"abcdef", "ghi"}));
    QCOMPARE(received[2].size(), 128);
    QCOMPARE(received[3].size(), 128);
    QCOMPARE(received[4].size(), 44);
    QCOMPARE(received.mid(2).join(), burst);
    QTest::qWait(200);
    QCOMPARE(chunks.size(), 5);
}

void IndicatorTest::lineSendsAndCloses()
{
    Pty pty;
    SerialPortLine line;
    QSignalSpy chunks(&line, &SerialLine::chunkReceived);
    QVERIFY(!line.send("early"));
    line.open(ptySettings(pty, 0));
    QVERIFY(line.isOpen());
    QVERIFY(!line.send({}));
    QVERIFY(line.send("\x02+001346219\x03"));
    QByteArray sent;
    QTRY_COMPARE((sent += pty.readNow(), sent), "\x02+001346219\x03"_ba);

    // Without a read-interval time-out every read is delivered at once.
    pty.write("xyz");
    QTRY_COMPARE(chunks.size(), 1);
    QCOMPARE(chunks[0][0].toByteArray(), "xyz"_ba);

    // Nothing arrives after closing; what waited before reopening is purged.
    line.close();
    line.close();
    pty.write("lost");
    QTest::qWait(100);
    line.open(ptySettings(pty, 0));
    pty.write("kept");
    QTRY_COMPARE(chunks.size(), 2);
    QCOMPARE(chunks[1][0].toByteArray(), "kept"_ba);
}

void IndicatorTest::lineStopsWhenDeviceGoesAway()
{
    Pty pty;
    SerialPortLine line;
    QSignalSpy chunks(&line, &SerialLine::chunkReceived);
    QSignalSpy lost(&line, &SerialLine::deviceLost);
    line.open(ptySettings(pty, 60000));
    pty.write("tail");
    QTest::qWait(200);
    QCOMPARE(chunks.size(), 0);
    // What had arrived is still delivered; then the line closes instead of failing every read.
    pty.hangUp();
    QTRY_COMPARE(lost.size(), 1);
    QCOMPARE(chunks.size(), 1);
    QCOMPARE(chunks[0][0].toByteArray(), "tail"_ba);
    QVERIFY(!line.isOpen());
}

void IndicatorTest::lineOpenFailures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing device") << u"missing"_s << SerialLine::CannotOpenText;
    QTest::newRow("no port name") << u"empty"_s << SerialLine::CannotOpenText;
    QTest::newRow("held by another line") << u"busy"_s << SerialLine::CannotOpenText;
    QTest::newRow("this line already open") << u"twice"_s << SerialLine::AlreadyOpenText;
    QTest::newRow("a plain file") << u"file"_s << SerialLine::NotCommHandleText;
}

void IndicatorTest::lineOpenFailures()
{
    QFETCH(QString, situation);
    QFETCH(QString, text);

    Pty pty;
    QTemporaryDir dir;
    SerialPortLine other;
    SerialPortLine line;
    LineSettings settings = ptySettings(pty, 20);
    if (situation == u"missing"_s)
        settings.portName = dir.filePath(u"ttyMissing"_s);
    else if (situation == u"empty"_s)
        settings.portName.clear();
    else if (situation == u"busy"_s)
        other.open(settings);
    else if (situation == u"twice"_s)
        line.open(settings);
    else if (situation == u"file"_s) {
        settings.portName = dir.filePath(u"plain"_s);
        QFile file(settings.portName);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    const bool wasOpen = line.isOpen();
    try {
        line.open(settings);
        QFAIL("the line opened");
    } catch (const SerialError& e) {
        QCOMPARE(e.text(), text);
    }
    QCOMPARE(line.isOpen(), wasOpen);
}
