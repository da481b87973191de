#include "CameraCard.h"

#include "TestPatternCard.h"
#include "data/IniFile.h"
#include "data/Settings.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

using namespace Qt::Literals::StringLiterals;

namespace {

// Converting every frame of four cameras would keep the user-interface thread busy.
constexpr int PictureMilliseconds = 100;

} // namespace

CameraCard::CameraCard(QStringList names, QObject* parent) : CaptureCard(parent), m_names(std::move(names)) {}

CameraCard::~CameraCard()
{
    release();
}

bool CameraCard::initialise()
{
    if (QMediaDevices::videoInputs().isEmpty())
        throw CaptureError(u"没有找到摄像头"_s);
    m_devices = std::make_unique<QMediaDevices>();
    connect(m_devices.get(), &QMediaDevices::videoInputsChanged, this, &CameraCard::devicesChanged);
    return true;
}

QCameraDevice CameraCard::deviceFor(int channel) const
{
    const QList<QCameraDevice> inputs = QMediaDevices::videoInputs();
    const QString name = channel < m_names.size() ? m_names[channel].trimmed() : QString();
    if (name.isEmpty())
        return channel < inputs.size() ? inputs[channel] : QCameraDevice();
    for (const QCameraDevice& device : inputs)
        if (device.description().compare(name, Qt::CaseInsensitive) == 0 ||
            QString::fromUtf8(device.id()) == name)
            return device;
    return {};
}

bool CameraCard::openChannel(int channel)
{
    Channel& c = m_channels.at(channel);
    c.device = deviceFor(channel);
    if (c.device.isNull())
        return false;
    c.session = std::make_unique<QMediaCaptureSession>();
    c.sink = std::make_unique<QVideoSink>();
    c.session->setVideoSink(c.sink.get());
    connect(c.sink.get(), &QVideoSink::videoFrameChanged, this,
            [this, channel](const QVideoFrame& frame) { frameArrived(channel, frame); });
    startCamera(channel);
    return true;
}

void CameraCard::startCamera(int channel)
{
    Channel& c = m_channels.at(channel);
    c.camera = std::make_unique<QCamera>(c.device);
    connect(c.camera.get(), &QCamera::errorOccurred, this, [this, channel] { lose(channel); });
    c.session->setCamera(c.camera.get());
    c.camera->start();
}

void CameraCard::setPreview(int channel, bool on)
{
    m_channels.at(channel).preview = on;
}

QImage CameraCard::still(int channel)
{
    return withOverlay(m_channels.at(channel).last, channel);
}

void CameraCard::closeChannel(int channel)
{
    Channel& c = m_channels.at(channel);
    if (c.camera)
        c.camera->stop();
    c.session.reset();
    c.camera.reset();
    c.sink.reset();
    c.device = {};
    c.last = {};
    c.preview = false;
}

void CameraCard::release()
{
    for (int channel = 0; channel < ChannelCount; ++channel)
        closeChannel(channel);
    m_devices.reset();
}

void CameraCard::frameArrived(int channel, const QVideoFrame& frame)
{
    Channel& c = m_channels.at(channel);
    if (!c.camera || (c.sinceLast.isValid() && c.sinceLast.elapsed() < PictureMilliseconds))
        return;
    c.sinceLast.start();
    // Stills are written as bitmaps without alpha.
    c.last = frame.toImage().convertToFormat(QImage::Format_RGB32);
    if (c.preview && !c.last.isNull())
        Q_EMIT picture(channel, withOverlay(c.last, channel));
}

void CameraCard::lose(int channel)
{
    Channel& c = m_channels.at(channel);
    if (c.camera)
        c.camera->stop();
    c.last = {};
    Q_EMIT signalLost(channel);
}

void CameraCard::devicesChanged()
{
    const QList<QCameraDevice> inputs = QMediaDevices::videoInputs();
    for (int channel = 0; channel < ChannelCount; ++channel) {
        Channel& c = m_channels.at(channel);
        if (c.device.isNull())
            continue;
        const bool present = inputs.contains(c.device);
        if (!present && c.camera) {
            c.camera.reset();
            lose(channel);
        } else if (present && !c.camera) {
            startCamera(channel);
        }
    }
}

std::unique_ptr<CaptureCard> makeCaptureCard(const QString& iniPath, const Clock& clock)
{
    const IniFile ini(iniPath);
    if (ini.read(Option::VideoCard).trimmed().compare(Option::VideoCardTestPattern, Qt::CaseInsensitive) == 0)
        return std::make_unique<TestPatternCard>(clock);
    QStringList names;
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel)
        names.append(ini.read(Option::VideoCamera(channel)));
    return std::make_unique<CameraCard>(names);
}
