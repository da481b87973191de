#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

/** The options of `weight --folder DIR --export OUT …`, as typed. */
struct ExportCommandArguments
{
    QString folder;
    QString out;
    QString from;
    QString to;
    QString timeColumn = QStringLiteral("毛重时间");
    /** "NAME=V1,V2" each. */
    QStringList fields;
    bool anyField = false;
};

/**
 * Writes the records the query window would find for these conditions (descending) into `out`, in the
 * format of its extension, and prints the number of records on `out`'s stream. Returns the exit code:
 * 0 done; 2 for a wrong argument (unknown extension, field or time column, bad time), 1 when the folder,
 * the database or the file fails; on any error the message goes to `err` and no file is written.
 */
int runExportCommand(const ExportCommandArguments& args, QTextStream& out, QTextStream& err);
