#pragma once

#include "SerialLine.h"

#include <QString>
#include <functional>
#include <memory>

class CaptureCard;
class Clock;
class DataModule;
class Prompter;
class Sound;
class Spreadsheet;
class SystemShell;
class TicketPrinter;

/** Who is on duty; written by the login and log-off, read by every window that logs. */
struct LoginState
{
    QString CurrentOperator;
    QString CurrentImeName;
};

/**
 * The services every window receives. The program builds it in main with the real implementations;
 * tests build it with fakes. Nothing here is owned: the builder keeps the services alive.
 */
struct AppContext
{
    DataModule& dm;
    Prompter& prompter;
    Clock& clock;
    SystemShell& shell;
    Sound& sound;
    TicketPrinter& ticketPrinter;
    Spreadsheet& spreadsheet;
    LoginState login;
    /** Makes a serial line for a window that talks to the indicator; the window owns the line. */
    std::function<std::unique_ptr<SerialLine>()> makeSerialLine = makeSystemSerialLine;
    /** Makes the capture card of a weighing station with the video option on; empty: no card installed. */
    std::function<std::unique_ptr<CaptureCard>()> makeCaptureCard = nullptr;
};
