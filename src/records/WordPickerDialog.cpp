#include "WordPickerDialog.h"

#include "data/DataModule.h"
#include "data/Errors.h"
#include "widgets/GridStyle.h"
#include "widgets/RecordNavigator.h"
#include "platform/AppContext.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qreal CornerRadius = 10; // corner ellipses of 20 by 20 pixels
const QString PickHint = u"双击选择词汇"_s;

QPainterPath roundedOutline(const QRectF& rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, CornerRadius, CornerRadius);
    return path;
}

} // namespace

WordPickerDialog::WordPickerDialog(AppContext& ctx, const QString& PickFieldName, const QString& PickedWord,
                                   const QString& PickTableName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_ctx(ctx), m_pickFieldName(PickFieldName),
      m_pickTableName(PickTableName), m_pickedWord(PickedWord), m_pinyin(new QComboBox(this)),
      m_lastMatch(new QLineEdit(this)), m_rows(new QStandardItemModel(this)), m_grid(new QTableView(this)),
      m_close(new QPushButton(u"&A关闭"_s, this)), m_caretTimer(new QTimer(this))
{
    setObjectName(u"TWordDfrm"_s);
    setWindowTitle(u"请选择词汇"_s);
    setModal(true);
    resize(340, 470);

    auto* caption = new QLabel(windowTitle(), this);
    caption->setObjectName(u"Caption"_s);
    caption->setAlignment(Qt::AlignCenter);
    caption->setStyleSheet(
        u"QLabel { background-color: rgb(175, 206, 241); border-radius: 6px; padding: 4px; "
        "font-weight: bold; }"_s);

    auto* pinyinLabel = new QLabel(u"请输入拼音简码在下拉列表中选择"_s, this);
    pinyinLabel->setObjectName(u"Label1"_s);
    m_pinyin->setObjectName(u"ComboBox1"_s);
    m_pinyin->setEditable(true);
    m_pinyin->setInsertPolicy(QComboBox::NoInsert);
    m_pinyin->setCompleter(nullptr); // the list is the filter's, not Qt's inline completion
    m_pinyin->setMaxVisibleItems(15);
    pinyinLabel->setBuddy(m_pinyin);

    auto* matchLabel = new QLabel(u"对应词汇是："_s, this);
    matchLabel->setObjectName(u"Label3"_s);
    m_lastMatch->setObjectName(u"Edit1"_s);
    m_lastMatch->setReadOnly(true);
    m_lastMatch->setToolTip(PickHint);
    m_lastMatch->installEventFilter(this);

    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setToolTip(PickHint);
    m_rows->setHorizontalHeaderLabels({m_pickFieldName});
    m_grid->setModel(m_rows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_close->setObjectName(u"BitBtn1"_s);
    m_close->setDefault(true);
    m_close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    auto* note = new QLabel(u"双击选择词汇或者在输入部分汉字拼音简码后按下光标键选择词汇"_s, this);
    note->setObjectName(u"Label2"_s);
    note->setWordWrap(true);
    note->setStyleSheet(u"QLabel { color: rgb(0, 0, 160); }"_s);

    m_caretTimer->setObjectName(u"Timer1"_s);
    m_caretTimer->setInterval(10);

    auto* match = new QHBoxLayout;
    match->addWidget(matchLabel);
    match->addWidget(m_lastMatch, 1);
    auto* controls = new QHBoxLayout;
    controls->addWidget(makeRecordNavigator(m_grid, u"导航工具条"_s, this));
    controls->addStretch(1);
    controls->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(caption);
    layout->addWidget(pinyinLabel);
    layout->addWidget(m_pinyin);
    layout->addLayout(match);
    layout->addWidget(m_grid, 1);
    layout->addLayout(controls);
    layout->addWidget(note);

    connect(m_pinyin->lineEdit(), &QLineEdit::textEdited, this, &WordPickerDialog::ComboBox1Change);
    connect(m_pinyin, &QComboBox::activated, this, &WordPickerDialog::ComboBox1Select);
    connect(m_grid, &QTableView::doubleClicked, this, &WordPickerDialog::DBGrid1DblClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_caretTimer, &QTimer::timeout, this, &WordPickerDialog::Timer1Timer);
}

void WordPickerDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void WordPickerDialog::FormShow()
{
    StyleGrid(m_grid);
    const bool loaded = guarded(m_ctx.prompter, [&] {
        m_filter = WordFilter(WordFilter::distinctValues(m_ctx.dm.weightdatabase(), m_ctx.dm.dialect(),
                                                         m_pickFieldName, m_pickTableName));
    });
    if (!loaded) {
        // The window is still being shown (exec() has not entered its loop yet): close it afterwards.
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    for (const QString& word : m_filter.words()) {
        auto* item = new QStandardItem;
        item->setData(word, Qt::DisplayRole);
        m_rows->appendRow(item);
    }
    if (m_rows->rowCount() > 0)
        m_grid->setCurrentIndex(m_rows->index(0, 0));
    m_pinyin->setFocus();
}

void WordPickerDialog::pick(const QString& word)
{
    m_pickedWord = word;
    accept();
}

void WordPickerDialog::DBGrid1DblClick()
{
    guarded(m_ctx.prompter, [&] {
        const QModelIndex current = m_grid->currentIndex();
        // An empty grid offers nothing to pick; the box keeps what was typed.
        if (!current.isValid())
            return;
        pick(current.siblingAtColumn(0).data(Qt::DisplayRole).toString());
    });
}

void WordPickerDialog::ComboBox1Change()
{
    guarded(m_ctx.prompter, [&] {
        m_lastMatch->clear();
        const QString initials = WordFilter::normalizedInitials(m_pinyin->currentText());
        const QStringList matches = m_filter.matching(initials);
        {
            // Filling an editable combo box selects its first entry and overwrites the typed text.
            const QSignalBlocker blocker(m_pinyin);
            m_pinyin->clear();
            m_pinyin->addItems(matches);
            m_pinyin->setCurrentIndex(-1);
            m_pinyin->setEditText(initials);
        }
        if (!matches.isEmpty())
            m_lastMatch->setText(matches.last());
        m_caretTimer->start();
    });
}

void WordPickerDialog::ComboBox1Select(int index)
{
    guarded(m_ctx.prompter, [&] {
        if (index >= 0 && index < m_pinyin->count())
            pick(m_pinyin->itemText(index));
    });
}

void WordPickerDialog::Edit1DblClick()
{
    guarded(m_ctx.prompter, [&] {
        // No match means nothing to pick; the box keeps what was typed.
        if (!m_lastMatch->text().isEmpty())
            pick(m_lastMatch->text());
    });
}

void WordPickerDialog::Timer1Timer()
{
    m_caretTimer->stop();
    m_pinyin->lineEdit()->setCursorPosition(m_pinyin->lineEdit()->text().size());
}

bool WordPickerDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lastMatch && event->type() == QEvent::MouseButtonDblClick) {
        Edit1DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void WordPickerDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    setMask(QRegion(roundedOutline(QRectF(rect())).toFillPolygon().toPolygon()));
}

void WordPickerDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 130, 190), 2));
    painter.drawPath(roundedOutline(QRectF(rect()).adjusted(1, 1, -1, -1)));
}
