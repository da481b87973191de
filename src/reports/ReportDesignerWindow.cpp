#include "ReportDesignerWindow.h"

#include "Fr3File.h"
#include "Report.h"
#include "ReportPreview.h"
#include "ReportRenderer.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QMimeData>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double BandGap = 18; // the strip with the band's name above each band, in units
constexpr int RefRole = 0;     // item data keys
constexpr int BandRole = 1;

/** One object of the design, drawn as the engine draws it (expressions shown as written). */
class ObjectItem final : public QGraphicsRectItem
{
public:
    ObjectItem(const ReportObject& o, ObjectRef ref) : QGraphicsRectItem(0, 0, qMax(o.width, 2.0), qMax(o.height, 2.0)), m_object(o)
    {
        setFlags(ItemIsSelectable | ItemIsMovable);
        setData(RefRole, QVariant::fromValue(QPoint(ref.band, ref.index)));
        setPen(Qt::NoPen);
    }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        PreparedPage page{{}, {PreparedObject{m_object, QRectF(0, 0, m_object.width / UnitsPerMm, m_object.height / UnitsPerMm)}}};
        if (m_object.kind == ObjectKind::Barcode || m_object.kind == ObjectKind::QrCode) {
            page.objects[0].object.text = m_object.kind == ObjectKind::QrCode ? u"QR"_s : u"12345678"_s;
        }
        ReportRenderer::drawPage(*p, page, UnitsPerMm);
        QPen outline(isSelected() ? QColor(0, 90, 220) : QColor(180, 180, 180));
        outline.setCosmetic(true);
        outline.setStyle(isSelected() ? Qt::SolidLine : Qt::DotLine);
        p->setPen(outline);
        p->setBrush(Qt::NoBrush);
        p->drawRect(rect());
    }

private:
    ReportObject m_object;
};

ObjectRef refOf(const QGraphicsItem* item)
{
    const QPoint p = item->data(RefRole).toPoint();
    return {p.x(), p.y()};
}

QString bandTitle(BandKind kind)
{
    static const QStringList titles{u"报表标题 ReportTitle"_s, u"页眉 PageHeader"_s, u"数据头 Header"_s,
                                    u"主数据 MasterData"_s,    u"数据脚 Footer"_s,   u"页脚 PageFooter"_s,
                                    u"报表合计 ReportSummary"_s};
    return titles[int(kind)];
}

} // namespace

ReportDesignerWindow::ReportDesignerWindow(const QString& templateFile, Data data, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_file(templateFile), m_data(std::move(data)), m_prompter(prompter),
      m_scene(new QGraphicsScene(this)), m_view(new QGraphicsView(m_scene, this)), m_fields(new QListWidget(this))
{
    setObjectName(u"TfrxDesignerForm"_s);
    setWindowTitle(u"报表设计器 - "_s + templateFile);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    // A missing file opens an empty report.
    if (const Fr3File::Loaded loaded = Fr3File::read(templateFile); loaded.report)
        m_design = ReportDesign(*loaded.report);

    m_view->setObjectName(u"DesignView"_s);
    m_view->setDragMode(QGraphicsView::RubberBandDrag);
    m_view->setBackgroundBrush(QColor(128, 128, 128));
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, &ReportDesignerWindow::showProperties);

    m_fields->setObjectName(u"FieldList"_s);
    m_fields->setDragEnabled(true);
    m_view->setAcceptDrops(true);
    m_view->viewport()->setAcceptDrops(true);
    for (int i = 0; i < m_data.rows.value(0).count(); ++i)
        m_fields->addItem(u"[frxDBDataset1.\"%1\"]"_s.arg(m_data.rows[0].fieldName(i)));
    for (const QString& variable : {u"[Caption]"_s, u"[Unit]"_s, u"[Title1]"_s, u"[Title2]"_s, u"[pz]"_s,
                                    u"[mz]"_s, u"[jz]"_s, u"[cs]"_s, u"[Date]"_s, u"[Time]"_s, u"[Page#]"_s,
                                    u"[TotalPages#]"_s})
        m_fields->addItem(variable);
    connect(m_fields, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { add(ObjectKind::Memo, item->text()); });

    buildToolBar();
    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_fields);
    splitter->addWidget(m_view);
    splitter->addWidget(buildPropertyPanel());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 900, 260});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(findChild<QToolBar*>());
    layout->addWidget(splitter, 1);
    resize(1280, 800);
    redraw({});
}

