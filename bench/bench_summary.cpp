// The summary window's statement on a site with a million records: the totals by 品名 over a year,
// beside the SQLite shell running the same statement on the same file.

#include "GeneratedSite.h"
#include "TestFolder.h"
#include "data/RecordLayout.h"
#include "data/Sql.h"
#include "records/Summary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Records = 1000000;
// One record every 50 seconds from the start of 2024: about nineteen months.
const QDateTime FirstTime(QDate(2024, 1, 1), QTime(6, 0, 0));
const QDateTime From(QDate(2024, 1, 1), QTime(0, 0, 0));
const QDateTime To(QDate(2024, 12, 31), QTime(23, 59, 59));

/** A million records of eight products from forty senders. */
TestFolder& site()
{
    return generatedSite(Records, [](TestFolder& t) {
        const QSqlDatabase db = t.dm().weightdatabase();
        Sql::exec(
            db,
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO weight (车号, 品名, 发货方, 毛重, 皮重, 净重, 单价, 金额, 皮重时间, 毛重时间) "
            "SELECT printf('苏A%05d', i % 20000), printf('品名%d', i % 8), printf('发货方%d', i % 40), "
            "32000 + i % 500, 15000, 17000 + i % 500, 20, (17000 + i % 500) * 0.02, "
            "datetime(?, '+' || (i * 50) || ' seconds'), datetime(?, '+' || (i * 50 + 600) || ' seconds') "
            "FROM n"_s,
            {Records, Dialect::dateTimeText(FirstTime), Dialect::dateTimeText(FirstTime)});
    });
}

SummaryStatement byProduct()
{
    const auto amount = Summary::amountField(RecordLayout::read(site().dm().weightdatabase()));
    return Summary::statement({u"品名"_s}, amount, From, To, site().dm().dialect());
}

/** The statement with its values written in, for the shell. */
QString literalStatement(const SummaryStatement& s)
{
    QString sql = s.sql;
    for (const QVariant& value : s.values)
        sql.replace(sql.indexOf(u'?'), 1, u'\'' + value.toString() + u'\'');
    return sql;
}

struct ShellTime
{
    double real = -1;
    double cpu = -1;
};

/** The SQLite shell's best run of five, in milliseconds (real and user + system); -1 without a shell. */
ShellTime shellTime(const QString& sql)
{
    QString script = u".timer on\n"_s;
    for (int i = 0; i < 5; ++i)
        script += sql + u";\n"_s;
    QProcess shell;
    shell.start(u"sqlite3"_s, {site().path(u"Pcomm.dll"_s)});
    if (!shell.waitForStarted())
        return {};
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(600000);
    ShellTime best;
    for (const QString& line : QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n')) {
        // "Run Time: real 0.984 user 0.520000 sys 0.130000"
        if (!line.startsWith(u"Run Time: real "_s))
            continue;
        const double real = line.section(u' ', 3, 3).toDouble() * 1000;
        const double cpu = (line.section(u' ', 5, 5).toDouble() + line.section(u' ', 7, 7).toDouble()) * 1000;
        if (best.real < 0 || real < best.real)
            best = {real, cpu};
    }
    return best;
}

void summaryByProductOverAYear(benchmark::State& state)
{
    const SummaryStatement statement = byProduct();
    const QSqlDatabase db = site().dm().weightdatabase();
    for (auto _ : state) {
        const SummaryResult result = Summary::run(db, statement);
        if (result.rows.size() != 9)
            state.SkipWithError("expected eight products and the total");
    }
}
BENCHMARK(summaryByProductOverAYear)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    const QString sql = literalStatement(byProduct());
    std::fprintf(stderr, "%s\n", qPrintable(sql));
    QSqlQuery plan = Sql::exec(site().dm().weightdatabase(), u"EXPLAIN QUERY PLAN "_s + byProduct().sql,
                               byProduct().values);
    while (plan.next())
        std::fprintf(stderr, "    %s\n", qPrintable(plan.value(3).toString()));
    const ShellTime shell = shellTime(sql);
    std::fprintf(stderr, "sqlite3 shell, same statement and file (best of 5): real %.1f ms, cpu %.1f ms\n",
                 shell.real, shell.cpu);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
