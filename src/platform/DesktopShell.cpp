#include "DesktopShell.h"

#include "platform/AppError.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

/** A program named without a folder: looked up on the path; on Linux the desktop's own tools stand in. */
bool startNamedProgram(const QString& name)
{
    QStringList candidates{name};
#ifndef Q_OS_WIN
    if (name.compare(u"calc.exe"_s, Qt::CaseInsensitive) == 0)
        candidates = {u"gnome-calculator"_s, u"kcalc"_s, u"galculator"_s, u"mate-calc"_s, u"xcalc"_s};
    else if (name.compare(u"notepad.exe"_s, Qt::CaseInsensitive) == 0)
        candidates = {u"gedit"_s, u"gnome-text-editor"_s, u"kate"_s, u"mousepad"_s, u"pluma"_s, u"xed"_s};
#endif
    for (const QString& candidate : candidates) {
        const QString program = QStandardPaths::findExecutable(candidate);
        if (!program.isEmpty())
            return QProcess::startDetached(program, {});
    }
    return false;
}

} // namespace

bool DesktopShell::open(const QString& path)
{
    if (path.startsWith(u"http://"_s, Qt::CaseInsensitive) || path.startsWith(u"https://"_s, Qt::CaseInsensitive))
        return QDesktopServices::openUrl(QUrl(path));
    const QFileInfo info(path);
    if (!info.exists())
        return !path.contains(u'/') && !path.contains(u'\\') && startNamedProgram(path);
    if (info.isExecutable() && !info.isDir())
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void DesktopShell::shutdownWindows(const QString& mode)
{
#ifdef Q_OS_WIN
    if (mode == u"reboot"_s)
        QProcess::startDetached(u"shutdown"_s, {u"/r"_s, u"/t"_s, u"0"_s});
    else if (mode == u"poweroff"_s)
        QProcess::startDetached(u"shutdown"_s, {u"/s"_s, u"/t"_s, u"0"_s});
#else
    if (mode == u"reboot"_s || mode == u"poweroff"_s)
        QProcess::startDetached(u"systemctl"_s, {mode});
#endif
}

QString DesktopShell::autostartFile(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/autostart/"_s + name +
           u".desktop"_s;
}

void DesktopShell::setAutorun(const QString& name, const QString& command, bool enabled)
{
    const QString file = autostartFile(name);
    if (!enabled) {
        if (QFileInfo::exists(file) && !QFile::remove(file))
            throw FileError(u"无法删除开机自动运行项 %1"_s.arg(file));
        return;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    const QByteArray entry = u"[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nTerminal=false\n"_s
                                 .arg(name, command)
                                 .toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(entry) < 0 || !out.commit())
        throw FileError(u"无法写入开机自动运行项 %1：%2"_s.arg(file, out.errorString()));
}

QStringList DesktopShell::inputMethods() const
{
    QStringList names;
    for (const char* variable : {"QT_IM_MODULE", "XMODIFIERS", "GTK_IM_MODULE"}) {
        QString value = qEnvironmentVariable(variable);
        value.remove(u"@im="_s);
        if (!value.isEmpty() && !names.contains(value))
            names.append(value);
    }
    for (const QString& known : {u"fcitx5"_s, u"fcitx"_s, u"ibus"_s})
        if (!QStandardPaths::findExecutable(known).isEmpty() && !names.contains(known))
            names.append(known);
    return names;
}

namespace {

qint64 meminfoKb(const QByteArray& key)
{
    QFile file(u"/proc/meminfo"_s);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace

qint64 DesktopShell::availableMemory() const
{
    return meminfoKb("MemAvailable") * 1024;
}

int DesktopShell::freeMemoryPercent() const
{
    const qint64 total = meminfoKb("MemTotal");
    return total > 0 ? int(meminfoKb("MemAvailable") * 100 / total) : 0;
}

bool DesktopShell::capsLockOn() const
{
    const QDir leds(u"/sys/class/leds"_s);
    for (const QString& entry : leds.entryList({u"*capslock*"_s}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile brightness(leds.filePath(entry) + u"/brightness"_s);
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

void DesktopShell::endProgram()
{
    QCoreApplication::exit(0);
    // Ending from inside a modal dialog's loop: leave once every loop has returned.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

QString DesktopShell::programFile() const
{
    return QCoreApplication::applicationFilePath();
}