void ReportDesignerWindow::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [&](const QString& text, const QString& name, auto slot) {
        QAction* action = bar->addAction(text, this, slot);
        action->setObjectName(name);
        return action;
    };
    add(u"保存"_s, u"SaveB"_s, &ReportDesignerWindow::save)->setShortcut(QKeySequence::Save);
    add(u"撤销"_s, u"UndoB"_s, &ReportDesignerWindow::undo)->setShortcut(QKeySequence::Undo);
    add(u"重做"_s, u"RedoB"_s, &ReportDesignerWindow::redo)->setShortcut(QKeySequence::Redo);
    add(u"预览"_s, u"PreviewB"_s, &ReportDesignerWindow::preview);
    add(u"页面设置"_s, u"PageB"_s, &ReportDesignerWindow::pageSettings);
    bar->addSeparator();
    add(u"文本"_s, u"MemoB"_s, [this] { this->add(ObjectKind::Memo, u"文本"_s); });
    add(u"线条"_s, u"LineB"_s, [this] { this->add(ObjectKind::Line); });
    add(u"矩形"_s, u"ShapeB"_s, [this] { this->add(ObjectKind::Shape); });
    add(u"图片"_s, u"PictureB"_s, [this] { this->add(ObjectKind::Picture); });
    add(u"条码"_s, u"BarCodeB"_s, [this] { this->add(ObjectKind::Barcode); });
    add(u"二维码"_s, u"QrB"_s, [this] { this->add(ObjectKind::QrCode); });
    bar->addSeparator();
    add(u"复制"_s, u"CopyB"_s, [this] { redraw(m_design.copyObjects(selection())); });
    add(u"删除"_s, u"DeleteB"_s, [this] {
        m_design.removeObjects(selection());
        redraw({});
    })->setShortcut(QKeySequence::Delete);
    add(u"左对齐"_s, u"AlignLeftB"_s, [this] {
        const auto s = selection();
        m_design.alignLeft(s);
        redraw(s);
    });
    add(u"顶对齐"_s, u"AlignTopB"_s, [this] {
        const auto s = selection();
        m_design.alignTop(s);
        redraw(s);
    });
    bar->addSeparator();
    auto* bands = new QComboBox(bar);
    bands->setObjectName(u"BandKindCB"_s);
    for (int k = 0; k <= int(BandKind::ReportSummary); ++k)
        bands->addItem(bandTitle(BandKind(k)), k);
    bar->addWidget(bands);
    add(u"添加栏"_s, u"AddBandB"_s, [this, bands] {
        m_lastBand = m_design.addBand(BandKind(bands->currentData().toInt()));
        redraw({});
    });
    add(u"删除栏"_s, u"RemoveBandB"_s, [this] {
        m_design.removeBand(currentBand());
        m_lastBand = -1;
        redraw({});
    });
}

