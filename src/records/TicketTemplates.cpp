#include "TicketTemplates.h"

#include "data/DataModule.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "reports/Fr3File.h"
#include "reports/Report.h"
#include "reports/Tickets.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

std::optional<QString> TicketTemplates::fileOfNode(const DataModule& dm, const QString& nodeText)
{
    if (nodeText == CurrentTicket)
        return Tickets::defaultTicketPath(dm);
    if (!Tickets::catalogueNames().contains(nodeText))
        return std::nullopt;
    return Tickets::templatePath(dm.ProgramFolder(), nodeText);
}

void TicketTemplates::setDefault(DataModule& dm, const QString& templateFile)
{
    IniFile(dm.iniPath()).write(Option::DefaultTicket(dm.ProgramFolder()), templateFile);
}

std::optional<QString> TicketTemplates::nameProblem(const QString& name)
{
    const QString trimmed = name.trimmed();
    static const QString forbidden = u"\\/:*?\"<>|"_s;
    if (trimmed.isEmpty())
        return u"磅单名称不能为空"_s;
    for (const QChar c : trimmed)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            return u"磅单名称“%1”含有文件名中不能使用的字符 \\ / : * ? \" < > |"_s.arg(trimmed);
    if (trimmed == u"."_s || trimmed == u".."_s)
        return u"“%1”不能作为磅单名称"_s.arg(trimmed);
    return std::nullopt;
}

namespace {

/** Writes the bytes through a temporary file, so a failed copy leaves the old template whole. */
std::optional<QString> replaceWith(const QByteArray& bytes, const QString& target)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return u"无法写入磅单文件%1：%2"_s.arg(target, file.errorString());
    return std::nullopt;
}

std::optional<QByteArray> readAll(const QString& source, QString& problem)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QFileInfo::exists(source) ? u"无法读取磅单文件%1：%2"_s.arg(source, file.errorString())
                                            : u"磅单文件%1不存在"_s.arg(source);
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

std::optional<QString> TicketTemplates::copy(const QString& source, const QString& target)
{
    QString problem;
    const std::optional<QByteArray> bytes = readAll(source, problem);
    if (!bytes)
        return problem;
    return replaceWith(*bytes, target);
}

std::optional<QString> TicketTemplates::import(const QString& chosen, const QString& target)
{
    QString problem;
    const std::optional<QByteArray> bytes = readAll(chosen, problem);
    if (!bytes)
        return problem;
    const Fr3File::Loaded loaded = Fr3File::parse(*bytes, chosen);
    if (!loaded.report)
        return loaded.problem + u"，没有导入"_s;
    return replaceWith(*bytes, target);
}

PreparedReport TicketTemplates::preview(DataModule& dm, const QString& templateFile)
{
    Report report;
    report.load(templateFile);
    report.setBaseFolder(dm.ProgramFolder());
    if (const std::optional<QSqlRecord> newest = Tickets::newestRecord(dm))
        report.setRows({*newest});
    report.setVariables(Tickets::variables(dm));
    PreparedReport prepared = report.prepare();
    prepared.paperName = Tickets::customPaperName(dm, report.layout().page);
    return prepared;
}
