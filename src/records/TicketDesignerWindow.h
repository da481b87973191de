#pragma once

#include "reports/PreparedReport.h"

#include <QDialog>
#include <functional>
#include <optional>

struct AppContext;
class QTreeWidget;
class QTreeWidgetItem;
class ReportDesignerWindow;
class ReportPreviewPane;

/**
 * "磅单设计器" (TWeightFr3Frm), opened by "6.自定义快速磅单格式": the fixed ticket tree, a preview of the
 * chosen ticket over the newest record, and the commands on the chosen ticket.
 */
class TicketDesignerWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TicketDesignerWindow)

public:
    /** Prints without a dialog; returns the problem. Tests print to a PDF file instead. */
    using PrintFunction = std::function<std::optional<QString>(const PreparedReport&)>;

    explicit TicketDesignerWindow(AppContext& ctx, QWidget* parent = nullptr);

    void setPrintFunction(PrintFunction print) { m_print = std::move(print); }
    /** Runs the report designer instead of showing it modally (tests drive it and close it). */
    void setDesignerRunner(std::function<void(ReportDesignerWindow&)> run) { m_openDesigner = std::move(run); }
    ReportPreviewPane& preview() { return *m_preview; }
    /** Chooses a node by its text and previews it, as a click does. */
    void choose(const QString& nodeText);

    inline static const QString NoTicketChosen = QStringLiteral("请先在左边选择一个磅单");

public Q_SLOTS:
    void SetDefaultClick();
    void EditClick();
    void CopyClick();
    void ImportClick();
    void TestPrintClick();
    void RefreshClick();

private:
    void buildTree();
    void showNode(QTreeWidgetItem* item);
    /** The chosen node's file; none (and the operator told) for a group node. */
    std::optional<QString> chosenFile();
    QString chosenText() const;

    AppContext& m_ctx;
    QTreeWidget* m_tree;
    ReportPreviewPane* m_preview;
    PrintFunction m_print;
    std::function<void(ReportDesignerWindow&)> m_openDesigner;
};
