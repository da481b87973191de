#include "FrameAnalysis.h"

#include "ConsoleText.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

constexpr int MinFrame = 3;
constexpr int MaxFrame = 64;

bool isPrintable(char c)
{
    const auto u = uchar(c);
    return (u >= 0x20 && u < 0x7F) || u == '\r' || u == '\n' || u == '\t' || u == 0x02 || u == 0x03;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/** Where the weight sits in a frame body (the bytes after the mark), 0-based; -1: no sign field. */
struct Layout
{
    int weightIndex = 0;
    int weightCount = 0;
    int signIndex = -1;
};

/** The complete bodies of the frames (the bytes after each mark, up to the next frame's mark). */
QList<QByteArray> bodiesOf(QByteArrayView stream, const FrameAnalysis::Framing& framing)
{
    QList<QByteArray> bodies;
    for (qsizetype at = stream.indexOf(framing.mark); at >= 0; at = stream.indexOf(framing.mark, at + 1)) {
        if (at + framing.length >= stream.size())
            break;
        if (stream[at + framing.length] == framing.mark)
            bodies.append(stream.sliced(at + 1, framing.length - 1).toByteArray());
    }
    return bodies;
}

bool allOf(const QList<QByteArray>& bodies, qsizetype column, bool (*test)(char))
{
    return std::all_of(bodies.begin(), bodies.end(), [&](const QByteArray& b) { return test(b[column]); });
}

/**
 * The common continuous format: a sign, six weight digits, the decimal position and two hexadecimal
 * digits of the XOR of the eight before them. The check is what tells the weight from the digits around it.
 */
std::optional<Layout> checkedLayout(const QList<QByteArray>& bodies)
{
    int matching = 0;
    for (const QByteArray& b : bodies) {
        if (b.size() < 10 || (b[0] != '+' && b[0] != '-'))
            continue;
        if (!std::all_of(b.begin() + 1, b.begin() + 8, isDigit))
            continue;
        char check = 0;
        for (int i = 0; i < 8; ++i)
            check ^= b[i];
        bool ok = false;
        if (b.mid(8, 2).toInt(&ok, 16) == uchar(check) && ok)
            ++matching;
    }
    if (matching * 5 < qsizetype(bodies.size()) * 4)
        return std::nullopt;
    return Layout{1, 6, 0};
}

bool isNumberChar(char c)
{
    return isDigit(c) || c == '.' || c == ' ';
}

bool isSignChar(char c)
{
    return c == '+' || c == '-' || c == ' ';
}

/**
 * The longest run of columns that hold a number in every frame (blank padding and a leading minus
 * included, trailing blanks not), with a sign column just before it.
 */
std::optional<Layout> numericLayout(const QList<QByteArray>& bodies)
{
    const qsizetype width = bodies.first().size();
    const auto blank = [](char c) { return c == ' '; };
    const auto leading = [](char c) { return isNumberChar(c) || c == '-'; };
    Layout best;
    for (qsizetype start = 0; start < width;) {
        qsizetype end = start;
        if (allOf(bodies, start, leading))
            ++end;
        while (end > start && end < width && allOf(bodies, end, isNumberChar))
            ++end;
        qsizetype last = end;
        while (last > start && allOf(bodies, last - 1, blank))
            --last;
        if (last - start > best.weightCount)
            best = Layout{int(start), int(last - start), -1};
        start = end + 1;
    }
    if (best.weightCount == 0)
        return std::nullopt;
    if (best.weightIndex > 0 && allOf(bodies, best.weightIndex - 1, [](char c) { return c == '+' || c == '-'; }))
        best.signIndex = best.weightIndex - 1;
    return best;
}

QList<QByteArray> reversedBodies(QList<QByteArray> bodies)
{
    for (QByteArray& b : bodies)
        std::reverse(b.begin(), b.end());
    return bodies;
}

QByteArray fieldOf(const QByteArray& body, const Layout& layout)
{
    return body.mid(layout.weightIndex, layout.weightCount);
}

/** > 0: the digits that change most sit at the field's end, as the lowest digits of a weight do. */
double changeLean(const QList<QByteArray>& bodies, const Layout& layout)
{
    double weighted = 0;
    double changes = 0;
    for (qsizetype i = 1; i < bodies.size(); ++i) {
        const QByteArray a = fieldOf(bodies[i - 1], layout);
        const QByteArray b = fieldOf(bodies[i], layout);
        for (qsizetype k = 0; k < a.size(); ++k) {
            if (a[k] != b[k]) {
                weighted += double(k);
                changes += 1;
            }
        }
    }
    if (changes == 0)
        return 0;
    return weighted / changes - (layout.weightCount - 1) / 2.0;
}

int leadingZeros(QByteArrayView field)
{
    int zeros = 0;
    qsizetype i = 0;
    while (i < field.size() && isSignChar(field[i]))
        ++i;
    for (; i < field.size() && field[i] == '0'; ++i)
        ++zeros;
    return zeros;
}

/**
 * Forward or reversed reading of the same digits: the lowest digits change most while a load moves;
 * at rest a weight is padded with zeros on its high side; failing both, the smaller reading.
 */
bool readsForward(const QList<QByteArray>& bodies, const Layout& layout)
{
    const double lean = changeLean(bodies, layout);
    if (std::abs(lean) > 0.25)
        return lean > 0;
    const QByteArray forward = fieldOf(bodies.last(), layout);
    QByteArray reversed = forward;
    std::reverse(reversed.begin(), reversed.end());
    const int zerosForward = leadingZeros(forward);
    const int zerosReversed = leadingZeros(reversed);
    if (zerosForward != zerosReversed)
        return zerosForward > zerosReversed;
    const auto a = FrameRule::toNumber(forward);
    const auto b = FrameRule::toNumber(reversed);
    if (a && b && std::abs(*a) != std::abs(*b))
        return std::abs(*a) < std::abs(*b);
    return true;
}

FrameProposal proposalOf(char mark, bool direction, const Layout& layout)
{
    FrameProposal p;
    p.startChar = QByteArray(1, mark);
    p.direction = direction;
    p.weightOffset = layout.weightIndex + 1;
    p.weightCount = layout.weightCount;
    if (layout.signIndex >= 0) {
        p.signOffset = layout.signIndex + 1;
        p.signCount = 1;
        p.underloadSign = "-";
    }
    return p;
}

/** Candidates whose layout a check confirms, for one framing. */
QList<FrameProposal> checkedCandidates(const FrameAnalysis::Framing& framing, const QList<QByteArray>& bodies)
{
    const auto layout = checkedLayout(bodies);
    if (!layout)
        return {};
    FrameProposal proposal = proposalOf(framing.mark, true, *layout);
    proposal.checked = true;
    return {proposal};
}

/** Candidates read from the columns that hold numbers, the likelier reading direction first. */
QList<FrameProposal> numericCandidates(const FrameAnalysis::Framing& framing, const QList<QByteArray>& bodies)
{
    QList<FrameProposal> candidates;
    const auto forward = numericLayout(bodies);
    const QList<QByteArray> backward = reversedBodies(bodies);
    const auto reversed = numericLayout(backward);
    if (forward && reversed && forward->weightCount == reversed->weightCount) {
        const bool first = readsForward(bodies, *forward);
        candidates.append(first ? proposalOf(framing.mark, true, *forward)
                                : proposalOf(framing.mark, false, *reversed));
        candidates.append(first ? proposalOf(framing.mark, false, *reversed)
                                : proposalOf(framing.mark, true, *forward));
        return candidates;
    }
    if (forward && (!reversed || forward->weightCount > reversed->weightCount))
        candidates.append(proposalOf(framing.mark, true, *forward));
    if (reversed)
        candidates.append(proposalOf(framing.mark, false, *reversed));
    if (forward && reversed && forward->weightCount < reversed->weightCount)
        candidates.append(proposalOf(framing.mark, true, *forward));
    return candidates;
}

/**
 * Reads windows of three frames' length, a frame apart, as the frame rule reads the station's chunks.
 * The last weight when at least four fifths of them read one.
 */
std::optional<double> verify(QByteArrayView stream, int frameLength, const FrameParameters& parameters)
{
    int windows = 0;
    int read = 0;
    std::optional<double> last;
    for (qsizetype at = 0; at + 3 * frameLength <= stream.size(); at += frameLength) {
        ++windows;
        const auto fields = FrameRule::cut(stream.sliced(at, 3 * frameLength), parameters);
        if (!fields)
            continue;
        const auto number = FrameRule::toNumber(fields->weight);
        if (!number)
            continue;
        ++read;
        last = fields->negative ? -*number : *number;
    }
    if (windows == 0 || read * 5 < windows * 4)
        return std::nullopt;
    return last;
}

QByteArray joined(const QList<QByteArray>& chunks)
{
    QByteArray stream;
    for (const QByteArray& chunk : chunks)
        stream.append(chunk);
    return stream;
}

} // namespace

