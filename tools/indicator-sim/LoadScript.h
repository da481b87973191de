#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <random>

/**
 * One line of a load script:
 *   weight KG [SECONDS]   show KG steadily (for SECONDS, default 0)
 *   drive KG SECONDS      a truck drives on or off: axle by axle in motion, settling, then exactly KG
 *   repeat                start again from the first line
 *   end                   stop sending and quit
 * Blank lines and text after "#" are ignored.
 */
struct LoadCommand
{
    enum class Kind { Weight, Drive, Repeat, End };
    Kind kind = Kind::Weight;
    double kg = 0;
    double seconds = 0;
};

/** A command, no value for a blank or comment line; throws std::invalid_argument with the reason. */
std::optional<LoadCommand> parseLoadCommand(const QString& line);

/** The weight on the scale over time, following the commands as they come. */
class LoadProfile final
{
public:
    LoadProfile(int division, unsigned seed);

    /** Adds a command; it starts when the ones before it have run, not before `now` (seconds). */
    void append(const LoadCommand& command, double now);
    /** The indicator's reading at `now` (seconds since the start, never decreasing), in whole divisions. */
    double weightAt(double now);
    /** An "end" command has been reached. */
    bool ended() const { return m_ended; }

private:
    struct Queued
    {
        LoadCommand command;
        double arrival;
    };
    void startNext(double now);
    double segmentWeight(double now);

    QList<Queued> m_commands;
    qsizetype m_next = 0;
    int m_division;
    std::mt19937 m_random;
    bool m_active = false;
    LoadCommand::Kind m_kind = LoadCommand::Kind::Weight;
    double m_from = 0;
    double m_to = 0;
    double m_start = 0;
    double m_duration = 0;
    double m_lastEnd = 0;
    double m_sinceRepeat = 0;
    bool m_ended = false;
};
