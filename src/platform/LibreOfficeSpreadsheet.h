#pragma once

#include "Spreadsheet.h"

#include <functional>

/**
 * LibreOffice Calc running headless, driven through its UNO bridge by a small Python helper (the
 * `uno` module of the system's Python). Every workbook gets an office instance with a profile of its
 * own in a temporary folder; start-up, each request and shut-down are bounded by time-outs, and an
 * office that does not answer or does not end is killed.
 */
class LibreOfficeSpreadsheet final : public Spreadsheet
{
public:
    /** `defaultPrinter` names the printer a sheet goes to; empty: the sheet is written as a PDF file. */
    explicit LibreOfficeSpreadsheet(std::function<QString()> defaultPrinter);

    std::unique_ptr<Workbook> open(const QString& path) override;

    /** The office program found on this system; empty when LibreOffice is not installed. */
    static QString officeProgram();
    /** The Python interpreter that carries the `uno` module; empty when there is none. */
    static QString pythonProgram();

private:
    std::function<QString()> m_defaultPrinter;
};
