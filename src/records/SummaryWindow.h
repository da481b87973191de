#pragma once

#include "Summary.h"

#include <QDialog>
#include <optional>

class EditGrid;
class QButtonGroup;
class QChartView;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTimeEdit;
class TableEditModel;
struct AppContext;

/**
 * The summary window `Ttotalfrm` ("汇总与打印", menu "汇总与打印..."): group totals of a gross-time range
 * by one field or a saved combination, a bar chart of the net weight (and amount) per group, and the
 * export into a workbook the site prepared.
 */
class SummaryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SummaryWindow)

public:
    inline static const QString HelpText = QStringLiteral(
        "新建组合项目，每个项目之间应\n以英文状态下的\",\"分割。例如：\n‘发货方,品名’,表示汇总不同\n的发货方下的不同的品名的毛重、\n"
        "皮重、净重、车数情况。过有皮\n重的车辆也计算在汇总之中。");
    inline static const QString NewCombinationItem = QStringLiteral("您可以组合一个汇总项目");

    SummaryWindow(AppContext& ctx, QWidget* parent = nullptr);

    /** The last result shown; empty before the first summary. */
    const SummaryResult& result() const { return m_result; }

public Q_SLOTS:
    void BitBtn2Click(); // 汇总(&T)
    void BitBtn3Click(); // 导出(&O)
    void BitBtn4Click(); // 新建(&N)
    void N1Click();      // 设置表格宽度
    void saveChartPicture();
    void printResult();

private:
    void FormShow();
    QWidget* buildRange();
    QGroupBox* buildGroupings();
    QWidget* buildButtons();
    QWidget* buildResult();
    void applyRights();
    void showResult(const SummaryResult& result);
    void showChart(const SummaryResult& result);
    QString selectedGrouping() const;

    AppContext& m_ctx;
    QDateEdit* m_fromDate;
    QDateEdit* m_toDate;
    QTimeEdit* m_fromTime;
    QTimeEdit* m_toTime;
    QGroupBox* m_groupBox = nullptr;
    QButtonGroup* m_groupings;
    QPushButton* m_summarise = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_new = nullptr;
    QTableView* m_grid = nullptr;
    QStandardItemModel* m_model;
    QChartView* m_chart = nullptr;
    SummaryResult m_result;
    std::optional<QString> m_amountField;
};

/** `TAddTotalfrm` ("新建组合汇总项目"): the saved combinations of the summary window, from "新建(&N)". */
class CombinationWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CombinationWindow)

public:
    CombinationWindow(AppContext& ctx, QWidget* parent = nullptr);

public Q_SLOTS:
    void BitBtn1Click(); // 添加(&A)
    void BitBtn2Click(); // 删除(&D)
    void BitBtn3Click(); // 保存(&U)

private:
    AppContext& m_ctx;
    TableEditModel* m_model;
    EditGrid* m_grid;
};
