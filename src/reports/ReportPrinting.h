#pragma once

#include "PreparedReport.h"

#include <optional>

class QPrinter;
class QWidget;

/** Printing prepared reports on the system's printers. */
namespace ReportPrinting {

/**
 * The printer to use: `wanted` when it is installed, else the system's default printer; empty when
 * there is no printer at all.
 */
QString choosePrinter(const QString& wanted);

/** Prints every page without a dialog on the report's printer (or the default one); returns the problem. */
std::optional<QString> print(const PreparedReport& report, const QString& printerName = {});

/** Prints on a printer set up by the caller (after a print dialog). */
std::optional<QString> print(const PreparedReport& report, QPrinter& printer);

} // namespace ReportPrinting
