#include "RecordExport.h"

#include "data/Sql.h"
#include "platform/AppError.h"
#include "records/RecordQuery.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryFile>

#include <filesystem>
#include <memory>
#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 ProgressEvery = 500;
constexpr int FlushBytes = 1 << 20;
constexpr lxw_row_t SheetRows = 1048576;
constexpr int CellChars = 32767;

bool isNumber(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString cellText(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    return v.toString();
}

[[noreturn]] void cannotWrite(const QString& path, const QString& cause)
{
    throw FileError(u"无法写入文件 %1：%2"_s.arg(QDir::toNativeSeparators(path), cause));
}

/** Rows and titles turned into bytes by one text format. */
class TextWriter
{
public:
    virtual ~TextWriter() = default;
    virtual QByteArray begin(const QStringList& titles) = 0;
    virtual QByteArray row(const QVariantList& values) = 0;
    virtual QByteArray end() = 0;
};

class CsvWriter final : public TextWriter
{
public:
    QByteArray begin(const QStringList& titles) override
    {
        return QByteArray("\xEF\xBB\xBF") + line(QVariantList(titles.begin(), titles.end()));
    }
    QByteArray row(const QVariantList& values) override { return line(values); }
    QByteArray end() override { return {}; }

private:
    static QByteArray line(const QVariantList& values)
    {
        QString text;
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                text += u',';
            QString cell = cellText(values[i]);
            cell.replace(u'"', u"\"\""_s);
            text += u'"' + cell + u'"';
        }
        return (text + u"\r\n"_s).toUtf8();
    }
};

class TabWriter final : public TextWriter
{
public:
    QByteArray begin(const QStringList& titles) override
    {
        return line(QVariantList(titles.begin(), titles.end()));
    }
    QByteArray row(const QVariantList& values) override { return line(values); }
    QByteArray end() override { return {}; }

private:
    static QByteArray line(const QVariantList& values)
    {
        QStringList cells;
        for (const QVariant& v : values) {
            QString cell = cellText(v);
            // A tab or line break inside a value would start a new cell or row.
            for (QChar& c : cell)
                if (c == u'\t' || c == u'\r' || c == u'\n')
                    c = u' ';
            cells.append(cell);
        }
        return (cells.join(u'\t') + u"\r\n"_s).toUtf8();
    }
};

class HtmlWriter final : public TextWriter
{
public:
    QByteArray begin(const QStringList& titles) override
    {
        QString text = u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                       "<title>weight</title>\r\n</head>\r\n<body>\r\n<table border=\"1\" cellspacing=\"0\">\r\n<tr>"_s;
        for (const QString& t : titles)
            text += u"<th>"_s + cell(t) + u"</th>"_s;
        return (text + u"</tr>\r\n"_s).toUtf8();
    }
    QByteArray row(const QVariantList& values) override
    {
        QString text = u"<tr>"_s;
        for (const QVariant& v : values)
            text += u"<td>"_s + cell(cellText(v)) + u"</td>"_s;
        return (text + u"</tr>\r\n"_s).toUtf8();
    }
    QByteArray end() override { return "</table>\r\n</body>\r\n</html>\r\n"; }

private:
    static QString cell(const QString& text)
    {
        QString escaped = text.toHtmlEscaped();
        escaped.replace(u"\r\n"_s, u"<br>"_s);
        escaped.replace(u'\n', u"<br>"_s);
        return escaped;
    }
};

