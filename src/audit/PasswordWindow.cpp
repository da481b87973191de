#include "PasswordWindow.h"

#include "UserStore.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString WarningTitle = u"警告"_s;

QLineEdit* hiddenEdit(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    // The program's password boxes show "#" for every character.
    edit->setStyleSheet(u"QLineEdit { lineedit-password-character: 35; }"_s);
    return edit;
}

} // namespace

PasswordWindow::PasswordWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(u"Tpasswordfrm"_s);
    setWindowTitle(u"修改密码"_s);
    setModal(true);
    buildControls();
    connect(m_BitBtn1, &QPushButton::clicked, this, &PasswordWindow::BitBtn1Click);
    connect(m_BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordWindow::buildControls()
{
    m_ComboBox1 = new QComboBox(this);
    m_ComboBox1->setObjectName(u"ComboBox1"_s);
    m_ComboBox1->setEditable(true);
    m_ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_Edit1 = new QLineEdit(this);
    m_Edit1->setObjectName(u"Edit1"_s);
    m_Edit2 = hiddenEdit(u"Edit2"_s, this);
    m_Edit3 = hiddenEdit(u"Edit3"_s, this);
    m_BitBtn1 = new QPushButton(u"确定(&A)"_s, this);
    m_BitBtn1->setObjectName(u"BitBtn1"_s);
    m_BitBtn2 = new QPushButton(u"关闭(&C)"_s, this);
    m_BitBtn2->setObjectName(u"BitBtn2"_s);

    auto* form = new QFormLayout;
    form->addRow(u"用户名："_s, m_ComboBox1);
    form->addRow(u"旧密码："_s, m_Edit1);
    form->addRow(u"新密码："_s, m_Edit2);
    form->addRow(u"新密码验证："_s, m_Edit3);
    for (QWidget* field : {static_cast<QWidget*>(m_ComboBox1), static_cast<QWidget*>(m_Edit1),
                           static_cast<QWidget*>(m_Edit2), static_cast<QWidget*>(m_Edit3)}) {
        field->setMinimumWidth(200);
        field->installEventFilter(this);
    }
    m_ComboBox1->lineEdit()->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_BitBtn1);
    buttons->addWidget(m_BitBtn2);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addSpacing(8);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_ComboBox1, m_Edit1);
    setTabOrder(m_Edit1, m_Edit2);
    setTabOrder(m_Edit2, m_Edit3);
    setTabOrder(m_Edit3, m_BitBtn1);
    setTabOrder(m_BitBtn1, m_BitBtn2);
}

void PasswordWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void PasswordWindow::FormShow()
{
    guarded(m_ctx.prompter, [this] {
        const QString typed = m_ComboBox1->currentText();
        m_ComboBox1->clear();
        for (const QString& name : UserStore::userNames(m_ctx.dm.weightdatabase()))
            if (!name.isEmpty())
                m_ComboBox1->addItem(name);
        m_ComboBox1->setCurrentText(typed);
    });
}

bool PasswordWindow::newPasswordsAgree()
{
    m_Edit2->setText(m_Edit2->text().trimmed());
    m_Edit3->setText(m_Edit3->text().trimmed());
    if (m_Edit2->text() == m_Edit3->text())
        return true;
    m_ctx.prompter.warning(u"您输入的验证密码不一致,请重新输入!"_s, WarningTitle);
    m_Edit3->setFocus();
    m_Edit2->clear();
    m_Edit3->clear();
    return false;
}

bool PasswordWindow::oldPasswordMatches(const QString& name)
{
    if (UserStore::authenticate(m_ctx.dm.weightdatabase(), name, m_Edit1->text()))
        return true;
    m_ctx.prompter.warning(u"您输入的旧密码不正确,请重新输入!"_s, WarningTitle);
    m_Edit1->setFocus();
    m_Edit1->clear();
    return false;
}

void PasswordWindow::BitBtn1Click()
{
    guarded(m_ctx.prompter, [this] {
        const QString name = m_ComboBox1->currentText();
        if (!newPasswordsAgree() || !oldPasswordMatches(name))
            return;
        UserStore::setPassword(m_ctx.dm.weightdatabase(), name, m_Edit2->text());
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"修改密码"_s, QString());
        m_ctx.prompter.information(u"您的新密码修改成功！请您切记！"_s, WarningTitle);
        accept();
    });
}

bool PasswordWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
