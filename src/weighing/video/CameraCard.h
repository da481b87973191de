#pragma once

#include "platform/CaptureCard.h"

#include <QCameraDevice>
#include <QElapsedTimer>
#include <QStringList>
#include <array>
#include <memory>

class Clock;
class QCamera;
class QMediaCaptureSession;
class QMediaDevices;
class QVideoFrame;
class QVideoSink;

/**
 * The capture card made of up to four cameras through Qt Multimedia (V4L2 on Linux). Channel n is the
 * camera named for it (by description or id) or else the system's n-th camera. A camera that goes away
 * shows `signalLost` and gives no stills; when it comes back its channel starts again.
 */
class CameraCard final : public CaptureCard
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CameraCard)

public:
    /** `names[n]` chooses channel n's camera; an empty or missing name takes the n-th camera. */
    explicit CameraCard(QStringList names, QObject* parent = nullptr);
    ~CameraCard() override;

    bool initialise() override;
    bool openChannel(int channel) override;
    void setPreview(int channel, bool on) override;
    QImage still(int channel) override;
    void closeChannel(int channel) override;
    void release() override;

private:
    struct Channel
    {
        QCameraDevice device;
        std::unique_ptr<QMediaCaptureSession> session;
        std::unique_ptr<QVideoSink> sink;
        std::unique_ptr<QCamera> camera;
        QImage last;
        QElapsedTimer sinceLast;
        bool preview = false;
    };

    QCameraDevice deviceFor(int channel) const;
    void startCamera(int channel);
    void frameArrived(int channel, const QVideoFrame& frame);
    void lose(int channel);
    void devicesChanged();

    QStringList m_names;
    std::unique_ptr<QMediaDevices> m_devices;
    std::array<Channel, ChannelCount> m_channels;
};

/**
 * The card the settings file chooses ([Video] Card): the test pattern, or the cameras named by
 * [Video] Camera1 … Camera4.
 */
std::unique_ptr<CaptureCard> makeCaptureCard(const QString& iniPath, const Clock& clock);
