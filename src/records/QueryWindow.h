#pragma once

#include "records/RecordQuery.h"

#include <QWidget>
#include <optional>

struct AppContext;
class EditGrid;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QTimer;
class TableEditModel;

/**
 * 查询与打印 (Tmanagerdatafrm): finds weighing records by a time range and the record fields, totals
 * them, edits and deletes them with log snapshots, prints the record report and exports the result.
 * Opened by the main menu's "查询与打印..."; several may be open at once.
 *
 * Condition boxes are EIT0, EIT1 …; the options RadioButton1 皮重时间, RadioButton2 毛重时间,
 * RadioButton3 降序, RadioButton4 升序, RadioButton5 并且, RadioButton6 或者; the range
 * DateTimePicker1/2 (dates) and DateTimePicker3/4 (times); the toolbar BitBtn1 刷新 … BitBtn9 返回;
 * the grid DBGrid1 and the four total panes StatusPane1 … StatusPane4.
 */
class QueryWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueryWindow)

public:
    /** When the grid is first filled: when the window is shown, or at once over the newest records. */
    enum class Opening { WhenShown, NewestNow };

    explicit QueryWindow(AppContext& ctx, Opening opening = Opening::WhenShown);

    /** The statement of the rows the grid shows (the refresh's or the last query's). */
    const RecordStatement& currentStatement() const { return m_current; }
    /** The last query's condition; nothing before the first query. */
    const std::optional<RecordStatement>& lastCondition() const { return m_lastCondition; }
    /** The rows the grid shows, for a report over the same result. */
    TableEditModel& resultModel() const { return *m_model; }

    void RefreshClick();
    void QueryClick();
    void SaveClick();
    void CancelClick();
    void DeleteClick();
    void DeleteSetClick();
    void ExportClick();
    void PrintClick();
    void HelpClick();
    void SetWidthsClick();
    /**
     * The record report's design ("5.设置报表格式..."): the report designer on `weight.fr3` with this
     * window's result as frxDBDataset1 and its totals as pz/mz/jz/cs, modal over this window.
     */
    void DesignReport();

    inline static const QString Caption = QStringLiteral("查询与打印");

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ConditionBox
    {
        QString field;
        bool chineseInput = false;
        QLineEdit* edit = nullptr;
    };

    void buildConditionBoxes(QWidget* panel);
    QWidget* buildOptions(QWidget* panel);
    QWidget* buildToolbar();
    QWidget* buildStatusPanes();
    void FormShow();
    void applyRights();
    void optionClicked();
    QueryConditions conditions() const;
    void load(const RecordStatement& statement);
    void applyWidths(bool keepCurrent);
    void showTotals(const QueryTotals& totals);
    void pickWord(ConditionBox& box);
    void gridEnter();
    void logChange(const QVariantList& before);
    void printReport(const QString& title1, const QString& title2);

    AppContext& m_ctx;
    TableEditModel* m_model;
    EditGrid* m_grid;
    QList<ConditionBox> m_boxes;
    QRadioButton* m_tareTime;
    QRadioButton* m_descending;
    QRadioButton* m_anyField;
    QDateEdit* m_fromDate;
    QDateEdit* m_toDate;
    QTimeEdit* m_fromTime;
    QTimeEdit* m_toTime;
    QPushButton* m_queryButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QList<QLabel*> m_panes;
    QTimer* m_fetchTimer;
    RecordStatement m_current;
    std::optional<RecordStatement> m_lastCondition;
    QueryTotals m_totals;
    bool m_shown = false;
};
