#pragma once

#include <QDialog>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
struct AppContext;

/**
 * "数据备份" (`Tbackupdatafrm`, menu "数据备份..."): the checked, consistent copy of the weighing database
 * to a file of the operator's choice, by default the month's file in the `backup` folder. The copy is
 * consistent with the program's connection open, so other windows keep working meanwhile.
 */
class BackupWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackupWindow)

public:
    inline static const QString OverwriteQuestion =
        QStringLiteral("数据库文件已经存在，系统将覆盖指定目录下的数据库文件！是吗？");

    BackupWindow(AppContext& ctx, QWidget* parent);

public Q_SLOTS:
    void FormShow();
    void SpeedButton1Click(); // "..."
    void BitBtn1Click();      // 备份(&B)

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fail(const QString& cause);
    void setProgress(int value);

    AppContext& m_ctx;
    QLineEdit* m_LabeledEdit1;
    QProgressBar* m_ProgressBar1;
    QStatusBar* m_StatusBar1;
    QPushButton* m_BitBtn1;
    QPushButton* m_BitBtn2;
};
