#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
struct AppContext;

/** Password change ("修改密码..." of the main menu); modal. Any user whose old password is known. */
class PasswordWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordWindow)

public:
    explicit PasswordWindow(AppContext& ctx, QWidget* parent = nullptr);

public Q_SLOTS:
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void FormShow();
    /** Step one of the change: the two new passwords, trimmed, must agree. */
    bool newPasswordsAgree();
    bool oldPasswordMatches(const QString& name);

    AppContext& m_ctx;
    QComboBox* m_ComboBox1 = nullptr;
    QLineEdit* m_Edit1 = nullptr;
    QLineEdit* m_Edit2 = nullptr;
    QLineEdit* m_Edit3 = nullptr;
    QPushButton* m_BitBtn1 = nullptr;
    QPushButton* m_BitBtn2 = nullptr;
};
