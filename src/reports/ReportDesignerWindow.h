#pragma once

#include "ReportDesign.h"

#include <QDialog>
#include <QSqlRecord>
#include <functional>

class Prompter;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGraphicsScene;
class QGraphicsView;
class QLineEdit;
class QListWidget;
class QSpinBox;

/**
 * The report designer: the page at true size with a millimetre grid and its bands; objects placed from
 * the toolbar or from the field list (double click), selected (Shift, rubber band), moved with the mouse
 * and the arrow keys (Shift+arrows resize), aligned, copied, deleted and edited in the property panel;
 * bands added, removed and resized; page settings; undo and redo; a preview over the designer data;
 * saved to the template's file.
 */
class ReportDesignerWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportDesignerWindow)

public:
    /** Prepared data for the preview: the rows of frxDBDataset1 and the variables. */
    struct Data
    {
        QList<QSqlRecord> rows;
        std::function<std::optional<QVariant>(const QString&)> variables;
    };

    ReportDesignerWindow(const QString& templateFile, Data data, Prompter& prompter, QWidget* parent = nullptr);

    ReportDesign& design() { return m_design; }
    QList<ObjectRef> selection() const;
    void select(const QList<ObjectRef>& refs);

public Q_SLOTS:
    bool save();
    void undo();
    void redo();
    void preview();
    void pageSettings();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    QWidget* buildPropertyPanel();
    /** Draws the design anew, keeping the selection. */
    void redraw(const QList<ObjectRef>& keep);
    void showProperties();
    void applyProperties();
    void add(ObjectKind kind, const QString& text = {});
    int currentBand() const;
    void commitMouseMove();
    /** The band under a scene point and the point relative to the band; none outside the bands. */
    std::optional<std::pair<int, QPointF>> bandAt(const QPointF& scenePoint) const;
    bool viewportEvent(QEvent* event);

    QString m_file;
    Data m_data;
    Prompter& m_prompter;
    ReportDesign m_design;
    QGraphicsScene* m_scene;
    QGraphicsView* m_view;
    QListWidget* m_fields;
    QLineEdit* m_text;
    QDoubleSpinBox* m_left;
    QDoubleSpinBox* m_top;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_height;
    QSpinBox* m_fontSize;
    QCheckBox* m_bold;
    QComboBox* m_align;
    QCheckBox* m_frame;
    QLineEdit* m_format;
    QComboBox* m_barType;
    QDoubleSpinBox* m_bandHeight;
    bool m_updating = false;
    int m_lastBand = -1;
    /** While the mouse drags a selected object's bottom right corner: that object. */
    std::optional<ObjectRef> m_resizing;
};
