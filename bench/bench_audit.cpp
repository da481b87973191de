// The review windows on a site with a million records: the black box viewer with its unrecorded-load
// marking over a day and over a month, the log viewer over a day, and the stale tare review. Each runs
// on the user-interface thread when the window opens.

#include "TestFolder.h"
#include "audit/RangeReview.h"
#include "audit/ResultTable.h"
#include "audit/StaleTares.h"
#include "audit/UnrecordedLoads.h"
#include "data/Sql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Records = 1000000;
// One record every 50 seconds, its load leaving the scale a minute after the gross weighing; one load
// in a hundred (a heavier truck) was never saved; a log entry every 1000 seconds.
const QDateTime FirstTime(QDate(2024, 1, 1), QTime(6, 0, 0));
const QDateTime Now = FirstTime.addSecs(50LL * Records + 600);
const QDate LastDay = Now.date().addDays(-1);

std::unique_ptr<TestFolder>& folder()
{
    static std::unique_ptr<TestFolder> made;
    return made;
}

TestFolder& site()
{
    if (folder())
        return *folder();
    auto t = std::make_unique<TestFolder>();
    QElapsedTimer timer;
    timer.start();
    const QSqlDatabase db = t->dm().weightdatabase();
    const QString first = Dialect::dateTimeText(FirstTime);
    const QString numbers = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "_s;
    Sql::inTransaction(db, [&] {
        Sql::exec(
            db,
            numbers +
                u"INSERT INTO weight (车号, 毛重, 皮重, 净重, 扣重数, 皮重时间, 毛重时间) "
                "SELECT printf('苏A%05d', i % 20000), CASE WHEN i % 1000 = 0 THEN 0 ELSE 32000 + i % 500 "
                "END, "
                "15000, 17000, 0, datetime(?, '+' || (i * 50) || ' seconds'), "
                "CASE WHEN i % 1000 = 0 THEN NULL ELSE datetime(?, '+' || (i * 50 + 600) || ' seconds') END "
                "FROM n"_s,
            {Records, first, first});
        Sql::exec(db,
                  numbers + u"INSERT INTO 黑匣子数据 (重量, 时间, 操作人) "
                            "SELECT CASE WHEN i % 100 = 0 THEN 50040 ELSE 32000 + i % 500 + 40 END, "
                            "datetime(?, '+' || (i * 50 + 660) || ' seconds'), 'admin' FROM n"_s,
                  {Records, first});
        Sql::exec(
            db,
            numbers +
                u"INSERT INTO LogTab (操作人, 操作类型, 操作内容, 操作时间) SELECT 'admin', '打印', '', "
                "datetime(?, '+' || (i * 1000) || ' seconds') FROM n"_s,
            {Records / 20, first});
    });
    Sql::exec(db, u"ANALYZE"_s);
    t->clock.current = Now;
    std::fprintf(stderr, "site written in %lld ms\n", timer.elapsed());
    if (const QByteArray copy = qgetenv("BENCH_AUDIT_COPY"); !copy.isEmpty())
        QFile::copy(t->path(u"Pcomm.dll"_s), QString::fromLocal8Bit(copy));
    folder() = std::move(t);
    return *folder();
}

TimeRange days(int count)
{
    return TimeRange::of(LastDay.addDays(1 - count), QTime(0, 0), LastDay, QTime(23, 59, 59));
}

/** The black box viewer's query: the listing loaded into the grid and its loads marked. */
void blackBox(benchmark::State& state, int dayCount)
{
    RangeReview review(site().dm(), Review::BlackBox);
    ResultTable table;
    const UnrecordedLoads rule;
    for (auto _ : state) {
        QSqlQuery rows = review.query(days(dayCount));
        table.load(rows);
        QList<BlackBoxLoad> loads;
        for (int row = 0; row < table.rowCount(); ++row)
            loads.append({UnrecordedLoads::moment(table.value(row, u"时间"_s)),
                          table.value(row, u"重量"_s).toDouble()});
        table.setMarks(rule.mark(site().dm(), loads), QString());
    }
    state.counters["loads"] = table.rowCount();
    state.counters["unrecorded"] = table.markedCount();
}
BENCHMARK_CAPTURE(blackBox, one_day, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(blackBox, thirty_days, 30)->Unit(benchmark::kMillisecond);

void operationLogDay(benchmark::State& state)
{
    RangeReview review(site().dm(), Review::OperationLog);
    ResultTable table;
    for (auto _ : state) {
        QSqlQuery rows = review.query(days(1));
        table.load(rows);
    }
    state.counters["entries"] = table.rowCount();
}
BENCHMARK(operationLogDay)->Unit(benchmark::kMillisecond);

void staleTares(benchmark::State& state)
{
    ResultTable table;
    for (auto _ : state) {
        QSqlQuery rows = StaleTares::query(site().dm(), Now, 12);
        table.load(rows);
    }
    state.counters["records"] = table.rowCount();
}
BENCHMARK(staleTares)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    folder().reset();
    return 0;
}
