#pragma once

#include "VideoChannels.h"

#include <QList>
#include <QWidget>

struct AppContext;
class IndicatorReader;
class QLabel;
class QTimer;

/**
 * The weighing station's video strip P1 under the record grid: four square picture panels PP1 to PP4,
 * each showing its channel's live picture or, without one, its caption "n#通道没有视频信号". Two
 * seconds after creation (Timer3) the strip hides itself when the video option is off, or starts the
 * capture card. It takes the automatic stills of every black box load of the reader by itself; the
 * station calls TakeSaveSnapshots after every F2 and StopVideo when it closes.
 */
class VideoStrip final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VideoStrip)

public:
    static constexpr int StartMilliseconds = 2000;

    VideoStrip(AppContext& ctx, IndicatorReader& reader, bool videoOn, QWidget* parent = nullptr);
    ~VideoStrip() override;

    /** Timer3: lays out the panels, then hides the strip (option off) or starts the video. */
    void Timer3Timer();
    /** After F2; `firstWeighing` when the net box holds 0. Returns the files asked for. */
    QStringList TakeSaveSnapshots(const QString& plate, bool firstWeighing);
    /** When the station closes. */
    void StopVideo();

    VideoChannels& channels() { return m_channels; }
    static QString panelCaption(int channel);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutPanels();
    void connectCard(CaptureCard* card);
    void showPicture(int channel, const QImage& image);
    void showCaption(int channel);

    IndicatorReader& m_reader;
    VideoChannels m_channels;
    QList<QLabel*> m_panels;
    QTimer* m_Timer3;
};
