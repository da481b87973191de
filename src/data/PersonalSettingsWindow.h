#pragma once

#include "data/PersonalSettings.h"

#include <QColor>
#include <QDialog>
#include <QString>
#include <QTime>

class IniFile;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
struct AppContext;

/** Personal settings ("用户个性化设置..." of the main menu); modal, fixed size. */
class PersonalSettingsWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PersonalSettingsWindow)

public:
    explicit PersonalSettingsWindow(AppContext& ctx, QWidget* parent = nullptr);

Q_SIGNALS:
    /** Emitted while saving: the power-off switch and time take effect at once. */
    void shutdownScheduleChanged(bool enabled, QTime time);

public Q_SLOTS:
    void BitBtn1Click();
    void BackupFolderButtonClick();
    void PictureButtonClick();
    void Edit3Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildSoundGroup();
    QGroupBox* buildAutoRunGroup();
    QGroupBox* buildWeighingGroup();
    QGroupBox* buildPrintGroup();
    QGroupBox* buildVideoGroup();
    QGroupBox* buildSystemGroup();
    QGroupBox* buildCheckGroup();
    void FormCreate();
    void fillControls(const PersonalSettings& s);
    PersonalSettings collect() const;
    void setBackdropColor(const QColor& color);
    bool digitFilterDrops(QEvent* event) const;


    AppContext& m_ctx;
    QColor m_backdropColor;

    QCheckBox* m_CheckBox1 = nullptr;
    QCheckBox* m_CheckBox2 = nullptr;
    QCheckBox* m_CheckBox3 = nullptr;
    QCheckBox* m_Checkbox4 = nullptr;
    QCheckBox* m_CheckBox5 = nullptr;
    QCheckBox* m_CheckBox6 = nullptr;
    QCheckBox* m_CheckBox7 = nullptr;
    QCheckBox* m_CheckBox8 = nullptr;
    QCheckBox* m_CheckBox9 = nullptr;
    QCheckBox* m_CheckBox10 = nullptr;
    QCheckBox* m_CheckBox11 = nullptr;
    QCheckBox* m_CheckBox12 = nullptr;
    QTimeEdit* m_DateTimePicker1 = nullptr;
    QTimeEdit* m_DateTimePicker2 = nullptr;
    QLineEdit* m_LabeledEdit1 = nullptr;
    QLineEdit* m_LabeledEdit3 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QLineEdit* m_Edit2 = nullptr;
    QLineEdit* m_Edit3 = nullptr;
    QComboBox* m_ComboBox1 = nullptr;
    QRadioButton* m_RzRadioButton1 = nullptr;
    QRadioButton* m_RzRadioButton2 = nullptr;
    QRadioButton* m_RzRadioButton3 = nullptr;
    QRadioButton* m_RzRadioButton4 = nullptr;
    QPushButton* m_BitBtn1 = nullptr;
    QPushButton* m_BitBtn2 = nullptr;
};
