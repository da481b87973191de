#pragma once

#include "IndicatorModel.h"

#include <QDialog>
#include <memory>

struct AppContext;
class QComboBox;
class QLineEdit;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class SerialLine;
class TestConsole;

/**
 * Tparameters_comfrm, opened modally by the main menu's "2.设置通讯参数...": the indicator models with
 * their line settings and frame parameters. The user picks a model (or "新建一个型号"), edits it and
 * saves it as the selected model. The lower half is the test console (TestConsole) on the window's
 * serial line, which is closed with the window.
 */
class CommunicationSetupWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommunicationSetupWindow)

public:
    explicit CommunicationSetupWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~CommunicationSetupWindow() override;

    /** The window's serial line (Comm1). */
    SerialLine& Comm1() { return *m_Comm1; }

    void done(int result) override;

    /** Fills the model list and loads the selected model. */
    void FormShow();
    /** The user picked an entry of the model list. */
    void ComboBox6Select(int index);
    /** "3.保存参数": saves the boxes as the model named in the model box and selects it. */
    void BitBtn4Click();

private:
    void buildControls();
    QWidget* buildLineGroup();
    QWidget* buildModelGroup();
    void buildConsole();
    void fillControls(const std::optional<IndicatorModel>& model);
    IndicatorModel modelOfControls() const;

    AppContext& m_ctx;
    std::unique_ptr<SerialLine> m_Comm1;

    QComboBox* m_ComboBox1 = nullptr; // port
    QComboBox* m_ComboBox2 = nullptr; // baud rate
    QComboBox* m_ComboBox3 = nullptr; // parity
    QComboBox* m_ComboBox4 = nullptr; // data bits
    QComboBox* m_ComboBox5 = nullptr; // stop bits
    QComboBox* m_ComboBox6 = nullptr; // model
    QComboBox* m_ComboBox7 = nullptr; // direction
    QLineEdit* m_Edit1 = nullptr;     // wiring
    QLineEdit* m_Edit2 = nullptr;     // read interval ("characters per frame")
    QLineEdit* m_Edit3 = nullptr;     // start text
    QLineEdit* m_Edit4 = nullptr;     // underload sign
    QLineEdit* m_Edit5 = nullptr;     // weight offset
    QLineEdit* m_Edit6 = nullptr;     // weight count
    QLineEdit* m_Edit7 = nullptr;     // sign offset
    QLineEdit* m_Edit8 = nullptr;     // sign count
    QLineEdit* m_Edit9 = nullptr;     // static mark
    QLineEdit* m_Edit10 = nullptr;    // motion mark
    QPushButton* m_BitBtn4 = nullptr;
    /** The row of numbered step buttons; the test console adds its first two steps in front. */
    QHBoxLayout* m_stepButtons = nullptr;
    /** The lower half: the test console. */
    QVBoxLayout* m_consoleArea = nullptr;
    TestConsole* m_console = nullptr;
};
