#include "TestFolder.h"
#include "data/Catalogue.h"
#include "data/Errors.h"
#include "data/Gbk.h"
#include "data/IniFile.h"
#include "data/Passwords.h"
#include "data/Pinyin.h"
#include "data/ProgramFolderSetup.h"
#include "data/RecordLayout.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "data/WeightDerived.h"

#include <QSignalSpy>

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class DataTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newFolderHoldsTheCatalogue();
    void newFolderHoldsDefaults();
    void initRefusesToOverwrite();
    void openReportsMissingAndBrokenFiles_data();
    void openReportsMissingAndBrokenFiles();
    void insertRowBindsAndConverts();
    void insertRowRefusesTextInNumberColumn();
    void queryScalarWithoutRowIsEmpty();
    void writeLogKeepsEmptyContent();
    void pinyinInitial_data();
    void pinyinInitial();
    void iniReadsAnySpellingAndDefaults();
    void iniWritesGbkAndReadsUtf8();
    void derivedDataFollowsEveryChange();
    void olderFolderIsUpgraded();
    void iniNumbersAreFinite_data();
    void iniNumbersAreFinite();
    void iniWritesStayOnTheirLine();
    void iniWritesUtf8WhenGbkLacksACharacter();
    void layoutTableFollowsRows();
    void layoutProblems_data();
    void layoutProblems();
    void passwordsAreHashed();
    void guardShowsDatabaseText();
    void tableEditModelPostsAndRefuses();
};

void DataTest::newFolderHoldsTheCatalogue()
{
    TestFolder t;
    // The tables of both files with the columns the program and old installations address.
    const QList<std::tuple<bool, QString, QStringList>> expected{
        {true, u"structure"_s,
         {u"编号"_s, u"项目名称"_s, u"项目类型"_s, u"项目宽度"_s, u"小数位"_s, u"是否为空"_s, u"计算公式"_s,
          u"是否可见"_s, u"是否汉字输入"_s}},
        {true, u"users"_s, QStringList{u"用户名称"_s, u"用户密码"_s} + Catalogue::windowRights() + Catalogue::menuRights()},
        {true, u"LogTab"_s, {u"编号"_s, u"操作人"_s, u"操作类型"_s, u"操作内容"_s, u"操作时间"_s}},
        {true, u"TotalTab"_s, {u"编号"_s, u"汇总项目"_s}},
        {true, u"TareWeight"_s, {u"车号"_s, u"皮重"_s, u"固定存皮"_s, u"存皮人"_s, u"时间"_s}},
        {true, u"UnitPrice"_s, {u"编号"_s, u"品名"_s, u"单价"_s, u"是否执行"_s}},
        {true, u"Agio"_s, {u"折扣项目"_s, u"折扣数值"_s, u"折扣日期"_s}},
        {true, u"AgioName"_s, {u"折扣项目"_s}},
        {true, u"黑匣子数据"_s, {u"重量"_s, u"时间"_s, u"操作人"_s}},
        {false, u"Com_parameter"_s,
         {u"仪表型号"_s, u"接线方式说明"_s, u"是否选择"_s, u"Commname"_s, u"Baudrate"_s, u"Parity"_s,
          u"ParityCheck"_s, u"Bytesize"_s, u"Stopbits"_s, u"Direction"_s, u"CountChar"_s, u"StarChar"_s,
          u"StarWeightChar"_s, u"WeightCharCount"_s, u"StarOrderChar"_s, u"OrderCharCount"_s, u"OrderChar1"_s,
          u"OrderChar2"_s, u"OrderChar3"_s}},
    };
    QCOMPARE(Catalogue::menuRights().size(), 24);
    QCOMPARE(Catalogue::windowRights(), (QStringList{u"查询"_s, u"打印"_s, u"删除"_s, u"修改"_s}));
    for (const auto& [weighing, table, columns] : expected) {
        const QSqlDatabase db = weighing ? t.dm().weightdatabase() : t.dm().Parameters();
        QStringList names;
        for (const ColumnInfo& c : t.dm().dialect().columns(db, table))
            names.append(c.name);
        for (const QString& column : columns)
            QVERIFY2(names.contains(column), qPrintable(table + u'.' + column));
    }
    QList<ColumnInfo> weight = t.dm().dialect().columns(t.dm().weightdatabase(), u"weight"_s);
    QStringList names;
    for (const ColumnInfo& c : weight)
        names.append(c.name);
    for (const QString& fixed : RecordLayout::fixedFields())
        QVERIFY2(names.contains(fixed), qPrintable(fixed));
    for (const QString& site : {u"品名"_s, u"单价"_s, u"金额"_s, u"发货方"_s, u"收货方"_s, u"承运方"_s, u"备注"_s})
        QVERIFY2(names.contains(site), qPrintable(site));
    QCOMPARE(names.first(), u"编号"_s);
    // The searched columns carry indexes.
    const QVariant indexes = Sql::scalar(t.dm().weightdatabase(),
                                         u"SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='weight'"_s);
    QCOMPARE(indexes.toInt(), 4);
}

