#include "FolderTreeDialog.h"

#include "DialogParts.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

FolderTreeDialog::FolderTreeDialog(QWidget* parent)
    : QDialog(parent), m_model(new QFileSystemModel(this)), m_ShellTreeView1(new QTreeView(this))
{
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QString());
    m_ShellTreeView1->setObjectName(u"ShellTreeView1"_s);
    m_ShellTreeView1->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_ShellTreeView1->hideColumn(column);
    m_ShellTreeView1->header()->hide();
    m_ShellTreeView1->setMinimumSize(360, 400);

    auto* choose = DialogParts::button(u"BitBtn1"_s, u"选择"_s, this);
    auto* cancel = DialogParts::button(u"BitBtn2"_s, u"取消"_s, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ShellTreeView1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(choose);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    DialogParts::setUp(this, u"TDirTreeFrm"_s, u"选择路径"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    connect(choose, &QPushButton::clicked, this, &FolderTreeDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ShellTreeView1, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        Q_EMIT folderChosen(QDir::cleanPath(m_model->filePath(index)));
    });
    // Folders are read in the background; keep the chosen one in sight as its parents fill in.
    connect(m_model, &QFileSystemModel::directoryLoaded, this,
            [this] { m_ShellTreeView1->scrollTo(m_ShellTreeView1->currentIndex()); });
    setFolder(QDir::homePath());
}

void FolderTreeDialog::setFolder(const QString& folder)
{
    const QModelIndex index = m_model->index(QDir::cleanPath(folder));
    if (!index.isValid())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_ShellTreeView1->expand(parent);
    m_ShellTreeView1->setCurrentIndex(index);
    m_ShellTreeView1->scrollTo(index);
}

QString FolderTreeDialog::selectedFolder() const
{
    const QModelIndex index = m_ShellTreeView1->currentIndex();
    return index.isValid() ? QDir::cleanPath(m_model->filePath(index)) : QString();
}

void FolderTreeDialog::BitBtn1Click()
{
    const QString folder = selectedFolder();
    if (!folder.isEmpty())
        Q_EMIT folderChosen(folder);
    accept();
}
