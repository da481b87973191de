#pragma once

#include "platform/SerialLine.h"

#include <QList>

/**
 * A serial line that tests drive: `push` delivers a chunk as the real line would; opens, closes and sent
 * bytes are recorded. The latest line made is reachable through `latest`, since windows make their own.
 */
class FakeSerialLine final : public SerialLine
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FakeSerialLine)

public:
    FakeSerialLine();
    ~FakeSerialLine() override;

    /** Throws `openError` when set; otherwise the line is open with the settings. */
    void open(const LineSettings& settings) override;
    void close() override;
    bool send(const QByteArray& bytes) override;
    bool isOpen() const override { return m_open; }

    /** Delivers one chunk (whether or not the line is open, as a test may want to show). */
    void push(const QByteArray& chunk) { Q_EMIT chunkReceived(chunk); }

    LineSettings settings;
    QList<QByteArray> sent;
    int openCount = 0;
    int closeCount = 0;

    /** The most recently made line that still exists, or null. */
    static FakeSerialLine* latest();
    /** When not empty, every open fails with this text. */
    static inline QString openError;

private:
    bool m_open = false;
};
