#include "Expressions.h"

#include "data/Dialect.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

void warn(const ExpressionScope& scope, const QString& text)
{
    if (scope.warnings)
        Expressions::warnOnce(*scope.warnings, text);
}

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

double toNumber(const QVariant& v)
{
    if (isNumber(v))
        return v.toDouble();
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? d : 0;
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c.unicode() > 0x7F;
}

/** Splits at top-level commas, keeping texts in quotes and bracketed parts whole. */
QStringList splitArguments(const QString& text)
{
    QStringList parts;
    int depth = 0;
    QChar quote;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(' || c == u'[' || c == u'<') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'>') {
            --depth;
        } else if (c == u',' && depth == 0) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    if (parts.size() == 1 && parts[0].trimmed().isEmpty())
        return {};
    return parts;
}

class Parser
{
public:
    Parser(const QString& text, const ExpressionScope& scope) : m_text(text), m_scope(scope) {}

    QVariant parseAll()
    {
        const QVariant value = expression();
        skipBlanks();
        if (m_pos < m_text.size())
            fail(u"多余的内容“%1”"_s.arg(m_text.mid(m_pos)));
        return value;
    }

private:
    [[noreturn]] void fail(const QString& why) const { throw ExpressionError(why); }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    QVariant expression()
    {
        QVariant value = term();
        for (;;) {
            if (take(u'+')) {
                const QVariant right = term();
                value = isNumber(value) && isNumber(right)
                            ? QVariant(value.toDouble() + right.toDouble())
                            : QVariant(Expressions::format(value, {}) + Expressions::format(right, {}));
            } else if (take(u'-')) {
                value = toNumber(value) - toNumber(term());
            } else {
                return value;
            }
        }
    }

    QVariant term()
    {
        QVariant value = factor();
        for (;;) {
            if (take(u'*')) {
                value = toNumber(value) * toNumber(factor());
            } else if (take(u'/')) {
                const double divisor = toNumber(factor());
                value = divisor == 0 ? 0.0 : toNumber(value) / divisor;
            } else {
                return value;
            }
        }
    }

    /** The text up to the closer that matches the opener just taken. */
    QString enclosed(QChar open, QChar close)
    {
        const int start = m_pos;
        int depth = 1;
        QChar quote;
        for (; m_pos < m_text.size(); ++m_pos) {
            const QChar c = m_text[m_pos];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'\'' || c == u'"') {
                quote = c;
            } else if (c == open) {
                ++depth;
            } else if (c == close && --depth == 0) {
                return m_text.mid(start, m_pos++ - start);
            }
        }
        fail(u"缺少“%1”"_s.arg(close));
    }

    QVariant factor()
    {
        skipBlanks();
        if (m_pos >= m_text.size())
            fail(u"表达式不完整"_s);
        const QChar c = m_text[m_pos];
        if (take(u'-'))
            return -toNumber(factor());
        if (take(u'(')) {
            const QVariant value = expression();
            if (!take(u')'))
                fail(u"缺少“)”"_s);
            return value;
        }
        if (take(u'<'))
            return Expressions::evaluate(enclosed(u'<', u'>'), m_scope);
        if (take(u'['))
            return Expressions::evaluate(enclosed(u'[', u']'), m_scope);
        if (c == u'\'')
            return quoted();
        if (c.isDigit() || c == u'.')
            return numberLiteral();
        if (isNameChar(c))
            return name();
        fail(u"无法识别“%1”"_s.arg(c));
    }

    QString quoted()
    {
        ++m_pos;
        QString text;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (c != u'\'') {
                text += c;
            } else if (m_pos < m_text.size() && m_text[m_pos] == u'\'') {
                text += c;
                ++m_pos;
            } else {
                return text;
            }
        }
        fail(u"文字缺少结尾的引号"_s);
    }

    QVariant numberLiteral()
    {
        const int start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == u'.'))
            ++m_pos;
        bool ok = false;
        const double value = m_text.mid(start, m_pos - start).toDouble(&ok);
        if (!ok)
            fail(u"数字“%1”有误"_s.arg(m_text.mid(start, m_pos - start)));
        return value;
    }

    QVariant name()
    {
        const int start = m_pos;
        while (m_pos < m_text.size() && isNameChar(m_text[m_pos]))
            ++m_pos;
        const QString word = m_text.mid(start, m_pos - start);
        if (m_pos + 1 < m_text.size() && m_text[m_pos] == u'.' && m_text[m_pos + 1] == u'"') {
            m_pos += 2;
            const int end = m_text.indexOf(u'"', m_pos);
            if (end < 0)
                fail(u"字段名缺少结尾的引号"_s);
            const QString column = m_text.mid(m_pos, end - m_pos);
            m_pos = end + 1;
            return field(word, column);
        }
        if (take(u'('))
            return call(word, splitArguments(enclosed(u'(', u')')));
        return variable(word);
    }

    QVariant field(const QString& dataSet, const QString& column) const
    {
        if (dataSet.compare(u"frxDBDataset1"_s, Qt::CaseInsensitive) != 0) {
            warn(m_scope, u"模板引用的数据集“%1”不存在"_s.arg(dataSet));
            return {};
        }
        const QList<QSqlRecord>* rows = m_scope.rows;
        if (!rows || rows->isEmpty())
            return {};
        const QSqlRecord& record = rows->at(qBound(0, m_scope.row, int(rows->size()) - 1));
        const int index = record.indexOf(column);
        if (index < 0) {
            warn(m_scope, u"模板引用的字段“%1”不存在"_s.arg(column));
            return {};
        }
        if (m_scope.row < 0 || m_scope.row >= rows->size())
            return {};
        return record.value(index);
    }

    QVariant variable(const QString& word) const
    {
        if (word.compare(u"Date"_s, Qt::CaseInsensitive) == 0)
            return m_scope.now.date().toString(u"yyyy-MM-dd"_s);
        if (word.compare(u"Now"_s, Qt::CaseInsensitive) == 0)
            return Dialect::dateTimeText(m_scope.now);
        if (word.compare(u"Time"_s, Qt::CaseInsensitive) == 0)
            return m_scope.now.time().toString(u"HH:mm:ss"_s);
        if (word.compare(u"Page#"_s, Qt::CaseInsensitive) == 0 || word.compare(u"Page"_s, Qt::CaseInsensitive) == 0)
            return m_scope.page;
        if (word.compare(u"TotalPages#"_s, Qt::CaseInsensitive) == 0)
            return TotalPagesMark;
        if (word.compare(u"Line#"_s, Qt::CaseInsensitive) == 0 || word.compare(u"Line"_s, Qt::CaseInsensitive) == 0)
            return m_scope.row + 1;
        if (m_scope.variables)
            if (const std::optional<QVariant> value = m_scope.variables(word))
                return *value;
        warn(m_scope, u"模板引用的变量“%1”不存在"_s.arg(word));
        return {};
    }

    QVariant aggregate(const QString& function, const QStringList& args) const
    {
        const QString fn = function.toUpper();
        if (fn == u"COUNT"_s)
            return qMax(0, m_scope.last - m_scope.first);
        if (args.isEmpty())
            fail(u"%1缺少参数"_s.arg(function));
        double sum = 0;
        std::optional<double> low;
        std::optional<double> high;
        ExpressionScope each = m_scope;
        for (each.row = m_scope.first; each.row < m_scope.last; ++each.row) {
            const double v = toNumber(Expressions::evaluate(args[0], each));
            sum += v;
            low = low ? qMin(*low, v) : v;
            high = high ? qMax(*high, v) : v;
        }
        const int count = qMax(0, m_scope.last - m_scope.first);
        if (fn == u"SUM"_s)
            return sum;
        if (fn == u"AVG"_s)
            return count ? sum / count : 0.0;
        if (fn == u"MIN"_s)
            return low.value_or(0);
        return high.value_or(0);
    }

    QVariant argument(const QStringList& args, int i) const
    {
        if (i >= args.size())
            fail(u"函数缺少参数"_s);
        return Expressions::evaluate(args[i], m_scope);
    }

    QVariant call(const QString& function, const QStringList& args) const
    {
        const QString fn = function.toUpper();
        if (QStringList{u"SUM"_s, u"COUNT"_s, u"AVG"_s, u"MIN"_s, u"MAX"_s}.contains(fn))
            return aggregate(function, args);
        if (fn == u"FORMATFLOAT"_s)
            return Expressions::format(argument(args, 1),
                                       {FormatKind::Numeric, argument(args, 0).toString(), u"."_s});
        if (fn == u"FORMATDATETIME"_s)
            return Expressions::format(argument(args, 1), {FormatKind::DateTime, argument(args, 0).toString()});
        if (fn == u"ROUND"_s) {
            const double scale = std::pow(10.0, args.size() > 1 ? toNumber(argument(args, 1)) : 0.0);
            return std::round(toNumber(argument(args, 0)) * scale) / scale;
        }
        if (fn == u"CHINESEAMOUNT"_s || function == u"大写金额"_s)
            return Expressions::chineseAmount(toNumber(argument(args, 0)));
        if (fn == u"DEDUCTIONTEXT"_s || function == u"扣杂说明"_s)
            return Expressions::deductionText(argument(args, 0).toString());
        fail(u"未知的函数“%1”"_s.arg(function));
    }

    const QString& m_text;
    const ExpressionScope& m_scope;
    int m_pos = 0;
};

