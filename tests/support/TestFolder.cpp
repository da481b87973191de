#include "TestFolder.h"

#include "FakeSerialLine.h"

#include "data/ProgramFolderSetup.h"
#include "data/Sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

/** Set-up is done once per test process and copied: hashing the admin password takes a moment. */
QString templateFolder()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        const auto error = ProgramFolderSetup::create(dir.path());
        if (error)
            qFatal("cannot make a program folder: %s", qPrintable(*error));
        made = true;
    }
    return dir.path();
}

void copyTree(const QString& from, const QString& to)
{
    QDir source(from);
    QDir().mkpath(to);
    for (const QFileInfo& entry : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir())
            copyTree(entry.absoluteFilePath(), target);
        else
            QFile::copy(entry.absoluteFilePath(), target);
    }
}

} // namespace

TestFolder::TestFolder()
{
    copyTree(templateFolder(), m_dir.path());
    m_dm = std::make_unique<DataModule>(m_dir.path());
    if (m_dm->open() != DataModule::OpenResult::Ok)
        qFatal("cannot open the test program folder: %s", qPrintable(m_dm->lastOpenError()));
    m_ctx.reset(new AppContext{*m_dm, prompter, clock, shell, sound, ticketPrinter, spreadsheet, {}});
    m_ctx->makeSerialLine = [] { return std::make_unique<FakeSerialLine>(); };
    m_ctx->login.CurrentOperator = u"admin"_s;
}

int TestFolder::count(const QString& table, const QString& where)
{
    QString sql = u"SELECT count(*) FROM "_s + table;
    if (!where.isEmpty())
        sql += u" WHERE "_s + where;
    return Sql::scalar(m_dm->weightdatabase(), sql).toInt();
}

QStringList TestFolder::logActions()
{
    QStringList actions;
    QSqlQuery q = Sql::exec(m_dm->weightdatabase(), u"SELECT 操作类型 FROM LogTab ORDER BY 编号"_s);
    while (q.next())
        actions.append(q.value(0).toString());
    return actions;
}

void TestFolder::addUser(const QString& name, const QStringList& rights)
{
    QStringList columns{u"用户名称"_s};
    QStringList marks{u"?"_s};
    QVariantList values{name};
    for (const QString& right : rights) {
        columns.append(right);
        marks.append(u"?"_s);
        values.append(true);
    }
    Sql::exec(m_dm->weightdatabase(),
              u"INSERT INTO users (%1) VALUES (%2)"_s.arg(columns.join(u','), marks.join(u',')), values);
}
