#include "PrintSetDialog.h"

#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/AppError.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

PrintSetDialog::PrintSetDialog(const QString& iniPath, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_iniPath(iniPath), m_prompter(prompter), m_Edit1(new QLineEdit(this)), m_Edit2(new QLineEdit(this))
{
    setObjectName(u"TPrintSetFrm"_s);
    setWindowTitle(u"打印机设置"_s);
    setModal(true);
    m_Edit1->setObjectName(u"Edit1"_s);
    m_Edit2->setObjectName(u"Edit2"_s);
    const IniFile ini(m_iniPath);
    m_Edit1->setText(ini.read(Option::ReportTitle1));
    m_Edit2->setText(ini.read(Option::ReportTitle2));

    auto* ok = new QPushButton(u"确定(&O)"_s, this);
    ok->setObjectName(u"BitBtn1"_s);
    auto* close = new QPushButton(u"关闭(&C)"_s, this);
    close->setObjectName(u"BitBtn2"_s);
    connect(ok, &QPushButton::clicked, this, &PrintSetDialog::BitBtn1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 16);
    grid->setVerticalSpacing(8);
    grid->addWidget(new QLabel(u"请输入一个打印的报表标题         "_s, this), 0, 0);
    grid->addWidget(m_Edit1, 1, 0);
    grid->addWidget(new QLabel(u"请输入一个打印的报表头名称               "_s, this), 2, 0);
    grid->addWidget(m_Edit2, 3, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    grid->addLayout(buttons, 4, 0);
    setFixedSize(360, 190);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString PrintSetDialog::title1() const
{
    return m_Edit1->text();
}

QString PrintSetDialog::title2() const
{
    return m_Edit2->text();
}

void PrintSetDialog::BitBtn1Click()
{
    const bool saved = guarded(m_prompter, [this] {
        IniFile ini(m_iniPath);
        ini.write(Option::ReportTitle1, m_Edit1->text());
        ini.write(Option::ReportTitle2, m_Edit2->text());
    });
    if (saved)
        accept();
}