void DataTest::newFolderHoldsDefaults()
{
    TestFolder t;
    QCOMPARE(t.count(u"users"_s), 1);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 用户名称 FROM users"_s), u"admin"_s);
    for (const QString& right : Catalogue::menuRights() + Catalogue::windowRights())
        QCOMPARE(t.dm().QueryScalar(u"SELECT %1 FROM users"_s.arg(right)), u"1"_s);
    QCOMPARE(Sql::scalar(t.dm().Parameters(), u"SELECT count(*) FROM Com_parameter WHERE 是否选择"_s).toInt(), 1);
    QCOMPARE(t.count(u"Agio"_s), 1);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 折扣数值 FROM Agio"_s).toDouble(), 0.0);
    QCOMPARE(t.count(u"structure"_s, u"项目名称 IN ('扣杂方式','扣重数') AND NOT 是否可见"_s), 2);
    for (const QString& sub : {u"磅单"_s, u"backup"_s, u"Picture"_s, u"打铃音"_s})
        QVERIFY2(QFileInfo(t.path(sub)).isDir(), qPrintable(sub));
    IniFile ini(t.dm().iniPath());
    QCOMPARE(ini.read(Option::CheckWidth(u"车号"_s)), 20);
    QCOMPARE(ini.read(Option::CheckWidth(u"单价"_s)), 12);
}

void DataTest::initRefusesToOverwrite()
{
    TestFolder t;
    t.dm().WriteLog(u"admin"_s, u"登录"_s, {});
    const auto error = ProgramFolderSetup::create(t.folder());
    QVERIFY(error.has_value());
    QVERIFY(error->contains(u"Pcomm.dll"_s));
    QCOMPARE(t.logActions(), QStringList{u"登录"_s});
}

void DataTest::openReportsMissingAndBrokenFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("cause");
    const int missing = int(DataModule::OpenResult::MissingFile);
    const int cannot = int(DataModule::OpenResult::CannotOpen);
    QTest::newRow("no Para.wdv") << u"Para.wdv"_s << u"remove"_s << missing << QString();
    QTest::newRow("no Pcomm.dll") << u"Pcomm.dll"_s << u"remove"_s << missing << QString();
    QTest::newRow("damaged Para.wdv") << u"Para.wdv"_s << u"garbage"_s << cannot << QString();
    QTest::newRow("damaged Pcomm.dll") << u"Pcomm.dll"_s << u"garbage"_s << cannot << QString();
    QTest::newRow("empty Pcomm.dll") << u"Pcomm.dll"_s << u"empty"_s << cannot << u"不是本程序的数据库文件"_s;
    QTest::newRow("foreign Pcomm.dll") << u"Pcomm.dll"_s << u"foreign"_s << cannot << u"不是本程序的数据库文件"_s;
    QTest::newRow("foreign Para.wdv") << u"Para.wdv"_s << u"foreign"_s << cannot << u"不是本程序的数据库文件"_s;
    QTest::newRow("no users table") << u"Pcomm.dll"_s << u"drop users"_s << cannot << u"“users”"_s;
    QTest::newRow("no Com_parameter") << u"Para.wdv"_s << u"drop Com_parameter"_s << cannot << u"“Com_parameter”"_s;
    QTest::newRow("read-only Pcomm.dll") << u"Pcomm.dll"_s << u"read-only"_s << cannot << u"只读"_s;
}

void DataTest::openReportsMissingAndBrokenFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, damage);
    QFETCH(int, expected);
    QFETCH(QString, cause);
    TestFolder t;
    t.dm().close();
    const QString path = t.path(file);
    if (damage == u"remove"_s || damage == u"garbage"_s || damage == u"empty"_s || damage == u"foreign"_s) {
        QFile::remove(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (damage == u"garbage"_s)
            f.write(QByteArray(4096, 'x'));
        f.close();
        if (damage == u"remove"_s)
            QFile::remove(path);
    }
    if (damage == u"foreign"_s || damage.startsWith(u"drop "_s)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"damage"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        const QString sql = damage == u"foreign"_s ? u"CREATE TABLE invoices (id INTEGER, total REAL)"_s
                                                   : u"DROP TABLE "_s + damage.mid(5);
        QVERIFY(QSqlQuery(db).exec(sql));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"damage"_s);
    }
    if (damage == u"read-only"_s) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        if (QFileInfo(path).isWritable())
            QSKIP("the superuser writes read-only files");
    }
    QFile before(path);
    const QByteArray bytes = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
    before.close();

    DataModule dm(t.folder());
    QCOMPARE(int(dm.open()), expected);
    if (!cause.isEmpty())
        QVERIFY2(dm.lastOpenError().contains(cause), qPrintable(dm.lastOpenError()));
    // A refused file is left exactly as it was.
    QFile after(path);
    QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), bytes);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void DataTest::insertRowBindsAndConverts()
{
    TestFolder t;
    t.dm().InsertRow(u"黑匣子数据"_s, u"重量"_s, {u" 32500.00 "_s});
    QCOMPARE(t.dm().QueryScalar(u"SELECT 重量 FROM 黑匣子数据"_s).toDouble(), 32500.0);
    QCOMPARE(t.dm().QueryScalar(u"SELECT typeof(重量) FROM 黑匣子数据"_s), u"real"_s);
    QVERIFY(!t.dm().QueryScalar(u"SELECT 时间 FROM 黑匣子数据"_s).isEmpty());

    t.dm().InsertRow(u" TareWeight"_s, u"车号,皮重,固定存皮,存皮人"_s, {u"苏A'1\"2"_s, u"15000"_s, u"1"_s, u"admin"_s});
    QCOMPARE(t.dm().QueryScalar(u"SELECT 车号 FROM TareWeight WHERE 固定存皮"_s), u"苏A'1\"2"_s);
}

void DataTest::insertRowRefusesTextInNumberColumn()
{
    TestFolder t;
    QVERIFY_THROWS_EXCEPTION(ConversionError, t.dm().InsertRow(u"黑匣子数据"_s, u"重量,操作人"_s, {u"abc"_s, u"x"_s}));
    QVERIFY_THROWS_EXCEPTION(DbError, t.dm().InsertRow(u"黑匣子数据"_s, u"重量,没有"_s, {u"1"_s, u"x"_s}));
    QCOMPARE(t.count(u"黑匣子数据"_s), 0);
}

void DataTest::queryScalarWithoutRowIsEmpty()
{
    TestFolder t;
    QCOMPARE(t.dm().QueryScalar(u"SELECT 车号 FROM weight WHERE 编号 = ?"_s, {42}), QString());
    QCOMPARE(t.dm().QueryScalar(u"SELECT max(编号) FROM weight"_s), QString());
    QVERIFY_THROWS_EXCEPTION(DbError, t.dm().QueryScalar(u"SELECT nothing FROM nowhere"_s));
}

void DataTest::writeLogKeepsEmptyContent()
{
    TestFolder t;
    t.dm().WriteLog(u"admin"_s, u"登录"_s, QString());
    QCOMPARE(t.count(u"LogTab"_s, u"操作内容 = ''"_s), 1);
}

void DataTest::pinyinInitial_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("initial");
    QTest::newRow("大") << u"大"_s << QChar(u'D');
    QTest::newRow("ASCII A") << u"A"_s << QChar(u' ');
    QTest::newRow("level 2 character 亍") << u"亍"_s << QChar(u' ');
    QTest::newRow("啊 first of A") << u"啊"_s << QChar(u'A');
    QTest::newRow("座 last of Z") << u"座"_s << QChar(u'Z');
    QTest::newRow("苏") << u"苏"_s << QChar(u'S');
    QTest::newRow("empty") << QString() << QChar(u' ');
}

void DataTest::pinyinInitial()
{
    QFETCH(QString, text);
    QFETCH(QChar, initial);
    QCOMPARE(PinyinInitial(text), initial);
    QCOMPARE(toGbk(u"大"_s), QByteArray("\xB4\xF3"));
}

