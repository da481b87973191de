#pragma once

#include "WordFilter.h"

#include <QDialog>

struct AppContext;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTimer;

/**
 * 请选择词汇: offers every value stored in one field of the weighing table, to be picked with the mouse
 * or by typing pinyin initials (double-click on a weighing box or a query box).
 *
 * Usage: construct with the box's field name, its text and the table; show it modally; then read
 * PickedWord(), which is the chosen word, or the text passed in when the window closed without a pick.
 */
class WordPickerDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WordPickerDialog)

public:
    WordPickerDialog(AppContext& ctx, const QString& PickFieldName, const QString& PickedWord,
                     const QString& PickTableName, QWidget* parent = nullptr);

    QString PickedWord() const { return m_pickedWord; }
    QString PickFieldName() const { return m_pickFieldName; }
    QString PickTableName() const { return m_pickTableName; }

    /** Picks the grid's current row; nothing happens while the grid has no row. */
    void DBGrid1DblClick();
    /** Filters the word list by the typed initials (every edit of the pinyin box). */
    void ComboBox1Change();
    /** Picks the entry of the pinyin box's list at `index`. */
    void ComboBox1Select(int index);
    /** Picks the last matching word; nothing happens while there is none. */
    void Edit1DblClick();
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void pick(const QString& word);

    AppContext& m_ctx;
    QString m_pickFieldName;
    QString m_pickTableName;
    QString m_pickedWord;
    WordFilter m_filter;
    bool m_shown = false;

    QComboBox* m_pinyin;
    QLineEdit* m_lastMatch;
    QStandardItemModel* m_rows;
    QTableView* m_grid;
    QPushButton* m_close;
    QTimer* m_caretTimer;
};