/** Numbers with thousands separators, whatever the system's locale. */
const QLocale& grouped()
{
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

QString numberText(double value, const QString& pattern, const QString& decimalSeparator)
{
    static const QRegularExpression printf(u"^%-?(\\d*)(?:\\.(\\d+))?([fngdeFNGDE])$"_s);
    const QRegularExpressionMatch m = printf.match(pattern.trimmed());
    QString text;
    if (m.hasMatch()) {
        const int decimals = m.captured(2).isEmpty() ? 2 : m.captured(2).toInt();
        const QChar kind = m.captured(3).at(0).toLower();
        if (kind == u'f')
            text = QString::number(value, 'f', decimals);
        else if (kind == u'n')
            text = grouped().toString(value, 'f', decimals);
        else if (kind == u'd')
            text = QString::number(qRound64(value));
        else if (kind == u'e')
            text = QString::number(value, 'e', decimals);
        else
            text = QString::number(value, 'g', 15);
    } else if (!pattern.trimmed().isEmpty()) {
        // A FormatFloat pattern such as "0.00" or "#,##0.0".
        const qsizetype point = pattern.indexOf(u'.');
        int decimals = 0;
        for (qsizetype i = point + 1; point >= 0 && i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#'); ++i)
            ++decimals;
        text = pattern.contains(u',') ? grouped().toString(value, 'f', decimals) : QString::number(value, 'f', decimals);
        // Zeros before the point give the least number of integer digits ("00000000" → 00000007).
        const qsizetype integerDigits = pattern.left(point < 0 ? pattern.size() : point).count(u'0');
        const qsizetype digits = text.indexOf(u'.') < 0 ? text.size() : text.indexOf(u'.');
        const bool negative = text.startsWith(u'-');
        if (!pattern.contains(u',') && digits - negative < integerDigits)
            text.insert(negative ? 1 : 0, QString(integerDigits - (digits - negative), u'0'));
    } else {
        text = QString::number(value, 'g', 15);
    }
    if (decimalSeparator != u"."_s && !decimalSeparator.isEmpty())
        text.replace(u'.', decimalSeparator);
    return text;
}

} // namespace

QVariant Expressions::evaluate(const QString& expression, const ExpressionScope& scope)
{
    return Parser(expression, scope).parseAll();
}

QString Expressions::qtDateFormat(const QString& delphi)
{
    QString result;
    bool afterHour = false;
    for (qsizetype i = 0; i < delphi.size();) {
        const QChar c = delphi[i];
        qsizetype n = 1;
        while (i + n < delphi.size() && delphi[i + n].toLower() == c.toLower())
            ++n;
        const QString run = delphi.mid(i, n);
        const QChar lower = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = delphi.indexOf(c, i + 1);
            const QString literal = delphi.mid(i + 1, (end < 0 ? delphi.size() : end) - i - 1);
            result += u'\'' + literal + u'\'';
            i = end < 0 ? delphi.size() : end + 1;
            continue;
        }
        if (lower == u'm')
            result += afterHour ? run.toLower() : QString(n, u'M');
        else if (lower == u'n')
            result += QString(n, u'm');
        else if (lower == u'h')
            result += QString(n, u'H');
        else if (lower == u'y' || lower == u'd' || lower == u's')
            result += run.toLower();
        else if (c.isLetter())
            result += u'\'' + run + u'\'';
        else
            result += run;
        if (lower == u'h')
            afterHour = true;
        else if (c.isLetter())
            afterHour = false;
        i += n;
    }
    return result;
}

