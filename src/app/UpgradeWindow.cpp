#include "UpgradeWindow.h"

#include "app/SkyGradient.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"
#include "platform/SystemShell.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

UpgradeWindow::UpgradeWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_Label2(new QLabel(DownloadAddress, this))
{
    setObjectName(u"TUpdateFrm"_s);
    setWindowTitle(u"系统升级"_s);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* caption = new QLabel(u"从网站下载最新版本：     "_s, this);
    caption->setObjectName(u"Label1"_s);
    m_Label2->setObjectName(u"Label2"_s);
    m_Label2->setStyleSheet(u"color: blue; text-decoration: underline;"_s);
    auto* note = new QLabel(u"请先备份数据库后，然后下载安装新程序......"_s, this);
    note->setObjectName(u"Label3"_s);
    auto* progress = new QProgressBar(this);
    progress->setObjectName(u"ProgressBar1"_s);
    progress->setValue(0);
    auto* download = new QPushButton(u"下载"_s, this);
    download->setObjectName(u"BitBtn1"_s);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(caption, 0, 0);
    layout->addWidget(m_Label2, 0, 1);
    layout->addWidget(note, 1, 0, 1, 2);
    layout->addWidget(progress, 2, 0, 1, 2);
    layout->addWidget(download, 3, 1, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(download, &QPushButton::clicked, this, &UpgradeWindow::BitBtn1Click);
}

void UpgradeWindow::BitBtn1Click()
{
    if (!m_ctx.shell.open(m_Label2->text()))
        m_ctx.prompter.information(u"缺少文件！"_s, u"提示"_s);
}

void UpgradeWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintSkyGradient(painter, rect());
}
