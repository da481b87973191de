#include "Tickets.h"

#include "Report.h"
#include "data/DataModule.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

const QList<Tickets::Group>& Tickets::catalogue()
{
    static const QList<Group> groups{
        {u"横联"_s, {u"H标准磅单"_s, u"H金额磅单"_s, u"H扣率磅单"_s, u"H扣杂磅单"_s, u"H条码磅单"_s, u"H图片磅单"_s}},
        {u"竖联"_s, {u"S标准磅单"_s, u"S金额磅单"_s, u"S扣率磅单"_s, u"S扣杂磅单"_s, u"S单联标准磅单"_s}},
        {u"磅单纸张大小"_s, {u"D两等分"_s, u"D三等分"_s, u"D四等分"_s, u"D竖联"_s, u"POS58"_s, u"POS2000"_s, u"A4"_s}},
        {u"套打"_s,
         {u"T标准磅单"_s, u"T金额磅单"_s, u"T扣杂磅单"_s, u"T扣率磅单"_s, u"T两联"_s, u"T竖联"_s, u"T两等分"_s,
          u"T四等分"_s}},
        {u"其他"_s,
         {u"Code128防伪码磅单"_s, u"签字"_s, u"二次填充套打"_s, u"公式磅单"_s, u"自定义磅单1"_s, u"自定义磅单2"_s,
          u"多联"_s}},
    };
    return groups;
}

QStringList Tickets::catalogueNames()
{
    QStringList names;
    for (const Group& group : catalogue())
        names += group.templates;
    return names;
}

QString Tickets::templatePath(const QString& folder, const QString& name)
{
    return QDir(folder).filePath(Folder + u'/' + name + u".fr3"_s);
}

QString Tickets::defaultTicketPath(const DataModule& dm)
{
    // A path written on Windows keeps its backslashes in Option.ini.
    return IniFile(dm.iniPath()).read(Option::DefaultTicket(dm.ProgramFolder())).trimmed().replace(u'\\', u'/');
}

QString Tickets::resolveTemplate(const DataModule& dm, const QString& nameOrPath)
{
    if (catalogueNames().contains(nameOrPath) || nameOrPath == RecordReport)
        return dm.path(Folder + u'/' + nameOrPath + u".fr3"_s);
    return nameOrPath;
}

ReportVariables Tickets::variables(const DataModule& dm)
{
    const IniFile ini(dm.iniPath());
    const QString caption = ini.read(Option::ApplicationCaption);
    const bool kilograms = ini.read(Option::UnitKilograms);
    return [=](const QString& name) -> std::optional<QVariant> {
        if (name.compare(u"Caption"_s, Qt::CaseInsensitive) == 0)
            return caption;
        if (name.compare(u"Unit"_s, Qt::CaseInsensitive) == 0)
            return kilograms ? u"千克"_s : u"吨"_s;
        if (name.compare(u"UnitDivisor"_s, Qt::CaseInsensitive) == 0)
            return kilograms ? 1000 : 1;
        return std::nullopt;
    };
}

std::optional<QSqlRecord> Tickets::readRecord(DataModule& dm, const QString& recordNumber)
{
    bool ok = false;
    const qlonglong number = recordNumber.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    QSqlQuery query = Sql::exec(dm.weightdatabase(), u"SELECT * FROM weight WHERE 编号 = ?"_s, {number});
    if (!query.next())
        return std::nullopt;
    return query.record();
}

std::optional<QSqlRecord> Tickets::newestRecord(DataModule& dm)
{
    QSqlQuery query = Sql::exec(dm.weightdatabase(), u"SELECT * FROM weight ORDER BY 编号 DESC LIMIT 1"_s);
    if (!query.next())
        return std::nullopt;
    return query.record();
}

QString Tickets::customPaperName(const DataModule& dm, const ReportPage& page)
{
    const IniFile ini(dm.iniPath());
    bool widthOk = false;
    bool lengthOk = false;
    const double width = ini.read(Option::PaperWidth).trimmed().toDouble(&widthOk) * 10;
    const double length = ini.read(Option::PaperLength).trimmed().toDouble(&lengthOk) * 10;
    const auto near = [](double a, double b) { return qAbs(a - b) < 0.5; };
    const bool same = (near(page.paperWidth, width) && near(page.paperHeight, length))
                      || (near(page.paperWidth, length) && near(page.paperHeight, width));
    return widthOk && lengthOk && same ? ini.read(Option::PaperName).trimmed() : QString();
}

QString Tickets::reprintMark(int count)
{
    return u"补打（第%1次）"_s.arg(count);
}

Tickets::Prepared Tickets::prepare(DataModule& dm, const QString& recordNumber, const QString& templateFile,
                                   int reprint)
{
    if (recordNumber.trimmed().isEmpty())
        return {std::nullopt, u"没有选择要打印的称重记录"_s};
    const std::optional<QSqlRecord> record = readRecord(dm, recordNumber);
    if (!record)
        return {std::nullopt, u"没有找到编号为%1的称重记录"_s.arg(recordNumber.trimmed())};
    Report report;
    if (!report.load(templateFile))
        return {std::nullopt, report.problem()};
    report.setBaseFolder(dm.ProgramFolder());
    report.setRows({*record});
    report.setVariables(variables(dm));
    PreparedReport prepared = report.prepare();
    if (reprint > 0)
        prepared.stamp(reprintMark(reprint));
    prepared.title = u"磅单%1"_s.arg(recordNumber.trimmed());
    prepared.paperName = customPaperName(dm, report.layout().page);
    return {std::move(prepared), {}};
}
