#include "MainWindow.h"

#include "app/MenuTable.h"
#include "data/DatabaseCopy.h"
#include "maintenance/Maintenance.h"
#include "maintenance/RestoreJob.h"
#include "audit/LoginDialog.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/SystemShell.h"
#include "data/PersonalSettingsWindow.h"
#include "widgets/MarqueeLabel.h"
#include "records/UniversalTicket.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

MainWindow::MainWindow(AppContext& ctx, QWidget* parent) : QMainWindow(parent), m_ctx(ctx), m_mdi(new QMdiArea(this))
{
    setObjectName(u"TMainForm"_s);
    m_mdi->setObjectName(u"ClientArea"_s);
    setCentralWidget(m_mdi);
    buildMenu();
    buildStatusBar();
    FormCreate();
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    waitForBackups();
}

void MainWindow::FormCreate()
{
    const QString folder = m_ctx.dm.ProgramFolder();
    const IniFile ini(m_ctx.dm.iniPath());
    m_useColor = ini.read(Option::PictureBackdrop);
    m_picturePath = ini.read(Option::PicturePath(folder));
    schedule = Schedule::read(ini, folder);
    m_backColor = Option::colorFromValue(ini.read(Option::BackdropColor));
    setWindowTitle(ini.read(Option::ApplicationCaption));
    applyBackground();
}

void MainWindow::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(u"MainMenu2"_s);
    QHash<QString, QMenu*> menus;
    for (const QString& caption : MenuTable::menus()) {
        if (caption == u"【退出系统】"_s) {
            QAction* exit = bar->addAction(caption);
            exit->setObjectName(u"N5"_s);
            m_actions.insert(u"N5"_s, exit);
            connect(exit, &QAction::triggered, this, &MainWindow::N5Click);
            continue;
        }
        menus.insert(caption, bar->addMenu(caption));
    }
    for (const MenuEntry& entry : MenuTable::entries()) {
        QMenu* menu = menus.value(entry.menu);
        if (entry.caption.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.caption);
        action->setObjectName(entry.handler);
        m_actions.insert(entry.handler, action);
        if (!entry.right.isEmpty())
            m_rightActions.insert(entry.right, action);
        if (entry.open)
            connect(action, &QAction::triggered, this, [this, action, open = entry.open] {
                m_triggered = action;
                open(*this);
                m_triggered = nullptr;
            });
    }
}

void MainWindow::openChild(QWidget* window, Instances instances)
{
    QMdiSubWindow* frame = m_mdi->addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    if (instances == Instances::One && m_triggered) {
        QAction* item = m_triggered;
        item->setEnabled(false);
        connect(frame, &QObject::destroyed, item, [item] { item->setEnabled(true); });
    }
    frame->showMaximized();
}

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(u"RzStatusBar1"_s);
    bar->setStyleSheet(u"QStatusBar { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 rgb(135, 206, 235), "
                       "stop:1 white); } QStatusBar::item { border: 1px solid rgb(150, 180, 210); }"_s);
    m_marquee = new MarqueeLabel(bar);
    m_marquee->setObjectName(u"RzMarqueeStatus1"_s);
    m_marquee->setMarqueeText(FirstMarquee);
    m_operatorPane = new QLabel(bar);
    m_operatorPane->setObjectName(u"RzFieldStatus2"_s);
    m_operatorPane->setMinimumWidth(200);
    m_capsPane = new QLabel(bar);
    m_capsPane->setObjectName(u"RzKeyStatus1"_s);
    m_capsPane->setMinimumWidth(50);
    m_insertPane = new QLabel(bar);
    m_insertPane->setObjectName(u"RzKeyStatus2"_s);
    m_insertPane->setMinimumWidth(50);
    bar->addWidget(m_marquee, 1);
    bar->addWidget(m_operatorPane);
    bar->addWidget(m_capsPane);
    bar->addWidget(m_insertPane);
    m_capsOn = m_ctx.shell.capsLockOn();
    updateKeyPanes();
}

void MainWindow::updateKeyPanes()
{
    m_capsPane->setText(m_capsOn ? u"CAPS"_s : QString());
    m_insertPane->setText(m_insertOn ? u"INS"_s : u"OVR"_s);
}

