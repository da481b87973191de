#pragma once

#include <QDialog>

class ReadOnlyGrid;
class ResultTable;
struct AppContext;

/**
 * The stale tare review ("高级" / F11 of the weighing station); modal, fixed size. Lists once per
 * opening the tare-only records older than [时间限值] 小时数 hours, tells how many there are, and deletes
 * them one at a time; a deleted row leaves the grid without a new query.
 */
class StaleTareWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StaleTareWindow)

public:
    inline static const QString Caption = QStringLiteral("高级管理");

    explicit StaleTareWindow(AppContext& ctx, QWidget* parent = nullptr);

public Q_SLOTS:
    void FormShow();
    /** 删除. */
    void BitBtn1Click();
    /** 设置表格宽度. */
    void N1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& m_ctx;
    ResultTable* m_table;
    ReadOnlyGrid* m_grid;
    bool m_shown = false;
};
