#include "TestFolder.h"
#include "data/Catalogue.h"
#include "data/DatabaseCopy.h"
#include "data/Sql.h"
#include "maintenance/Maintenance.h"
#include "maintenance/RestoreJob.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextStream>

#include <atomic>
#include <sqlite3.h>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

void addRecords(DataModule& dm, int count, const QDateTime& grossTime = QDateTime(QDate(2026, 1, 15), QTime(8, 0)))
{
    Sql::inTransaction(dm.weightdatabase(), [&] {
        for (int i = 0; i < count; ++i)
            Sql::exec(dm.weightdatabase(), u"INSERT INTO weight (车号, 毛重, 毛重时间) VALUES (?, ?, ?)"_s,
                      {u"苏A%1"_s.arg(i), 1000 + i, Dialect::dateTimeText(grossTime)});
    });
}

QByteArray contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/** Files of a folder other than the given ones: what a failed copy may have left behind. */
QStringList leftovers(const QString& folder, const QStringList& expected)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : expected)
        names.removeAll(name);
    return names;
}

/** Commits one record after another on a connection of its own until stopped; counts the commits. */
class Writer
{
public:
    explicit Writer(const QString& file)
    {
        sqlite3_open(QFile::encodeName(file).constData(), &m_db);
        sqlite3_busy_timeout(m_db, 10000);
        m_thread = std::thread([this] {
            while (!m_stop) {
                if (sqlite3_exec(m_db, "INSERT INTO weight (车号, 毛重) VALUES ('写入', 1)", nullptr, nullptr, nullptr) ==
                    SQLITE_OK)
                    ++m_committed;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
    }
    ~Writer()
    {
        stop();
        sqlite3_close(m_db);
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int committed() const { return m_committed; }

private:
    sqlite3* m_db = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_committed{0};
    std::thread m_thread;
};

} // namespace

class TestDatabaseCopy final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupWhileAnotherConnectionWrites();
    void failedBackupKeepsThePreviousFile_data();
    void failedBackupKeepsThePreviousFile();
    void commandLineBackup();
    void clearTakesTheFirstAndLastSecond();
    void initialiseTheLogAlone();
    void initialiseFailureLeavesEveryTable();
    void compactTwiceWithAnOldWorkFile();
    void compactRefusedWhileAnotherProgramHoldsTheFile();
    void restoreRoundTrip();
    void restoreRefusesAFileThatIsNoDatabase();
    void restoreRefusedWhileTheDatabaseIsInUse();
};

void TestDatabaseCopy::backupWhileAnotherConnectionWrites()
{
    TestFolder f;
    addRecords(f.dm(), 30000);
    const QString source = f.path(Catalogue::WeighingFile);
    const QString target = f.path(u"backup/copy.mdb"_s);
    QList<int> progress;

    Writer writer(source);
    QTRY_VERIFY(writer.committed() > 20);
    const int before = writer.committed();
    const DatabaseCopy::Copied copied =
        DatabaseCopy::backup(source, target, [&](int percent) { progress.append(percent); });
    writer.stop();

    QCOMPARE(DatabaseCopy::verify(target), copied.records);
    QVERIFY(copied.records >= 30000 + before);
    QVERIFY(copied.records <= 30000 + writer.committed());
    // Every record up to the last one in the copy is there: a consistent cut, not a mix of pages.
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(target).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT max(编号), count(*) FROM weight", -1, &stmt, nullptr);
    QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int64(stmt, 0), sqlite3_column_int64(stmt, 1));
    sqlite3_finalize(stmt);
    sqlite3_close(db);

    QVERIFY(progress.size() > 2);
    QCOMPARE(progress.last(), 100);
    QCOMPARE(leftovers(f.path(u"backup"_s), {u"copy.mdb"_s}), QStringList());
}

void TestDatabaseCopy::failedBackupKeepsThePreviousFile_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("cause");
    QTest::newRow("source is no database") << u"garbage.dll"_s << u"backup/2026-05.mdb"_s << u"无法备份"_s;
    QTest::newRow("source without the weighing tables") << u"Para.wdv"_s << u"backup/2026-05.mdb"_s
                                                        << u"不是本系统的称重数据库"_s;
    QTest::newRow("missing target folder") << u"Pcomm.dll"_s << u"nowhere/2026-05.mdb"_s << u"不存在"_s;
    QTest::newRow("target is a folder") << u"Pcomm.dll"_s << u"backup"_s << u"是一个文件夹"_s;
}

