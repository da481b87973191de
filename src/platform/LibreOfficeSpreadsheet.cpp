#include "LibreOfficeSpreadsheet.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int StartTimeoutMs = 60'000;
constexpr int RequestTimeoutMs = 120'000;
constexpr int QuitTimeoutMs = 10'000;
// The office ends with this code after it has made a new profile and expects to be started again.
constexpr int RestartExitCode = 81;
constexpr int MaxRestarts = 3;

const QString NotInstalled = u"没有找到电子表格程序LibreOffice Calc，无法使用电子表格工作簿"_s;
const QString NoAnswer = u"电子表格程序LibreOffice没有响应"_s;

/**
 * The office turns file URLs into file names by the character set of its locale, while file names here
 * are UTF-8: under a locale of another character set (such as "C") a name with Chinese characters would
 * not be found.
 */
QProcessEnvironment officeEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
#ifdef Q_OS_UNIX
    QString ctype = env.value(u"LC_ALL"_s);
    if (ctype.isEmpty())
        ctype = env.value(u"LC_CTYPE"_s, env.value(u"LANG"_s));
    const bool utf8 = ctype.contains(u"UTF-8"_s, Qt::CaseInsensitive) || ctype.contains(u"utf8"_s, Qt::CaseInsensitive);
    if (!utf8) {
        env.remove(u"LC_ALL"_s);
        env.insert(u"LC_CTYPE"_s, u"C.UTF-8"_s);
    }
#endif
    return env;
}

QString bridgeScript()
{
    QFile file(u":/platform/calc_bridge.py"_s);
    if (!file.open(QIODevice::ReadOnly))
        throw SpreadsheetError(u"程序文件不完整：缺少电子表格连接程序"_s);
    return QString::fromUtf8(file.readAll());
}

/** One headless office process with its own profile and the helper connected to it. */
class OfficeInstance final
{
public:
    OfficeInstance()
    {
        const QString office = LibreOfficeSpreadsheet::officeProgram();
        const QString python = LibreOfficeSpreadsheet::pythonProgram();
        if (office.isEmpty() || python.isEmpty())
            throw SpreadsheetError(NotInstalled);
        if (!m_dir.isValid())
            throw SpreadsheetError(u"无法建立电子表格程序的临时目录：%1"_s.arg(m_dir.errorString()));
        const QString pipe = u"weight_%1_%2"_s.arg(QCoreApplication::applicationPid())
                                 .arg(QRandomGenerator::global()->generate64(), 0, 16);
        m_officeArguments = {u"--headless"_s, u"--invisible"_s, u"--norestore"_s, u"--nologo"_s,
                             u"--nodefault"_s, u"--nolockcheck"_s,
                             u"-env:UserInstallation="_s + QUrl::fromLocalFile(m_dir.filePath(u"profile"_s)).toString(),
                             u"--accept=pipe,name=%1;urp;"_s.arg(pipe)};
        m_officeProgram = office;
        const QString script = m_dir.filePath(u"calc_bridge.py"_s);
        QFile out(script);
        if (!out.open(QIODevice::WriteOnly) || out.write(bridgeScript().toUtf8()) < 0)
            throw SpreadsheetError(u"无法写入电子表格连接程序：%1"_s.arg(out.errorString()));
        out.close();

        startOffice();
        m_bridge.setProcessEnvironment(officeEnvironment());
        m_bridge.setProgram(python);
        m_bridge.setArguments({script, u"pipe,name="_s + pipe});
        m_bridge.start();
        try {
            waitUntilConnected();
        } catch (...) {
            kill();
            throw;
        }
    }

    ~OfficeInstance()
    {
        if (m_bridge.state() == QProcess::Running) {
            try {
                request({{u"cmd"_s, u"quit"_s}}, QuitTimeoutMs);
            } catch (const SpreadsheetError&) {
                // An office that cannot quit by itself is ended below.
            }
            m_bridge.closeWriteChannel();
            if (!m_bridge.waitForFinished(QuitTimeoutMs))
                m_bridge.kill();
        }
        if (m_office.state() != QProcess::NotRunning && !m_office.waitForFinished(QuitTimeoutMs))
            m_office.kill();
        m_bridge.waitForFinished(1000);
        m_office.waitForFinished(1000);
    }