void DataTest::iniReadsAnySpellingAndDefaults()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Option.ini"_s);
    {
        IniFile ini(path);
        QCOMPARE(ini.read(Option::SelectNum), 2000);
        ini.writeString(u"picture"_s, u"Backdrop"_s, u"1"_s);
        ini.writeString(u"ExitWindows"_s, u"time"_s, u"07:30:00"_s);
        ini.writeString(u"黑匣子"_s, u"下限值"_s, u"abc"_s);
        ini.writeString(u"IfPrint"_s, u"value"_s, u"0"_s);
    }
    IniFile ini(path);
    QCOMPARE(ini.readBool(u"Picture"_s, u"backdrop"_s, false), true);
    QCOMPARE(ini.readTime(u"ExitWindows"_s, u"Time"_s, QTime()), QTime(7, 30));
    QCOMPARE(ini.read(Option::LowerLimit), 1000.0);
    QCOMPARE(ini.readBool(u"IfPrint"_s, u"Value"_s, true), false);
    QCOMPARE(ini.read(Option::CheckdataAtStation), true);
    QCOMPARE(ini.read(Option::CheckdataInSettings), false);
}

void DataTest::iniWritesGbkAndReadsUtf8()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Option.ini"_s);
    IniFile(path).write(Option::ApplicationCaption, u"测试磅房"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains(toGbk(u"测试磅房"_s)));
    QVERIFY(!bytes.contains(u"测试磅房"_s.toUtf8()));
    file.close();

    QFile utf8(path);
    QVERIFY(utf8.open(QIODevice::WriteOnly));
    utf8.write(u"[application]\r\ncaption=东方磅房\r\n"_s.toUtf8());
    utf8.close();
    QCOMPARE(IniFile(path).read(Option::ApplicationCaption), u"东方磅房"_s);
}

void DataTest::derivedDataFollowsEveryChange()
{
    TestFolder t;
    const QSqlDatabase db = t.dm().weightdatabase();
    const auto insert = [&](const QString& plate, const QVariant& product, double net) {
        Sql::exec(db, u"INSERT INTO weight (车号, 品名, 净重, 毛重) VALUES (?, ?, ?, 1)"_s, {plate, product, net});
    };
    Sql::exec(db, u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                  "INSERT INTO weight (车号, 品名, 净重, 毛重) SELECT '苏A' || (i % 7), "
                  "CASE WHEN i % 3 = 0 THEN 'o''k' ELSE '黄沙' END, 0.01 * (i % 100), 1 FROM n"_s,
              {3 * WeightDerived::BlockSize});
    insert(u"sx100"_s, u"石子"_s, 17500.25);
    insert(u"SX100"_s, QVariant(), 10);
    Sql::exec(db, u"UPDATE weight SET 品名 = '水泥', 净重 = 净重 + 1 WHERE 编号 % 5 = 0"_s);
    Sql::exec(db, u"DELETE FROM weight WHERE 编号 % 11 = 0 OR 品名 = '石子'"_s);

    // The kept words are the distinct words without regard to letter case; the totals those of the rows.
    QStringList plates = *WeightDerived::words(db, t.dm().dialect(), u"车号"_s);
    QCOMPARE(plates.size(), 8);
    QVERIFY(plates.contains(u"sx100"_s, Qt::CaseInsensitive));
    QStringList products;
    QSqlQuery q = Sql::exec(db, u"SELECT DISTINCT coalesce(品名, '') FROM weight ORDER BY 1"_s);
    while (q.next())
        products.append(q.value(0).toString());
    QCOMPARE(*WeightDerived::words(db, t.dm().dialect(), u"品名"_s), products);
    QVERIFY(!WeightDerived::words(db, t.dm().dialect(), u"净重"_s));
    for (const qlonglong first : {1LL, 2LL, 4096LL, 4097LL, 9000LL, 12290LL, 99999LL}) {
        const RecordTotals kept = WeightDerived::totalsFrom(db, t.dm().dialect(), first);
        QSqlQuery direct = Sql::exec(db, u"SELECT count(*), coalesce(sum(净重), 0) FROM weight WHERE 编号 >= ?"_s, {first});
        QVERIFY(direct.next());
        QCOMPARE(kept.trucks, direct.value(0).toInt());
        QVERIFY2(qAbs(kept.net - direct.value(1).toDouble()) < 0.001, qPrintable(QString::number(first)));
    }
}

