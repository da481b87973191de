#include "RestoreWindow.h"

#include "DialogParts.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

RestoreWindow::RestoreWindow(QString programFolder, Prompter& prompter, Clock& clock, QWidget* parent)
    : QDialog(parent), m_folder(std::move(programFolder)), m_prompter(prompter), m_clock(clock),
      m_ListView1(new QTreeWidget(this))
{
    m_ListView1->setObjectName(u"ListView1"_s);
    m_ListView1->setHeaderLabels({u"备份文件"_s, u"备份时间"_s, u"大小(KB)"_s, u"记录数"_s});
    m_ListView1->setRootIsDecorated(false);
    m_ListView1->setMinimumSize(640, 320);
    m_ListView1->header()->setStretchLastSection(false);
    m_ListView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ListView1->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DialogParts::note(u"请选择要恢复的备份文件。恢复前当前数据库会另存为一个备份，"
                                        "恢复时请先退出称重程序。"_s,
                                        this));
    layout->addWidget(m_ListView1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* restore = DialogParts::button(u"BitBtn1"_s, u"恢复(&R)"_s, this);
    auto* close = DialogParts::button(u"BitBtn2"_s, u"关闭(&C)"_s, this);
    buttons->addWidget(restore);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    setObjectName(u"TRestorefrm"_s);
    setWindowTitle(u"数据恢复"_s);

    connect(restore, &QPushButton::clicked, this, &RestoreWindow::BitBtn1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

void RestoreWindow::refresh()
{
    m_backups = RestoreJob::findBackups(m_folder);
    m_ListView1->clear();
    const QLocale locale;
    for (const RestoreJob::Backup& backup : std::as_const(m_backups)) {
        auto* item = new QTreeWidgetItem(m_ListView1);
        item->setText(0, QFileInfo(backup.file).fileName());
        item->setToolTip(0, QDir::toNativeSeparators(backup.file));
        item->setText(1, backup.modified.toString(u"yyyy-MM-dd HH:mm:ss"_s));
        item->setText(2, locale.toString((backup.size + 1023) / 1024));
        item->setText(3, backup.records ? locale.toString(*backup.records) : u"不是本系统的数据库"_s);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (m_ListView1->topLevelItemCount() > 0)
        m_ListView1->setCurrentItem(m_ListView1->topLevelItem(0));
}

bool RestoreWindow::select(const QString& file)
{
    for (qsizetype i = 0; i < m_backups.size(); ++i)
        if (QFileInfo(m_backups[i].file) == QFileInfo(file)) {
            m_ListView1->setCurrentItem(m_ListView1->topLevelItem(int(i)));
            return true;
        }
    return false;
}

void RestoreWindow::BitBtn1Click()
{
    const int row = m_ListView1->indexOfTopLevelItem(m_ListView1->currentItem());
    if (row < 0) {
        m_prompter.information(u"请先选择要恢复的备份文件。"_s, u"提示"_s);
        return;
    }
    const QString file = m_backups[row].file;
    if (!m_prompter.confirm(u"确定要用备份“%1”恢复数据库吗？"_s.arg(QDir::toNativeSeparators(file)), u"提示"_s))
        return;
    RestoreJob::Restored restored;
    try {
        restored = RestoreJob::restore(m_folder, file, m_clock.now());
    } catch (const AppError& e) {
        m_prompter.warning(u"没有恢复数据库：\n"_s + e.text(), u"警告"_s);
        return;
    }
    refresh();
    const QString done = u"数据恢复成功！数据库中有 %1 条称重记录。\n原来的数据库已另存为 %2。"_s.arg(
        restored.records).arg(QDir::toNativeSeparators(restored.previous));
    if (m_prompter.askYesNo(done + u"\n\n是否重新启动称重程序？"_s, u"提示"_s)) {
        Q_EMIT restartRequested();
        accept();
    }
}
