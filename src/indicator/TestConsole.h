#pragma once

#include "ConsoleText.h"
#include "FrameRule.h"
#include "IndicatorFinder.h"

#include <QTimer>
#include <QWidget>
#include <memory>

struct AppContext;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

/** The boxes of the communication setup window that the console reads and fills. */
struct ConsoleBoxes
{
    QComboBox* port = nullptr;     // ComboBox1
    QComboBox* baud = nullptr;     // ComboBox2
    QComboBox* parity = nullptr;   // ComboBox3
    QComboBox* dataBits = nullptr; // ComboBox4
    QComboBox* stopBits = nullptr; // ComboBox5
    QComboBox* direction = nullptr; // ComboBox7
    QLineEdit* readInterval = nullptr; // Edit2
    QLineEdit* startChar = nullptr;    // Edit3, control characters shown as their symbols
    QLineEdit* underloadSign = nullptr; // Edit4
    QLineEdit* weightOffset = nullptr;  // Edit5
    QLineEdit* weightCount = nullptr;   // Edit6
    QLineEdit* signOffset = nullptr;    // Edit7
    QLineEdit* signCount = nullptr;     // Edit8
};

/**
 * The test console of the communication setup window: a small serial terminal on the window's line
 * (open and close, received text or hexadecimal, counters, sending text, hexadecimal bytes or a file,
 * saving what arrived), the test of the frame rule on the live stream, and the searches that help find
 * an unknown indicator's line settings and frame parameters. Slots carry the window's handler names.
 */
class TestConsole final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TestConsole)

public:
    /** In test mode, a display this long without a chunk shows that there is no reading. */
    static constexpr int SilenceMs = 2000;
    inline static const QString NoReadingText = QStringLiteral("无信号");

    TestConsole(AppContext& ctx, SerialLine& line, const ConsoleBoxes& boxes, QWidget* parent);
    ~TestConsole() override;

    /** The search buttons, for the window's row of numbered steps. */
    QList<QPushButton*> searchButtons() const;
    /** Stops timers and searches; the window closes the line. */
    void shutdown();

    bool ParamSearchStarted = false;
    int DataSearchStep = 0;
    qint64 RxCount = 0;
    qint64 TxCount = 0;

public Q_SLOTS:
    void btnSwitchClick();
    void BitBtn1Click();
    void Comm1ReceiveData(const QByteArray& chunk);
    void BitBtn2Click();
    void Timer2Timer();
    void BitBtn3Click();
    void Timer3Timer();
    void RzBitBtn1Click();
    void btnSendClick();
    void BitBtn9Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void cbAutoSendClick();
    void Timer1Timer();
    void BitBtn5Click();
    void BitBtn6Click();
    void Memo1DblClick();
    void Memo2DblClick();
    void Memo3DblClick();
    /** The search that decides: finds the line settings and frame parameters by itself. */
    void btnFindClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPortRow();
    QWidget* buildAreas();
    QWidget* buildSendPanel();
    QWidget* buildStatusRow();
    void connectControls();
    void fillInitialTexts();

    LineSettings portSettings();
    void reopenPort();
    void setPortBoxesEnabled(bool enabled);
    void refreshStatus();
    void showRx();
    void showTx();
    void addReceivedLine(const QByteArray& bytes, const QString& shown);
    void displayChunk(const QByteArray& chunk);
    void testChunk(const QByteArray& chunk);
    void showNumber(const QString& text);
    void sendBytes(const QByteArray& bytes);
    QByteArray sendAreaBytes() const;
    std::array<int, 4> lineBoxIndexes() const;
    void setLineBoxIndexes(const std::array<int, 4>& indexes);
    void showLineSettings(const LineSettings& settings);
    void stopParamSearch();
    void finderFinished(const IndicatorFinder::Result& result);

    AppContext& m_ctx;
    SerialLine& m_line;
    ConsoleBoxes m_boxes;
    LineSettings m_settings;
    FrameHistory m_history;
    ReceiveLog m_log;
    std::unique_ptr<IndicatorFinder> m_finder;

    QPushButton* m_btnSwitch = nullptr;
    QLabel* m_ImageOn = nullptr;
    QLabel* m_ImageOff = nullptr;
    QCheckBox* m_cbAutoClean = nullptr;
    QCheckBox* m_cbRecHex = nullptr;
    QPushButton* m_BitBtn1 = nullptr;
    QPushButton* m_BitBtn2 = nullptr;
    QPushButton* m_BitBtn3 = nullptr;
    QPushButton* m_BitBtn5 = nullptr;
    QPushButton* m_BitBtn6 = nullptr;
    QPushButton* m_btnFind = nullptr;
    QPlainTextEdit* m_Memo1 = nullptr;
    QPlainTextEdit* m_Memo3 = nullptr;
    QLabel* m_RzLEDDisplay1 = nullptr;
    QPushButton* m_RzBitBtn1 = nullptr;
    QLabel* m_RzStatusPane1 = nullptr;
    QLabel* m_RzStatusPane2 = nullptr;
    QLabel* m_RzStatusPane3 = nullptr;
    QPushButton* m_btnSend = nullptr;
    QWidget* m_sendPanel = nullptr;
    QCheckBox* m_cbAutoSend = nullptr;
    QSpinBox* m_SpinEdit1 = nullptr;
    QCheckBox* m_cbsendHex = nullptr;
    QPlainTextEdit* m_Memo2 = nullptr;
    QLineEdit* m_edSendFile = nullptr;
    QPushButton* m_BitBtn7 = nullptr;
    QPushButton* m_BitBtn8 = nullptr;
    QPushButton* m_BitBtn9 = nullptr;
    QTimer m_Timer1{this};
    QTimer m_Timer2{this};
    QTimer m_Timer3{this};
    QTimer m_silence;
};
