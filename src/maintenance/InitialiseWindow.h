#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QProgressBar;
struct AppContext;

/** "初始化系统" (`Tbeginsysfrm`, menu "初始化系统..."): empties the ticked tables of the weighing database. */
class InitialiseWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InitialiseWindow)

public:
    InitialiseWindow(AppContext& ctx, QWidget* parent);

public Q_SLOTS:
    void BitBtn1Click(); // 初始化(&A)

private:
    AppContext& m_ctx;
    QList<QCheckBox*> m_checkBoxes;
    QProgressBar* m_ProgressBar1;
};
