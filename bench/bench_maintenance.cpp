// Backup and compaction of a weighing database of a million records, beside the SQLite shell's own
// `.backup` and `VACUUM INTO` of the same file. Our backup also checks the copy (`PRAGMA quick_check`
// and the record count) before it takes the target's name; BM_Verify shows what that check
// costs on its own: it reads the whole copy back.

#include "TestFolder.h"
#include "data/Catalogue.h"
#include "data/DatabaseCopy.h"
#include "data/Sql.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Records = 1000000;

std::unique_ptr<TestFolder> made;

TestFolder& site()
{
    if (!made) {
        made = std::make_unique<TestFolder>();
        const QSqlDatabase db = made->dm().weightdatabase();
        Sql::inTransaction(db, [&] {
            Sql::exec(db,
                      u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                      "INSERT INTO weight (车号, 品名, 发货方, 收货方, 承运方, 毛重, 皮重, 净重, 扣杂方式, 皮重时间, "
                      "毛重时间, 皮重操作人, 毛重操作人) "
                      "SELECT printf('苏A%05d', i % 20000), '黄沙', '江苏发货公司', '上海收货公司', '李四车队', "
                      "32000 + i % 500, 15000, 17000 + i % 500, '净重折扣[0][皮->毛]', "
                      "datetime('2024-01-01 06:00:00', '+' || (i * 50) || ' seconds'), "
                      "datetime('2024-01-01 06:10:00', '+' || (i * 50) || ' seconds'), 'admin', 'admin' FROM n"_s,
                      {Records});
        });
        // A tenth of the records deleted, as after a clearing, so that compaction has work to do.
        Sql::exec(db, u"DELETE FROM weight WHERE 编号 % 10 = 0"_s);
        made->dm().close();
    }
    return *made;
}

QString database()
{
    return site().path(Catalogue::WeighingFile);
}

QString target()
{
    return site().path(u"backup/bench.mdb"_s);
}

void shell(benchmark::State& state, const QString& command)
{
    if (QProcess::execute(u"sqlite3"_s, {database(), command}) != 0)
        state.SkipWithError("sqlite3 failed");
}

void BM_Backup(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DatabaseCopy::backup(database(), target()));
}

void BM_ShellBackup(benchmark::State& state)
{
    for (auto _ : state) {
        QFile::remove(target());
        shell(state, u".backup '%1'"_s.arg(target()));
    }
}

void BM_Verify(benchmark::State& state)
{
    DatabaseCopy::backup(database(), target());
    for (auto _ : state)
        benchmark::DoNotOptimize(DatabaseCopy::verify(target(), DatabaseCopy::Check::Quick));
}

void BM_Compact(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DatabaseCopy::compactInto(database(), database() + u'1'));
}

void BM_ShellVacuumInto(benchmark::State& state)
{
    for (auto _ : state) {
        QFile::remove(database() + u'1');
        shell(state, u"VACUUM INTO '%1'"_s.arg(database() + u'1'));
    }
}

} // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShellBackup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Verify)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShellVacuumInto)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    site();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    made.reset();
    return 0;
}
