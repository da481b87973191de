#pragma once

#include "platform/CaptureCard.h"

#include <QList>
#include <QStringList>
#include <array>

class Clock;
class QTimer;

/**
 * A capture card without hardware: four channels of generated moving pictures (the channel number, the
 * current time, a moving bar, and a truck while the scale carries a load). The demo uses it, and the
 * tests, which can also leave channels without a source, take the device away, unplug a channel and
 * read which calls the station made.
 */
class TestPatternCard final : public CaptureCard
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TestPatternCard)

public:
    static constexpr int Width = 352;
    static constexpr int Height = 288;
    static constexpr int FrameMilliseconds = 125;

    explicit TestPatternCard(const Clock& clock, QObject* parent = nullptr);
    ~TestPatternCard() override;

    bool initialise() override;
    bool openChannel(int channel) override;
    void setPreview(int channel, bool on) override;
    QImage still(int channel) override;
    void closeChannel(int channel) override;
    void release() override;
    void showLoad(bool loaded) override { m_loaded = loaded; }

    /** The channels that have a source (all four unless set). */
    void setPresentChannels(const QList<int>& channels) { m_present = channels; }
    /** No device at all: `initialise` throws. */
    void setNoDevice(bool none) { m_noDevice = none; }
    /** `initialise` reports that live pictures cannot be shown. */
    void setPreviewFails(bool fails) { m_previewFails = fails; }
    /** The channel's source goes away: pictures stop, `signalLost`. */
    void unplug(int channel);

    /** The calls made, in order: "initialise", "open 0", "preview 0 on", "close 0", "release" … */
    const QStringList& calls() const { return m_calls; }

private:
    /** One generated picture of a channel, without overlay. */
    QImage render(int channel) const;
    bool hasSignal(int channel) const;
    void tick();

    const Clock& m_clock;
    QTimer* m_timer;
    QList<int> m_present{0, 1, 2, 3};
    bool m_noDevice = false;
    bool m_previewFails = false;
    bool m_loaded = false;
    int m_frame = 0;
    std::array<bool, ChannelCount> m_open{};
    std::array<bool, ChannelCount> m_preview{};
    std::array<bool, ChannelCount> m_unplugged{};
    QStringList m_calls;
};
