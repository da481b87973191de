#pragma once

#include "TestFolder.h"
#include "data/Sql.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantList>

/** Weighing records for the query tests: {车号, 品名, 皮重, 毛重, 净重, 毛重时间}, numbered 1, 2, … */
namespace QueryFixture {

using namespace Qt::Literals::StringLiterals;

inline const QList<QVariantList>& records()
{
    static const QList<QVariantList> rows{
        {u"鲁F12345"_s, u"豆油"_s, 10000, 30000, 20000, u"2026-12-05 10:00:00"_s},     // 1
        {u"鲁F12345"_s, u"大米"_s, 12000, 32000, 20000, u"2026-12-10 10:00:00"_s},     // 2
        {u"苏A00001"_s, u"豆油"_s, 9000, 0, 0, u"2026-12-15 10:00:00"_s},              // 3 pending
        {u"O'Brien"_s, u"a"_s, 1000.5, 2000.25, 999.75, u"2026-12-20 10:00:00"_s},      // 4
        {u"苏B22222"_s, u" b"_s, 500, 600, 100, u"2026-12-31 23:59:59"_s},              // 5
        {u"苏C33333"_s, u"大米"_s, 800, 900, 100, u"2026-11-30 23:59:59"_s},            // 6 out of December
        {u"100%_x"_s, u"%"_s, 1, 2, 1, u"2026-12-02 08:00:00"_s},                       // 7
    };
    return rows;
}

inline void store(TestFolder& t)
{
    for (const QVariantList& r : records())
        Sql::exec(t.dm().weightdatabase(),
                  QStringLiteral("INSERT INTO weight (车号, 品名, 皮重, 毛重, 净重, 毛重时间, 皮重时间) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {r[0].toString(), r[1].toString(), r[2], r[3], r[4], r[5], r[5]});
}

/** Rows of a CSV file as Python's csv module reads it (RFC 4180), or an empty list when it fails. */
inline QList<QStringList> readCsv(const QString& path)
{
    QProcess python;
    const QString script = QStringLiteral(
        "import csv,json,sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
        "    print(json.dumps(list(csv.reader(f))))\n");
    python.start(QStandardPaths::findExecutable(QStringLiteral("python3")), {QStringLiteral("-c"), script, path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return {};
    QList<QStringList> rows;
    const QJsonArray array = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    for (const QJsonValue& row : array) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells.append(cell.toString());
        rows.append(cells);
    }
    return rows;
}

/** Converts a document with LibreOffice into `format` (e.g. "csv", "txt") in `outDir`; the new file's path. */
inline QString convertWithLibreOffice(const QString& path, const QString& format, const QString& outDir)
{
    QProcess office;
    office.start(QStringLiteral("soffice"),
                 {QStringLiteral("-env:UserInstallation=file://") + outDir + QStringLiteral("/profile"),
                  QStringLiteral("--headless"), QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"),
                  outDir, path});
    if (!office.waitForFinished(120000))
        return {};
    const QString base = QFileInfo(path).completeBaseName();
    const QString extension = format.section(u':', 0, 0);
    return outDir + u'/' + base + u'.' + extension;
}

} // namespace QueryFixture