QWidget* ReportDesignerWindow::buildPropertyPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(u"PropertyPanel"_s);
    auto* form = new QFormLayout(panel);
    const auto spin = [&](const QString& name, double max) {
        auto* box = new QDoubleSpinBox(panel);
        box->setObjectName(name);
        box->setRange(0, max);
        box->setDecimals(1);
        box->setSuffix(u" mm"_s);
        return box;
    };
    m_text = new QLineEdit(panel);
    m_text->setObjectName(u"TextE"_s);
    m_left = spin(u"LeftE"_s, 2000);
    m_top = spin(u"TopE"_s, 2000);
    m_width = spin(u"WidthE"_s, 2000);
    m_height = spin(u"HeightE"_s, 2000);
    m_fontSize = new QSpinBox(panel);
    m_fontSize->setObjectName(u"FontSizeE"_s);
    m_fontSize->setRange(4, 96);
    m_bold = new QCheckBox(u"粗体"_s, panel);
    m_bold->setObjectName(u"BoldC"_s);
    m_align = new QComboBox(panel);
    m_align->setObjectName(u"AlignCB"_s);
    m_align->addItems({u"左"_s, u"中"_s, u"右"_s, u"两端"_s});
    m_frame = new QCheckBox(u"四边框线"_s, panel);
    m_frame->setObjectName(u"FrameC"_s);
    m_format = new QLineEdit(panel);
    m_format->setObjectName(u"FormatE"_s);
    m_format->setPlaceholderText(u"%2.2f"_s);
    m_barType = new QComboBox(panel);
    m_barType->setObjectName(u"BarTypeCB"_s);
    m_barType->addItems({u"bcCode128"_s, u"bcCode39"_s, u"bcCodeEAN13"_s, u"bcCodeQR"_s});
    m_bandHeight = spin(u"BandHeightE"_s, 1000);
    form->addRow(u"文本/表达式"_s, m_text);
    form->addRow(u"左"_s, m_left);
    form->addRow(u"上"_s, m_top);
    form->addRow(u"宽"_s, m_width);
    form->addRow(u"高"_s, m_height);
    form->addRow(u"字号"_s, m_fontSize);
    form->addRow(QString(), m_bold);
    form->addRow(u"对齐"_s, m_align);
    form->addRow(QString(), m_frame);
    form->addRow(u"显示格式"_s, m_format);
    form->addRow(u"条码类型"_s, m_barType);
    form->addRow(u"栏高"_s, m_bandHeight);
    for (QLineEdit* edit : {m_text, m_format})
        connect(edit, &QLineEdit::editingFinished, this, &ReportDesignerWindow::applyProperties);
    for (QDoubleSpinBox* box : {m_left, m_top, m_width, m_height})
        connect(box, &QDoubleSpinBox::editingFinished, this, &ReportDesignerWindow::applyProperties);
    connect(m_fontSize, &QSpinBox::editingFinished, this, &ReportDesignerWindow::applyProperties);
    for (QCheckBox* box : {m_bold, m_frame})
        connect(box, &QCheckBox::toggled, this, &ReportDesignerWindow::applyProperties);
    for (QComboBox* box : {m_align, m_barType})
        connect(box, &QComboBox::activated, this, &ReportDesignerWindow::applyProperties);
    connect(m_bandHeight, &QDoubleSpinBox::editingFinished, this, [this] {
        if (m_updating || currentBand() < 0)
            return;
        m_design.resizeBand(currentBand(), m_bandHeight->value() * UnitsPerMm);
        redraw(selection());
    });
    return panel;
}

QList<ObjectRef> ReportDesignerWindow::selection() const
{
    QList<ObjectRef> refs;
    for (const QGraphicsItem* item : m_scene->selectedItems())
        refs.append(refOf(item));
    std::sort(refs.begin(), refs.end(),
              [](ObjectRef a, ObjectRef b) { return a.band != b.band ? a.band < b.band : a.index < b.index; });
    return refs;
}

void ReportDesignerWindow::select(const QList<ObjectRef>& refs)
{
    m_scene->clearSelection();
    for (QGraphicsItem* item : m_scene->items())
        if (item->flags() & QGraphicsItem::ItemIsSelectable)
            item->setSelected(refs.contains(refOf(item)));
}

int ReportDesignerWindow::currentBand() const
{
    const QList<ObjectRef> s = selection();
    if (!s.isEmpty())
        return s.first().band;
    const int count = int(m_design.layout().page.bands.size());
    return m_lastBand >= 0 && m_lastBand < count ? m_lastBand : (count ? 0 : -1);
}