    OfficeInstance(const OfficeInstance&) = delete;
    OfficeInstance& operator=(const OfficeInstance&) = delete;

    /** Sends one request and returns its answer; a refusal throws with the office's reason. */
    QJsonObject request(const QJsonObject& req, int timeoutMs = RequestTimeoutMs)
    {
        if (m_bridge.state() != QProcess::Running)
            throw SpreadsheetError(NoAnswer);
        m_bridge.write(QJsonDocument(req).toJson(QJsonDocument::Compact) + '\n');
        const QJsonObject answer = readAnswer(QDeadlineTimer(timeoutMs));
        if (!answer.value(u"ok"_s).toBool())
            throw SpreadsheetError(answer.value(u"error"_s).toString());
        return answer;
    }

private:
    void startOffice()
    {
        m_office.setProgram(m_officeProgram);
        m_office.setArguments(m_officeArguments);
        m_office.setProcessChannelMode(QProcess::MergedChannels);
        m_office.setProcessEnvironment(officeEnvironment());
        m_office.start();
        if (!m_office.waitForStarted(StartTimeoutMs))
            throw SpreadsheetError(NotInstalled + u"（"_s + m_office.errorString() + u"）"_s);
    }

    void waitUntilConnected()
    {
        const QDeadlineTimer deadline(StartTimeoutMs);
        int restarts = 0;
        while (!m_bridge.canReadLine()) {
            if (deadline.hasExpired())
                throw SpreadsheetError(NoAnswer);
            // Without an event loop the process state moves only inside a wait.
            if (m_office.state() == QProcess::NotRunning || m_office.waitForFinished(0)) {
                if (m_office.exitCode() != RestartExitCode || ++restarts > MaxRestarts)
                    throw SpreadsheetError(u"电子表格程序LibreOffice启动失败：%1"_s
                                               .arg(QString::fromLocal8Bit(m_office.readAll()).trimmed()));
                startOffice();
            }
            if (m_bridge.state() == QProcess::NotRunning)
                throw SpreadsheetError(bridgeFailure());
            m_bridge.waitForReadyRead(100);
        }
        const QJsonObject ready = readAnswer(deadline);
        if (!ready.value(u"ok"_s).toBool())
            throw SpreadsheetError(u"无法连接电子表格程序LibreOffice：%1"_s.arg(ready.value(u"error"_s).toString()));
    }

    QString bridgeFailure()
    {
        const QString reason = QString::fromUtf8(m_bridge.readAllStandardError()).trimmed();
        if (reason.contains(u"No module named 'uno'"_s))
            return NotInstalled + u"（缺少Python的uno模块）"_s;
        return u"电子表格连接程序意外结束：%1"_s.arg(reason.isEmpty() ? m_bridge.errorString() : reason);
    }

