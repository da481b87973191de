// The query window on a site with a million records: one plate over a month with its totals, a month of
// every record with the first rows ready for the grid, and the export of 100,000 rows to a workbook
// beside libxlsxwriter writing the same cells alone. After the runs the same statements go through the
// sqlite3 shell on the same file, for comparison.

#include "GeneratedSite.h"
#include "TestFolder.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "records/RecordExport.h"
#include "records/RecordQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;

namespace {

int records()
{
    const QByteArray wanted = qgetenv("WEIGHT_BENCH_RECORDS");
    return wanted.isEmpty() ? 1000000 : wanted.toInt();
}

// One record every 63 seconds: about 41,000 records a month, two years in all.
constexpr int SecondsApart = 63;
const QDateTime FirstTime(QDate(2024, 1, 1), QTime(6, 0, 0));
const QDateTime MonthFrom(QDate(2025, 3, 1), QTime(0, 0, 0));
const QDateTime MonthTo(QDate(2025, 3, 31), QTime(23, 59, 59));
const QString Plate = u"苏A00042"_s;

/** 20,000 plates in turn; one record in a thousand pending. */
TestFolder& site()
{
    return generatedSite(records(), [](TestFolder& t) {
        const QSqlDatabase db = t.dm().weightdatabase();
        Sql::exec(
            db,
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO weight (车号, 品名, 发货方, 收货方, 承运方, 毛重, 皮重, 净重, 扣杂方式, 皮重时间, "
            "毛重时间, 皮重操作人, 毛重操作人) "
            "SELECT printf('苏A%05d', i % 20000), CASE i % 3 WHEN 0 THEN '黄沙' WHEN 1 THEN '石子' "
            "ELSE '水泥' END, '江苏发货公司', '上海收货公司', '李四车队', "
            "CASE WHEN i % 1000 = 0 THEN 0 ELSE 32000 + i % 500 END, 15000, "
            "CASE WHEN i % 1000 = 0 THEN 0 ELSE 17000 + i % 500 END, '[皮->毛]', "
            "datetime(?, '+' || (i * ?) || ' seconds'), datetime(?, '+' || (i * ? + 600) || ' seconds'), "
            "'admin', 'admin' FROM n"_s,
            {records(), Dialect::dateTimeText(FirstTime), SecondsApart, Dialect::dateTimeText(FirstTime),
             SecondsApart});
    });
}

RecordStatement monthQuery(const QString& plate)
{
    QueryConditions c;
    c.from = MonthFrom;
    c.to = MonthTo;
    if (!plate.isEmpty())
        c.fields = {{u"车号"_s, plate}};
    const DataModule& dm = site().dm();
    return RecordQuery::build(c, dm.dialect().columns(dm.weightdatabase(), RecordQuery::Table), dm.dialect());
}

/** The "查询" of one plate: every row read, and the four totals. */
void onePlateMonthWithTotals(benchmark::State& state)
{
    const RecordStatement statement = monthQuery(Plate);
    TableEditModel model(site().dm().weightdatabase(), site().dm().dialect(), RecordQuery::Table,
                         RecordQuery::KeyColumn);
    model.setFetchBatch(256);
    for (auto _ : state) {
        model.load({}, statement.where, statement.values, statement.orderBy);
        model.fetchAll();
        const QueryTotals totals = RecordQuery::totals(site().dm().weightdatabase(), statement);
        if (totals.count != model.rowCount() || totals.count == 0)
            state.SkipWithError("plate not found");
    }
}
BENCHMARK(onePlateMonthWithTotals)->Unit(benchmark::kMillisecond);

/** The "查询" of a whole month: the first batch for the grid and the totals the window shows with it. */
void monthFirstRows(benchmark::State& state)
{
    const RecordStatement statement = monthQuery({});
    TableEditModel model(site().dm().weightdatabase(), site().dm().dialect(), RecordQuery::Table,
                         RecordQuery::KeyColumn);
    model.setFetchBatch(256);
    qint64 count = 0;
    for (auto _ : state) {
        model.load({}, statement.where, statement.values, statement.orderBy);
        count = RecordQuery::totals(site().dm().weightdatabase(), statement).count;
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["records"] = double(count);
}
BENCHMARK(monthFirstRows)->Unit(benchmark::kMillisecond);

/** The month's newest 100,000 records by number. */
RecordStatement exportStatement()
{
    RecordStatement statement;
    statement.where = u"\"编号\" > ?"_s;
    statement.values = {records() - 100000};
    statement.orderBy = u"\"编号\" DESC"_s;
    return statement;
}

void export100kToWorkbook(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        const auto written = RecordExport::writeQuery(site().dm().weightdatabase(), exportStatement(),
                                                      ExportFormat::Excel, dir.filePath(u"r.xlsx"_s));
        if (written.value_or(0) != 100000)
            state.SkipWithError("wrong row count");
    }
}
BENCHMARK(export100kToWorkbook)->Unit(benchmark::kMillisecond)->Iterations(3);

/** libxlsxwriter alone: the same cells, already in memory as UTF-8 and numbers. */
void libxlsxwriterAlone(benchmark::State& state)
{
    QSqlQuery q =
        Sql::exec(site().dm().weightdatabase(), exportStatement().select(), exportStatement().values);
    const QSqlRecord record = q.record();
    struct Cell
    {
        bool number;
        double value;
        QByteArray text;
    };
    QList<QList<Cell>> rows;
    while (q.next()) {
        QList<Cell> row;
        for (int i = 0; i < record.count(); ++i) {
            const QVariant v = q.value(i);
            const bool number =
                v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::LongLong;
            row.append({number, v.toDouble(), number || v.isNull() ? QByteArray() : v.toString().toUtf8()});
        }
        rows.append(row);
    }
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(u"alone.xlsx"_s));
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(name.constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        for (int c = 0; c < record.count(); ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), record.fieldName(c).toUtf8().constData(), nullptr);
        for (qsizetype r = 0; r < rows.size(); ++r)
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const Cell& cell = rows[r][c];
                if (cell.number)
                    worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), cell.value, nullptr);
                else if (!cell.text.isEmpty())
                    worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), cell.text.constData(),
                                           nullptr);
            }
        workbook_close(book);
    }
}
BENCHMARK(libxlsxwriterAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

/** The statement with its values written in, for the shell. */
QString literal(const RecordStatement& statement, const QString& select)
{
    QString sql = select;
    for (const QVariant& v : statement.values) {
        const qsizetype at = sql.indexOf(u'?');
        const QString text =
            v.metaType().id() == QMetaType::QString ? u'\'' + v.toString() + u'\'' : v.toString();
        sql.replace(at, 1, text);
    }
    return sql;
}

void compareWithShell()
{
    const RecordStatement plate = monthQuery(Plate);
    const RecordStatement month = monthQuery({});
    const QString totals =
        u"SELECT sum(\"皮重\"), sum(\"毛重\"), sum(\"净重\"), count(*) FROM weight WHERE "_s;
    const QStringList statements{
        literal(plate, plate.select()),
        literal(plate, totals + plate.where),
        literal(month, month.select() + u" LIMIT 256"_s),
        literal(month, totals + month.where),
    };
    for (const QString& sql : statements) {
        QProcess shell;
        shell.start(u"sqlite3"_s, {site().path(u"Pcomm.dll"_s)});
        shell.write((u".timer on\n.output /dev/null\n"_s + sql + u";\n"_s).toUtf8());
        shell.closeWriteChannel();
        shell.waitForFinished(120000);
        std::fprintf(stderr, "sqlite3: %s\n    %s", qPrintable(sql),
                     shell.readAllStandardOutput().constData());
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    compareWithShell();
    benchmark::Shutdown();
    // The folder's connections close while the application still exists.
    return 0;
}