void MainWindow::applyBackground()
{
    m_logoLabel = new QLabel(u"背景图片可定制公司logo   "_s, m_mdi->viewport());
    m_logoLabel->setObjectName(u"LogoLabel"_s);
    m_logoLabel->setStyleSheet(u"color: white; font-size: 12px;"_s);
    m_logoLabel->move(6, 4);
    m_logoLabel->adjustSize();
    m_mdi->viewport()->installEventFilter(this);
    if (m_useColor) {
        m_mdi->setBackground(m_backColor);
        return;
    }
    QImageReader reader(m_picturePath);
    m_picture = reader.read();
    if (m_picture.isNull()) {
        // The workspace keeps its own colour; start-up goes on.
        m_ctx.prompter.error(u"无法读取背景图片“%1”：%2"_s.arg(QDir::toNativeSeparators(m_picturePath), reader.errorString()));
        return;
    }
    paintBackground();
}

void MainWindow::paintBackground()
{
    // The picture at its natural size, centred on the window colour.
    const QSize size = m_mdi->viewport()->size().expandedTo(QSize(1, 1));
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(QColor(96, 182, 215));
    QPainter painter(&canvas);
    painter.drawImage((size.width() - m_picture.width()) / 2, (size.height() - m_picture.height()) / 2, m_picture);
    painter.end();
    m_mdi->setBackground(canvas);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize && !m_picture.isNull())
        paintBackground();
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && key->key() == Qt::Key_CapsLock && watched == QApplication::focusWidget()) {
            m_capsOn = !m_capsOn;
            updateKeyPanes();
        } else if (!key->isAutoRepeat() && key->key() == Qt::Key_Insert && watched == QApplication::focusWidget()) {
            m_insertOn = !m_insertOn;
            updateKeyPanes();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The login comes once the window is on screen and the event loop runs.
    QTimer::singleShot(0, this, &MainWindow::FormShow);
}

void MainWindow::FormShow()
{
    if (!runLogin()) {
        endProgram();
        return;
    }
    Timer1.start();
}

bool MainWindow::runLogin()
{
    LoginDialog login(m_ctx, this);
    if (login.exec() != QDialog::Accepted)
        return false;
    applyLogin(login.rights());
    return true;
}

void MainWindow::applyLogin(const QMap<QString, bool>& rights)
{
    for (auto it = m_rightActions.cbegin(); it != m_rightActions.cend(); ++it)
        it.value()->setVisible(rights.value(it.key(), false));
    m_operatorPane->setText(OperatorPane + m_ctx.login.CurrentOperator);
}

void MainWindow::Timer1Timer()
{
    m_marquee->setMarqueeText(TickMarquee);
    schedule.tick();
    if (schedule.ticks == 2)
        UniversalTicket::openWorkbook(m_ctx);
    const QDateTime now = m_ctx.clock.now();
    if (schedule.autoBackupDue(now.time()))
        startTimedBackup(schedule.autoBackupFile(now));
    if (schedule.shutdownDue(now.time()))
        m_ctx.shell.shutdownWindows(u"poweroff"_s);
}

void MainWindow::startTimedBackup(const QString& target)
{
    QString source;
    try {
        source = Maintenance::weighingFile(m_ctx.dm);
    } catch (const AppError& e) {
        logBackupFailure(target, e.text());
        return;
    }
    // A large database takes a while to copy; the program stays usable meanwhile.
    auto failure = std::make_shared<QString>();
    QThread* worker = QThread::create([source, target, failure] {
        try {
            DatabaseCopy::backup(source, target);
        } catch (const AppError& e) {
            *failure = e.text();
        }
    });
    m_backups.append(worker);
    connect(worker, &QThread::finished, this, [this, worker, target, failure] {
        m_backups.removeOne(worker);
        worker->deleteLater();
        if (!failure->isEmpty())
            logBackupFailure(target, *failure);
    });
    worker->start();
}

void MainWindow::waitForBackups()
{
    for (QThread* worker : std::as_const(m_backups))
        worker->wait();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void MainWindow::logBackupFailure(const QString& target, const QString& cause)
{
    // Timed and exit backups show no message; the log keeps the failure, the cause goes to the console.
    qWarning("%s", qPrintable(cause));
    try {
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, (u"备份失败 "_s + QFileInfo(target).fileName()).left(50),
                          QString());
    } catch (const AppError&) {
    }
}