void ReportDesignerWindow::redraw(const QList<ObjectRef>& keep)
{
    m_updating = true;
    m_scene->clear();
    const ReportPage& page = m_design.layout().page;
    const double left = page.leftMargin * UnitsPerMm;
    const double width = m_design.contentWidth();
    double y = page.topMargin * UnitsPerMm;
    double bandsHeight = 0;
    for (const ReportBand& band : page.bands)
        bandsHeight += band.height + BandGap;
    const double paperHeight = qMax(page.paperHeight * UnitsPerMm, y + bandsHeight + page.bottomMargin * UnitsPerMm);
    m_scene->addRect(0, 0, page.paperWidth * UnitsPerMm, paperHeight, Qt::NoPen, Qt::white);
    // A ruler in millimetres above the paper, from the left edge of the paper.
    QPen tick(QColor(40, 40, 40));
    tick.setCosmetic(true);
    for (int mm = 0; mm <= int(page.paperWidth); ++mm) {
        const double x = mm * UnitsPerMm;
        m_scene->addLine(x, -(mm % 10 == 0 ? 10 : mm % 5 == 0 ? 6 : 3), x, 0, tick);
        if (mm % 10 == 0 && mm > 0) {
            QGraphicsSimpleTextItem* label = m_scene->addSimpleText(QString::number(mm / 10));
            label->setScale(0.7);
            label->setPos(x + 1, -20);
        }
    }
    // A 5 mm grid over the content.
    QPen grid(QColor(230, 230, 240));
    grid.setCosmetic(true);
    for (double x = 0; x <= width; x += 5 * UnitsPerMm)
        m_scene->addLine(left + x, y, left + x, y + bandsHeight, grid);
    for (int b = 0; b < page.bands.size(); ++b) {
        const ReportBand& band = page.bands[b];
        QGraphicsRectItem* strip = m_scene->addRect(left, y, width, BandGap - 2, Qt::NoPen, QColor(225, 232, 245));
        strip->setData(BandRole, b + 1);
        QGraphicsSimpleTextItem* title = m_scene->addSimpleText(bandTitle(band.kind) + u"  "_s + band.name);
        title->setPos(left + 3, y + 2);
        title->setBrush(QColor(60, 80, 120));
        y += BandGap;
        QPen edge(QColor(150, 160, 190));
        edge.setCosmetic(true);
        edge.setStyle(Qt::DashLine);
        QGraphicsRectItem* area = m_scene->addRect(left, y, width, band.height, edge);
        area->setData(BandRole, b + 1);
        for (int i = 0; i < band.objects.size(); ++i) {
            auto* item = new ObjectItem(band.objects[i], {b, i});
            item->setPos(left + band.objects[i].left, y + band.objects[i].top);
            item->setData(2, item->pos());
            m_scene->addItem(item);
        }
        y += band.height;
    }
    m_scene->setSceneRect(-20, -30, page.paperWidth * UnitsPerMm + 40, paperHeight + 50);
    select(keep);
    m_updating = false;
    showProperties();
}

void ReportDesignerWindow::showProperties()
{
    if (m_updating)
        return;
    const QList<ObjectRef> s = selection();
    const bool one = s.size() == 1 && m_design.isValid(s.first());
    for (QWidget* w : std::initializer_list<QWidget*>{m_text, m_left, m_top, m_width, m_height, m_fontSize, m_bold,
                                                       m_align, m_frame, m_format, m_barType})
        w->setEnabled(one);
    m_updating = true;
    if (one) {
        const ReportObject& o = m_design.object(s.first());
        const bool code = o.kind == ObjectKind::Barcode || o.kind == ObjectKind::QrCode;
        m_text->setText(code && !o.expression.isEmpty() ? o.expression : o.text);
        m_left->setValue(o.left / UnitsPerMm);
        m_top->setValue(o.top / UnitsPerMm);
        m_width->setValue(o.width / UnitsPerMm);
        m_height->setValue(o.height / UnitsPerMm);
        m_fontSize->setValue(qRound(o.font.pixelHeight * 72 / 96));
        m_bold->setChecked(o.font.bold);
        m_align->setCurrentIndex(int(o.hAlign));
        m_frame->setChecked(o.frameSides == FrameSide::All);
        m_format->setText(o.displayFormat.format);
        m_barType->setCurrentText(o.barType);
        m_barType->setEnabled(code);
    }
    const int band = currentBand();
    m_bandHeight->setEnabled(band >= 0);
    if (band >= 0)
        m_bandHeight->setValue(m_design.layout().page.bands[band].height / UnitsPerMm);
    m_updating = false;
}

