#pragma once

#include <QDialog>

class QProgressBar;
struct AppContext;

/**
 * "压缩数据库" (`Tcompressdatafrm`, menu "压缩修复数据库..."): compacts the weighing database into a work
 * file and swaps it in by one rename, so there is never a moment without a database.
 */
class CompactWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CompactWindow)

public:
    inline static const QString FailedMessage = QStringLiteral("减肥失败！查看其他软件是否打开Access！");

    CompactWindow(AppContext& ctx, QWidget* parent);

public Q_SLOTS:
    void BitBtn1Click(); // 压缩(&A)

private:
    AppContext& m_ctx;
    QProgressBar* m_ProgressBar1;
};
