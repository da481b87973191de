#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Dialect;
class QSqlDatabase;

/**
 * The word list of the word picker: the distinct values of one field with their pinyin codes, and the
 * filter by typed pinyin initials.
 */
class WordFilter final
{
public:
    WordFilter() = default;
    explicit WordFilter(const QStringList& words);

    /**
     * Pinyin code of a word: its GBK bytes taken two at a time from the first byte (an odd last byte is
     * dropped), each pair giving PinyinInitial's letter, or a blank. A word mixing ASCII and Chinese is
     * therefore cut across character borders; that is how stored codes have always been typed.
     */
    static QString PinyinCode(const QString& word);

    /** The initials as the pinyin box shows them: upper case. */
    static QString normalizedInitials(const QString& typed);

    /**
     * Words whose code begins with the upper-cased initials, in list order; every word for empty
     * initials. Words are returned exactly as stored, surrounding blanks included.
     */
    QStringList matching(const QString& typed) const;

    const QStringList& words() const { return m_words; }

    /**
     * The distinct values of `field` in `table`, as text (null as empty text), sorted by the database.
     * The table name may carry blanks and any letter case; table and field are checked against the
     * database's real tables and columns before they enter the statement, so an unknown name throws
     * DbError naming it and runs nothing. Other failures throw DbError with the database's text.
     */
    static QStringList distinctValues(const QSqlDatabase& db, const Dialect& dialect, const QString& field,
                                      const QString& table);

private:
    QStringList m_words;
    QStringList m_codes;
};
