#pragma once

#include <QDialog>

struct AppContext;
class EditGrid;
class QLineEdit;
class QRadioButton;
class TableEditModel;

/** 设置扣杂功能: chooses the deduction kind and value the weighing station applies (main menu
 * "设置扣杂功能"). */
class DeductionWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeductionWindow)

public:
    inline static const QString NoKindMessage = QStringLiteral("请先选择一种扣杂方式，再按确定保存！");

    explicit DeductionWindow(AppContext& ctx, QWidget* parent = nullptr);

    /** Shows each kind's newest value, checks the kind chosen last and lists the history. */
    void FormShow();
    /** 确定(&A): saves the checked kind with its value. */
    void BitBtn2Click();

private:
    QWidget* buildSettingPage();
    QWidget* buildHistoryPage();
    void openHistory();

    AppContext& m_ctx;
    QList<QRadioButton*> m_kinds;
    QList<QLineEdit*> m_values;
    TableEditModel* m_history;
    EditGrid* m_grid = nullptr;
};
