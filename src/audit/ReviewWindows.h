#pragma once

#include "RangeReview.h"
#include "RecordSnapshot.h"

#include <QDialog>

class GridFinder;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class ReadOnlyGrid;
class QTimeEdit;
class QVBoxLayout;
class ResultTable;
struct AppContext;

/**
 * A modal window that lists one table over a time range: the range pickers (today, 00:00:00 to
 * 23:59:59), a read-only grid that sorts on a title click and finds with Ctrl+F, a record navigator,
 * "查询(&F)" (also run when the window is shown), optionally "删除(&D)" of the last queried range, and
 * "关闭(&C)". The grid's pop-up menu saves the column widths in the section named by the caption.
 */
class RangeReviewWindow : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RangeReviewWindow)

public:
    inline static const QString DeleteQuestion = QStringLiteral("你确定要删除数据吗?");

    ResultTable* table() const { return m_table; }
    ReadOnlyGrid* grid() const { return m_grid; }

public Q_SLOTS:
    /** 查询(&F): lists the pickers' range; on a database error the grid is left empty. */
    void BitBtn1Click();
    /** 删除(&D): after the question, deletes the last queried range, logs, and queries again. */
    void BitBtn2Click();
    /** 设置表格宽度. */
    void N1Click();

protected:
    RangeReviewWindow(AppContext& ctx, QWidget* parent, const QString& formName, const QString& caption,
                      RangeTable table);
    /** Called after every successful listing. */
    virtual void afterQuery() {}
    /** Called once, after the first listing when the window is shown. */
    virtual void afterFirstShow() {}
    void showEvent(QShowEvent* event) override;
    /** The model row of the grid's current row; -1 when there is none. */
    int currentRecord() const;
    /** The window's rows top to bottom (range, grid, buttons): a window adds its notes under the grid. */
    QVBoxLayout* mainLayout() const { return m_layout; }
    /** The row that holds the grid: a window adds a pane to its right. */
    QHBoxLayout* bodyLayout() const { return m_body; }

    AppContext& m_ctx;

private:
    void buildControls();
    QWidget* buildRange();
    TimeRange pickedRange() const;
    void setToday();

    RangeReview m_review;
    ResultTable* m_table = nullptr;
    ReadOnlyGrid* m_grid = nullptr;
    GridFinder* m_finder = nullptr;
    QDateEdit* m_fromDate = nullptr;
    QTimeEdit* m_fromTime = nullptr;
    QDateEdit* m_toDate = nullptr;
    QTimeEdit* m_toTime = nullptr;
    QVBoxLayout* m_layout = nullptr;
    QHBoxLayout* m_body = nullptr;
    bool m_shown = false;
};

/** The operation log viewer ("查看日志..." of the main menu); modal. */
class LogWindow final : public RangeReviewWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LogWindow)

public:
    inline static const QString Caption = QStringLiteral("查看日志");
    explicit LogWindow(AppContext& ctx, QWidget* parent = nullptr);
};

/**
 * The recycle bin ("查看回收站..." of the main menu); modal. Lists the log entries that hold a record's
 * old values; the chosen "修改" or "删除" entry is shown beside the grid as the record it was, field by
 * field under the columns of the weighing table, so it can be keyed in again by hand.
 */
class RecycleBinWindow final : public RangeReviewWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecycleBinWindow)

public:
    inline static const QString Caption = QStringLiteral("查看回收站");
    explicit RecycleBinWindow(AppContext& ctx, QWidget* parent = nullptr);

    /** The fields the form shows now: (name, value) in order; empty when it shows none. */
    QList<std::pair<QString, QString>> shownFields() const { return m_shown; }
    /** The note above the fields (what the entry was, and any doubt about the split). */
    QString formNote() const;

private:
    void afterFirstShow() override;
    void afterQuery() override;
    void showCurrentEntry();
    void fillForm(const RecordSnapshot::Split& split);

    QList<ColumnInfo> m_layoutColumns;
    QList<std::pair<QString, QString>> m_shown;
    QLabel* m_note = nullptr;
    QWidget* m_fields = nullptr;
};

/**
 * The black box viewer ("查看数据黑匣子数据" of the main menu); modal, resizable. Loads of the range
 * that no weighing record accounts for are painted and counted below the grid.
 */
class BlackBoxWindow final : public RangeReviewWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlackBoxWindow)

public:
    inline static const QString Caption = QStringLiteral("查看数据黑匣子数据");
    inline static const QString UnrecordedTip = QStringLiteral("这次过磅附近没有称重记录，可能没有入账");
    explicit BlackBoxWindow(AppContext& ctx, QWidget* parent = nullptr);

    QString summary() const;

private:
    void afterQuery() override;

    QLabel* m_summary = nullptr;
};
