#pragma once

#include <QDialog>

class QLabel;
struct AppContext;

/**
 * "系统升级" (`TUpdateFrm`, menu "系统升级..."): shows where the newest version is downloaded and opens
 * that address in the browser; it neither downloads nor installs anything itself.
 */
class UpgradeWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpgradeWindow)

public:
    inline static const QString DownloadAddress = QStringLiteral("https://hemlo.example/weight/download");

    UpgradeWindow(AppContext& ctx, QWidget* parent);

public Q_SLOTS:
    void BitBtn1Click(); // 下载

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppContext& m_ctx;
    QLabel* m_Label2;
};
