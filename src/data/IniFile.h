#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "Settings.h"

/**
 * The settings file: an INI file whose section and key names match without regard to letter case.
 * Reads GBK or UTF-8 and writes GBK. A missing file reads as empty; every write is saved at once and
 * creates the file when needed (a write that cannot be saved throws DbError with the reason).
 * A missing key, or a value that does not convert, reads as the caller's default.
 */
class IniFile final
{
public:
    explicit IniFile(QString path);

    QString path() const { return m_path; }

    bool contains(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    double readNumber(const QString& section, const QString& key, double def) const;
    /** Any non-zero integer is true. */
    bool readBool(const QString& section, const QString& key, bool def) const;
    QTime readTime(const QString& section, const QString& key, const QTime& def) const;
    QStringList keys(const QString& section) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void writeTime(const QString& section, const QString& key, const QTime& value);

    // Typed access through the settings catalogue.
    QString read(const TextSetting& s) const { return readString(s.section, s.key, s.def); }
    int read(const IntSetting& s) const { return readInteger(s.section, s.key, s.def); }
    double read(const NumberSetting& s) const { return readNumber(s.section, s.key, s.def); }
    bool read(const BoolSetting& s) const { return readBool(s.section, s.key, s.def); }
    QTime read(const TimeSetting& s) const { return readTime(s.section, s.key, s.def); }
    void write(const TextSetting& s, const QString& v) { writeString(s.section, s.key, v); }
    void write(const IntSetting& s, int v) { writeInteger(s.section, s.key, v); }
    void write(const BoolSetting& s, bool v) { writeBool(s.section, s.key, v); }
    void write(const TimeSetting& s, const QTime& v) { writeTime(s.section, s.key, v); }

    static QString timeText(const QTime& time);

private:
    struct Line
    {
        QString key; // empty for comments and blank lines
        QString value;
        QString raw;
    };
    struct Section
    {
        QString name;
        QList<Line> lines;
    };

    void load();
    void save() const;
    const Line* find(const QString& section, const QString& key) const;
    Section& sectionFor(const QString& section);

    QString m_path;
    QList<Line> m_header;
    QList<Section> m_sections;
};
