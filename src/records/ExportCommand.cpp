#include "ExportCommand.h"

#include "data/DataModule.h"
#include "data/Errors.h"
#include "records/RecordExport.h"
#include "records/RecordQuery.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int WrongArgument = 2;
constexpr int Failed = 1;

struct Refusal
{
    int code;
    QString text;
};

QueryConditions conditionsOf(const ExportCommandArguments& args)
{
    QueryConditions conditions;
    conditions.from = RecordQuery::parseTime(args.from);
    conditions.to = RecordQuery::parseTime(args.to);
    if (!conditions.from.isValid() || !conditions.to.isValid())
        throw Refusal{WrongArgument, u"时间格式不正确，应为 yyyy-MM-dd HH:mm:ss：--from “%1” --to “%2”"_s.arg(args.from, args.to)};
    if (args.timeColumn != u"皮重时间"_s && args.timeColumn != u"毛重时间"_s)
        throw Refusal{WrongArgument, u"--time 只能是 皮重时间 或 毛重时间：“%1”"_s.arg(args.timeColumn)};
    conditions.timeColumn = args.timeColumn;
    conditions.anyField = args.anyField;
    for (const QString& field : args.fields) {
        const qsizetype equals = field.indexOf(u'=');
        if (equals <= 0)
            throw Refusal{WrongArgument, u"--field 应写成 字段名=值1,值2：“%1”"_s.arg(field)};
        conditions.fields.append({field.left(equals).trimmed(), field.mid(equals + 1)});
    }
    return conditions;
}

int run(const ExportCommandArguments& args, QTextStream& out)
{
    const std::optional<ExportFormat> format = RecordExport::formatOfPath(args.out);
    if (!format)
        throw Refusal{WrongArgument, u"不能识别的导出格式（应为 .xlsx .csv .htm .rtf .txt）：%1"_s.arg(args.out)};
    const QueryConditions conditions = conditionsOf(args);

    DataModule dm(args.folder);
    const DataModule::OpenResult opened = dm.open();
    if (opened != DataModule::OpenResult::Ok) {
        const QString cause = opened == DataModule::OpenResult::MissingFile ? DataModule::MissingFileMessage
                                                                             : dm.lastOpenError();
        throw Refusal{Failed, u"无法打开程序目录 %1：%2"_s.arg(QDir::toNativeSeparators(args.folder), cause)};
    }
    const QSqlDatabase db = dm.weightdatabase();
    RecordStatement statement;
    try {
        statement = RecordQuery::build(conditions, dm.dialect().columns(db, RecordQuery::Table), dm.dialect());
    } catch (const AppError& e) {
        throw Refusal{WrongArgument, e.text()};
    }
    const std::optional<qint64> count = RecordExport::writeQuery(db, statement, *format, args.out);
    out << count.value_or(0) << Qt::endl;
    return 0;
}

} // namespace

int runExportCommand(const ExportCommandArguments& args, QTextStream& out, QTextStream& err)
{
    try {
        return run(args, out);
    } catch (const Refusal& refusal) {
        err << u"weight: "_s << refusal.text << Qt::endl;
        return refusal.code;
    } catch (const AppError& e) {
        err << u"weight: "_s << e.text() << Qt::endl;
        return Failed;
    }
}