QString Expressions::format(const QVariant& value, const DisplayFormat& format)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (format.kind == FormatKind::Numeric && !format.format.isEmpty()) {
        bool ok = isNumber(value);
        const double number = ok ? value.toDouble() : value.toString().trimmed().toDouble(&ok);
        if (ok)
            return numberText(number, format.format, format.decimalSeparator);
    }
    if (format.kind == FormatKind::DateTime && !format.format.isEmpty()) {
        const QDateTime time = Dialect::toDateTime(value);
        if (time.isValid())
            return time.toString(qtDateFormat(format.format));
    }
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', 15);
    if (value.typeId() == QMetaType::QDateTime)
        return Dialect::dateTimeText(value.toDateTime());
    return value.toString();
}

QString Expressions::expand(const QString& text, const DisplayFormat& format, const ExpressionScope& scope,
                            const QString& objectName)
{
    QString result;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'[', i);
        if (open < 0) {
            result += text.mid(i);
            break;
        }
        result += text.mid(i, open - i);
        // The matching bracket, skipping brackets in quotes ([frxDBDataset1."a[1]"]).
        int depth = 0;
        QChar quote;
        qsizetype close = -1;
        for (qsizetype j = open; j < text.size() && close < 0; ++j) {
            const QChar c = text[j];
            if (!quote.isNull())
                quote = c == quote ? QChar() : quote;
            else if (c == u'"' || c == u'\'')
                quote = c;
            else if (c == u'[')
                ++depth;
            else if (c == u']' && --depth == 0)
                close = j;
        }
        if (close < 0) {
            result += text.mid(open);
            break;
        }
        const QString expression = text.mid(open + 1, close - open - 1);
        try {
            result += Expressions::format(evaluate(expression, scope), format);
        } catch (const ExpressionError& e) {
            warn(scope, u"%1的表达式[%2]有误：%3"_s.arg(objectName.isEmpty() ? u"对象"_s : objectName,
                                                         expression, e.message()));
        }
        i = close + 1;
    }
    return result;
}