void MainWindow::endProgram()
{
    m_ending = true;
    m_ctx.shell.endProgram();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    if (!m_ctx.prompter.confirm(ExitQuestion, u"提示！"_s)) {
        event->ignore();
        return;
    }
    waitForBackups();
    if (schedule.closeBackupEnabled) {
        const QString target = schedule.closeBackupFile(m_ctx.clock.now());
        try {
            Maintenance::backupWeighing(m_ctx.dm, target);
        } catch (const AppError& e) {
            logBackupFailure(target, e.text());
        }
    }
    guarded(m_ctx.prompter, [&] { m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"退出"_s, QString()); });
    m_ending = true;
    event->accept();
}

void MainWindow::N5Click()
{
    close();
}

void MainWindow::N17Click()
{
    PersonalSettingsWindow window(m_ctx, this);
    connect(&window, &PersonalSettingsWindow::shutdownScheduleChanged, this, [this](bool enabled, QTime time) {
        schedule.shutdownEnabled = enabled;
        schedule.shutdownTime = time;
    });
    window.exec();
}

void MainWindow::N3Click()
{
#ifdef Q_OS_WIN
    const QString program = m_ctx.dm.path(u"Restore/Restore.exe"_s);
#else
    const QString program = m_ctx.dm.path(u"Restore/Restore"_s);
#endif
    // The restore program starts the weighing program again when it is done.
    try {
        RestoreJob::recordMainProgram(m_ctx.dm.ProgramFolder(), m_ctx.shell.programFile());
    } catch (const AppError&) {
    }
    if (!m_ctx.shell.open(program))
        m_ctx.prompter.information(u"缺少配置文件“Restore.exe”！"_s, u"提示"_s);
    endProgram();
}

void MainWindow::N50Click()
{
    guarded(m_ctx.prompter, [&] {
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"重新启动"_s, QString());
        m_ctx.shell.shutdownWindows(u"reboot"_s);
    });
}

void MainWindow::N51Click()
{
    guarded(m_ctx.prompter, [&] {
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"关机"_s, QString());
        m_ctx.shell.shutdownWindows(u"poweroff"_s);
    });
}

void MainWindow::N15Click()
{
    if (!guarded(m_ctx.prompter,
                 [&] { m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"切换用户"_s, QString()); }))
        return;
    if (!runLogin())
        endProgram();
}

void MainWindow::N53Click()
{
    for (QAction* action : std::as_const(m_rightActions))
        action->setVisible(false);
    m_ctx.login.CurrentOperator = u"无"_s;
    m_operatorPane->setText(OperatorPane + m_ctx.login.CurrentOperator);
    guarded(m_ctx.prompter, [&] { m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"注销用户"_s, QString()); });
}

void MainWindow::N42Click()
{
    m_ctx.prompter.information(u"由于您现在使用的是Access单机标准版本，所以不支持网络功能，欢迎使用SQL网络版本。"_s,
                               u"提示"_s);
}

void MainWindow::openShellItem(const QString& file, const QString& failure)
{
    if (!m_ctx.shell.open(file))
        m_ctx.prompter.information(failure, u"提示"_s);
}

void MainWindow::N48Click()
{
    openShellItem(u"calc.exe"_s, u"缺少科学计算器“calc.exe”文件！"_s);
}

void MainWindow::N52Click()
{
    openShellItem(u"notepad.exe"_s, u"缺少记事本“notepad.exe”文件！"_s);
}

void MainWindow::N39Click()
{
    openShellItem(m_ctx.dm.path(u"重要说明.Txt"_s), u"缺少文件“重要说明.Txt”！"_s);
}

void MainWindow::N40Click()
{
    openShellItem(m_ctx.dm.path(u"帮助文件.pdf"_s), u"缺少帮助文件“帮助文件.pdf”！"_s);
}

void MainWindow::N13Click()
{
    openShellItem(m_ctx.dm.path(u"视频教程.exe"_s), u"缺少语音帮助文件“视频教程.exe”！"_s);
}
