#pragma once

#include "data/RecordLayout.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class IniFile;
class QSqlRecord;

/** One weighing box: a labelled input for one field of the record layout, and where it sits. */
struct BoxEntry
{
    /** The field (column) name; also the box's label. */
    QString field;
    /** "EIT" + the box's index. */
    QString objectName;
    /** The field is typed with the Chinese input method. */
    bool chineseInput = false;
    /** The label sits above the box (more than six layout rows) instead of to its left. */
    bool labelAbove = false;
    /** The box's place in its panel, in pixels. */
    QRect geometry;
};

/**
 * The weighing boxes of the station without their widgets: one box per visible layout field, in layout
 * order, except fields beginning with 毛重, 皮重, 净重 or 编号, which the station fills itself; and the
 * text each box holds. The field list is the column list of every save.
 */
class WeighingBoxes final
{
public:
    static constexpr int BoxWidth = 120;
    static constexpr int BoxHeight = 24;
    static constexpr int RowPitch = 43;
    inline static const QString CheckMessage =
        QStringLiteral("请在编辑框中填写数据或者在左侧数据表格中选择一条数据");
    inline static const QString PriceField = QStringLiteral("单价");
    inline static const QString AmountField = QStringLiteral("金额");

    /** A field that gets no box. */
    static bool skipped(const QString& field);
    /** A field whose value the station computes (单价, 金额): its box is never typed into. */
    static bool computed(const QString& field);

    /**
     * Makes the boxes of the visible layout rows (in layout order, skipped fields included in the count
     * that chooses the placement): six rows or fewer put the labels to the left and the boxes one under
     * the other from (100, 100); more rows put the labels above and two columns of six from (20, 133)
     * and (170, 133). Every box is 43 pixels below the one before it. All texts start empty.
     */
    void build(const QList<StructureRow>& visibleRows);

    const QList<BoxEntry>& entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    QStringList fields() const;

    QString text(int index) const { return m_texts.value(index); }
    void setText(int index, const QString& text) { m_texts[index] = text; }
    /** Index of the first box of that field, or -1. */
    int indexOf(const QString& field) const;

    /** The trimmed text of the first box of that label; empty when there is none. */
    QString GetBoxText(const QString& label) const;
    /** Puts the trimmed text into every box of that label. */
    void SetBoxText(const QString& label, const QString& text);
    /** Every box takes the value of its column in the row: numbers with two decimals, others as text. */
    void FillBoxesFromRow(const QSqlRecord& row);
    /** Every box takes its column's value in the row where that value is not empty (numbers plain). */
    void takeNonEmptyFrom(const QSqlRecord& row);
    void ClearBoxes();

    /**
     * Checks the boxes in order: each text is trimmed and written back, then its length in GBK bytes
     * must be between 1 and [CheckWidth] of its field (default 20). Returns the index of the first box
     * that fails, whose message is CheckMessage; -1 when every box passes. Boxes after a failing one
     * keep their text untrimmed.
     */
    int CheckWeighingBoxes(const IniFile& ini);

private:
    QList<BoxEntry> m_entries;
    QStringList m_texts;
};