class RtfWriter final : public TextWriter
{
public:
    QByteArray begin(const QStringList& titles) override
    {
        m_columns = int(titles.size());
        QByteArray head = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\r\n"
                          "\\f0\\fs18\r\n";
        return head + row(QVariantList(titles.begin(), titles.end()));
    }
    QByteArray row(const QVariantList& values) override
    {
        QByteArray text = "\\trowd\\trgaph60";
        for (int c = 1; c <= m_columns; ++c)
            text += "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx" +
                    QByteArray::number(c * 1600);
        text += "\r\n";
        for (const QVariant& v : values)
            text += "\\pard\\intbl " + escaped(cellText(v)) + "\\cell\r\n";
        return text + "\\row\r\n";
    }
    QByteArray end() override { return "}\r\n"; }

private:
    /** RTF keeps 7-bit text: other characters as \uN? (N a signed 16-bit unit), specials escaped. */
    static QByteArray escaped(const QString& text)
    {
        QByteArray out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            if (u == u'\\' || u == u'{' || u == u'}') {
                out += '\\';
                out += char(u);
            } else if (u == u'\n') {
                out += "\\line ";
            } else if (u == u'\r') {
                if (i + 1 >= text.size() || text[i + 1] != u'\n')
                    out += "\\line ";
            } else if (u == u'\t') {
                out += "\\tab ";
            } else if (u < 0x80) {
                out += char(u);
            } else {
                out += "\\u" + QByteArray::number(int(qint16(u))) + '?';
            }
        }
        return out;
    }
    int m_columns = 0;
};

std::unique_ptr<TextWriter> textWriter(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return std::make_unique<CsvWriter>();
    case ExportFormat::Html:
        return std::make_unique<HtmlWriter>();
    case ExportFormat::Rtf:
        return std::make_unique<RtfWriter>();
    case ExportFormat::Text:
    case ExportFormat::Excel:
        break;
    }
    return std::make_unique<TabWriter>();
}

std::optional<qint64> writeText(ExportFormat format, const QString& file, const QString& target,
                                const QStringList& titles, const RecordExport::RowSource& rows,
                                const RecordExport::Progress& progress)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        cannotWrite(target, out.errorString());
    const auto writer = textWriter(format);
    QByteArray buffer = writer->begin(titles);
    const auto flush = [&] {
        if (out.write(buffer) != buffer.size())
            cannotWrite(target, out.errorString());
        buffer.clear();
    };
    qint64 count = 0;
    QVariantList values;
    while (rows(values)) {
        buffer += writer->row(values);
        ++count;
        if (buffer.size() >= FlushBytes)
            flush();
        if (progress && count % ProgressEvery == 0 && !progress(count))
            return std::nullopt;
    }
    buffer += writer->end();
    flush();
    if (!out.flush())
        cannotWrite(target, out.errorString());
    return count;
}

class Workbook
{
public:
    Workbook(const QString& file, const QString& target) : m_target(target)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_name = QFile::encodeName(file);
        m_tmpdir = QFile::encodeName(QFileInfo(file).absolutePath());
        options.tmpdir = m_tmpdir.data();
        m_book = workbook_new_opt(m_name.constData(), &options);
        if (!m_book)
            cannotWrite(target, u"无法建立工作簿"_s);
        m_bold = workbook_add_format(m_book);
        format_set_bold(m_bold);
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }

    void addSheet(const QStringList& titles)
    {
        m_sheet = workbook_add_worksheet(m_book, nullptr);
        m_row = 0;
        for (qsizetype c = 0; c < titles.size(); ++c) {
            check(worksheet_write_string(m_sheet, 0, lxw_col_t(c), titles[c].toUtf8().constData(), m_bold));
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), 14, nullptr);
        }
    }
    bool sheetFull() const { return m_row + 1 >= SheetRows; }

    void addRow(const QVariantList& values)
    {
        ++m_row;
        for (qsizetype c = 0; c < values.size(); ++c) {
            const QVariant& v = values[c];
            if (v.isNull())
                continue;
            if (isNumber(v)) {
                check(worksheet_write_number(m_sheet, m_row, lxw_col_t(c), v.toDouble(), nullptr));
                continue;
            }
            // A cell holds at most 32767 characters.
            const QByteArray text = cellText(v).left(CellChars).toUtf8();
            check(worksheet_write_string(m_sheet, m_row, lxw_col_t(c), text.constData(), nullptr));
        }
    }

    void close()
    {
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        if (error != LXW_NO_ERROR)
            cannotWrite(m_target, QString::fromUtf8(lxw_strerror(error)));
    }

