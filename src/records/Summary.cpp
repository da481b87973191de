#include "Summary.h"

#include "data/Dialect.h"
#include "data/Sql.h"
#include "platform/Spreadsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Summary {

namespace {

bool isExcluded(const QString& name)
{
    for (const QString& prefix : {u"毛重"_s, u"皮重"_s, u"净重"_s, u"编号"_s, u"金额"_s})
        if (name.startsWith(prefix))
            return true;
    return false;
}

// A column only the outer select sees: it keeps the total row below every group row, whatever the
// grouping values are (a group of empty values sorts with the total otherwise).
const QString TotalKey = u"汇总_合计行"_s;

} // namespace

QStringList groupingChoices(const QList<StructureRow>& layout, const QStringList& combinations)
{
    QStringList choices;
    for (const StructureRow& row : layout) {
        const QString name = row.name.trimmed();
        if (row.visible && !name.isEmpty() && !isExcluded(name))
            choices.append(name);
    }
    return choices + combinations;
}

QStringList combinations(const QSqlDatabase& db)
{
    QStringList texts;
    QSqlQuery query = Sql::exec(db, u"SELECT 汇总项目 FROM TotalTab ORDER BY 编号"_s);
    while (query.next())
        texts.append(query.value(0).toString());
    return texts;
}

std::optional<QString> amountField(const QList<StructureRow>& layout)
{
    for (const StructureRow& row : layout)
        if (row.visible && row.name.trimmed().startsWith(u"金额"_s))
            return row.name.trimmed();
    return std::nullopt;
}

std::variant<QStringList, QString> groupingFields(const QString& grouping, const QStringList& columns)
{
    QStringList fields;
    for (const QString& part : grouping.split(u',')) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            return u"汇总项目“%1”中有空的项目名称，项目之间只能用一个英文逗号分隔"_s.arg(grouping);
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const QString& c) {
            return c.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (column == columns.end())
            return u"汇总项目“%1”中的“%2”不是称重数据的项目名称"_s.arg(grouping, name);
        fields.append(*column);
    }
    return fields;
}

SummaryStatement statement(const QStringList& fields, const std::optional<QString>& amount,
                           const QDateTime& from, const QDateTime& to, const Dialect& dialect)
{
    QStringList quoted;
    for (const QString& field : fields)
        quoted.append(dialect.quote(field));
    const QString groups = quoted.join(u',');

    QStringList sums;
    QStringList results = quoted;
    for (const QString& weight : {u"皮重"_s, u"毛重"_s, u"净重"_s})
        sums.append(dialect.roundSum(dialect.quote(weight), 2) + u" AS "_s + dialect.quote(weight));
    if (amount)
        sums.append(dialect.roundSum(dialect.quote(*amount), 2) + u" AS "_s + dialect.quote(u"金额"_s));
    sums.append(u"count(*) AS "_s + dialect.quote(u"车数"_s));
    for (const QString& name : {u"皮重"_s, u"毛重"_s, u"净重"_s})
        results.append(dialect.quote(name));
    if (amount)
        results.append(dialect.quote(u"金额"_s));
    results.append(dialect.quote(u"车数"_s));

    const QString range = u" FROM weight WHERE (毛重时间 BETWEEN ? AND ?)"_s;
    const QStringList nulls(fields.size(), u"NULL"_s);
    QStringList order{dialect.quote(TotalKey)};
    for (int i = 0; i < quoted.size(); ++i)
        order.append(quoted[i] + (i == quoted.size() - 1 ? u" DESC"_s : QString()));

    const QString sql = u"SELECT "_s + results.join(u',') + u" FROM ("_s
                        + u"SELECT 0 AS "_s + dialect.quote(TotalKey) + u',' + groups + u',' + sums.join(u',')
                        + range + u" GROUP BY "_s + groups
                        + u" UNION ALL SELECT 1,"_s + nulls.join(u',') + u',' + sums.join(u',') + range
                        + u") AS 汇总 ORDER BY "_s + order.join(u',');
    const QString fromText = Dialect::dateTimeText(from);
    const QString toText = Dialect::dateTimeText(to);
    return {sql, {fromText, toText, fromText, toText}};
}

SummaryResult run(const QSqlDatabase& db, const SummaryStatement& statement)
{
    QSqlQuery query = Sql::exec(db, statement.sql, statement.values);
    SummaryResult result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        result.columns.append(record.fieldName(i));
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < record.count(); ++i)
            row.append(query.value(i));
        result.rows.append(row);
    }
    return result;
}

QList<QStringList> cells(const SummaryResult& result)
{
    QList<QStringList> rows{result.columns};
    for (const QVariantList& values : result.rows) {
        QStringList texts;
        for (const QVariant& value : values)
            texts.append(value.isNull() ? QString() : value.toString());
        rows.append(texts);
    }
    return rows;
}

QString exportToWorkbook(Spreadsheet& spreadsheet, const QString& path, const SummaryResult& result)
{
    const std::unique_ptr<Workbook> workbook = spreadsheet.open(path);
    if (workbook->sheetCount() < 2)
        throw SpreadsheetError(u"工作簿%1中没有第二个工作表（打印格式），无法打印汇总"_s
                                   .arg(QDir::toNativeSeparators(path)));
    workbook->writeCells(1, 1, 1, cells(result), 10);
    workbook->save();
    const QFileInfo file(path);
    return workbook->printSheet(2, file.absoluteDir().filePath(file.completeBaseName() + u"_汇总.pdf"_s));
}

} // namespace Summary