FrameParameters FrameProposal::parameters() const
{
    return FrameParameters::fromTexts(direction, QString::fromLatin1(startChar), QString::number(weightOffset),
                                      QString::number(weightCount), QString::number(signOffset),
                                      QString::number(signCount), QString::fromLatin1(underloadSign));
}

namespace FrameAnalysis {

QList<Framing> framings(QByteArrayView stream)
{
    QHash<char, QList<qsizetype>> positions;
    for (qsizetype i = 0; i < stream.size(); ++i)
        if (isFrameMark(stream[i]) && isPrintable(stream[i]))
            positions[stream[i]].append(i);

    struct Found
    {
        Framing framing;
        double regularity;
        qsizetype count;
        qsizetype first;
    };
    QList<Found> found;
    for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
        const QList<qsizetype>& at = it.value();
        if (at.size() < 3)
            continue;
        QHash<qsizetype, int> gaps;
        for (qsizetype i = 1; i < at.size(); ++i)
            ++gaps[at[i] - at[i - 1]];
        const auto modal = std::max_element(gaps.cbegin(), gaps.cend());
        const double regularity = double(*modal) / double(at.size() - 1);
        if (regularity < 0.8 || modal.key() < MinFrame || modal.key() > MaxFrame)
            continue;
        found.append({{it.key(), int(modal.key())}, regularity, at.size(), at.first()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.regularity != b.regularity)
            return a.regularity > b.regularity;
        if (a.count != b.count)
            return a.count > b.count;
        return a.first < b.first;
    });
    QList<Framing> result;
    for (const Found& f : found)
        result.append(f.framing);
    return result;
}

std::optional<FrameProposal> propose(const QList<QByteArray>& chunks)
{
    const QByteArray stream = joined(chunks);
    const QList<Framing> found = framings(stream);
    // A layout that a check confirms beats any reading of digits, whichever mark it hangs on.
    for (const auto candidatesOf : {checkedCandidates, numericCandidates}) {
        for (const Framing& framing : found) {
            const QList<QByteArray> bodies = bodiesOf(stream, framing);
            if (bodies.size() < 2)
                continue;
            for (FrameProposal candidate : candidatesOf(framing, bodies)) {
                if (const auto weight = verify(stream, framing.length, candidate.parameters())) {
                    candidate.weight = *weight;
                    return candidate;
                }
            }
        }
    }
    return std::nullopt;
}

ReceptionScore score(const QList<QByteArray>& chunks)
{
    ReceptionScore s;
    const QByteArray stream = joined(chunks);
    if (stream.isEmpty())
        return s;
    const auto printable = std::count_if(stream.begin(), stream.end(), isPrintable);
    s.clean = double(printable) / double(stream.size());
    s.framed = !framings(stream).isEmpty();
    if (s.framed && s.clean >= 0.9)
        s.proposal = propose(chunks);
    return s;
}

} // namespace FrameAnalysis
