#pragma once

#include "SnapshotFiles.h"
#include "StillWriter.h"
#include "platform/CaptureCard.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class Clock;
class Prompter;
class QTimer;

/**
 * The weighing station's video, without widgets: starting the capture card with its four channels,
 * the overlay texts, the stills at every save and every black box load, the overlay-clearing timer
 * (Timer2, 5 s, also running from creation) and stopping. With the video option off nothing here
 * touches a card or the disk. Stills are written by a StillWriter, off the caller's thread.
 */
class VideoChannels final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VideoChannels)

public:
    inline static const QString PreviewFailedMessage = QStringLiteral("视频卡初始化预览失败！");
    inline static const QString PreviewFailedTitle = QStringLiteral("提示!");
    inline static const QString NoCardMessage = QStringLiteral("没有安装中维世纪C900采集卡");
    inline static const QString NoCardTitle = QStringLiteral("提示");
    static constexpr int OverlayMilliseconds = 5000;

    using CardFactory = std::function<std::unique_ptr<CaptureCard>()>;

    /** `makeCard` is called by StartVideo only; empty or returning nothing means no card is installed. */
    VideoChannels(bool videoOn, QString programFolder, const Clock& clock, Prompter& prompter,
                  CardFactory makeCard, QObject* parent = nullptr);
    ~VideoChannels() override;

    bool videoOn() const { return m_videoOn; }
    bool opened(int channel) const { return m_opened.at(channel); }

    /**
     * Makes and initialises the card and opens channels 0 to 3, each opened one with its preview on.
     * A card that cannot preview is told with PreviewFailedMessage and its channels are opened anyway;
     * no card at all is told with NoCardMessage and the station goes on without video.
     */
    void StartVideo();
    /**
     * After F2 (saved or not): the overlays of all four channels become "n#-" + plate, one still per
     * opened channel with a picture goes into the month's first-weighing folder (second-weighing unless
     * `firstWeighing`), and the overlays are cleared 5 seconds later. Returns the files asked for.
     */
    QStringList TakeSaveSnapshots(const QString& plate, bool firstWeighing);
    /** A black box load: overlays cleared, one still per opened channel into the month's "_自动抓拍". */
    QStringList TakeLoadSnapshots();
    /** Timer2: clears the overlays of all four channels. */
    void ClearOverlays();
    /**
     * Stops the previews, closes all four channels and releases the card; the flags return to false.
     * The station starts its video once per opening, so the card is not started again.
     */
    void StopVideo();

    StillWriter& writer() { return m_writer; }
    QTimer* Timer2() const { return m_Timer2; }

Q_SIGNALS:
    /** StartVideo has made the card; its pictures can be connected now. */
    void cardStarted(CaptureCard* card);

private:
    QStringList takeStills(SnapshotFiles::Occasion occasion, const QString& plate);
    void setOverlays(const std::function<QString(int channel)>& text);

    bool m_videoOn;
    QString m_folder;
    const Clock& m_clock;
    Prompter& m_prompter;
    CardFactory m_makeCard;
    /** Made by StartVideo; kept, released, after StopVideo until this goes. */
    std::unique_ptr<CaptureCard> m_card;
    std::array<bool, CaptureCard::ChannelCount> m_opened{};
    QTimer* m_Timer2;
    StillWriter m_writer;
};
