#include "VideoChannels.h"

#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using SnapshotFiles::Occasion;

VideoChannels::VideoChannels(bool videoOn, QString programFolder, const Clock& clock, Prompter& prompter,
                             CardFactory makeCard, QObject* parent)
    : QObject(parent), m_videoOn(videoOn), m_folder(std::move(programFolder)), m_clock(clock),
      m_prompter(prompter), m_makeCard(std::move(makeCard)), m_Timer2(new QTimer(this))
{
    m_Timer2->setObjectName(u"Timer2"_s);
    m_Timer2->setInterval(OverlayMilliseconds);
    connect(m_Timer2, &QTimer::timeout, this, &VideoChannels::ClearOverlays);
    m_Timer2->start();
}

VideoChannels::~VideoChannels()
{
    // Stills already handed over are written before the card and its folder go away.
    m_writer.waitForDone();
}

void VideoChannels::StartVideo()
{
    if (!m_videoOn || m_card)
        return;
    if (m_makeCard)
        m_card = m_makeCard();
    if (!m_card) {
        m_prompter.information(NoCardMessage, NoCardTitle);
        return;
    }
    Q_EMIT cardStarted(m_card.get());
    try {
        if (!m_card->initialise())
            m_prompter.information(PreviewFailedMessage, PreviewFailedTitle);
        for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel) {
            m_opened.at(channel) = m_card->openChannel(channel);
            if (m_opened.at(channel))
                m_card->setPreview(channel, true);
        }
    } catch (const CaptureError&) {
        m_prompter.information(NoCardMessage, NoCardTitle);
    }
}

QStringList VideoChannels::TakeSaveSnapshots(const QString& plate, bool firstWeighing)
{
    if (!m_videoOn)
        return {};
    setOverlays([&](int channel) { return QString::number(channel + 1) + u"#-"_s + plate; });
    const QStringList files =
        takeStills(firstWeighing ? Occasion::FirstWeighing : Occasion::SecondWeighing, plate);
    m_Timer2->start();
    return files;
}

QStringList VideoChannels::TakeLoadSnapshots()
{
    if (!m_videoOn)
        return {};
    setOverlays([](int) { return QString(); });
    return takeStills(Occasion::Load, QString());
}

void VideoChannels::ClearOverlays()
{
    m_Timer2->stop();
    if (m_videoOn)
        setOverlays([](int) { return QString(); });
}

void VideoChannels::StopVideo()
{
    if (!m_videoOn || !m_card)
        return;
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel)
        m_card->setPreview(channel, false);
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel)
        m_card->closeChannel(channel);
    m_opened.fill(false);
    m_card->release();
}

QStringList VideoChannels::takeStills(Occasion occasion, const QString& plate)
{
    // One time for the folder and every file of the occasion.
    const QDateTime now = m_clock.now();
    const QString base = SnapshotFiles::baseName(plate, now);
    QList<StillWriter::Still> stills;
    QStringList files;
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel) {
        if (!m_opened.at(channel))
            continue;
        QImage picture = m_card->still(channel);
        // A channel whose camera went away has nothing to give.
        if (picture.isNull())
            continue;
        stills.append({std::move(picture), SnapshotFiles::fileName(base, channel)});
        files.append(stills.last().fileName);
    }
    const QString folder = SnapshotFiles::folderPath(m_folder, occasion, now);
    m_writer.write(folder, std::move(stills));
    for (QString& file : files)
        file.prepend(folder + u'/');
    return files;
}

void VideoChannels::setOverlays(const std::function<QString(int channel)>& text)
{
    if (!m_card)
        return;
    for (int channel = 0; channel < CaptureCard::ChannelCount; ++channel)
        m_card->setOverlay(channel, text(channel));
}
