#include "TestPatternCard.h"

#include "platform/Clock.h"

#include <QPainter>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

const std::array<QColor, CaptureCard::ChannelCount> SkyColors{QColor(70, 110, 160), QColor(90, 130, 110),
                                                              QColor(130, 100, 150), QColor(150, 120, 80)};

void drawTruck(QPainter& p, int left, int ground)
{
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(40, 90, 170));
    p.drawRect(left, ground - 80, 150, 62); // cargo box
    p.setBrush(QColor(200, 50, 40));
    p.drawRect(left + 154, ground - 64, 52, 46); // cab
    p.setBrush(QColor(180, 220, 250));
    p.drawRect(left + 172, ground - 58, 28, 18); // window
    p.setBrush(QColor(20, 20, 20));
    for (int x : {left + 20, left + 62, left + 176})
        p.drawEllipse(QPoint(x, ground - 14), 14, 14);
}

} // namespace

TestPatternCard::TestPatternCard(const Clock& clock, QObject* parent)
    : CaptureCard(parent), m_clock(clock), m_timer(new QTimer(this))
{
    m_timer->setInterval(FrameMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &TestPatternCard::tick);
}

TestPatternCard::~TestPatternCard() = default;

bool TestPatternCard::initialise()
{
    m_calls.append(u"initialise"_s);
    if (m_noDevice)
        throw CaptureError(u"没有找到视频采集设备"_s);
    m_timer->start();
    return !m_previewFails;
}

bool TestPatternCard::openChannel(int channel)
{
    m_calls.append(u"open %1"_s.arg(channel));
    m_open.at(channel) = m_present.contains(channel);
    return m_open.at(channel);
}

void TestPatternCard::setPreview(int channel, bool on)
{
    m_calls.append(u"preview %1 %2"_s.arg(channel).arg(on ? u"on"_s : u"off"_s));
    m_preview.at(channel) = on;
}

QImage TestPatternCard::still(int channel)
{
    return hasSignal(channel) ? withOverlay(render(channel), channel) : QImage();
}

void TestPatternCard::closeChannel(int channel)
{
    m_calls.append(u"close %1"_s.arg(channel));
    m_open.at(channel) = false;
    m_preview.at(channel) = false;
}

void TestPatternCard::release()
{
    m_calls.append(u"release"_s);
    m_timer->stop();
}

void TestPatternCard::unplug(int channel)
{
    m_unplugged.at(channel) = true;
    if (m_open.at(channel))
        Q_EMIT signalLost(channel);
}

bool TestPatternCard::hasSignal(int channel) const
{
    return m_open.at(channel) && !m_unplugged.at(channel);
}

void TestPatternCard::tick()
{
    ++m_frame;
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (m_preview.at(channel) && hasSignal(channel))
            Q_EMIT picture(channel, withOverlay(render(channel), channel));
}

QImage TestPatternCard::render(int channel) const
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int ground = Height - 60;
    p.fillRect(0, 0, Width, ground, SkyColors.at(channel));
    p.fillRect(0, ground, Width, Height - ground, QColor(90, 90, 90));
    p.fillRect(40, ground, Width - 80, 10, QColor(160, 160, 160)); // the scale's platform

    // The bar crosses the picture once every four seconds; each channel starts elsewhere.
    const int period = 4000 / FrameMilliseconds;
    const int bar = ((m_frame + channel * period / 4) % period) * Width / period;
    p.fillRect(bar, 0, 12, Height, QColor(255, 255, 255, 110));

    if (m_loaded)
        drawTruck(p, 60, ground + 4);

    QFont font;
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, Height - 50, Width - 10, 22), Qt::AlignRight, u"CH%1"_s.arg(channel + 1));
    p.drawText(QRect(0, Height - 26, Width - 10, 22), Qt::AlignRight,
               m_clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s));
    return image;
}
