#pragma once

#include <QString>

/** The outcome of printing one weighing ticket, for the status bar. */
struct TicketResult
{
    bool printed = false;
    /** Where it went: the printer's name, or the PDF file written when no printer exists. */
    QString destination;
    /** Why nothing was printed, when printed is false. */
    QString problem;
};

/**
 * Prints the weighing ticket of one record of `weight`, found by its record number. Does not refresh
 * anything and writes no log entry; throws DbError when the record cannot be read.
 */
class TicketPrinter
{
public:
    virtual ~TicketPrinter() = default;
    virtual TicketResult PrintTicket(const QString& recordNumber) = 0;
    /** A reprint (F9), marked as such where the ticket kind can; the caller counts it afterwards. */
    virtual TicketResult ReprintTicket(const QString& recordNumber) { return PrintTicket(recordNumber); }
};