    QJsonObject readAnswer(const QDeadlineTimer& deadline)
    {
        while (!m_bridge.canReadLine()) {
            if (m_bridge.state() == QProcess::NotRunning && !m_bridge.canReadLine())
                throw SpreadsheetError(bridgeFailure());
            if (deadline.hasExpired()) {
                kill();
                throw SpreadsheetError(NoAnswer);
            }
            m_bridge.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        }
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(m_bridge.readLine(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            throw SpreadsheetError(u"电子表格连接程序的回答无法识别"_s);
        return doc.object();
    }

    void kill()
    {
        m_bridge.kill();
        m_office.kill();
        m_bridge.waitForFinished(QuitTimeoutMs);
        m_office.waitForFinished(QuitTimeoutMs);
    }

    QTemporaryDir m_dir;
    QString m_officeProgram;
    QStringList m_officeArguments;
    QProcess m_office;
    QProcess m_bridge;
};

class LibreOfficeWorkbook final : public Workbook
{
public:
    LibreOfficeWorkbook(const QString& path, std::function<QString()> defaultPrinter)
        : m_defaultPrinter(std::move(defaultPrinter))
    {
        if (!QFileInfo(path).isFile())
            throw SpreadsheetError(u"工作簿文件%1不存在"_s.arg(QDir::toNativeSeparators(path)));
        try {
            m_sheets = m_office.request({{u"cmd"_s, u"open"_s}, {u"path"_s, QFileInfo(path).absoluteFilePath()}})
                           .value(u"sheets"_s)
                           .toInt();
        } catch (const SpreadsheetError& e) {
            throw SpreadsheetError(u"无法打开工作簿%1：%2"_s.arg(QDir::toNativeSeparators(path), e.text()));
        }
    }

    int sheetCount() override { return m_sheets; }

    void writeCells(int sheet, int row, int column, const QList<QStringList>& rows, double fontSize) override
    {
        QJsonArray data;
        for (const QStringList& cells : rows)
            data.append(QJsonArray::fromStringList(cells));
        m_office.request({{u"cmd"_s, u"write"_s},
                          {u"sheet"_s, sheet - 1},
                          {u"row"_s, row - 1},
                          {u"column"_s, column - 1},
                          {u"rows"_s, data},
                          {u"fontSize"_s, fontSize}});
    }

    QString cellText(int sheet, int row, int column) override
    {
        return m_office
            .request({{u"cmd"_s, u"read"_s}, {u"sheet"_s, sheet - 1}, {u"row"_s, row - 1}, {u"column"_s, column - 1}})
            .value(u"text"_s)
            .toString();
    }

    void save() override { m_office.request({{u"cmd"_s, u"save"_s}}); }

    QString printSheet(int sheet, const QString& pdfFile) override
    {
        const QString printer = m_defaultPrinter ? m_defaultPrinter() : QString();
        if (printer.isEmpty())
            QDir().mkpath(QFileInfo(pdfFile).absolutePath());
        m_office.request({{u"cmd"_s, u"print"_s},
                          {u"sheet"_s, sheet - 1},
                          {u"printer"_s, printer},
                          {u"pdf"_s, QFileInfo(pdfFile).absoluteFilePath()}});
        return printer.isEmpty() ? pdfFile : printer;
    }

private:
    OfficeInstance m_office;
    std::function<QString()> m_defaultPrinter;
    int m_sheets = 0;
};

QStringList officeFolders()
{
    return {u"/usr/lib/libreoffice/program"_s, u"/opt/libreoffice/program"_s,
            u"C:/Program Files/LibreOffice/program"_s};
}

} // namespace

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet(std::function<QString()> defaultPrinter)
    : m_defaultPrinter(std::move(defaultPrinter))
{}

std::unique_ptr<Workbook> LibreOfficeSpreadsheet::open(const QString& path)
{
    return std::make_unique<LibreOfficeWorkbook>(path, m_defaultPrinter);
}

QString LibreOfficeSpreadsheet::officeProgram()
{
    QString found = QStandardPaths::findExecutable(u"soffice"_s);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(u"soffice"_s, officeFolders());
    if (found.isEmpty())
        return {};
    // The start script hands over to a launcher process; the office binary itself is the process we
    // can wait for and end.
    const QFileInfo resolved(QFileInfo(found).canonicalFilePath());
    const QString binary = resolved.absoluteDir().filePath(u"soffice.bin"_s);
    return QFileInfo(binary).isExecutable() ? binary : resolved.absoluteFilePath();
}

QString LibreOfficeSpreadsheet::pythonProgram()
{
    // The office's own Python (Windows) or the system's, which carries the packaged uno module.
    const QString office = officeProgram();
    if (!office.isEmpty()) {
        const QString bundled = QStandardPaths::findExecutable(u"python"_s, {QFileInfo(office).absolutePath()});
        if (!bundled.isEmpty())
            return bundled;
    }
    if (QFileInfo(u"/usr/bin/python3"_s).isExecutable())
        return u"/usr/bin/python3"_s;
    return QStandardPaths::findExecutable(u"python3"_s);
}
