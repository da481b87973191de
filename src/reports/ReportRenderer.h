#pragma once

#include "PreparedReport.h"

#include <optional>

class QPainter;
class QPagedPaintDevice;

/** Draws prepared pages; the same drawing serves the preview, printers, PDF and pictures. */
namespace ReportRenderer {

/** Draws one page with the painter's origin at the paper's top left, at `dotsPerMm` device dots. */
void drawPage(QPainter& painter, const PreparedPage& page, double dotsPerMm);

/**
 * Draws every page on a paged device (a printer or a PDF writer), each page on paper of its own size
 * (asked for by the report's paper name when it has one). Returns the problem when the device cannot be
 * painted on.
 */
std::optional<QString> render(QPagedPaintDevice& device, const PreparedReport& report);

/** Draws every page fitted onto the paper the device is set up with. */
std::optional<QString> renderFitted(QPagedPaintDevice& device, const PreparedReport& report);

std::optional<QString> writePdf(const PreparedReport& report, const QString& file);

/** One page as a picture at `dpi`, on white. */
QImage pageImage(const PreparedPage& page, double dpi);

/**
 * Every page as a picture in the format of the file's suffix (png, jpg, bmp): the file itself for the
 * first page, "name_2.png" … for the following ones.
 */
std::optional<QString> writeImages(const PreparedReport& report, const QString& file, double dpi = 150);

} // namespace ReportRenderer
