// The weighing station's searches on a site with a million records (BENCH_RECORDS=10000000 for ten
// million): F1's pending-record search, the refresh that lists the newest records with the day's
// totals, and the word picker's list. All run on the user-interface thread while a truck waits on the
// scale, so each must stay well under 50 ms. BENCH_KEEP=DIR keeps the generated folder in DIR, so the
// SQLite shell can run the same statements on the same file.

#include "GeneratedSite.h"
#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "data/WeightDerived.h"
#include "records/WordFilter.h"
#include "weighing/RecordStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

const int Records =
    qEnvironmentVariableIsSet("BENCH_RECORDS") ? qEnvironmentVariableIntValue("BENCH_RECORDS") : 1000000;
// One record every 50 seconds: the newest is about nineteen months after the oldest.
const QDateTime FirstTime(QDate(2024, 1, 1), QTime(6, 0, 0));
const QDateTime Now = FirstTime.addSecs(50LL * Records + 600);

/**
 * A program folder whose `weight` holds a million records: 90 % of them spread over 20,000 plates, 10 %
 * on ten trucks that come every day (10,000 records each); one record in a thousand still pending, and
 * both searched plates with a pending first pass of ten minutes ago.
 */
TestFolder& site()
{
    return generatedSite(Records, [](TestFolder& t) {
        const QSqlDatabase db = t.dm().weightdatabase();
        Sql::exec(
            db,
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO weight (车号, 品名, 发货方, 收货方, 承运方, 毛重, 皮重, 净重, 单价, 金额, "
            "扣重数, "
            "扣杂方式, 皮重时间, 毛重时间, 皮重操作人, 毛重操作人) "
            "SELECT CASE WHEN i % 10 = 0 THEN printf('苏E%05d', (i / 10) % 10) ELSE printf('苏A%05d', i "
            "% 20000) END, "
            "'黄沙', '江苏发货公司', '上海收货公司', '李四车队', "
            "CASE WHEN i % 1000 = 0 THEN 0 ELSE 32000 + i % 500 END, 15000, "
            "CASE WHEN i % 1000 = 0 THEN 0 ELSE 17000 + i % 500 END, 0, 0, 0, '净重折扣[0][皮->毛]', "
            "datetime(?, '+' || (i * 50) || ' seconds'), datetime(?, '+' || (i * 50 + 600) || ' "
            "seconds'), "
            "'admin', 'admin' FROM n"_s,
            {Records, Dialect::dateTimeText(FirstTime), Dialect::dateTimeText(FirstTime)});
        for (const QString& plate : {u"苏A00042"_s, u"苏E00003"_s})
            Sql::exec(
                db,
                u"INSERT INTO weight (车号, 品名, 皮重, 皮重时间, 皮重操作人) VALUES (?, '黄沙', 15000, ?, 'admin')"_s,
                {plate, Dialect::dateTimeText(Now.addSecs(-600))});
        t.clock.current = Now;
        // The shift began this morning: about 600 records ago.
        IniFile(t.dm().iniPath()).write(Option::ShiftStartRecord, QString::number(Records - 600));
    });
}

void printPlan(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = Sql::exec(site().dm().weightdatabase(), u"EXPLAIN QUERY PLAN "_s + sql, values);
    std::fprintf(stderr, "%s\n", qPrintable(sql));
    while (q.next())
        std::fprintf(stderr, "    %s\n", qPrintable(q.value(3).toString()));
}

void printPlans()
{
    const QString cutOff = Dialect::dateTimeText(Now.addSecs(-30 * 24 * 3600));
    printPlan(u"SELECT * FROM weight WHERE (车号 = ? COLLATE NOCASE) AND (毛重 < 1) AND (皮重时间 > ?) ORDER "
              u"BY 编号 "
              "DESC LIMIT 2000"_s,
              {u"苏E00003"_s, cutOff});
    printPlan(u"SELECT * FROM weight ORDER BY 编号 DESC LIMIT 2000"_s, {});
    printPlan(u"SELECT count(*), sum(净重) FROM weight WHERE 编号 >= ?"_s, {Records - 600});
    printPlan(u"SELECT * FROM weight WHERE 车号 = ? ORDER BY 编号 DESC LIMIT 1"_s, {u"苏A00042"_s});
}

std::unique_ptr<RecordStore> makeStore(const QString& startRecord = {}, int pendingHours = 12)
{
    StationSettings settings = StationSettings::read(site().dm().iniPath());
    if (!startRecord.isEmpty())
        settings.startRecord = startRecord;
    settings.pendingHours = pendingHours;
    auto store = std::make_unique<RecordStore>(site().dm(), site().clock, settings);
    store->BuildWeighingBoxes();
    return store;
}

/** F1: the plate's pending records within the time limit, loaded into the grid's model. */
void pendingSearch(benchmark::State& state, const QString& plate, int hours)
{
    const auto store = makeStore({}, hours);
    for (auto _ : state) {
        const int found = store->FindPendingRecords(plate);
        if (found != 1)
            state.SkipWithError("the pending record was not found");
    }
}
BENCHMARK_CAPTURE(pendingSearch, plate_with_50_records, u"苏A00042"_s, 12)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pendingSearch, daily_truck_with_10000_records, u"苏E00003"_s, 12)
    ->Unit(benchmark::kMillisecond);
