#pragma once

#include "SystemShell.h"

/**
 * The running system: the desktop's "open" action, systemctl for restart and power-off, an XDG autostart
 * entry for autorun, /proc and /sys for memory and key state on Linux.
 */
class DesktopShell final : public SystemShell
{
public:
    bool open(const QString& path) override;
    void shutdownWindows(const QString& mode) override;
    void setAutorun(const QString& name, const QString& command, bool enabled) override;
    QStringList inputMethods() const override;
    qint64 availableMemory() const override;
    int freeMemoryPercent() const override;
    bool capsLockOn() const override;
    void endProgram() override;
    QString programFile() const override;

    /** Path of the autostart entry for a name (in the user's XDG config folder). */
    static QString autostartFile(const QString& name);
};
