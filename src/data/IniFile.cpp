#include "IniFile.h"

#include "data/Errors.h"
#include "Gbk.h"

#include <QFile>
#include <cmath>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

/** A written name or value stays on its line: line breaks are dropped, so nothing can start a new key
 * or section. */
QString oneLine(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path))
{
    load();
}

void IniFile::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = looksLikeUtf8(bytes) ? QString::fromUtf8(bytes) : fromGbk(bytes);

    Section* current = nullptr;
    for (QString raw : text.split(u'\n')) {
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.contains(u']')) {
            m_sections.append(Section{trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed(), {}});
            current = &m_sections.last();
            continue;
        }
        Line line{{}, {}, raw};
        const qsizetype eq = raw.indexOf(u'=');
        if (eq > 0 && !trimmed.startsWith(u';')) {
            line.key = raw.left(eq).trimmed();
            line.value = raw.mid(eq + 1).trimmed();
        }
        (current ? current->lines : m_header).append(line);
    }
    // A trailing line break leaves one empty line that save() would double.
    QList<Line>& last = m_sections.isEmpty() ? m_header : m_sections.last().lines;
    if (!last.isEmpty() && last.last().raw.isEmpty() && last.last().key.isEmpty())
        last.removeLast();
}

void IniFile::save() const
{
    QString text;
    for (const Line& line : m_header)
        text += line.raw + u"\r\n"_s;
    for (const Section& section : m_sections) {
        text += u'[' + section.name + u"]\r\n"_s;
        for (const Line& line : section.lines)
            text += (line.key.isEmpty() ? line.raw : line.key + u'=' + line.value) + u"\r\n"_s;
    }
    // GBK as old installations expect, unless a value needs characters GBK lacks: then UTF-8 with a
    // byte-order mark, which the reader takes as well, rather than '?' in place of those characters.
    const QByteArray bytes = fitsGbk(text) ? toGbk(text) : QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        throw FileError(u"无法写入设置文件 %1：%2"_s.arg(m_path, file.errorString()));
}

const IniFile::Line* IniFile::find(const QString& section, const QString& key) const
{
    for (const Section& s : m_sections) {
        if (!sameName(s.name, section))
            continue;
        for (const Line& line : s.lines)
            if (!line.key.isEmpty() && sameName(line.key, key))
                return &line;
    }
    return nullptr;
}

IniFile::Section& IniFile::sectionFor(const QString& section)
{
    for (Section& s : m_sections)
        if (sameName(s.name, section))
            return s;
    m_sections.append(Section{section, {}});
    return m_sections.last();
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    return find(section, key) != nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const Line* line = find(section, key);
    return line ? line->value : def;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const
{
    const Line* line = find(section, key);
    if (!line)
        return def;
    bool ok = false;
    const int value = line->value.toInt(&ok);
    if (ok)
        return value;
    // A hexadecimal form such as 0x00EFC9A3 is still an integer.
    const int hex = line->value.toInt(&ok, 16);
    return ok && line->value.startsWith(u"0x"_s, Qt::CaseInsensitive) ? hex : def;
}

double IniFile::readNumber(const QString& section, const QString& key, double def) const
{
    const Line* line = find(section, key);
    if (!line)
        return def;
    bool ok = false;
    const double value = line->value.toDouble(&ok);
    return ok && std::isfinite(value) ? value : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const
{
    const Line* line = find(section, key);
    if (!line)
        return def;
    bool ok = false;
    const int value = line->value.toInt(&ok);
    if (ok)
        return value != 0;
    if (sameName(line->value, u"true"_s))
        return true;
    if (sameName(line->value, u"false"_s))
        return false;
    return def;
}

QTime IniFile::readTime(const QString& section, const QString& key, const QTime& def) const
{
    const Line* line = find(section, key);
    if (!line)
        return def;
    for (const QString& format : {u"H:mm:ss"_s, u"H:mm"_s}) {
        const QTime time = QTime::fromString(line->value, format);
        if (time.isValid())
            return time;
    }
    return def;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList result;
    for (const Section& s : m_sections)
        if (sameName(s.name, section))
            for (const Line& line : s.lines)
                if (!line.key.isEmpty())
                    result.append(line.key);
    return result;
}

void IniFile::writeString(const QString& sectionName, const QString& keyName, const QString& text)
{
    const QString section = oneLine(sectionName).remove(u']');
    const QString key = oneLine(keyName).remove(u'=');
    const QString value = oneLine(text);
    Section& s = sectionFor(section);
    bool found = false;
    for (Line& line : s.lines) {
        if (!line.key.isEmpty() && sameName(line.key, key)) {
            line.value = value;
            found = true;
            break;
        }
    }
    if (!found) {
        // Keep blank separator lines after the section's last key.
        qsizetype at = s.lines.size();
        while (at > 0 && s.lines[at - 1].key.isEmpty() && s.lines[at - 1].raw.trimmed().isEmpty())
            --at;
        s.lines.insert(at, Line{key, value, {}});
    }
    save();
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? u"1"_s : u"0"_s);
}

void IniFile::writeTime(const QString& section, const QString& key, const QTime& value)
{
    writeString(section, key, timeText(value));
}

QString IniFile::timeText(const QTime& time)
{
    return time.toString(u"HH:mm:ss"_s);
}