// Sites that let pending records be completed for a whole week or month.
BENCHMARK_CAPTURE(pendingSearch, time_limit_of_a_week, u"苏E00003"_s, 7 * 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pendingSearch, time_limit_of_30_days, u"苏E00003"_s, 30 * 24)
    ->Unit(benchmark::kMillisecond);
// The plate typed in other letters than stored.
BENCHMARK_CAPTURE(pendingSearch, plate_in_small_letters, u"苏e00003"_s, 30 * 24)
    ->Unit(benchmark::kMillisecond);

/** F1 on a fixed-tare plate: the plate's newest record, whose fields the weighing takes over. */
void newestOfPlate(benchmark::State& state)
{
    const auto store = makeStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(store->newestRecordNumber(u"苏E00003"_s));
}
BENCHMARK(newestOfPlate)->Unit(benchmark::kMillisecond);

/** F10 and every save: the newest [Select] Num records, all loaded, and the shift's totals. */
void refresh(benchmark::State& state)
{
    const auto store = makeStore();
    for (auto _ : state) {
        store->RefreshRecords();
        benchmark::DoNotOptimize(store->ShowDailyTotals());
    }
    if (store->records().rowCount() != store->settings().recordCount)
        state.SkipWithError("the newest records were not all loaded");
}
BENCHMARK(refresh)->Unit(benchmark::kMillisecond);

/** The totals alone when the shift's start was never set ([Weight] StarRec 1): the whole table. */
void totalsOfWholeTable(benchmark::State& state)
{
    const auto store = makeStore(u"1"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(store->ShowDailyTotals());
}
BENCHMARK(totalsOfWholeTable)->Unit(benchmark::kMillisecond);

/** The word picker's list of a field: the kept words with their pinyin codes. */
void wordPicker(benchmark::State& state, const QString& field)
{
    const QSqlDatabase db = site().dm().weightdatabase();
    for (auto _ : state) {
        const WordFilter filter(WordFilter::distinctValues(db, site().dm().dialect(), field, u"weight"_s));
        benchmark::DoNotOptimize(filter.matching(QString()));
    }
}
BENCHMARK_CAPTURE(wordPicker, plates_20010_words, u"车号"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wordPicker, products_1_word, u"品名"_s)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    printPlans();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (const QString keep = qEnvironmentVariable("BENCH_KEEP"); !keep.isEmpty()) {
        site().dm().close();
        QFile::copy(site().dm().path(u"Pcomm.dll"_s), keep + u"/Pcomm.dll"_s);
    }
    return 0;
}
