#pragma once

#include "Template.h"

#include <QRectF>
#include <QSizeF>

/** One object placed on a prepared page: its texts are final, its place is in millimetres on the paper. */
struct PreparedObject
{
    ReportObject object;
    QRectF mm;
};

struct PreparedPage
{
    QSizeF sizeMm;
    QList<PreparedObject> objects;
};

/** The pages of a report over its data, ready for the preview, a printer or a file. */
struct PreparedReport
{
    QList<PreparedPage> pages;
    /** From the template; empty: the default printer. */
    QString printerName;
    QString title;
    /** The printer's paper form to ask for by name (a custom form of the same size); empty: by size. */
    QString paperName;
    /** Problems met while preparing (unknown columns, broken expressions, unsupported content). */
    QStringList warnings;

    /** Adds a text at the top right of every page (the reprint mark of a ticket). */
    void stamp(const QString& text);
    /** Pages (from 0) whose texts contain `text`, without regard to letter case. */
    QList<int> pagesContaining(const QString& text) const;
};
