#pragma once

#include <QString>

class DataModule;

/** The custom ticket paper of [zdypage]: a name and a size in centimetres, stored as typed. */
struct CustomPaper
{
    QString name;
    QString width;
    QString length;

    static CustomPaper read(const DataModule& dm);
    void save(DataModule& dm) const;

    /**
     * A length typed in centimetres as thousandths of a millimetre, as paper forms are sized: centimetres
     * × 100 to the nearest whole number, then × 100 (24.00 gives 240000). Throws ConversionError for a
     * text that is not a positive number.
     */
    static int thousandthsOfMm(const QString& centimetres);
};