void ReportDesignerWindow::applyProperties()
{
    const QList<ObjectRef> s = selection();
    if (m_updating || s.size() != 1 || !m_design.isValid(s.first()))
        return;
    ReportObject o = m_design.object(s.first());
    const ReportObject before = o;
    if (o.kind == ObjectKind::Barcode || o.kind == ObjectKind::QrCode)
        o.expression = m_text->text();
    else
        o.text = m_text->text();
    o.left = m_left->value() * UnitsPerMm;
    o.top = m_top->value() * UnitsPerMm;
    o.width = m_width->value() * UnitsPerMm;
    o.height = m_height->value() * UnitsPerMm;
    o.font.pixelHeight = m_fontSize->value() * 96.0 / 72;
    o.font.bold = m_bold->isChecked();
    o.hAlign = HAlign(m_align->currentIndex());
    if (m_frame->isChecked() != (o.frameSides == FrameSide::All))
        o.frameSides = m_frame->isChecked() ? FrameSide::All : 0;
    o.displayFormat.format = m_format->text().trimmed();
    o.displayFormat.kind = o.displayFormat.format.isEmpty() ? FormatKind::Text : FormatKind::Numeric;
    if (o.kind == ObjectKind::Barcode || o.kind == ObjectKind::QrCode)
        o.barType = m_barType->currentText();
    // Spin boxes round; a field left as it was keeps its exact value.
    if (qAbs(o.left - before.left) < 0.2)
        o.left = before.left;
    if (qAbs(o.top - before.top) < 0.2)
        o.top = before.top;
    if (qAbs(o.width - before.width) < 0.2)
        o.width = before.width;
    if (qAbs(o.height - before.height) < 0.2)
        o.height = before.height;
    if (qAbs(o.font.pixelHeight - before.font.pixelHeight) < 0.7)
        o.font.pixelHeight = before.font.pixelHeight;
    m_design.setObject(s.first(), o);
    redraw(s);
}

void ReportDesignerWindow::add(ObjectKind kind, const QString& text)
{
    int band = currentBand();
    if (band < 0)
        band = m_design.addBand(BandKind::ReportTitle);
    // Each new object a little lower than the last, so none hides another.
    const double step = 6.0 * m_design.layout().page.bands[band].objects.size();
    const ObjectRef made = m_design.addObject(band, kind, {4 + step, 2 + step}, text);
    redraw({made});
}

void ReportDesignerWindow::commitMouseMove()
{
    const QList<QGraphicsItem*> moved = m_scene->selectedItems();
    if (moved.isEmpty())
        return;
    const QPointF delta = moved.first()->pos() - moved.first()->data(2).toPointF();
    if (delta.manhattanLength() < 0.5)
        return;
    const QList<ObjectRef> refs = selection();
    m_design.moveObjects(refs, delta.x(), delta.y());
    redraw(refs);
}

std::optional<std::pair<int, QPointF>> ReportDesignerWindow::bandAt(const QPointF& scenePoint) const
{
    const ReportPage& page = m_design.layout().page;
    double y = page.topMargin * UnitsPerMm;
    for (int b = 0; b < page.bands.size(); ++b) {
        y += BandGap;
        const double top = y;
        y += page.bands[b].height;
        if (scenePoint.y() >= top - BandGap && scenePoint.y() < y)
            return std::pair{b, QPointF(scenePoint.x() - page.leftMargin * UnitsPerMm, qMax(0.0, scenePoint.y() - top))};
    }
    return std::nullopt;
}

bool ReportDesignerWindow::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF at = m_view->mapToScene(mouse->position().toPoint());
        if (const auto band = bandAt(at))
            m_lastBand = band->first;
        // The bottom right corner of a selected object resizes it.
        for (QGraphicsItem* item : m_scene->selectedItems()) {
            const QPointF corner = item->mapToScene(item->boundingRect().bottomRight());
            if (QLineF(corner, at).length() <= 6 / m_view->transform().m11()) {
                m_resizing = refOf(item);
                return true;
            }
        }
        // Shift adds to the selection, as Ctrl does.
        if (mouse->modifiers() & Qt::ShiftModifier) {
            QGraphicsItem* item = m_scene->itemAt(at, QTransform());
            if (item && (item->flags() & QGraphicsItem::ItemIsSelectable)) {
                item->setSelected(!item->isSelected());
                return true;
            }
        }
        return false;
    }
    case QEvent::MouseMove:
        return m_resizing.has_value();
    case QEvent::MouseButtonRelease:
        if (m_resizing) {
            const ObjectRef ref = *m_resizing;
            m_resizing.reset();
            const QPointF at = m_view->mapToScene(static_cast<QMouseEvent*>(event)->position().toPoint());
            const ReportObject& o = m_design.object(ref);
            const auto band = bandAt(at);
            const QPointF inBand = band && band->first == ref.band ? band->second : QPointF(o.left + o.width, o.top + o.height);
            m_design.resizeObject(ref, inBand.x() - o.left, inBand.y() - o.top);
            redraw({ref});
            return true;
        }
        QMetaObject::invokeMethod(this, &ReportDesignerWindow::commitMouseMove, Qt::QueuedConnection);
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->source() != m_fields)
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const auto band = bandAt(m_view->mapToScene(drop->position().toPoint()));
        if (drop->source() != m_fields || !band || !m_fields->currentItem())
            return false;
        const ObjectRef made = m_design.addObject(band->first, ObjectKind::Memo, band->second, m_fields->currentItem()->text());
        redraw({made});
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

