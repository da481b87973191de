#pragma once

#include "platform/TicketPrinter.h"

#include <QStringList>
#include <functional>

class DataModule;

/**
 * The weighing ticket drawn by the program itself: title, record number, plate, every visible field of
 * the record layout in layout order, gross, tare, net, deduction, operators and times, on the custom
 * ticket paper of Option.ini ([zdypage], 240 × 95 mm unless set).
 *
 * It prints on the printer named by [Print] Printer, or on the system's default printer when that is
 * empty or names no installed printer. When there is no printer to use, the ticket is written as a PDF
 * file into the folder 磅单输出 of the program folder, named by record number and time.
 */
class SimpleTicketPrinter final : public TicketPrinter
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

    explicit SimpleTicketPrinter(DataModule& dm, std::function<Printers()> printers = &systemPrinters);
    SimpleTicketPrinter(const SimpleTicketPrinter&) = delete;
    SimpleTicketPrinter& operator=(const SimpleTicketPrinter&) = delete;

    /**
     * A record that does not exist gives printed = false and a problem naming the number; printed is
     * true with the printer's name or the PDF file as destination otherwise. Throws DbError when the
     * database cannot be read.
     */
    TicketResult PrintTicket(const QString& recordNumber) override;

    /** The printer a ticket goes to now (Option.ini is read every time); empty: a PDF file. */
    QString printerName() const;

    /** The configured printer if installed, else the default printer; empty when neither exists. */
    static QString choosePrinter(const QString& configured, const Printers& printers);

private:
    QString pdfFileFor(const QString& recordNumber) const;

    DataModule& m_dm;
    std::function<Printers()> m_printers;
};
