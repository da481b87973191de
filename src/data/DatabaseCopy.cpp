#include "DatabaseCopy.h"

#include "data/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace DatabaseCopy {

namespace {

/** A connection of the engine's own interface, apart from the program's Qt connections. */
class Connection final
{
public:
    Connection(const QString& file, int flags)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString cause = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close_v2(m_db);
            throw DbError(u"无法打开数据库文件 %1：%2"_s.arg(QDir::toNativeSeparators(file), cause));
        }
        // Other stations may be writing; wait for their transactions instead of failing at once.
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    /** Runs one statement with text parameters and returns the first column of every row. */
    QStringList rows(const QString& sql, const QStringList& values = {}) const
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            throw DbError(error());
        QList<QByteArray> bound;
        for (qsizetype i = 0; i < values.size(); ++i) {
            bound.append(values[i].toUtf8());
            sqlite3_bind_text(stmt, int(i + 1), bound.last().constData(), int(bound.last().size()), SQLITE_STATIC);
        }
        QStringList result;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            result.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw DbError(error());
        return result;
    }

private:
    sqlite3* m_db = nullptr;
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void checkTarget(const QString& target)
{
    const QFileInfo info(target);
    if (info.isDir())
        throw FileError(u"备份目标 %1 是一个文件夹，不是文件"_s.arg(native(target)));
    if (!QFileInfo(info.absolutePath()).isDir())
        throw FileError(u"目录 %1 不存在"_s.arg(native(info.absolutePath())));
}

void checkSource(const QString& source)
{
    if (!QFileInfo(source).isFile())
        throw FileError(u"数据库文件 %1 不存在"_s.arg(native(source)));
}

/** Forces a file's contents to the disk before it takes a database's name. */
void syncFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw FileError(u"无法写入 %1：%2"_s.arg(native(path), file.errorString()));
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced)
        throw FileError(u"无法写入 %1"_s.arg(native(path)));
}

/** Copies every page; when writers keep restarting the copy, the rest goes in one step under one lock. */
void copyPages(sqlite3_backup* backup, const Progress& progress)
{
    int pagesPerStep = 128;
    int restarts = 0;
    int lastRemaining = std::numeric_limits<int>::max();
    int busyWaits = 0;
    for (;;) {
        const int rc = sqlite3_backup_step(backup, restarts >= 2 ? -1 : pagesPerStep);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_OK && rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            throw DbError(QString::fromUtf8(sqlite3_errstr(rc)));
        if (rc != SQLITE_OK) {
            if (++busyWaits > 600)
                throw DbError(u"数据库一直被其他程序锁定"_s);
            QThread::msleep(50);
            continue;
        }
        const int total = sqlite3_backup_pagecount(backup);
        const int remaining = sqlite3_backup_remaining(backup);
        if (remaining > lastRemaining)
            ++restarts;
        lastRemaining = remaining;
        pagesPerStep = std::max(total / 100, 128);
        if (progress && total > 0)
            progress(int(qint64(total - remaining) * 100 / total));
    }
    if (progress)
        progress(100);
}

// Tables every weighing database of this program has had from its first version; a copy made before an
// upgrade added further tables is still ours (opening it brings it up to date).
QStringList weighingTables()
{
    return {u"weight"_s, u"structure"_s, u"users"_s, u"LogTab"_s};
}

qint64 countRecords(const Connection& db, const QString& file)
{
    const QStringList present = db.rows(u"SELECT name FROM sqlite_master WHERE type = 'table'"_s);
    for (const QString& table : weighingTables())
        if (!present.contains(table, Qt::CaseInsensitive))
            throw DbError(u"%1 不是本系统的称重数据库（缺少数据表 %2）"_s.arg(native(file), table));
    return db.rows(u"SELECT count(*) FROM weight"_s).value(0).toLongLong();
}

} // namespace

qint64 verify(const QString& file, Check check)
{
    checkSource(file);
    const Connection db(file, SQLITE_OPEN_READONLY);
    QStringList problems;
    try {
        problems = db.rows(check == Check::Full ? u"PRAGMA integrity_check"_s : u"PRAGMA quick_check"_s);
    } catch (const DbError& e) {
        throw DbError(u"%1 不是可用的数据库文件：%2"_s.arg(native(file), e.text()));
    }
    if (problems != QStringList{u"ok"_s})
        throw DbError(u"数据库文件 %1 已损坏：%2"_s.arg(native(file), problems.mid(0, 3).join(u"；"_s)));
    return countRecords(db, file);
}

qint64 recordCount(const QString& file)
{
    checkSource(file);
    const Connection db(file, SQLITE_OPEN_READONLY);
    return countRecords(db, file);
}

Copied backup(const QString& source, const QString& target, const Progress& progress)
{
    checkSource(source);
    checkTarget(target);
    const QFileInfo info(target);
    QTemporaryFile partial(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX.part"_s);
    if (!partial.open())
        throw FileError(u"无法在目录 %1 中写入：%2"_s.arg(native(info.absolutePath()), partial.errorString()));
    partial.close();

    {
        const Connection from(source, SQLITE_OPEN_READONLY);
        const Connection to(partial.fileName(), SQLITE_OPEN_READWRITE);
        sqlite3_backup* job = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
        if (!job)
            throw DbError(to.error());
        try {
            copyPages(job, progress);
        } catch (const DbError& e) {
            sqlite3_backup_finish(job);
            throw DbError(u"无法备份 %1：%2"_s.arg(native(source), e.text()));
        }
        if (sqlite3_backup_finish(job) != SQLITE_OK)
            throw DbError(u"无法写入 %1：%2"_s.arg(native(target), to.error()));
    }
    const qint64 records = verify(partial.fileName(), Check::Quick);
    replaceFile(partial.fileName(), target);
    return {target, records};
}

qint64 compactInto(const QString& source, const QString& work)
{
    checkSource(source);
    if (QFileInfo(work).isDir() || (QFileInfo::exists(work) && !QFile::remove(work)))
        throw FileError(u"无法删除上次留下的文件 %1"_s.arg(native(work)));
    try {
        {
            const Connection from(source, SQLITE_OPEN_READONLY);
            from.rows(u"VACUUM INTO ?"_s, {work});
        }
        syncFile(work);
        return verify(work, Check::Quick);
    } catch (...) {
        QFile::remove(work);
        throw;
    }
}

void replaceFile(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()),
                            error);
    if (error)
        throw FileError(u"无法把 %1 改名为 %2：%3"_s.arg(native(from), native(to), QString::fromLocal8Bit(error.message())));
}

bool openedByOtherProcess(const QString& file)
{
#ifdef Q_OS_LINUX
    const QString wanted = QFileInfo(file).canonicalFilePath();
    if (wanted.isEmpty())
        return false;
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QDir proc(u"/proc"_s);
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir fds(proc.filePath(pid + u"/fd"_s));
        for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            if (QFile::symLinkTarget(fds.filePath(fd)) == wanted)
                return true;
    }
#else
    Q_UNUSED(file);
#endif
    return false;
}

} // namespace DatabaseCopy
