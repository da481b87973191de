#pragma once

#include "PreparedReport.h"
#include "Expressions.h"

#include <QSqlRecord>
#include <QStringList>
#include <optional>

class DataModule;

/** Weighing tickets: the template catalogue, the default ticket and a record's ticket prepared. */
namespace Tickets {

inline const QString Folder = QStringLiteral("磅单");
inline const QString RecordReport = QStringLiteral("weight");

struct Group
{
    QString name;
    QStringList templates;
};

/** The fixed ticket catalogue: five groups of template names, in the order they are offered. */
const QList<Group>& catalogue();
/** Every template name of the catalogue, in order. */
QStringList catalogueNames();

/** program folder/磅单/name.fr3 */
QString templatePath(const QString& folder, const QString& name);
/** [默认磅单] 路径, with the program folder's 磅单/H标准磅单.fr3 when it is not set. */
QString defaultTicketPath(const DataModule& dm);
/** A catalogue name (or the record report's) as its file in the program folder; any other text as a path. */
QString resolveTemplate(const DataModule& dm, const QString& nameOrPath);

/**
 * The variables every ticket has: Caption (the site's name, [Application] Caption), Unit ("千克" or
 * "吨", as [Unit] Value) and UnitDivisor (what the weight is divided by for tonnes).
 */
ReportVariables variables(const DataModule& dm);

/** The row of `weight` with that record number; none when there is no such record. Throws DbError. */
std::optional<QSqlRecord> readRecord(DataModule& dm, const QString& recordNumber);
/** The newest record, the data the ticket designer prepares its templates over; none for an empty table. */
std::optional<QSqlRecord> newestRecord(DataModule& dm);

struct Prepared
{
    /** Empty when nothing can be printed; `problem` says why. */
    std::optional<PreparedReport> report;
    QString problem;
};

/**
 * Record `recordNumber`'s ticket with the template file: the record is frxDBDataset1. A reprint carries
 * the mark "补打" with its count on every page. A missing record or a template that cannot be read
 * gives a problem naming it. Throws DbError when the database cannot be read.
 */
Prepared prepare(DataModule& dm, const QString& recordNumber, const QString& templateFile, int reprint = 0);

/** [zdypage] Name when the page has the custom paper's size ([zdypage] PaperWidth × PaperLength, in cm). */
QString customPaperName(const DataModule& dm, const ReportPage& page);

/** The reprint mark: "补打（第2次）". */
QString reprintMark(int count);

} // namespace Tickets
