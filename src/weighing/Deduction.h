#pragma once

#include <QString>
#include <QStringList>

class DataModule;

/**
 * The deduction setting as the deduction window keeps it: `Agio` holds every value ever saved (the newest
 * row is the one in force), `AgioName` every kind ever chosen.
 */
namespace Deduction {

/** The four kinds in window order: 毛重折扣, 毛重比例, 净重折扣, 净重比例. */
const QStringList& kinds();

/** The value last saved for a kind, as text ("98", "-300"); empty when the kind was never saved. */
QString newestValueOf(DataModule& dm, const QString& kind);
/** The kind chosen last; empty when none was ever chosen. */
QString newestChosenKind(DataModule& dm);

/** The value field's text as a number; throws ConversionError when it is empty or not a number. */
double valueFromText(const QString& text);

/**
 * Appends the setting to `Agio` and `AgioName` and writes the log entry (the kind as action), all in
 * one transaction: a failure leaves neither table changed. Throws DbError.
 */
void save(DataModule& dm, const QString& operatorName, const QString& kind, double value);

} // namespace Deduction
