#include "RecordSnapshot.h"

#include <QSqlField>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace RecordSnapshot {

namespace {

QString valueText(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return Dialect::dateTimeText(value.toDateTime());
    return value.toString();
}

/** Index of every "]" that is followed by "[": the places where one value may end and the next begin. */
QList<qsizetype> boundaries(const QString& content)
{
    QList<qsizetype> result;
    for (qsizetype i = 0; i + 1 < content.size(); ++i)
        if (content[i] == u']' && content[i + 1] == u'[')
            result.append(i);
    return result;
}

bool holdsBracket(const QString& piece)
{
    return piece.contains(u'[') || piece.contains(u']');
}

bool balanced(const QString& piece)
{
    int depth = 0;
    for (const QChar c : piece) {
        if (c == u'[')
            ++depth;
        else if (c == u']' && --depth < 0)
            return false;
    }
    return depth == 0;
}

/**
 * The piece can be a value of the column: numbers and date-times never hold brackets and convert; a
 * text holds "][" only inside balanced brackets (a value such as "[-300][皮->毛]"), so that a content
 * with more values than the layout has columns is not folded into a text column.
 */
bool canHold(ColumnKind kind, const QString& piece)
{
    if (kind == ColumnKind::Text)
        return !piece.contains(u"]["_s) || balanced(piece);
    if (piece.isEmpty())
        return true;
    if (holdsBracket(piece))
        return false;
    bool ok = false;
    switch (kind) {
    case ColumnKind::Integer:
    case ColumnKind::AutoNumber:
    case ColumnKind::Number:
        piece.toDouble(&ok);
        return ok;
    case ColumnKind::DateTime:
        return Dialect::toDateTime(piece).isValid();
    default:
        return true;
    }
}

constexpr int MaxBracketsInValues = 64;

QStringList everyPiece(const QString& inner)
{
    return inner.split(u"]["_s);
}

} // namespace

QString content(const QVariantList& values)
{
    QString text;
    for (const QVariant& value : values)
        text += u'[' + valueText(value) + u']';
    return text;
}

QString content(const QSqlRecord& record)
{
    QVariantList values;
    for (int i = 0; i < record.count(); ++i)
        values.append(record.value(i));
    return content(values);
}

Split split(const QString& content, const QList<ColumnInfo>& columns)
{
    Split result;
    if (content.size() < 2 || !content.startsWith(u'[') || !content.endsWith(u']')) {
        result.values = content.isEmpty() ? QStringList() : QStringList{content};
        return result;
    }
    const QString inner = content.mid(1, content.size() - 2);
    const int n = int(columns.size());
    // Cut points in `inner` coordinates: a value ends at cut c (exclusive) and the next starts at c + 2.
    QList<qsizetype> cuts;
    for (qsizetype b : boundaries(content))
        if (b >= 1 && b + 1 < content.size() - 1)
            cuts.append(b - 1);
    const int k = int(cuts.size());
    // Far more "][" than columns is no record of this layout; the search would only cost time.
    if (n == 0 || k < n - 1 || k > n + MaxBracketsInValues) {
        result.values = everyPiece(inner);
        return result;
    }
    // Ends of the pieces: cut j ends a piece at cuts[j]; the last piece ends at the end (index k).
    auto startAfter = [&](int end) { return end < 0 ? qsizetype(0) : cuts[end] + 2; };
    auto endAt = [&](int end) { return end == k ? inner.size() : cuts[end]; };
    auto piece = [&](int previousEnd, int end) {
        const qsizetype start = startAfter(previousEnd);
        return inner.mid(start, endAt(end) - start);
    };

    // best[t][e]: most balanced pieces among valid splits of the first t+1 values ending at e; ways
    // counts the splits reaching that score (capped at 2), from[t][e] the previous end.
    constexpr int Invalid = std::numeric_limits<int>::min();
    QList<QList<int>> best(n, QList<int>(k + 1, Invalid));
    QList<QList<int>> ways(n, QList<int>(k + 1, 0));
    QList<QList<int>> from(n, QList<int>(k + 1, -1));
    for (int e = 0; e <= k; ++e) {
        const QString p = piece(-1, e);
        if (canHold(columns[0].kind, p)) {
            best[0][e] = balanced(p) ? 1 : 0;
            ways[0][e] = 1;
        }
    }
    for (int t = 1; t < n; ++t) {
        for (int e = t; e <= k; ++e) {
            for (int prev = t - 1; prev < e; ++prev) {
                if (best[t - 1][prev] == Invalid)
                    continue;
                const QString p = piece(prev, e);
                if (!canHold(columns[t].kind, p))
                    continue;
                const int score = best[t - 1][prev] + (balanced(p) ? 1 : 0);
                if (score > best[t][e]) {
                    best[t][e] = score;
                    ways[t][e] = ways[t - 1][prev];
                    from[t][e] = prev;
                } else if (score == best[t][e]) {
                    ways[t][e] = qMin(2, ways[t][e] + ways[t - 1][prev]);
                }
            }
        }
    }
    if (best[n - 1][k] == Invalid) {
        result.values = everyPiece(inner);
        return result;
    }
    QStringList values;
    for (int t = n - 1, e = k; t >= 0; e = from[t][e], --t)
        values.prepend(piece(t == 0 ? -1 : from[t][e], e));
    result.values = values;
    result.fits = true;
    result.ambiguous = ways[n - 1][k] > 1;
    return result;
}

} // namespace RecordSnapshot
