#pragma once

#include <QDialog>

class QDateEdit;
class QProgressBar;
class QTimeEdit;
struct AppContext;

/** "数据清除" (`Tclearfrm`, menu "数据清除..."): deletes the records whose gross time lies in a period. */
class ClearWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClearWindow)

public:
    ClearWindow(AppContext& ctx, QWidget* parent);

public Q_SLOTS:
    void BitBtn1Click(); // 清除(&D)

private:
    AppContext& m_ctx;
    QDateEdit* m_DateTimePicker1;
    QTimeEdit* m_DateTimePicker2;
    QDateEdit* m_DateTimePicker3;
    QTimeEdit* m_DateTimePicker4;
    QProgressBar* m_ProgressBar1;
};