private:
    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            cannotWrite(m_target, QString::fromUtf8(lxw_strerror(error)));
    }

    QString m_target;
    QByteArray m_name;
    QByteArray m_tmpdir;
    lxw_workbook* m_book = nullptr;
    lxw_format* m_bold = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_row_t m_row = 0;
};

std::optional<qint64> writeWorkbook(const QString& file, const QString& target, const QStringList& titles,
                                    const RecordExport::RowSource& rows, const RecordExport::Progress& progress)
{
    Workbook book(file, target);
    book.addSheet(titles);
    qint64 count = 0;
    QVariantList values;
    while (rows(values)) {
        // Rows beyond one worksheet's limit go on to a further worksheet.
        if (book.sheetFull())
            book.addSheet(titles);
        book.addRow(values);
        ++count;
        if (progress && count % ProgressEvery == 0 && !progress(count))
            return std::nullopt;
    }
    book.close();
    return count;
}

} // namespace

namespace RecordExport {

QString fileFilter()
{
    return u"EXCEL(*.xlsx);;CSVFile(*.csv);;HTMFile(*.htm);;RTF(*.rtf);;TextFile(*.txt)"_s;
}

QString extension(ExportFormat format)
{
    static const QStringList extensions{u"xlsx"_s, u"csv"_s, u"htm"_s, u"rtf"_s, u"txt"_s};
    return extensions[int(format)];
}

std::optional<ExportFormat> formatOfFilter(int index)
{
    if (index < 0 || index > int(ExportFormat::Text))
        return std::nullopt;
    return ExportFormat(index);
}

std::optional<ExportFormat> formatOfPath(const QString& path)
{
    for (int i = 0; i <= int(ExportFormat::Text); ++i)
        if (path.endsWith(u'.' + extension(ExportFormat(i)), Qt::CaseInsensitive))
            return ExportFormat(i);
    return std::nullopt;
}

QString withExtension(const QString& path, ExportFormat format)
{
    const QString suffix = u'.' + extension(format);
    return path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

std::optional<qint64> write(ExportFormat format, const QString& path, const QStringList& titles,
                            const RowSource& rows, const Progress& progress)
{
    const QFileInfo target(path);
    // Written beside the target and renamed into place, so the name never holds half a file.
    QTemporaryFile partial(target.absolutePath() + u"/."_s + target.fileName() + u".XXXXXX"_s);
    if (!partial.open())
        cannotWrite(path, partial.errorString());
    const QString file = partial.fileName();
    partial.close();

    const std::optional<qint64> written = format == ExportFormat::Excel
                                              ? writeWorkbook(file, path, titles, rows, progress)
                                              : writeText(format, file, path, titles, rows, progress);
    if (!written)
        return std::nullopt;
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(file).toStdString(), QFile::encodeName(path).toStdString(), error);
    if (error)
        cannotWrite(path, QString::fromLocal8Bit(error.message().c_str()));
    partial.setAutoRemove(false);
    return written;
}

std::optional<qint64> writeQuery(const QSqlDatabase& db, const RecordStatement& statement, ExportFormat format,
                                 const QString& path, const Progress& progress)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    Sql::execOn(query, statement.select(), statement.values);
    const QSqlRecord record = query.record();
    QStringList titles;
    for (int i = 0; i < record.count(); ++i)
        titles.append(record.fieldName(i));
    const RowSource rows = [&](QVariantList& values) {
        if (!query.next())
            return false;
        values.resize(record.count());
        for (int i = 0; i < record.count(); ++i)
            values[i] = query.value(i);
        return true;
    };
    return write(format, path, titles, rows, progress);
}

} // namespace RecordExport
