#include "RecordLayout.h"

#include "Sql.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

namespace RecordLayout {

const QStringList& fixedFields()
{
    static const QStringList fields{u"编号"_s,     u"车号"_s,     u"毛重"_s,     u"皮重"_s,
                                    u"净重"_s,     u"皮重时间"_s, u"毛重时间"_s, u"皮重操作人"_s,
                                    u"毛重操作人"_s, u"扣杂方式"_s, u"补打次数"_s, u"扣重数"_s};
    return fields;
}

QList<StructureRow> defaultRows()
{
    struct Field
    {
        const char16_t* name;
        const char16_t* type;
        const char16_t* width;
        bool visible;
        bool chinese;
    };
    static const Field fields[] = {
        {u"编号", u"Int", u"4", true, false},         {u"车号", u"String", u"20", true, true},
        {u"品名", u"String", u"30", true, true},      {u"发货方", u"String", u"40", true, true},
        {u"收货方", u"String", u"40", true, true},    {u"承运方", u"String", u"40", true, true},
        {u"毛重", u"Float", u"4", true, false},       {u"皮重", u"Float", u"4", true, false},
        {u"净重", u"Float", u"4", true, false},       {u"单价", u"Float", u"4", true, false},
        {u"金额", u"Float", u"4", true, false},       {u"扣重数", u"Float", u"4", false, false},
        {u"扣杂方式", u"String", u"50", false, false}, {u"皮重时间", u"DateTime", u"8", true, false},
        {u"毛重时间", u"DateTime", u"8", true, false}, {u"皮重操作人", u"String", u"20", true, false},
        {u"毛重操作人", u"String", u"20", true, false}, {u"补打次数", u"Int", u"4", false, false},
        {u"备注", u"String", u"100", false, true},
    };
    QList<StructureRow> rows;
    int number = 0;
    for (const Field& f : fields) {
        StructureRow row;
        row.number = ++number;
        row.name = QString::fromUtf16(f.name);
        row.type = QString::fromUtf16(f.type);
        row.width = QString::fromUtf16(f.width);
        row.decimals = row.type == u"Float"_s ? u"2"_s : u"0"_s;
        row.visible = f.visible;
        row.chineseInput = f.chinese;
        rows.append(row);
    }
    return rows;
}

namespace {

enum class FieldType { String, Int, Float, DateTime, Unknown };

FieldType typeOf(const QString& type)
{
    const QString t = type.trimmed().toLower();
    if (t == u"string"_s)
        return FieldType::String;
    if (t == u"int"_s)
        return FieldType::Int;
    if (t == u"float"_s)
        return FieldType::Float;
    if (t == u"datetime"_s)
        return FieldType::DateTime;
    return FieldType::Unknown;
}

bool validName(const QString& name)
{
    // Letters (Chinese included), digits and underscores, not starting with a digit.
    static const QRegularExpression pattern(u"^[\\p{L}_][\\p{L}\\p{N}_]*$"_s);
    return pattern.match(name).hasMatch() && name.size() <= 64;
}

} // namespace

std::optional<QString> problem(const QList<StructureRow>& rows)
{
    if (rows.size() < 2)
        return u"称重项目至少需要两行（编号和一个项目）"_s;
    // The first row stands for the record number column, which the rebuild always makes itself.
    if (rows.first().name.trimmed() != u"编号"_s)
        return u"编号最小的第一行（编号为 %1 的项目“%2”）必须是系统关键项目“编号”"_s.arg(rows.first().number)
            .arg(rows.first().name);
    QSet<QString> seen;
    for (const StructureRow& row : rows) {
        const QString where = u"编号为 %1 的项目“%2”"_s.arg(row.number).arg(row.name);
        const QString name = row.name.trimmed();
        if (!validName(name))
            return where + u"的项目名称不能作为字段名"_s;
        if (seen.contains(name.toLower()))
            return where + u"的项目名称重复"_s;
        seen.insert(name.toLower());
        const FieldType type = typeOf(row.type);
        if (type == FieldType::Unknown)
            return where + u"的项目类型必须是 Int、Float、String 或 DateTime"_s;
        if (type == FieldType::String) {
            bool ok = false;
            const int width = row.width.trimmed().toInt(&ok);
            if (!ok || width <= 0)
                return where + u"是 String 类型，必须填写项目宽度"_s;
        }
        // Computed columns cannot take the values the weighing station writes into every field.
        if (!row.formula.trimmed().isEmpty())
            return where + u"填写了计算公式“%1”。本系统不支持计算公式，请先清除该项目的计算公式"_s.arg(row.formula);
    }
    for (const QString& fixed : fixedFields())
        if (!seen.contains(fixed.toLower()))
            return u"缺少系统关键项目“%1”"_s.arg(fixed);
    return std::nullopt;
}

QString createTableSql(const QList<StructureRow>& rows, const Dialect& dialect, const QString& table)
{
    QStringList lines{dialect.quote(u"编号"_s) + u' ' + dialect.typeWords(ColumnKind::AutoNumber)};
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const StructureRow& row = rows[i];
        QString line = dialect.quote(row.name.trimmed()) + u' ';
        switch (typeOf(row.type)) {
        case FieldType::String:
            line += dialect.typeWords(ColumnKind::Text, row.width.trimmed().toInt());
            break;
        case FieldType::Int:
            line += dialect.typeWords(ColumnKind::Integer) + u" DEFAULT 0"_s;
            break;
        case FieldType::Float:
            line += dialect.typeWords(ColumnKind::Number) + u" DEFAULT 0"_s;
            break;
        case FieldType::DateTime:
            line += dialect.typeWords(ColumnKind::DateTime) + u' ' + dialect.defaultNow();
            break;
        case FieldType::Unknown:
            continue;
        }
        line += row.mayBeEmpty ? u" NULL"_s : u" NOT NULL"_s;
        lines.append(line);
    }
    return u"CREATE TABLE %1 (\n%2)"_s.arg(table, lines.join(u",\n"_s));
}

QList<StructureRow> read(const QSqlDatabase& db)
{
    QList<StructureRow> rows;
    QSqlQuery q = Sql::exec(db, u"SELECT 编号, 项目名称, 项目类型, 项目宽度, 小数位, 是否为空, 计算公式, 是否可见, "
                                "是否汉字输入 FROM structure ORDER BY 编号"_s);
    while (q.next()) {
        StructureRow row;
        row.number = q.value(0).toInt();
        row.name = q.value(1).toString();
        row.type = q.value(2).toString();
        row.width = q.value(3).toString();
        row.decimals = q.value(4).toString();
        row.mayBeEmpty = q.value(5).toBool();
        row.formula = q.value(6).toString();
        row.visible = q.value(7).toBool();
        row.chineseInput = q.value(8).toBool();
        rows.append(row);
    }
    return rows;
}

void write(const QSqlDatabase& db, const QList<StructureRow>& rows)
{
    Sql::exec(db, u"DELETE FROM structure"_s);
    for (const StructureRow& row : rows)
        Sql::exec(db,
                  u"INSERT INTO structure (编号, 项目名称, 项目类型, 项目宽度, 小数位, 是否为空, 计算公式, 是否可见, "
                  "是否汉字输入) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                  {row.number, row.name, row.type, row.width, row.decimals, row.mayBeEmpty, row.formula,
                   row.visible, row.chineseInput});
}

} // namespace RecordLayout