void DataTest::olderFolderIsUpgraded()
{
    TestFolder t;
    const QSqlDatabase db = t.dm().weightdatabase();
    Sql::exec(db, u"INSERT INTO weight (车号, 品名, 净重) VALUES ('SX1', '黄沙', 100)"_s);
    // A folder as version 1 left it: no derived tables, case-sensitive plate indexes.
    for (const QString& sql : {u"DROP TRIGGER weight_derived_insert"_s, u"DROP TRIGGER weight_derived_delete"_s,
                               u"DROP TRIGGER weight_derived_update"_s, u"DROP TABLE WordList"_s,
                               u"DROP TABLE WeightTotals"_s, u"DROP INDEX ix_weight_plate"_s,
                               u"DROP INDEX ix_tare_plate_nocase"_s, u"CREATE INDEX ix_weight_1 ON weight (车号)"_s,
                               u"UPDATE SchemaVersion SET version = 1"_s})
        Sql::exec(db, sql);
    t.dm().close();
    DataModule dm(t.folder());
    QCOMPARE(dm.open(), DataModule::OpenResult::Ok);
    const QSqlDatabase upgraded = dm.weightdatabase();
    QCOMPARE(Catalogue::schemaVersion(upgraded, dm.dialect()), Catalogue::SchemaVersion);
    QCOMPARE(*WeightDerived::words(upgraded, dm.dialect(), u"品名"_s), QStringList{u"黄沙"_s});
    QSqlQuery q = Sql::exec(upgraded, u"EXPLAIN QUERY PLAN SELECT * FROM weight WHERE 车号 = ? COLLATE NOCASE "
                                      "AND 毛重 < 1"_s,
                            {u"sx1"_s});
    QString details;
    while (q.next())
        details += q.value(3).toString();
    QVERIFY2(details.contains(u"ix_weight_plate"_s), qPrintable(details));
}

void DataTest::iniNumbersAreFinite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("number") << u"1500.5"_s << 1500.5;
    QTest::newRow("nan") << u"nan"_s << 1000.0;
    QTest::newRow("inf") << u"inf"_s << 1000.0;
    QTest::newRow("-inf") << u"-inf"_s << 1000.0;
    QTest::newRow("text") << u"abc"_s << 1000.0;
}

void DataTest::iniNumbersAreFinite()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Option.ini"_s);
    IniFile(path).writeString(u"黑匣子"_s, u"下限值"_s, text);
    QCOMPARE(IniFile(path).read(Option::LowerLimit), expected);
}

void DataTest::iniWritesStayOnTheirLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Option.ini"_s);
    IniFile(path).writeString(u"Application"_s, u"Caption"_s, u"磅房\r\n[Unit]\r\nValue=0"_s);
    IniFile(path).writeString(u"CheckWidth"_s, u"车\n号=x"_s, u"20"_s);
    const IniFile ini(path);
    QCOMPARE(ini.read(Option::ApplicationCaption), u"磅房[Unit]Value=0"_s);
    QVERIFY(!ini.contains(u"Unit"_s, u"Value"_s));
    QCOMPARE(ini.readString(u"CheckWidth"_s, u"车号x"_s, {}), u"20"_s);
}

void DataTest::iniWritesUtf8WhenGbkLacksACharacter()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Option.ini"_s);
    IniFile(path).write(Option::ApplicationCaption, u"测试磅房"_s);
    // "𠀀" is outside GBK; written as GBK it would come back as "?".
    IniFile(path).writeString(u"CheckWidth"_s, u"重量𠀀"_s, u"8"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("\xEF\xBB\xBF"));
    const IniFile ini(path);
    QCOMPARE(ini.readString(u"CheckWidth"_s, u"重量𠀀"_s, {}), u"8"_s);
    QCOMPARE(ini.read(Option::ApplicationCaption), u"测试磅房"_s);
}

void DataTest::layoutTableFollowsRows()
{
    const QList<StructureRow> rows{{1, u"编号"_s, u"Int"_s, u"4"_s, {}, true, {}, true, false},
                                   {2, u"车号"_s, u"String"_s, u"20"_s, {}, false, {}, true, true},
                                   {3, u"毛重"_s, u"float"_s, u"4"_s, {}, true, {}, true, false},
                                   {4, u"毛重时间"_s, u"DATETIME"_s, u"8"_s, {}, true, {}, true, false}};
    const QString sql = RecordLayout::createTableSql(rows, Dialect(), u"t"_s);
    QCOMPARE(sql, u"CREATE TABLE t (\n\"编号\" INTEGER PRIMARY KEY AUTOINCREMENT,\n\"车号\" VARCHAR(20) NOT NULL,\n"
                  "\"毛重\" DOUBLE DEFAULT 0 NULL,\n\"毛重时间\" DATETIME DEFAULT (datetime('now','localtime')) NULL)"_s);
}

