#pragma once

#include <QDialog>

struct AppContext;
struct MasterTable;
class EditGrid;
class QLabel;
class TableEditModel;

/**
 * The twin editors of the fixed tares and the unit prices: a grid that edits the table in place and
 * seven buttons (add, delete, save, cancel, find, refresh, close), each change logged.
 */
class MasterGridWindow : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MasterGridWindow)

public:
    struct Texts
    {
        QString formName;
        QString caption;
        /** Shown under the grid; empty for none. */
        QString help;
    };

    MasterGridWindow(AppContext& ctx, const MasterTable& table, const Texts& texts, QWidget* parent);

    /** 添加(&A): appends an empty row for editing. */
    void RzBitBtn1Click();
    /** 删除(&D): deletes the current row after confirmation. */
    void RzBitBtn2Click();
    /** 保存(&S): posts the row being edited. */
    void RzBitBtn3Click();
    /** 取消(&E): discards the edits of the row being edited. */
    void RzBitBtn4Click();
    /** 查找(F): shows only the rows whose find column equals the text asked for. */
    void RzBitBtn5Click();
    /** 刷新(&Q): shows every row again. */
    void RzBitBtn6Click();

private:
    void FormCreate(const Texts& texts);
    QWidget* buildButtons();
    void log(const QString& action);
    std::optional<QString> checkRow(int row, const QVariant& original);

    AppContext& m_ctx;
    const MasterTable& m_table;
    TableEditModel* m_model;
    EditGrid* m_grid;
    QLabel* m_unit = nullptr;
};

/** 固定存皮: the fixed tares of the trucks (main menu "固定存皮"). */
class TareWeightWindow final : public MasterGridWindow
{
public:
    explicit TareWeightWindow(AppContext& ctx, QWidget* parent = nullptr);

    inline static const QString HelpText =
        QStringLiteral("本系统支持二次计量、固定存皮和一次计量简单称重三种称重方式。一次计量需要将皮重设置为"
                       "大于0.01千克的重量，"
                       "划分到固定存皮的使用范畴中。因一次计量不要求有很高的称量精度，因此设置一个很小的数据"
                       "，即可完成一次计量的操作。");
};

/** 产品单价: the unit prices of the products (main menu "产品单价"). */
class UnitPriceWindow final : public MasterGridWindow
{
public:
    explicit UnitPriceWindow(AppContext& ctx, QWidget* parent = nullptr);
};
