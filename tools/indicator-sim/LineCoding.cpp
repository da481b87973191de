#include "LineCoding.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

std::optional<LineCoding::Parity> parityNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == u"none"_s)
        return LineCoding::Parity::None;
    if (n == u"odd"_s)
        return LineCoding::Parity::Odd;
    if (n == u"even"_s)
        return LineCoding::Parity::Even;
    if (n == u"mark"_s)
        return LineCoding::Parity::Mark;
    if (n == u"space"_s)
        return LineCoding::Parity::Space;
    return std::nullopt;
}

namespace {

bool parityBit(LineCoding::Parity parity, uchar byte, int dataBits)
{
    int ones = 0;
    for (int i = 0; i < dataBits; ++i)
        ones += (byte >> i) & 1;
    switch (parity) {
    case LineCoding::Parity::Odd:
        return ones % 2 == 0;
    case LineCoding::Parity::Even:
        return ones % 2 == 1;
    case LineCoding::Parity::Mark:
        return true;
    case LineCoding::Parity::Space:
    case LineCoding::Parity::None:
        break;
    }
    return false;
}

uchar masked(char byte, int dataBits)
{
    return uchar(byte) & uchar((1 << dataBits) - 1);
}

} // namespace

void LineChannel::setReceiver(const LineCoding& receiver)
{
    m_receiver = receiver;
    m_bits.clear();
    m_first = 0;
    m_at = 0;
}

bool LineChannel::available(double t) const
{
    return qint64(std::floor(t)) < m_first + qint64(m_bits.size());
}

bool LineChannel::bitAt(double t) const
{
    const qint64 index = qint64(std::floor(t)) - m_first;
    return index < 0 || m_bits[size_t(index)];
}

QByteArray LineChannel::carry(QByteArrayView bytes)
{
    if (m_receiver.rate == m_sender.rate && m_receiver.parity == m_sender.parity &&
        m_receiver.dataBits == m_sender.dataBits) {
        QByteArray out;
        for (const char c : bytes)
            out.append(char(masked(c, m_sender.dataBits)));
        return out;
    }

    for (const char c : bytes) {
        const uchar byte = masked(c, m_sender.dataBits);
        m_bits.push_back(false);
        for (int i = 0; i < m_sender.dataBits; ++i)
            m_bits.push_back((byte >> i) & 1);
        if (m_sender.parity != LineCoding::Parity::None)
            m_bits.push_back(parityBit(m_sender.parity, byte, m_sender.dataBits));
        for (int i = 0; i < m_sender.stopBits; ++i)
            m_bits.push_back(true);
    }

    const double step = double(m_sender.rate) / double(m_receiver.rate);
    const int sampled = 1 + m_receiver.dataBits + (m_receiver.parity == LineCoding::Parity::None ? 0 : 1) + 1;
    QByteArray out;
    for (;;) {
        // Wait for the falling edge of a start bit.
        while (available(m_at) && bitAt(m_at))
            m_at = std::floor(m_at) + 1;
        if (!available(m_at + (sampled - 0.5) * step))
            break;
        const double edge = m_at;
        if (bitAt(edge + 0.5 * step)) {
            m_at = edge + 0.5 * step;
            continue;
        }
        uchar byte = 0;
        for (int i = 0; i < m_receiver.dataBits; ++i)
            if (bitAt(edge + (1.5 + i) * step))
                byte |= uchar(1 << i);
        m_at = edge + (sampled - 0.5) * step;
        // A byte without its stop bit is dropped, as a receiver set to ignore framing errors does.
        if (bitAt(m_at))
            out.append(char(byte));
    }
    const qint64 passed = qint64(std::floor(m_at)) - m_first;
    for (qint64 i = 0; i < passed && !m_bits.empty(); ++i) {
        m_bits.pop_front();
        ++m_first;
    }
    return out;
}
