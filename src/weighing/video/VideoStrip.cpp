#include "VideoStrip.h"

#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "weighing/IndicatorReader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

VideoStrip::VideoStrip(AppContext& ctx, IndicatorReader& reader, bool videoOn, QWidget* parent)
    : QWidget(parent), m_reader(reader),
      m_channels(videoOn, ctx.dm.ProgramFolder(), ctx.clock, ctx.prompter, ctx.makeCaptureCard, this),
      m_Timer3(new QTimer(this))
{
    setObjectName(u"P1"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel) {
        auto* panel = new QLabel(panelCaption(channel), this);
        panel->setObjectName(u"PP"_s + QString::number(channel + 1));
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameShape(QFrame::Box);
        panel->setMinimumSize(40, 40);
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        panel->setStyleSheet(u"QLabel { background: rgb(20, 20, 20); color: rgb(200, 200, 200); "
                             "border: 1px solid rgb(90, 90, 90); }"_s);
        row->addWidget(panel, 1);
        m_panels.append(panel);
    }

    m_Timer3->setObjectName(u"Timer3"_s);
    m_Timer3->setSingleShot(true);
    m_Timer3->setInterval(StartMilliseconds);
    connect(m_Timer3, &QTimer::timeout, this, &VideoStrip::Timer3Timer);
    m_Timer3->start();

    connect(&m_channels, &VideoChannels::cardStarted, this, &VideoStrip::connectCard);
    connect(&reader, &IndicatorReader::loadLeft, &m_channels, [this] { m_channels.TakeLoadSnapshots(); });
}

VideoStrip::~VideoStrip() = default;

QString VideoStrip::panelCaption(int channel)
{
    return u"%1#通道没有视频信号"_s.arg(channel + 1);
}

void VideoStrip::Timer3Timer()
{
    m_Timer3->stop();
    layoutPanels();
    if (!m_channels.videoOn()) {
        hide();
        return;
    }
    m_channels.StartVideo();
}

QStringList VideoStrip::TakeSaveSnapshots(const QString& plate, bool firstWeighing)
{
    return m_channels.TakeSaveSnapshots(plate, firstWeighing);
}

void VideoStrip::StopVideo()
{
    m_Timer3->stop();
    m_channels.StopVideo();
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel)
        showCaption(channel);
}

void VideoStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPanels();
}

void VideoStrip::layoutPanels()
{
    // Square panels: the strip is as high as a quarter of its width.
    const int side = width() / CaptureCard::ChannelCount;
    if (side > 0 && height() != side)
        setFixedHeight(side);
}

void VideoStrip::connectCard(CaptureCard* card)
{
    connect(card, &CaptureCard::picture, this, &VideoStrip::showPicture);
    connect(card, &CaptureCard::signalLost, this, &VideoStrip::showCaption);
    connect(&m_reader, &IndicatorReader::chunkHandled, card,
            [this, card] { card->showLoad(m_reader.liveWeight() > m_reader.lowerLimit()); });
}

void VideoStrip::showPicture(int channel, const QImage& image)
{
    QLabel* panel = m_panels.at(channel);
    panel->setPixmap(QPixmap::fromImage(image).scaled(panel->contentsRect().size(), Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation));
}

void VideoStrip::showCaption(int channel)
{
    m_panels.at(channel)->setText(panelCaption(channel));
}
