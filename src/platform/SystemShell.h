#pragma once

#include <QString>
#include <QStringList>

/**
 * What the program asks of the operating system: opening documents and programs, restarting and
 * powering off, the autorun entry, input methods, memory figures and ending the program.
 */
class SystemShell
{
public:
    virtual ~SystemShell() = default;

    /** Opens a document or starts a program with the system's "open" action; false when that failed. */
    virtual bool open(const QString& path) = 0;
    /** Asks the system to restart ("reboot") or power off ("poweroff"); any other mode does nothing. */
    virtual void shutdownWindows(const QString& mode) = 0;
    /** Creates or removes the entry that starts `command` when the user logs on. */
    virtual void setAutorun(const QString& name, const QString& command, bool enabled) = 0;
    virtual QStringList inputMethods() const = 0;
    /** Available physical memory in bytes and the free percentage; zeros when unknown. */
    virtual qint64 availableMemory() const = 0;
    virtual int freeMemoryPercent() const = 0;
    /** State of the Caps Lock key where the system can tell it. */
    virtual bool capsLockOn() const = 0;
    /** Ends the program at once: no question, no backup, no log entry. */
    virtual void endProgram() = 0;
    /** Full path of the program file. */
    virtual QString programFile() const = 0;
};
