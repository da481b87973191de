#pragma once

#include "Template.h"

#include <QStringList>
#include <optional>

/** Reading and writing templates in the XML layout of .fr3 files. */
namespace Fr3File {

struct Loaded
{
    /** Empty when the file could not be read as a template; `problem` says why, naming the file. */
    std::optional<ReportTemplate> report;
    QString problem;
    /** What the file holds outside the supported subset ("脚本", "TfrxChartView Chart1" …); it is skipped. */
    QStringList unsupported;
};

Loaded read(const QString& path);
Loaded parse(const QByteArray& xml, const QString& fileName);

/** Writes atomically; returns the problem, naming the file, when it cannot be written. */
std::optional<QString> write(const ReportTemplate& report, const QString& path);
QByteArray serialize(const ReportTemplate& report);

/** A number of the file: a comma is read as the decimal separator too; unreadable text gives `fallback`. */
double number(const QString& text, double fallback = 0);

} // namespace Fr3File
