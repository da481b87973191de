#include "FakeSerialLine.h"

namespace {

QList<FakeSerialLine*>& lines()
{
    static QList<FakeSerialLine*> all;
    return all;
}

} // namespace

FakeSerialLine::FakeSerialLine()
{
    lines().append(this);
}

FakeSerialLine::~FakeSerialLine()
{
    lines().removeOne(this);
}

FakeSerialLine* FakeSerialLine::latest()
{
    return lines().isEmpty() ? nullptr : lines().last();
}

void FakeSerialLine::open(const LineSettings& s)
{
    if (m_open)
        throw SerialError(AlreadyOpenText);
    if (!openError.isEmpty())
        throw SerialError(openError);
    settings = s;
    m_open = true;
    ++openCount;
}

void FakeSerialLine::close()
{
    ++closeCount;
    m_open = false;
}

bool FakeSerialLine::send(const QByteArray& bytes)
{
    if (!m_open || bytes.isEmpty())
        return false;
    sent.append(bytes);
    return true;
}