QString Expressions::chineseAmount(double amount)
{
    static const QString digits = u"零壹贰叁肆伍陆柒捌玖"_s;
    static const QStringList places{QString(), u"拾"_s, u"佰"_s, u"仟"_s};
    static const QStringList groups{QString(), u"万"_s, u"亿"_s, u"万亿"_s};
    const qint64 fen = std::llround(std::fabs(amount) * 100);
    qint64 yuan = fen / 100;
    const int jiao = int(fen / 10 % 10);
    const int cent = int(fen % 10);

    QList<int> groupValues; // lowest group first
    for (; yuan > 0; yuan /= 10000)
        groupValues.append(int(yuan % 10000));
    QString result;
    bool zero = false;
    for (qsizetype g = groupValues.size() - 1; g >= 0; --g) {
        const int value = groupValues[g];
        if (value == 0) {
            zero = true;
            continue;
        }
        for (int p = 3; p >= 0; --p) {
            const int d = value / int(std::pow(10, p)) % 10;
            if (d == 0) {
                zero = true;
                continue;
            }
            if (zero && !result.isEmpty())
                result += digits[0];
            zero = false;
            result += digits[d] + places[p];
        }
        result += groups.value(g);
    }
    if (!result.isEmpty())
        result += u"元"_s;
    if (jiao == 0 && cent == 0)
        result = (result.isEmpty() ? u"零元"_s : result) + u"整"_s;
    if (jiao > 0)
        result += digits[jiao] + u"角"_s;
    if (cent > 0) {
        if (jiao == 0 && !result.isEmpty())
            result += digits[0];
        result += digits[cent] + u"分"_s;
    } else if (jiao > 0) {
        result += u"整"_s;
    }
    return fen > 0 && amount < 0 ? u"负"_s + result : result;
}

void Expressions::warnOnce(QStringList& warnings, const QString& text)
{
    if (!warnings.contains(text))
        warnings.append(text);
}

QString Expressions::deductionText(const QString& stored)
{
    QString text = stored;
    for (const QString& tag : {u"[固]"_s, u"[皮->毛]"_s, u"[毛->皮]"_s})
        text.remove(tag);
    text.replace(u"[]"_s, QString());
    text.replace(u'[', u' ');
    text.remove(u']');
    return text.trimmed();
}
