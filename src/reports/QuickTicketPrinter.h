#pragma once

#include "platform/TicketPrinter.h"

#include <QStringList>
#include <functional>

class DataModule;

/**
 * The quick ticket: the default ticket template ([默认磅单] 路径) printed over the record, the record
 * being frxDBDataset1. A reprint carries "补打" and its count.
 *
 * It prints without a dialog on the printer the template names, else on the printer of [Print] Printer,
 * else on the system's default printer. When there is no printer to use, the ticket is written as a
 * PDF file into the folder 磅单输出 of the program folder, named by record number and time.
 */
class QuickTicketPrinter final : public TicketPrinter
{
public:
    /** The printers of the system, by name, and the default one (empty when none is set). */
    struct Printers
    {
        QStringList available;
        QString defaultPrinter;
    };
    static Printers systemPrinters();

    inline static const QString OutputFolder = QStringLiteral("磅单输出");

    explicit QuickTicketPrinter(DataModule& dm, std::function<Printers()> printers = &systemPrinters);
    QuickTicketPrinter(const QuickTicketPrinter&) = delete;
    QuickTicketPrinter& operator=(const QuickTicketPrinter&) = delete;

    /**
     * A record that does not exist, or a default ticket that is missing or no template, gives
     * printed = false and the problem; printed is true with the printer's name or the PDF file as
     * destination otherwise. Throws DbError when the database cannot be read.
     */
    TicketResult PrintTicket(const QString& recordNumber) override;
    TicketResult ReprintTicket(const QString& recordNumber) override;

    /** The first of the wanted printers that is installed, else the default printer; empty when none. */
    static QString choosePrinter(const QStringList& wanted, const Printers& printers);

private:
    TicketResult print(const QString& recordNumber, bool reprint);
    QString pdfFileFor(const QString& recordNumber) const;

    DataModule& m_dm;
    std::function<Printers()> m_printers;
};