void TestDatabaseCopy::failedBackupKeepsThePreviousFile()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, cause);
    TestFolder f;
    QFile garbage(f.path(u"garbage.dll"_s));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    const QString previous = f.path(u"backup/2026-05.mdb"_s);
    DatabaseCopy::backup(f.path(Catalogue::WeighingFile), previous);
    const QByteArray old = contents(previous);

    try {
        DatabaseCopy::backup(f.path(source), f.path(target));
        QFAIL("the copy should have failed");
    } catch (const AppError& e) {
        QVERIFY2(e.text().contains(cause), qPrintable(e.text()));
    }
    QCOMPARE(contents(previous), old);
    QCOMPARE(leftovers(f.path(u"backup"_s), {u"2026-05.mdb"_s}), QStringList());
}

void TestDatabaseCopy::commandLineBackup()
{
    TestFolder f;
    addRecords(f.dm(), 3);
    QString output, errors;
    QTextStream out(&output), err(&errors);
    QCOMPARE(Maintenance::backupCommand(f.folder(), {}, QDate(2026, 12, 10), out, err), 0);
    const QString monthly = f.path(u"backup/2026-12.mdb"_s);
    QCOMPARE(output, QDir::toNativeSeparators(monthly) + u"\t3\n"_s);
    QCOMPARE(DatabaseCopy::verify(monthly), 3);

    output.clear();
    const QByteArray old = contents(monthly);
    QCOMPARE(Maintenance::backupCommand(f.folder(), f.path(u"missing/x.mdb"_s), QDate(2026, 12, 10), out, err), 1);
    QVERIFY(errors.startsWith(u"weight: "_s));
    QVERIFY(output.isEmpty());
    QCOMPARE(contents(monthly), old);
}

void TestDatabaseCopy::clearTakesTheFirstAndLastSecond()
{
    TestFolder f;
    const QDate jan1(2026, 1, 1), jan31(2026, 1, 31);
    addRecords(f.dm(), 1, QDateTime(jan1.addDays(-1), QTime(23, 59, 59)));
    addRecords(f.dm(), 1, QDateTime(jan1, QTime(0, 0, 0)));
    addRecords(f.dm(), 1, QDateTime(jan31, QTime(23, 59, 59)));
    addRecords(f.dm(), 1, QDateTime(jan31.addDays(1), QTime(0, 0, 0)));
    Sql::exec(f.dm().weightdatabase(), u"INSERT INTO weight (车号, 皮重) VALUES ('待', 900)"_s);

    // From after to: nothing.
    Maintenance::clearRecords(f.dm(), QDateTime(jan31, QTime(23, 59, 59)), QDateTime(jan1, QTime(0, 0, 0)));
    QCOMPARE(f.count(u"weight"_s), 5);
    Maintenance::clearRecords(f.dm(), QDateTime(jan1, QTime(0, 0, 0)), QDateTime(jan31, QTime(23, 59, 59)));
    QCOMPARE(f.count(u"weight"_s), 3);
    QCOMPARE(f.count(u"weight"_s, u"毛重时间 BETWEEN '2026-01-01 00:00:00' AND '2026-01-31 23:59:59'"_s), 0);
    QCOMPARE(f.count(u"weight"_s, u"车号 = '待'"_s), 1);
}

void TestDatabaseCopy::initialiseTheLogAlone()
{
    TestFolder f;
    addRecords(f.dm(), 2);
    f.dm().WriteLog(u"admin"_s, u"登录"_s, {});
    QList<int> progress;
    Maintenance::initialise(f.dm(), {false, true, false, false}, [&](int value) { progress.append(value); });
    QCOMPARE(progress, (QList<int>{25, 50, 75, 100}));
    QCOMPARE(f.count(u"LogTab"_s), 0);
    QCOMPARE(f.count(u"weight"_s), 2);
}

void TestDatabaseCopy::initialiseFailureLeavesEveryTable()
{
    TestFolder f;
    addRecords(f.dm(), 2);
    f.dm().WriteLog(u"admin"_s, u"登录"_s, {});
    Sql::exec(f.dm().weightdatabase(), u"DROP TABLE TareWeight"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, Maintenance::initialise(f.dm(), {true, true, true, true}));
    QCOMPARE(f.count(u"weight"_s), 2);
    QCOMPARE(f.count(u"LogTab"_s), 1);
}

void TestDatabaseCopy::compactTwiceWithAnOldWorkFile()
{
    TestFolder f;
    addRecords(f.dm(), 5000);
    Sql::exec(f.dm().weightdatabase(), u"DELETE FROM weight WHERE 编号 > 10"_s);
    const QString database = f.path(Catalogue::WeighingFile);
    const qint64 before = QFileInfo(database).size();
    QFile stale(database + u'1');
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("left by an earlier attempt");
    stale.close();

    for (int round = 0; round < 2; ++round) {
        const Maintenance::Compaction result = Maintenance::compact(f.dm());
        QCOMPARE(result.outcome, Maintenance::CompactOutcome::Compacted);
        QVERIFY(!QFileInfo::exists(database + u'1'));
        // The program's connection works on the compacted file.
        QCOMPARE(f.count(u"weight"_s), 10);
        f.dm().WriteLog(u"admin"_s, u"压缩数据"_s, {});
    }
    QVERIFY(QFileInfo(database).size() < before / 2);
    QCOMPARE(DatabaseCopy::verify(database), 10);
    QCOMPARE(f.dm().open(), DataModule::OpenResult::Ok);
}

