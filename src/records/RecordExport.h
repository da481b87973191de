#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>

class QSqlDatabase;
struct RecordStatement;

/** The five file formats of the query window's export, in the order of its file filter. */
enum class ExportFormat { Excel, Csv, Html, Rtf, Text };

namespace RecordExport {

/** The save dialog's filter, one entry per format in enum order. */
QString fileFilter();
QString extension(ExportFormat format);
/** The format for a 0-based filter index; nothing for an index out of range. */
std::optional<ExportFormat> formatOfFilter(int index);
/** The format a file name's extension names (any letter case); nothing for another extension. */
std::optional<ExportFormat> formatOfPath(const QString& path);
/** The name with "." + the format's extension appended unless it already ends so (any letter case). */
QString withExtension(const QString& path, ExportFormat format);

/** Fills `row` with the next row's values and returns true; false when there are no more rows. */
using RowSource = std::function<bool(QVariantList& row)>;
/** Called every few hundred rows with the rows written so far; returning false cancels the export. */
using Progress = std::function<bool(qint64 rowsWritten)>;

/**
 * Writes the titles and every row into `path` in the format: an .xlsx workbook (numbers as numbers);
 * CSV with every value quoted, quotes doubled, CRLF rows and a UTF-8 byte-order mark; an HTML table;
 * an RTF table; or tab-separated text with CRLF rows (tabs and line breaks inside a value become
 * blanks). The file appears under its name only when complete: a cancelled or failed export leaves any
 * earlier file of that name as it was. Returns the number of rows written, or nothing when cancelled.
 * Throws FileError naming the file when it cannot be written.
 */
std::optional<qint64> write(ExportFormat format, const QString& path, const QStringList& titles,
                            const RowSource& rows, const Progress& progress = {});

/** Writes the records a statement selects, titled by their column names, as `write` does; throws DbError. */
std::optional<qint64> writeQuery(const QSqlDatabase& db, const RecordStatement& statement, ExportFormat format,
                                 const QString& path, const Progress& progress = {});

} // namespace RecordExport
