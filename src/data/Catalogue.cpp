#include "Catalogue.h"
#include "data/WeightDerived.h"

#include "data/Errors.h"
#include "Passwords.h"
#include "Sql.h"

#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

namespace Catalogue {

const QStringList& menuRights()
{
    static const QStringList rights{
        u"用户管理"_s, u"查看日志"_s, u"查看黑匣子"_s, u"数据备份"_s, u"数据恢复"_s, u"数据清除"_s,
        u"初始化系统"_s, u"压缩数据库"_s, u"系统升级"_s, u"用户个性化设置"_s, u"修改密码"_s, u"称重过磅"_s,
        u"固定存皮"_s, u"产品单价"_s, u"查询打印"_s, u"汇总打印"_s, u"查看回收站"_s, u"设置扣杂功能"_s,
        u"设置称重项目"_s, u"设置通讯参数"_s, u"设置打印机纸张"_s, u"自定义万能磅单格式"_s, u"设置报表格式"_s,
        u"自定义快速磅单格式"_s};
    return rights;
}

const QStringList& windowRights()
{
    static const QStringList rights{u"查询"_s, u"打印"_s, u"删除"_s, u"修改"_s};
    return rights;
}

namespace {

ColumnDef text(const QString& name, int length = 0) { return {name, ColumnKind::Text, length, {}, false}; }
ColumnDef integer(const QString& name) { return {name, ColumnKind::Integer, 0, {}, false}; }
ColumnDef number(const QString& name) { return {name, ColumnKind::Number, 0, u"0"_s, false}; }
ColumnDef yesNo(const QString& name) { return {name, ColumnKind::Bool, 0, u"FALSE"_s, false}; }
ColumnDef now(const QString& name) { return {name, ColumnKind::DateTime, 0, {}, true}; }
ColumnDef autoNumber(const QString& name) { return {name, ColumnKind::AutoNumber, 0, {}, false}; }

TableDef usersTable()
{
    TableDef t{u"users"_s, Store::Weighing, {text(u"用户名称"_s, 50)}};
    ColumnDef password = text(u"用户密码"_s, 255);
    password.defaultLiteral = u'\'' + Passwords::newUserHash() + u'\'';
    t.columns.append(password);
    for (const QString& right : windowRights() + menuRights())
        t.columns.append(yesNo(right));
    return t;
}

} // namespace

const QList<TableDef>& tables()
{
    static const QList<TableDef> all{
        {u"structure"_s,
         Store::Weighing,
         {integer(u"编号"_s), text(u"项目名称"_s, 16), text(u"项目类型"_s, 16), text(u"项目宽度"_s, 50),
          text(u"小数位"_s, 50), yesNo(u"是否为空"_s), text(u"计算公式"_s, 30), yesNo(u"是否可见"_s),
          yesNo(u"是否汉字输入"_s)}},
        usersTable(),
        {u"LogTab"_s,
         Store::Weighing,
         {autoNumber(u"编号"_s), text(u"操作人"_s, 50), text(u"操作类型"_s, 50), text(u"操作内容"_s),
          now(u"操作时间"_s)}},
        {u"TotalTab"_s, Store::Weighing, {integer(u"编号"_s), text(u"汇总项目"_s, 255)}},
        {u"TareWeight"_s,
         Store::Weighing,
         {autoNumber(u"ID"_s), text(u"车号"_s, 15), number(u"皮重"_s), yesNo(u"固定存皮"_s), text(u"存皮人"_s, 10),
          now(u"时间"_s)}},
        {u"UnitPrice"_s,
         Store::Weighing,
         {autoNumber(u"编号"_s), text(u"品名"_s, 50), number(u"单价"_s), yesNo(u"是否执行"_s)}},
        {u"Agio"_s,
         Store::Weighing,
         {autoNumber(u"ID"_s), text(u"折扣项目"_s, 50), number(u"折扣数值"_s), now(u"折扣日期"_s)}},
        {u"AgioName"_s, Store::Weighing, {autoNumber(u"ID"_s), text(u"折扣项目"_s, 50)}},
        {u"黑匣子数据"_s,
         Store::Weighing,
         {autoNumber(u"ID"_s), number(u"重量"_s), now(u"时间"_s), text(u"操作人"_s, 50)}},
        {u"Com_parameter"_s,
         Store::Parameters,
         {text(u"仪表型号"_s, 50), text(u"接线方式说明"_s, 255), yesNo(u"是否选择"_s), text(u"Commname"_s, 255),
          integer(u"Baudrate"_s), text(u"Parity"_s, 50), yesNo(u"ParityCheck"_s), text(u"Bytesize"_s, 50),
          text(u"Stopbits"_s, 50), yesNo(u"Direction"_s), text(u"CountChar"_s, 50), text(u"StarChar"_s, 50),
          text(u"StarWeightChar"_s, 50), text(u"WeightCharCount"_s, 50), text(u"StarOrderChar"_s, 50),
          text(u"OrderCharCount"_s, 50), text(u"OrderChar1"_s, 50), text(u"OrderChar2"_s, 50),
          text(u"OrderChar3"_s, 50)}},
    };
    return all;
}

QString createTableSql(const TableDef& table, const Dialect& dialect)
{
    QStringList columns;
    for (const ColumnDef& c : table.columns) {
        QString line = c.name + u' ' + dialect.typeWords(c.kind, c.length);
        if (c.defaultNow)
            line += u' ' + dialect.defaultNow();
        else if (!c.defaultLiteral.isEmpty())
            line += u" DEFAULT "_s + c.defaultLiteral;
        columns.append(line);
    }
    return u"CREATE TABLE IF NOT EXISTS %1 (%2)"_s.arg(table.name, columns.join(u", "_s));
}

QStringList weightIndexSql(const QStringList& weightColumns, const Dialect& dialect, const QString& table)
{
    QStringList result;
    // The plate index leads with the plate without letter case and carries what the pending search
    // filters on, so that search reads only the plate's pending records.
    if (weightColumns.contains(u"车号"_s)) {
        QStringList columns{dialect.caselessIndexColumn(dialect.quote(u"车号"_s))};
        for (const QString& c : {u"毛重"_s, u"皮重时间"_s})
            if (weightColumns.contains(c))
                columns.append(dialect.quote(c));
        result.append(u"CREATE INDEX IF NOT EXISTS ix_%1_plate ON %1 (%2)"_s.arg(table, columns.join(u", "_s)));
    }
    int n = 1;
    for (const QString& column : {u"毛重"_s, u"皮重时间"_s, u"毛重时间"_s}) {
        ++n;
        if (weightColumns.contains(column))
            result.append(u"CREATE INDEX IF NOT EXISTS ix_%1_%2 ON %1 (%3)"_s.arg(table).arg(n).arg(
                dialect.quote(column)));
    }
    return result;
}

QStringList indexSql(Store store, const Dialect& dialect)
{
    if (store == Store::Parameters)
        return {};
    return {u"CREATE INDEX IF NOT EXISTS ix_logtab_time ON LogTab (操作时间)"_s,
            u"CREATE INDEX IF NOT EXISTS ix_blackbox_time ON 黑匣子数据 (时间)"_s,
            u"CREATE INDEX IF NOT EXISTS ix_tare_plate_nocase ON TareWeight (%1)"_s.arg(
                dialect.caselessIndexColumn(u"车号"_s)),
            u"CREATE INDEX IF NOT EXISTS ix_price_product_nocase ON UnitPrice (%1)"_s.arg(
                dialect.caselessIndexColumn(u"品名"_s))};
}

int schemaVersion(const QSqlDatabase& db, const Dialect& dialect)
{
    if (!dialect.tableExists(db, u"SchemaVersion"_s))
        return 0;
    return Sql::scalar(db, u"SELECT max(version) FROM SchemaVersion"_s).toInt();
}

void checkOwnDatabase(const QSqlDatabase& db, Store, const Dialect& dialect, const QString& file)
{
    if (schemaVersion(db, dialect) == 0)
        throw DbError(u"%1 不是本程序的数据库文件（没有结构版本）"_s.arg(file));
}

void checkTables(const QSqlDatabase& db, Store store, const Dialect& dialect, const QString& file)
{
    QStringList wanted;
    if (store == Store::Weighing)
        wanted.append(u"weight"_s);
    for (const TableDef& table : tables())
        if (table.store == store)
            wanted.append(table.name);
    for (const QString& table : std::as_const(wanted))
        if (!dialect.tableExists(db, table))
            throw DbError(u"数据库文件 %1 中缺少数据表“%2”"_s.arg(file, table));
}

void upgrade(const QSqlDatabase& db, Store store, const Dialect& dialect)
{
    const int from = schemaVersion(db, dialect);
    if (from > SchemaVersion)
        throw DbError(u"数据库由更新版本的程序创建（结构版本 %1），本程序无法使用"_s.arg(from));
    if (from == SchemaVersion)
        return;
    Sql::inTransaction(db, [&] {
        if (from < 1) {
            Sql::exec(db, u"CREATE TABLE IF NOT EXISTS SchemaVersion (version INTEGER NOT NULL)"_s);
            for (const TableDef& table : tables())
                if (table.store == store)
                    Sql::exec(db, createTableSql(table, dialect));
            for (const QString& sql : indexSql(store, dialect))
                Sql::exec(db, sql);
        }
        if (from == 1 && store == Store::Weighing) {
            // Version 2: text lookups without letter case, served by indexes of that collation.
            Sql::exec(db, u"DROP INDEX IF EXISTS ix_weight_1"_s);
            Sql::exec(db, u"DROP INDEX IF EXISTS ix_tare_plate"_s);
            for (const QString& sql : indexSql(store, dialect))
                Sql::exec(db, sql);
            QStringList names;
            for (const ColumnInfo& c : dialect.columns(db, u"weight"_s))
                names.append(c.name);
            for (const QString& sql : weightIndexSql(names, dialect, u"weight"_s))
                Sql::exec(db, sql);
        }
        if (from < 3 && store == Store::Weighing) {
            // Version 3: word lists and block totals kept by triggers (a new folder gets them once its
            // weighing table exists).
            WeightDerived::rebuild(db, dialect);
        }
        Sql::exec(db, u"DELETE FROM SchemaVersion"_s);
        Sql::exec(db, u"INSERT INTO SchemaVersion (version) VALUES (?)"_s, {SchemaVersion});
    });
}

} // namespace Catalogue
