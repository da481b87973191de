#pragma once

#include "platform/AppError.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <array>

/** The capture card cannot be used at all (no capture device is present); the text says why. */
class CaptureError final : public AppError
{
public:
    using AppError::AppError;
};

/**
 * A four-channel video capture card. Channels are numbered 0 to 3. A channel delivers pictures only
 * after it was opened; while its preview is on, every new picture arrives through `picture`, with the
 * channel's overlay text drawn into it. All calls are made on the thread that owns the card.
 */
class CaptureCard : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaptureCard)

public:
    static constexpr int ChannelCount = 4;

    explicit CaptureCard(QObject* parent = nullptr) : QObject(parent) {}
    ~CaptureCard() override = default;

    /**
     * Makes the card ready. Returns false when live pictures cannot be shown (channels may still open).
     * Throws CaptureError when there is no capture device at all.
     */
    virtual bool initialise() = 0;
    /** Opens a channel; false when it has no source. */
    virtual bool openChannel(int channel) = 0;
    /** Starts or stops sending the channel's live pictures through `picture`. */
    virtual void setPreview(int channel, bool on) = 0;
    /** The channel's current picture with its overlay; a null image while the channel shows nothing. */
    virtual QImage still(int channel) = 0;
    virtual void closeChannel(int channel) = 0;
    /** Releases the card; `initialise` starts it again. */
    virtual void release() = 0;
    /** Told whether a load is on the scale. A card that generates its pictures shows it; cameras see it. */
    virtual void showLoad(bool /*loaded*/) {}

    /** The text drawn into the channel's pictures and stills from now on; empty for none. */
    void setOverlay(int channel, const QString& text) { m_overlays.at(channel) = text; }
    QString overlay(int channel) const { return m_overlays.at(channel); }

Q_SIGNALS:
    void picture(int channel, const QImage& image);
    /** The channel's source went away: no pictures and no stills until it is back. */
    void signalLost(int channel);

protected:
    /** The picture with the channel's overlay text written into its top left corner. */
    QImage withOverlay(QImage picture, int channel) const;

private:
    std::array<QString, ChannelCount> m_overlays;
};
