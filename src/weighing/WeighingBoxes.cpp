#include "WeighingBoxes.h"

#include "WeighingFigures.h"
#include "data/Dialect.h"
#include "data/Gbk.h"
#include "data/IniFile.h"
#include "data/Settings.h"

#include <QSqlField>
#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isNumber(const QSqlField& field)
{
    const int type = field.value().isNull() ? field.metaType().id() : field.value().metaType().id();
    return type == QMetaType::Double || type == QMetaType::Float;
}

/** A stored value as a box shows it; numbers through `number`, date-times as stored. */
QString valueText(const QSqlField& field, QString (*number)(double))
{
    const QVariant value = field.value();
    if (value.isNull())
        return {};
    if (isNumber(field))
        return number(value.toDouble());
    if (value.metaType().id() == QMetaType::QDateTime)
        return Dialect::dateTimeText(value.toDateTime());
    return value.toString();
}

} // namespace

bool WeighingBoxes::skipped(const QString& field)
{
    for (const QString& prefix : {u"毛重"_s, u"皮重"_s, u"净重"_s, u"编号"_s})
        if (field.startsWith(prefix))
            return true;
    return false;
}

bool WeighingBoxes::computed(const QString& field)
{
    return field == PriceField || field == AmountField;
}

void WeighingBoxes::build(const QList<StructureRow>& visibleRows)
{
    m_entries.clear();
    m_texts.clear();
    const bool twoColumns = visibleRows.size() > 6;
    int top = 0;
    for (const StructureRow& row : visibleRows) {
        const QString field = row.name.trimmed();
        if (skipped(field))
            continue;
        const int i = int(m_entries.size());
        BoxEntry box;
        box.field = field;
        box.objectName = u"EIT"_s + QString::number(i);
        box.chineseInput = row.chineseInput;
        box.labelAbove = twoColumns;
        int left = 100;
        if (twoColumns) {
            top = i % 6 == 0 ? 133 : top + RowPitch;
            left = i < 6 ? 20 : 170;
        } else {
            top = i % 9 == 0 ? 100 : top + RowPitch;
        }
        box.geometry = QRect(left, top, BoxWidth, BoxHeight);
        m_entries.append(box);
        m_texts.append(QString());
    }
}

QStringList WeighingBoxes::fields() const
{
    QStringList names;
    for (const BoxEntry& box : m_entries)
        names.append(box.field);
    return names;
}

int WeighingBoxes::indexOf(const QString& field) const
{
    for (int i = 0; i < count(); ++i)
        if (m_entries[i].field == field)
            return i;
    return -1;
}

QString WeighingBoxes::GetBoxText(const QString& label) const
{
    const int i = indexOf(label);
    return i < 0 ? QString() : m_texts[i].trimmed();
}

void WeighingBoxes::SetBoxText(const QString& label, const QString& text)
{
    for (int i = 0; i < count(); ++i)
        if (m_entries[i].field == label)
            m_texts[i] = text.trimmed();
}

void WeighingBoxes::FillBoxesFromRow(const QSqlRecord& row)
{
    for (int i = 0; i < count(); ++i)
        m_texts[i] = valueText(row.field(m_entries[i].field), &Figures::twoDecimals);
}

void WeighingBoxes::takeNonEmptyFrom(const QSqlRecord& row)
{
    for (int i = 0; i < count(); ++i) {
        const QString value = valueText(row.field(m_entries[i].field), &Figures::plain);
        if (!value.isEmpty())
            m_texts[i] = value;
    }
}

void WeighingBoxes::ClearBoxes()
{
    for (QString& text : m_texts)
        text.clear();
}

int WeighingBoxes::CheckWeighingBoxes(const IniFile& ini)
{
    for (int i = 0; i < count(); ++i) {
        m_texts[i] = m_texts[i].trimmed();
        const qsizetype length = gbkLength(m_texts[i]);
        if (length == 0 || length > ini.read(Option::CheckWidth(m_entries[i].field)))
            return i;
    }
    return -1;
}
