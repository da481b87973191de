#include "BackupWindow.h"

#include "DialogParts.h"
#include "FolderTreeDialog.h"
#include "Maintenance.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

BackupWindow::BackupWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_LabeledEdit1(new QLineEdit(this)), m_ProgressBar1(new QProgressBar(this)),
      m_StatusBar1(new QStatusBar(this)), m_BitBtn1(DialogParts::button(u"BitBtn1"_s, u"备份(&B)"_s, this)),
      m_BitBtn2(DialogParts::button(u"BitBtn2"_s, u"关闭(&C)"_s, this))
{
    m_LabeledEdit1->setObjectName(u"LabeledEdit1"_s);
    m_LabeledEdit1->setReadOnly(true);
    m_LabeledEdit1->setMinimumWidth(320);
    auto* chooser = new QToolButton(this);
    chooser->setObjectName(u"SpeedButton1"_s);
    chooser->setText(u"..."_s);
    m_ProgressBar1->setObjectName(u"ProgressBar1"_s);
    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setValue(0);
    m_StatusBar1->setObjectName(u"StatusBar1"_s);
    m_StatusBar1->setSizeGripEnabled(false);
    m_BitBtn1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"数据备份路径："_s, this));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_LabeledEdit1, 1);
    pathRow->addWidget(chooser);
    layout->addLayout(pathRow);
    layout->addWidget(m_ProgressBar1);
    for (const QString& text : {u"进行数据库备份是防止数据丢失、破坏、删除的有效手段。"_s,
                                u"进行数据库备份后，也可以清除过期数据，然后进行数据压缩，这样可以提高数据库的性能。"_s,
                                u"数据备份过程会比较慢，请您耐心等待。"_s})
        layout->addWidget(DialogParts::note(text, this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_BitBtn1);
    buttons->addWidget(m_BitBtn2);
    layout->addLayout(buttons);
    layout->addWidget(m_StatusBar1);
    DialogParts::setUp(this, u"Tbackupdatafrm"_s, u"数据备份"_s);

    connect(chooser, &QToolButton::clicked, this, &BackupWindow::SpeedButton1Click);
    connect(m_BitBtn1, &QPushButton::clicked, this, &BackupWindow::BitBtn1Click);
    connect(m_BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void BackupWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void BackupWindow::FormShow()
{
    m_LabeledEdit1->setText(
        Maintenance::monthlyBackupFile(m_ctx.dm.path(u"backup"_s), m_ctx.clock.now().date()));
}

void BackupWindow::SpeedButton1Click()
{
    FolderTreeDialog chooser(this);
    const QString current = QFileInfo(m_LabeledEdit1->text()).absolutePath();
    chooser.setFolder(current);
    connect(&chooser, &FolderTreeDialog::folderChosen, this, [this](const QString& folder) {
        m_LabeledEdit1->setText(Maintenance::monthlyBackupFile(folder, m_ctx.clock.now().date()));
    });
    chooser.exec();
}

void BackupWindow::setProgress(int value)
{
    m_ProgressBar1->setValue(value);
    // The copy runs on this thread: let the bar and the status repaint, but take no clicks meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void BackupWindow::BitBtn1Click()
{
    const QString target = m_LabeledEdit1->text();
    // The old file stays until the new copy has replaced it, so "no" and a failed copy both keep it.
    if (QFileInfo::exists(target) && !m_ctx.prompter.askYesNo(OverwriteQuestion, u"提示"_s))
        return;
    m_BitBtn1->setEnabled(false);
    m_BitBtn2->setEnabled(false);
    m_StatusBar1->showMessage(u"正在备份数据库，请稍后。。。"_s);
    setProgress(10);
    try {
        Maintenance::backupWeighing(m_ctx.dm, target, [this](int percent) { setProgress(10 + percent * 70 / 100); });
    } catch (const AppError& e) {
        fail(e.text());
        return;
    }
    setProgress(80);
    m_StatusBar1->showMessage(u"数据库备份成功！"_s);
    setProgress(100);
    m_BitBtn1->setEnabled(true);
    m_BitBtn2->setEnabled(true);
    m_ctx.prompter.information(u"备份成功！"_s, u"提示"_s);
    guarded(m_ctx.prompter, [&] { m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"数据备份"_s, QString()); });
}

void BackupWindow::fail(const QString& cause)
{
    m_StatusBar1->showMessage(u"数据库没有备份成功！"_s);
    m_ProgressBar1->setValue(0);
    m_BitBtn1->setEnabled(true);
    m_BitBtn2->setEnabled(true);
    m_ctx.prompter.information(u"没有备份成功！\n"_s + cause, u"提示"_s);
}
