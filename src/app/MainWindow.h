#pragma once

#include <QHash>
#include <QMainWindow>
#include "app/Schedule.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QTimer>

class MarqueeLabel;
class QLabel;
class QMdiArea;
class QThread;
struct AppContext;

/**
 * The main window `TMainForm`: the MDI frame whose menu opens every function, the status bar with the
 * operator on duty, the login at first show, switch user, log-off, restart, power off and exit.
 */
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    inline static const QString ExitQuestion = QStringLiteral("您确实要退出本系统吗？");
    inline static const QString FirstMarquee = QStringLiteral("基于称重 超越称重");
    inline static const QString TickMarquee = QStringLiteral("真诚  共赢  创新  精业");
    inline static const QString OperatorPane = QStringLiteral("当前值班员:");

    /** How many windows of one kind a menu item may have open as children at once. */
    enum class Instances { One, Many };

    explicit MainWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppContext& context() const { return m_ctx; }
    /**
     * Shows `window` maximised as a child of the main window, which takes ownership. With Instances::One
     * the menu item that opened it stays disabled until the child has closed.
     */
    void openChild(QWidget* window, Instances instances);

    /** The menu action of a handler name ("N26", "N5", …). */
    QAction* action(const QString& handler) const { return m_actions.value(handler); }
    QMdiArea* mdiArea() const { return m_mdi; }

    /** After a successful login: each right shows or hides its menu item; the operator pane follows. */
    void applyLogin(const QMap<QString, bool>& rights);
    /** Shows the login modally; false when the user chose "退出". */
    bool runLogin();

    /** Timed backups still copying (they run off the user-interface thread). */
    int runningBackups() const { return int(m_backups.size()); }
    /** Waits until every timed backup has finished. */
    void waitForBackups();

    /** Read at creation; the personal settings window changes the power-off time at once. */
    Schedule schedule;
    QTimer Timer1;

public Q_SLOTS:
    void FormShow();
    void Timer1Timer();
    void N3Click();  // 数据恢复...
    void N50Click(); // 重新启动计算机
    void N51Click(); // 关闭计算机
    void N15Click(); // 切换用户...
    void N53Click(); // 注销本用户...
    void N17Click(); // 用户个性化设置...
    void N42Click(); // 连接远程数据库...
    void N48Click(); // 科学计算器...
    void N52Click(); // 记事本...
    void N39Click(); // 重要说明
    void N40Click(); // 帮助文件...
    void N13Click(); // 视频帮助...
    void N5Click();  // 【退出系统】

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void buildMenu();
    void buildStatusBar();
    void applyBackground();
    void paintBackground();
    void startTimedBackup(const QString& target);
    void logBackupFailure(const QString& target, const QString& cause);
    void openShellItem(const QString& file, const QString& failure);
    void endProgram();
    void updateKeyPanes();

    AppContext& m_ctx;
    QMdiArea* m_mdi;
    QLabel* m_logoLabel = nullptr;
    MarqueeLabel* m_marquee = nullptr;
    QLabel* m_operatorPane = nullptr;
    QLabel* m_capsPane = nullptr;
    QLabel* m_insertPane = nullptr;
    QAction* m_triggered = nullptr;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QAction*> m_rightActions;
    QColor m_backColor;
    QString m_picturePath;
    QImage m_picture;
    QList<QThread*> m_backups;
    bool m_useColor = false;
    bool m_shownOnce = false;
    bool m_ending = false;
    bool m_capsOn = false;
    bool m_insertOn = true;
};
