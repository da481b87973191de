#pragma once

class DataModule;
class Prompter;

/**
 * Opens the data module; when a database file is missing or cannot be opened, shows the fixed message
 * and returns false (the program then ends without showing its main window).
 */
bool OpenDataModule(DataModule& dm, Prompter& prompter);
