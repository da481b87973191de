#pragma once

#include "BlackBox.h"
#include "indicator/FrameRule.h"
#include "indicator/IndicatorModel.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

class Clock;
class DataModule;
class SerialLine;
struct LoginState;

/**
 * The weighing station's indicator reading: the selected model's port (Comm1), the live weight cut out of
 * every received chunk, the stable lamp and the black box. The unit ([Unit] Value: kilograms or tonnes)
 * and the black box's lower limit ([黑匣子] 下限值, in that unit) are read from Option.ini when the reader
 * is made. The live weight is a whole number of the unit. Chunks that yield no weight are dropped
 * silently: the live weight keeps its value and neither the lamp nor the black box moves. A weight
 * older than SilenceMs is no reading: the indicator has gone quiet (unplugged, switched off, a broken
 * line), and nothing may be weighed with what it said last.
 */
class IndicatorReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndicatorReader)

public:
    inline static const QString NoModelMessage =
        QStringLiteral("没有选择称重仪表型号，请在“设置通讯参数”中选择一个仪表型号并保存参数。");
    inline static const QString NoModelTitle = QStringLiteral("提示");
    /** What the display shows while there is no reading. */
    inline static const QString NoReadingText = QStringLiteral("无信号");
    static constexpr int SilenceMs = 2000;

    enum class Problem { NoModel, PortFailed, BlackBoxFailed };

    /** The reader owns the line; `clock` dates readings and `login` names the black box's operator. */
    IndicatorReader(std::unique_ptr<SerialLine> line, DataModule& dm, const Clock& clock, const LoginState& login,
                    QObject* parent = nullptr);
    ~IndicatorReader() override;

    /**
     * Reads the selected model and configures the port with it. Without a selected model `problem`
     * (NoModel) is emitted and false is returned; live readings then never arrive. Throws
     * ConversionError when the model's baud rate or read-interval time-out is not an integer, and DbError.
     */
    bool LoadIndicatorSettings();
    /** Configures the port and the frame rule with a given model; throws ConversionError as above. */
    void useModel(const IndicatorModel& model);
    /** Uses another port than the model names (before OpenPort). */
    void setPortName(const QString& port) { m_settings.portName = port; }

    /** Opens the port; on failure `problem` (PortFailed) carries the component's text and false is returned. */
    bool OpenPort();
    void ClosePort();
    SerialLine& Comm1() { return *m_Comm1; }

    /** Handles one received chunk: frame rule, unit, live weight, lamp and black box step. */
    void Comm1ReceiveData(const QByteArray& chunk);
    /** Pushes a live weight into the last three readings and sets the lamp. */
    void UpdateStableLamp(double weight);

    /** A weight arrived within the last SilenceMs. */
    bool hasReading() const;
    /** The live weight as shown (a whole number of the unit, NoReadingText without a reading). */
    QString displayText() const { return hasReading() ? m_liveText : NoReadingText; }
    /** The last weight as a whole number of the unit, and as a number; check hasReading() first. */
    QString liveWeightText() const { return m_liveText; }
    double liveWeight() const { return m_live; }
    /** Three equal readings in a row, and still reading. */
    bool isStable() const { return m_stable && hasReading(); }
    bool kilograms() const { return m_kilograms; }
    /** "kg" or "t". */
    QString unitLabel() const;
    double lowerLimit() const { return m_blackBox.lowerLimit(); }
    double peak() const { return m_blackBox.peak(); }

Q_SIGNALS:
    /** After every chunk; `parsed` is false when the chunk yielded no weight. */
    void chunkHandled(bool parsed);
    /**
     * A load has left the scale and its black box row is written. The place for the automatic
     * snapshots of the load (when the video option is on).
     */
    void loadLeft(double peak);
    /** The reading has been lost (no weight for SilenceMs) or has come back. */
    void readingChanged(bool reading);
    /** Something the user must be told; the text is what the user sees. */
    void problem(IndicatorReader::Problem kind, const QString& text);

private:
    void showWeight(double weight);
    void blackBoxStep();
    void watchSilence();

    DataModule& m_dm;
    const Clock& m_clock;
    const LoginState& m_login;
    std::unique_ptr<SerialLine> m_Comm1;
    bool m_kilograms = true;
    BlackBox m_blackBox;
    bool m_hasModel = false;
    LineSettings m_settings;
    FrameParameters m_frame;
    FrameHistory m_history;
    double m_live = 0;
    QString m_liveText = QStringLiteral("0");
    std::array<double, 3> m_readings{}; // oldest, middle, newest
    bool m_stable = false;
    QDateTime m_lastWeightAt;
    bool m_reading = false;
    QTimer m_silenceTimer;
    /** The failed black box insert of the current load has been shown; retries stay quiet. */
    bool m_insertFailureShown = false;
};
