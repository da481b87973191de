#pragma once

#include <QString>
#include <optional>

/**
 * Makes a complete new program folder: both databases with every table, the default record layout and
 * its input widths, the user admin, one selected indicator model, one deduction row of no deduction,
 * Option.ini, the folders the program writes into and the files it ships (the bell sound, …).
 */
namespace ProgramFolderSetup {

struct Options
{
    /** Port of the selected indicator model; empty for the system's first serial port. */
    QString port;
};

/** Returns the reason when the folder cannot be made; refuses to overwrite an existing database. */
std::optional<QString> create(const QString& folder, const Options& options = {});

} // namespace ProgramFolderSetup
