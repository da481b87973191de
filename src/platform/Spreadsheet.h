#pragma once

#include "AppError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

/** The spreadsheet application failed: it is missing or hung, or a workbook could not be used. */
class SpreadsheetError final : public AppError
{
public:
    using AppError::AppError;
};

/**
 * One workbook held open in the spreadsheet application. Worksheets, rows and columns count from 1, as
 * in the application. Every failure throws SpreadsheetError; the file changes only through save().
 * Destroying the workbook closes it without saving and quits the application that held it.
 */
class Workbook
{
public:
    virtual ~Workbook() = default;

    virtual int sheetCount() = 0;
    /**
     * Writes texts into a worksheet from (row, column) on, one list per row; every written cell gets the
     * font size (0: fonts as they are). Texts that look like numbers or dates stay texts. Cells outside
     * the rows are untouched.
     */
    virtual void writeCells(int sheet, int row, int column, const QList<QStringList>& rows, double fontSize) = 0;
    /** The text a cell shows. */
    virtual QString cellText(int sheet, int row, int column) = 0;
    /** Saves the workbook in its own format (.xls stays .xls); a read-only or locked file throws. */
    virtual void save() = 0;
    /**
     * Prints one worksheet with the application's default settings on the default printer; when the
     * system has no printer, writes it as a PDF file to `pdfFile`. Returns the printer's name or the file.
     */
    virtual QString printSheet(int sheet, const QString& pdfFile) = 0;
};

/** The spreadsheet application: each workbook it opens runs in an instance of its own. */
class Spreadsheet
{
public:
    virtual ~Spreadsheet() = default;
    /** Opens an existing workbook (.xls, .xlsx, .ods); throws SpreadsheetError. */
    virtual std::unique_ptr<Workbook> open(const QString& path) = 0;

    /** The universal-ticket workbook held open for printing tickets; null while none is held. */
    Workbook* ticketWorkbook() const { return m_ticketWorkbook.get(); }
    void holdTicketWorkbook(std::unique_ptr<Workbook> workbook) { m_ticketWorkbook = std::move(workbook); }
    /** Closes the held workbook without saving and quits its application, so the file is free. */
    void releaseTicketWorkbook() { m_ticketWorkbook.reset(); }

private:
    std::unique_ptr<Workbook> m_ticketWorkbook;
};
