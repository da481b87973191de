#include "LoginDialog.h"

#include "UserStore.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

/** Password boxes of the program show "#" for every character. */
class HashPasswordStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'#';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

LoginDialog::LoginDialog(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ctx(ctx),
      m_users(new QComboBox(this)), m_password(new QLineEdit(this)), m_startShift(new QRadioButton(u"上班"_s, this)),
      m_continueShift(new QRadioButton(u"继续"_s, this)), m_enter(new QPushButton(u"进入"_s, this)),
      m_quit(new QPushButton(u"退出"_s, this))
{
    setObjectName(u"Tloginfrm"_s);
    setWindowTitle(u"新用户登录"_s);
    setModal(true);
    setFixedSize(420, 300);

    m_users->setObjectName(u"ComboBox1"_s);
    m_users->setEditable(true);
    m_users->setInsertPolicy(QComboBox::NoInsert);
    m_password->setObjectName(u"Edit1"_s);
    m_password->setEchoMode(QLineEdit::Password);
    auto* style = new HashPasswordStyle;
    style->setParent(m_password);
    m_password->setStyle(style);
    m_password->setToolTip(Hint);
    m_startShift->setObjectName(u"RB1"_s);
    m_continueShift->setObjectName(u"RB2"_s);
    m_enter->setObjectName(u"RzBitBtn1"_s);
    m_quit->setObjectName(u"RzBitBtn2"_s);
    for (QPushButton* button : {m_enter, m_quit}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(90);
    }

    auto* title = new QLabel(u"汽车衡称重管理系统"_s, this);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(u"font-size: 22px; font-weight: bold; color: rgb(20, 60, 130);"_s);

    auto* form = new QFormLayout;
    form->addRow(u"用户名"_s, m_users);
    form->addRow(u"密  码"_s, m_password);
    auto* shift = new QGroupBox(this);
    auto* shiftLayout = new QHBoxLayout(shift);
    shiftLayout->addWidget(m_startShift);
    shiftLayout->addWidget(m_continueShift);
    form->addRow(QString(), shift);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_enter);
    buttons->addWidget(m_quit);
    buttons->addStretch();

    auto* hint = new QLabel(Hint, this);
    hint->setObjectName(u"HintLabel"_s);
    hint->setWordWrap(true);
    hint->setStyleSheet(u"color: rgb(0, 0, 128);"_s);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 20, 40, 16);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(hint);

    for (QWidget* w : {static_cast<QWidget*>(m_users), static_cast<QWidget*>(m_users->lineEdit()),
                       static_cast<QWidget*>(m_password), static_cast<QWidget*>(m_startShift),
                       static_cast<QWidget*>(m_continueShift), static_cast<QWidget*>(m_enter),
                       static_cast<QWidget*>(m_quit)})
        w->installEventFilter(this);
    connect(m_enter, &QPushButton::clicked, this, &LoginDialog::RzBitBtn1Click);
    connect(m_quit, &QPushButton::clicked, this, &LoginDialog::RzBitBtn2Click);
}

void LoginDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void LoginDialog::keyPressEvent(QKeyEvent* event)
{
    // Only "退出" leaves the login; Esc must not end the program by accident.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void LoginDialog::FormShow()
{
    guarded(m_ctx.prompter, [&] {
        m_users->clear();
        m_users->addItems(UserStore::userNames(m_ctx.dm.weightdatabase()));
        m_users->setCurrentIndex(m_users->count() > 0 ? 0 : -1);
    });
    m_continueShift->setChecked(true);
    m_password->setFocus();
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_password)
                RzBitBtn1Click();
            else
                focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LoginDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(135, 206, 250));
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(rect(), gradient);
    QDialog::paintEvent(event);
}

void LoginDialog::RzBitBtn1Click()
{
    guarded(m_ctx.prompter, [&] {
        const QString name = m_users->currentText();
        const auto outcome =
            UserStore::logIn(m_ctx.dm, m_ctx.clock, name, m_password->text(), m_startShift->isChecked());
        if (!outcome) {
            m_ctx.prompter.warning(u"您输入的用户名或密码不正确,请重新输入!\n"_s + Hint, u"警告"_s);
            m_password->clear();
            m_password->setFocus();
            return;
        }
        m_rights = outcome->rights;
        m_ctx.login.CurrentImeName = outcome->imeName;
        m_ctx.login.CurrentOperator = name;
        accept();
    });
}

void LoginDialog::RzBitBtn2Click()
{
    reject();
}
