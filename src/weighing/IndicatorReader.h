#pragma once

#include "BlackBox.h"
#include "indicator/FrameRule.h"
#include "indicator/IndicatorModel.h"

#include <QObject>
#include <array>
#include <memory>

struct AppContext;
class SerialLine;

/**
 * The weighing station's indicator reading: the selected model's port (Comm1), the live weight cut out of
 * every received chunk, the stable lamp and the black box. The unit ([Unit] Value: kilograms or tonnes)
 * and the black box's lower limit ([黑匣子] 下限值, in that unit) are read from Option.ini when the reader
 * is made. The live weight is a whole number of the unit. Chunks that yield no weight are dropped
 * silently: the live weight keeps its value and neither the lamp nor the black box moves.
 */
class IndicatorReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndicatorReader)

public:
    inline static const QString NoModelMessage =
        QStringLiteral("没有选择称重仪表型号，请在“设置通讯参数”中选择一个仪表型号并保存参数。");
    inline static const QString NoModelTitle = QStringLiteral("提示");

    explicit IndicatorReader(AppContext& ctx, QObject* parent = nullptr);
    ~IndicatorReader() override;

    /**
     * Reads the selected model and configures the port with it. Without a selected model the user is
     * told so and false is returned; live readings then never arrive. Throws ConversionError when the
     * model's baud rate or read-interval time-out is not an integer, and DbError.
     */
    bool LoadIndicatorSettings();
    /** Configures the port and the frame rule with a given model; throws ConversionError as above. */
    void useModel(const IndicatorModel& model);
    /** Uses another port than the model names (before OpenPort). */
    void setPortName(const QString& port) { m_settings.portName = port; }

    /** Opens the port; on failure the component's text is shown as an error and false is returned. */
    bool OpenPort();
    void ClosePort();
    SerialLine& Comm1() { return *m_Comm1; }

    /** Handles one received chunk: frame rule, unit, live weight, lamp and black box step. */
    void Comm1ReceiveData(const QByteArray& chunk);
    /** Pushes a live weight into the last three readings and sets the lamp. */
    void UpdateStableLamp(double weight);

    /** The live weight as shown (a whole number of the unit) and as a number. */
    QString liveWeightText() const { return m_liveText; }
    double liveWeight() const { return m_live; }
    bool isStable() const { return m_stable; }
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

private:
    void showWeight(double weight);
    void blackBoxStep();

    AppContext& m_ctx;
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
    /** The failed black box insert of the current load has been shown; retries stay quiet. */
    bool m_insertFailureShown = false;
};
