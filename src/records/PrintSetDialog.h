#pragma once

#include <QDialog>

class Prompter;
class QLineEdit;

/**
 * 打印机设置 (TPrintSetFrm): the two report titles, opened by "打印报表" of the query window. Filled from
 * [title] title1 and title2; "确定(&O)" saves both and closes (a save that fails is shown and the
 * dialog stays open), "关闭(&C)" closes without saving. The
 * caller reads both texts after it closes, whichever button closed it.
 */
class PrintSetDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PrintSetDialog)

public:
    PrintSetDialog(const QString& iniPath, Prompter& prompter, QWidget* parent = nullptr);

    QString title1() const;
    QString title2() const;

    void BitBtn1Click();

private:
    QString m_iniPath;
    Prompter& m_prompter;
    QLineEdit* m_Edit1;
    QLineEdit* m_Edit2;
};