void TestDatabaseCopy::compactRefusedWhileAnotherProgramHoldsTheFile()
{
    TestFolder f;
    addRecords(f.dm(), 3);
    const QString database = f.path(Catalogue::WeighingFile);
    QProcess other;
    other.start(u"sqlite3"_s, {database});
    QVERIFY(other.waitForStarted());
    other.write("SELECT count(*) FROM weight;\n");
    QVERIFY(other.waitForReadyRead());
    const QByteArray before = contents(database);

    const Maintenance::Compaction result = Maintenance::compact(f.dm());
    QCOMPARE(result.outcome, Maintenance::CompactOutcome::Failed);
    QCOMPARE(contents(database), before);
    QVERIFY(!QFileInfo::exists(database + u'1'));
    QCOMPARE(f.count(u"weight"_s), 3);

    other.closeWriteChannel();
    QVERIFY(other.waitForFinished());
    QCOMPARE(Maintenance::compact(f.dm()).outcome, Maintenance::CompactOutcome::Compacted);
}

void TestDatabaseCopy::restoreRoundTrip()
{
    TestFolder f;
    addRecords(f.dm(), 4);
    const QString monthly = f.path(u"backup/2026-05.mdb"_s);
    Maintenance::backupWeighing(f.dm(), monthly);
    addRecords(f.dm(), 6);
    f.dm().close();

    const QList<RestoreJob::Backup> listed = RestoreJob::findBackups(f.folder());
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].file, monthly);
    QCOMPARE(listed[0].records, 4);

    const RestoreJob::Restored restored =
        RestoreJob::restore(f.folder(), monthly, QDateTime(QDate(2026, 5, 2), QTime(9, 30, 5)));
    QCOMPARE(restored.records, 4);
    QCOMPARE(restored.previous, f.path(u"backup/Restore26_05_02_09_30_05.MDB"_s));
    QCOMPARE(DatabaseCopy::verify(f.path(Catalogue::WeighingFile)), 4);
    QCOMPARE(DatabaseCopy::verify(restored.previous), 10);
    QCOMPARE(RestoreJob::findBackups(f.folder()).size(), 2);
    QCOMPARE(f.dm().open(), DataModule::OpenResult::Ok);
    QCOMPARE(f.count(u"weight"_s), 4);
}

void TestDatabaseCopy::restoreRefusesAFileThatIsNoDatabase()
{
    TestFolder f;
    const QString database = f.path(Catalogue::WeighingFile);
    f.dm().close();
    const QByteArray before = contents(database);
    const QString foreign = f.path(u"backup/foreign.mdb"_s);
    QFile::copy(f.path(Catalogue::ParametersFile), foreign);

    const QList<RestoreJob::Backup> listed = RestoreJob::findBackups(f.folder());
    QCOMPARE(listed.size(), 1);
    QVERIFY(!listed[0].records);
    QVERIFY_THROWS_EXCEPTION(DbError, RestoreJob::restore(f.folder(), foreign, QDateTime::currentDateTime()));
    QCOMPARE(contents(database), before);
    QCOMPARE(leftovers(f.path(u"backup"_s), {u"foreign.mdb"_s}), QStringList());
}

void TestDatabaseCopy::restoreRefusedWhileTheDatabaseIsInUse()
{
    TestFolder f;
    const QString monthly = f.path(u"backup/2026-05.mdb"_s);
    Maintenance::backupWeighing(f.dm(), monthly);
    addRecords(f.dm(), 2);
    f.dm().close();
    QProcess station;
    station.start(u"sqlite3"_s, {f.path(Catalogue::WeighingFile)});
    QVERIFY(station.waitForStarted());
    station.write("SELECT count(*) FROM weight;\n");
    QVERIFY(station.waitForReadyRead());

    QVERIFY_THROWS_EXCEPTION(FileError, RestoreJob::restore(f.folder(), monthly, QDateTime::currentDateTime()));
    QCOMPARE(DatabaseCopy::verify(f.path(Catalogue::WeighingFile)), 2);
    station.closeWriteChannel();
    QVERIFY(station.waitForFinished());
}

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "tst_databasecopy.moc"
