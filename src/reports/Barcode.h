#pragma once

#include <QRectF>
#include <QString>

class QPainter;

/** Barcodes and QR codes through libzint, drawn as vectors so they stay sharp at any resolution. */
namespace Barcode {

/** The zint symbology of a BarType of the template files ("bcCode128", "bcCodeQR" …); 0 when unknown. */
int symbology(const QString& barType);

/**
 * Draws `data` into `box` (device units) in black. Returns the problem (unknown type, data the code
 * cannot hold such as Chinese in Code 128) and draws nothing then.
 */
QString draw(QPainter& painter, const QRectF& box, const QString& barType, const QString& data);

/** The problem draw() would report, without drawing; empty when the data can be encoded. */
QString check(const QString& barType, const QString& data);

} // namespace Barcode
