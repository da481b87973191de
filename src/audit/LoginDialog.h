#pragma once

#include <QDialog>
#include <QMap>

class QComboBox;
class QLineEdit;
class QRadioButton;
class QPushButton;
struct AppContext;

/**
 * The login `Tloginfrm`, opened by the main window at start and by "切换用户...". Accepted after a
 * successful login (operator, input method and shift markers set, "登录" logged); rejected by "退出".
 */
class LoginDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginDialog)

public:
    inline static const QString Hint = QStringLiteral("提示：管理员admin的初始密码为admin，新用户的初始密码为123456。");

    explicit LoginDialog(AppContext& ctx, QWidget* parent = nullptr);

    /** Rights of the user who logged in (every right column of `users`). */
    QMap<QString, bool> rights() const { return m_rights; }

public Q_SLOTS:
    void RzBitBtn1Click();
    void RzBitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();

    AppContext& m_ctx;
    QComboBox* m_users;
    QLineEdit* m_password;
    QRadioButton* m_startShift;
    QRadioButton* m_continueShift;
    QPushButton* m_enter;
    QPushButton* m_quit;
    QMap<QString, bool> m_rights;
    bool m_shown = false;
};