bool ReportDesignerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view->viewport() && viewportEvent(event))
        return true;
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QHash<int, QPointF> steps{{Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}},
                                        {Qt::Key_Down, {0, 1}}};
        const QList<ObjectRef> s = selection();
        if (steps.contains(key->key()) && !s.isEmpty()) {
            const QPointF step = steps[key->key()] * (key->modifiers() & Qt::ControlModifier ? 10 : 1);
            if (key->modifiers() & Qt::ShiftModifier) {
                const ReportObject& o = m_design.object(s.first());
                m_design.resizeObject(s.first(), o.width + step.x(), o.height + step.y());
            } else {
                m_design.moveObjects(s, step.x(), step.y());
            }
            redraw(s);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReportDesignerWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter must not close the designer.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

bool ReportDesignerWindow::save()
{
    if (const auto problem = Fr3File::write(m_design.layout(), m_file)) {
        m_prompter.error(*problem);
        return false;
    }
    return true;
}

void ReportDesignerWindow::undo()
{
    m_design.undo();
    redraw({});
}

void ReportDesignerWindow::redo()
{
    m_design.redo();
    redraw({});
}

void ReportDesignerWindow::preview()
{
    Report report;
    report.setTemplate(m_design.layout());
    report.setRows(m_data.rows);
    report.setVariables(m_data.variables);
    ReportPreviewWindow window(report.prepare(), m_prompter, this);
    window.exec();
}

void ReportDesignerWindow::pageSettings()
{
    QDialog dialog(this);
    dialog.setObjectName(u"PageSettings"_s);
    dialog.setWindowTitle(u"页面设置"_s);
    auto* form = new QFormLayout(&dialog);
    const ReportPage& page = m_design.layout().page;
    const auto box = [&](double value, const QString& name) {
        auto* b = new QDoubleSpinBox(&dialog);
        b->setObjectName(name);
        b->setRange(0, 2000);
        b->setDecimals(1);
        b->setSuffix(u" mm"_s);
        b->setValue(value);
        return b;
    };
    QDoubleSpinBox* w = box(page.paperWidth, u"PaperWidthE"_s);
    QDoubleSpinBox* h = box(page.paperHeight, u"PaperHeightE"_s);
    QDoubleSpinBox* l = box(page.leftMargin, u"LeftMarginE"_s);
    QDoubleSpinBox* t = box(page.topMargin, u"TopMarginE"_s);
    QDoubleSpinBox* r = box(page.rightMargin, u"RightMarginE"_s);
    QDoubleSpinBox* b = box(page.bottomMargin, u"BottomMarginE"_s);
    auto* landscape = new QCheckBox(u"横向"_s, &dialog);
    landscape->setChecked(page.landscape);
    auto* printer = new QLineEdit(m_design.layout().printerName, &dialog);
    printer->setObjectName(u"PrinterE"_s);
    printer->setPlaceholderText(u"默认打印机"_s);
    form->addRow(u"纸张宽度"_s, w);
    form->addRow(u"纸张高度"_s, h);
    form->addRow(u"左边距"_s, l);
    form->addRow(u"上边距"_s, t);
    form->addRow(u"右边距"_s, r);
    form->addRow(u"下边距"_s, b);
    form->addRow(QString(), landscape);
    form->addRow(u"打印机"_s, printer);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ReportPage changed = page;
    changed.paperWidth = w->value();
    changed.paperHeight = h->value();
    changed.paperSize = 256;
    changed.leftMargin = l->value();
    changed.topMargin = t->value();
    changed.rightMargin = r->value();
    changed.bottomMargin = b->value();
    changed.landscape = landscape->isChecked();
    m_design.setPage(changed, printer->text().trimmed());
    redraw({});
}
