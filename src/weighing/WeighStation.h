#pragma once

#include "IndicatorReader.h"
#include "WeighingSession.h"

#include <QList>
#include <QWidget>
#include <memory>

struct AppContext;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;
class VideoStrip;

/**
 * 称重计量: the weighing station (main menu "称重过磅"), a non-modal child of the main window. It shows
 * the live weight, the recent records and the weighing boxes; F1 takes the weight, F2 saves it, F9
 * reprints, F10 refreshes, F12 stores a fixed tare. The station writes no operation-log entries.
 */
class WeighStation final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WeighStation)

public:
    inline static const QString Caption = QStringLiteral("称重计量");
    inline static const QString PlatePrompt = QStringLiteral("请输入当前称重车辆的车牌号码");
    /** The status pane while the indicator's port is not open. */
    inline static const QString NotConnectedText = QStringLiteral("称重仪表没有连接");
    inline static const QString NoRecordChosenMessage =
        QStringLiteral("请先在左侧数据表格中选择要补打的记录，然后再按“补打F9”");
    inline static const QString CloseQuestion = QStringLiteral("您确实要退出称重吗？");
    inline static const QString TutorialFile = QStringLiteral("视频教程.exe");
    inline static const QString TutorialMissingMessage = QStringLiteral("缺少语音帮助文件“视频教程.exe”！");
    static QString rhyme();

    explicit WeighStation(AppContext& ctx, QWidget* parent = nullptr);
    ~WeighStation() override;

    /** 毛皮重F1: takes the live weight and prepares the weighing of the plate. */
    void BitBtn1Click();
    /** 保存F2: saves what F1 prepared. */
    void BitBtn2Click();
    /** 补打F9: prints the chosen record's ticket again. */
    void BitBtn3Click();
    /** 刷新F10: the newest records, the day's totals, empty boxes. */
    void BitBtn5Click();
    /** 高级 (F11): the stale tare review. */
    void BitBtn6Click();
    /** 存皮 (F12): stores the live weight as the fixed tare of a plate asked for. */
    void RzBitBtn3Click();
    /** 口诀. */
    void RzBitBtn4Click();
    /** 过磅视频教程. */
    void RzBitBtn5Click();
    /** 隐藏帮助提示: stores the choice at once and shows or hides the help texts. */
    void RzCheckBox1Click();
    /** The bell: rings on the first three ticks after a save, then stops. */
    void Timer1Timer();
    /** Grid pop-up 设置表格宽度: stores the column widths under the station's caption. */
    void N1Click();
    /** Chooses the record of a grid row (a row of the record query, not of the sorted view). */
    void DBGrid1CellClick(int row);
    /** Prints a record's ticket, tells in the status bar where it went, and refreshes. */
    void PrintTicket(const QString& recordNumber);

    WeighingSession& session() { return m_session; }
    IndicatorReader& reader() { return *m_reader; }
    QString currentRecordNumber() const { return m_session.recordNumber(); }

Q_SIGNALS:
    /** The station has closed; the main window enables its menu item again. */
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void openIndicator();
    void showReaderProblem(IndicatorReader::Problem kind, const QString& text);
    LiveReading liveReading() const;
    QWidget* buildTopStrip();
    QWidget* buildWeightDisplay();
    QWidget* buildRecordArea();
    QWidget* buildRightPanel();
    QWidget* buildSteps();
    QWidget* buildVideoStrip();
    QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint,
                            void (WeighStation::*handler)());
    QLineEdit* makeFigureBox(const QString& name);
    void makeShortcuts();
    void BuildWeighingBoxes();
    void placeBoxes();
    void setTabOrderOfBoxes();
    void watchFocusables(QWidget* root);

    void showLiveWeight();
    void applyGridColumns();
    void showTotals();
    void applyHelpVisibility();
    void refresh();
    void stopPreparing();
    void printAndRefresh(const QString& recordNumber, bool reprint);

    void pullBoxes();
    void pushBoxes();
    void pushFigures();
    bool handleEnter(QObject* watched);
    void boxEntered(QLineEdit* box);
    void boxLeft(QLineEdit* box);
    void boxDoubleClicked(QLineEdit* box, int index);

    AppContext& m_ctx;
    WeighingSession m_session;
    IndicatorReader* m_reader;
    int m_bellCount = 0;
    bool m_shown = false;

    QLineEdit* m_Edit = nullptr;
    QLabel* m_unit = nullptr;
    QLabel* m_IgeOn = nullptr;
    QLabel* m_IgeOff = nullptr;
    QLineEdit* m_Edit1 = nullptr;
    QLineEdit* m_Edit2 = nullptr;
    QLineEdit* m_Edit3 = nullptr;
    QLabel* m_tip = nullptr;
    QLabel* m_boxHint = nullptr;
    QPushButton* m_RzBitBtn4 = nullptr;
    QPushButton* m_RzBitBtn5 = nullptr;
    QCheckBox* m_RzCheckBox1 = nullptr;
    QTableView* m_DBGrid1 = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QMenu* m_gridMenu = nullptr;
    QList<QLabel*> m_panes;
    VideoStrip* m_P1 = nullptr;
    QGroupBox* m_groupbox1 = nullptr;
    QWidget* m_boxPanel = nullptr;
    QList<QLineEdit*> m_boxes;
    QPushButton* m_BitBtn1 = nullptr;
    QPushButton* m_BitBtn2 = nullptr;
    QPushButton* m_BitBtn3 = nullptr;
    QPushButton* m_BitBtn5 = nullptr;
    QPushButton* m_RzBitBtn1 = nullptr;
    QTimer* m_Timer1 = nullptr;
};
