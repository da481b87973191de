#pragma once

#include <QString>

/** Plays a short sound file (the bell); a missing or unplayable file is silently not played. */
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void play(const QString& wavFile) = 0;
};
