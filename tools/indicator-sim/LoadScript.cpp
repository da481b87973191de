#include "LoadScript.h"

#include <QStringList>
#include <cmath>
#include <numbers>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

double number(const QString& text, const char* what)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw std::invalid_argument(std::string(what) + " is not a number: " + text.toStdString());
    return value;
}

} // namespace

std::optional<LoadCommand> parseLoadCommand(const QString& line)
{
    const QString text = line.section(u'#', 0, 0).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    const QString verb = words[0].toLower();
    LoadCommand c;
    if (verb == u"weight"_s && (words.size() == 2 || words.size() == 3)) {
        c.kind = LoadCommand::Kind::Weight;
        c.kg = number(words[1], "the weight");
        c.seconds = words.size() == 3 ? number(words[2], "the time") : 0;
    } else if (verb == u"drive"_s && words.size() == 3) {
        c.kind = LoadCommand::Kind::Drive;
        c.kg = number(words[1], "the weight");
        c.seconds = number(words[2], "the time");
    } else if (verb == u"repeat"_s && words.size() == 1) {
        c.kind = LoadCommand::Kind::Repeat;
    } else if (verb == u"end"_s && words.size() == 1) {
        c.kind = LoadCommand::Kind::End;
    } else {
        throw std::invalid_argument("not a command: " + text.toStdString());
    }
    if (c.seconds < 0)
        throw std::invalid_argument("a time cannot be negative: " + text.toStdString());
    return c;
}

LoadProfile::LoadProfile(int division, unsigned seed) : m_division(qMax(1, division)), m_random(seed) {}

void LoadProfile::append(const LoadCommand& command, double now)
{
    m_commands.append({command, now});
}

void LoadProfile::startNext(double now)
{
    while (!m_active && !m_ended && m_next < m_commands.size()) {
        const Queued& q = m_commands[m_next++];
        switch (q.command.kind) {
        case LoadCommand::Kind::End:
            m_ended = true;
            return;
        case LoadCommand::Kind::Repeat:
            // A pass that takes no time would repeat for ever within one instant.
            if (m_sinceRepeat > 0)
                m_next = 0;
            m_sinceRepeat = 0;
            continue;
        case LoadCommand::Kind::Weight:
        case LoadCommand::Kind::Drive:
            break;
        }
        m_kind = q.command.kind;
        m_from = m_kind == LoadCommand::Kind::Drive ? m_to : q.command.kg;
        m_to = q.command.kg;
        m_start = qMax(m_lastEnd, qMin(q.arrival, now));
        m_duration = q.command.seconds;
        m_sinceRepeat += m_duration;
        m_active = true;
        if (m_start + m_duration <= now) {
            m_lastEnd = m_start + m_duration;
            m_active = false;
        }
    }
}

double LoadProfile::weightAt(double now)
{
    if (m_active && now >= m_start + m_duration) {
        m_lastEnd = m_start + m_duration;
        m_active = false;
    }
    startNext(now);
    const double kg = m_active ? segmentWeight(now) : m_to;
    return std::round(kg / m_division) * m_division;
}

double LoadProfile::segmentWeight(double now)
{
    if (m_kind == LoadCommand::Kind::Weight || m_duration <= 0)
        return m_to;
    const double u = (now - m_start) / m_duration;
    const double span = m_to - m_from;
    if (u < 0.55) {
        // Axle by axle: each axle's share comes on over a short ramp, with the truck still moving.
        const double axles[][3] = {{0.05, 0.15, 0.25}, {0.25, 0.35, 0.6}, {0.45, 0.55, 1.0}};
        double share = 0;
        double before = 0;
        for (const auto& [from, to, total] : axles) {
            if (u >= to)
                share = total;
            else if (u > from)
                share = before + (total - before) * (u - from) / (to - from);
            before = total;
            if (u < to)
                break;
        }
        std::uniform_real_distribution<double> motion(-0.008, 0.008);
        return m_from + span * share + std::abs(span) * motion(m_random);
    }
    if (u < 0.85) {
        // The platform settles: a damped swing around the final weight.
        const double v = (u - 0.55) / 0.3;
        return m_to + 0.03 * std::abs(span) * std::exp(-4 * v) * std::sin(2 * std::numbers::pi * 3 * v);
    }
    return m_to;
}
