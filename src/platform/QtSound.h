#pragma once

#include "Sound.h"

#include <memory>

class QSoundEffect;

/**
 * The bell through Qt Multimedia: a .wav file played on the default audio output. The sound system is
 * started on the first play; a missing file, an unreadable one or a machine without audio output
 * plays nothing, without a message.
 */
class QtSound final : public Sound
{
public:
    QtSound();
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void play(const QString& wavFile) override;

    /** The file last handed to the player; empty before the first play of an existing file. */
    QString currentFile() const;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};