void DataTest::layoutProblems_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("sound");
    QTest::newRow("default") << 0 << QString() << QString() << true;
    QTest::newRow("unknown type") << 3 << u"type"_s << u"Money"_s << false;
    QTest::newRow("string without width") << 1 << u"width"_s << u""_s << false;
    QTest::newRow("duplicate name") << 3 << u"name"_s << u"车号"_s << false;
    QTest::newRow("name with quote") << 3 << u"name"_s << u"a'b"_s << false;
    QTest::newRow("missing fixed field") << 1 << u"name"_s << u"车牌"_s << false;
}

void DataTest::layoutProblems()
{
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, sound);
    QList<StructureRow> rows = RecordLayout::defaultRows();
    if (field == u"type"_s)
        rows[row].type = value;
    else if (field == u"width"_s)
        rows[row].width = value;
    else if (field == u"name"_s)
        rows[row].name = value;
    QCOMPARE(!RecordLayout::problem(rows).has_value(), sound);
    QVERIFY(RecordLayout::problem(rows.mid(0, 1)).has_value());
}

void DataTest::passwordsAreHashed()
{
    TestFolder t;
    const QString stored = t.dm().QueryScalar(u"SELECT 用户密码 FROM users WHERE 用户名称='admin'"_s);
    QVERIFY(stored.startsWith(u"$argon2id$"_s));
    QVERIFY(Passwords::verify(u"admin"_s, stored));
    QVERIFY(!Passwords::verify(u"ADMIN"_s, stored));
    QVERIFY(Passwords::verify(u"123456"_s, Passwords::newUserHash()));
    QVERIFY(!Passwords::verify(u"123456"_s, u"123456"_s));
}

void DataTest::guardShowsDatabaseText()
{
    TestFolder t;
    bool after = false;
    QVERIFY(!guarded(t.prompter, [&] {
        t.dm().QueryScalar(u"SELECT * FROM nowhere"_s);
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"error"_s);
    QVERIFY(t.prompter.calls[0].text.contains(u"nowhere"_s));
}

void DataTest::tableEditModelPostsAndRefuses()
{
    TestFolder t;
    TableEditModel model(t.dm().weightdatabase(), t.dm().dialect(), u"UnitPrice"_s, u"编号"_s);
    model.load({u"品名"_s, u"单价"_s, u"是否执行"_s}, {}, {}, u"编号"_s);
    QSignalSpy failures(&model, &TableEditModel::postFailed);

    // An appended row writes only what was set; the table's defaults fill the rest.
    int row = model.appendRow();
    QVERIFY(model.setData(model.index(row, 0), u"黄沙'中"_s, Qt::EditRole));
    model.post();
    QCOMPARE(t.dm().QueryScalar(u"SELECT 品名 || '/' || 单价 FROM UnitPrice"_s), u"黄沙'中/0.0"_s);

    // A text in a number column is refused and the row stays in edit until cancelled.
    QVERIFY(model.setData(model.index(row, 1), u"十元"_s, Qt::EditRole));
    QVERIFY_THROWS_EXCEPTION(ConversionError, model.post());
    QVERIFY(model.isEditing());
    model.cancel();
    QCOMPARE(model.data(model.index(row, 1), Qt::DisplayRole).toDouble(), 0.0);

    // Editing another row posts the first; a failing automatic post is discarded and reported.
    row = model.appendRow();
    model.setData(model.index(row, 0), u"石子"_s, Qt::EditRole);
    model.setData(model.index(row, 1), u"abc"_s, Qt::EditRole);
    model.setData(model.index(0, 2), Qt::Checked, Qt::CheckStateRole);
    QCOMPARE(failures.size(), 1);
    QCOMPARE(model.rowCount(), 1);
    model.post();
    QCOMPARE(t.count(u"UnitPrice"_s, u"是否执行"_s), 1);

    model.deleteRow(0);
    QCOMPARE(t.count(u"UnitPrice"_s), 0);
}

QTEST_GUILESS_MAIN(DataTest)
#include "tst_data.moc"
