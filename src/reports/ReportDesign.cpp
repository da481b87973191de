#include "ReportDesign.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double MinimumSize = 1;

QString prefixOf(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Memo:
        return u"Memo"_s;
    case ObjectKind::Line:
        return u"Line"_s;
    case ObjectKind::Shape:
        return u"Shape"_s;
    case ObjectKind::Picture:
        return u"Picture"_s;
    case ObjectKind::Barcode:
        return u"BarCode"_s;
    case ObjectKind::QrCode:
        return u"Barcode2D"_s;
    }
    return u"Object"_s;
}

QString bandName(BandKind kind)
{
    static const QStringList names{u"ReportTitle"_s, u"PageHeader"_s, u"Header"_s,       u"MasterData"_s,
                                   u"Footer"_s,      u"PageFooter"_s, u"ReportSummary"_s};
    return names[int(kind)] + u'1';
}

} // namespace

ReportDesign::ReportDesign(ReportTemplate layout) : m_layout(std::move(layout)) {}

bool ReportDesign::isValid(ObjectRef ref) const
{
    return ref.band >= 0 && ref.band < m_layout.page.bands.size() && ref.index >= 0
           && ref.index < m_layout.page.bands[ref.band].objects.size();
}

double ReportDesign::contentWidth() const
{
    const ReportPage& p = m_layout.page;
    return qMax(MinimumSize, (p.paperWidth - p.leftMargin - p.rightMargin) * UnitsPerMm);
}

void ReportDesign::step()
{
    m_undo.append(m_layout);
    m_redo.clear();
}

void ReportDesign::keepInside(ReportObject& o, const ReportBand& band) const
{
    o.width = std::clamp(o.width, o.kind == ObjectKind::Line ? 0.0 : MinimumSize, contentWidth());
    o.height = std::clamp(o.height, o.kind == ObjectKind::Line ? 0.0 : MinimumSize, qMax(MinimumSize, band.height));
    o.left = std::clamp(o.left, 0.0, contentWidth() - o.width);
    o.top = std::clamp(o.top, 0.0, qMax(0.0, band.height - o.height));
}

void ReportDesign::moveObjects(const QList<ObjectRef>& refs, double dx, double dy)
{
    step();
    for (const ObjectRef& ref : refs) {
        if (!isValid(ref))
            continue;
        ReportBand& band = m_layout.page.bands[ref.band];
        ReportObject& o = band.objects[ref.index];
        o.left += dx;
        o.top += dy;
        keepInside(o, band);
    }
}

void ReportDesign::resizeObject(ObjectRef ref, double width, double height)
{
    if (!isValid(ref))
        return;
    step();
    ReportBand& band = m_layout.page.bands[ref.band];
    ReportObject& o = band.objects[ref.index];
    o.width = width;
    o.height = height;
    keepInside(o, band);
}

void ReportDesign::setObject(ObjectRef ref, const ReportObject& changed)
{
    if (!isValid(ref))
        return;
    step();
    ReportBand& band = m_layout.page.bands[ref.band];
    band.objects[ref.index] = changed;
    keepInside(band.objects[ref.index], band);
}

ObjectRef ReportDesign::addObject(int band, ObjectKind kind, const QPointF& at, const QString& text)
{
    if (band < 0 || band >= m_layout.page.bands.size())
        return {};
    step();
    ReportBand& b = m_layout.page.bands[band];
    ReportObject o;
    o.kind = kind;
    int n = 1;
    const auto taken = [&](const QString& name) {
        for (const ReportBand& other : m_layout.page.bands)
            for (const ReportObject& existing : other.objects)
                if (existing.name == name)
                    return true;
        return false;
    };
    while (taken(prefixOf(kind) + QString::number(n)))
        ++n;
    o.name = prefixOf(kind) + QString::number(n);
    o.left = at.x();
    o.top = at.y();
    const bool square = kind == ObjectKind::QrCode || kind == ObjectKind::Picture;
    o.width = kind == ObjectKind::Line ? 150 : square ? 75 : 150;
    o.height = kind == ObjectKind::Line ? 0 : square ? 75 : kind == ObjectKind::Barcode ? 50 : 22;
    if (kind == ObjectKind::Memo) {
        o.text = text;
        o.vAlign = VAlign::Center;
    } else if (kind == ObjectKind::Line) {
        o.frameSides = FrameSide::Top;
    } else if (kind == ObjectKind::Barcode || kind == ObjectKind::QrCode) {
        o.barType = kind == ObjectKind::Barcode ? u"bcCode128"_s : u"bcCodeQR"_s;
        o.expression = text.isEmpty() ? u"<frxDBDataset1.\"编号\">"_s : text;
    }
    keepInside(o, b);
    b.objects.append(o);
    return {band, int(b.objects.size()) - 1};
}

void ReportDesign::removeObjects(QList<ObjectRef> refs)
{
    step();
    // From the last so that the other indexes stay right.
    std::sort(refs.begin(), refs.end(),
              [](ObjectRef a, ObjectRef b) { return a.band != b.band ? a.band > b.band : a.index > b.index; });
    for (const ObjectRef& ref : refs)
        if (isValid(ref))
            m_layout.page.bands[ref.band].objects.removeAt(ref.index);
}

QList<ObjectRef> ReportDesign::copyObjects(const QList<ObjectRef>& refs)
{
    QList<ObjectRef> copies;
    QList<ReportObject> originals;
    for (const ObjectRef& ref : refs)
        if (isValid(ref))
            originals.append(object(ref));
    for (int i = 0; i < originals.size(); ++i) {
        const ObjectRef made = addObject(refs[i].band, originals[i].kind, {originals[i].left + 8, originals[i].top + 8});
        ReportObject copy = originals[i];
        copy.name = object(made).name;
        copy.left = object(made).left;
        copy.top = object(made).top;
        ReportBand& band = m_layout.page.bands[made.band];
        band.objects[made.index] = copy;
        keepInside(band.objects[made.index], band);
        copies.append(made);
    }
    // One step for the whole copy.
    if (copies.size() > 1)
        m_undo.remove(m_undo.size() - copies.size() + 1, copies.size() - 1);
    return copies;
}

void ReportDesign::alignLeft(const QList<ObjectRef>& refs)
{
    if (refs.size() < 2 || !isValid(refs.first()))
        return;
    const double left = object(refs.first()).left;
    step();
    for (const ObjectRef& ref : refs)
        if (isValid(ref)) {
            ReportBand& band = m_layout.page.bands[ref.band];
            band.objects[ref.index].left = left;
            keepInside(band.objects[ref.index], band);
        }
}

void ReportDesign::alignTop(const QList<ObjectRef>& refs)
{
    if (refs.size() < 2 || !isValid(refs.first()))
        return;
    const double top = object(refs.first()).top;
    step();
    for (const ObjectRef& ref : refs)
        if (isValid(ref)) {
            ReportBand& band = m_layout.page.bands[ref.band];
            band.objects[ref.index].top = top;
            keepInside(band.objects[ref.index], band);
        }
}

int ReportDesign::addBand(BandKind kind)
{
    QList<ReportBand>& bands = m_layout.page.bands;
    for (int i = 0; i < bands.size(); ++i)
        if (bands[i].kind == kind)
            return i;
    step();
    ReportBand band;
    band.kind = kind;
    band.name = bandName(kind);
    band.height = kind == BandKind::MasterData ? 22 : 40;
    if (kind == BandKind::MasterData)
        band.dataSet = u"frxDBDataset1"_s;
    const auto at = std::find_if(bands.begin(), bands.end(), [&](const ReportBand& b) { return b.kind > kind; });
    const int index = int(at - bands.begin());
    bands.insert(index, band);
    return index;
}

void ReportDesign::removeBand(int band)
{
    if (band < 0 || band >= m_layout.page.bands.size())
        return;
    step();
    m_layout.page.bands.removeAt(band);
}

void ReportDesign::resizeBand(int band, double height)
{
    if (band < 0 || band >= m_layout.page.bands.size())
        return;
    step();
    ReportBand& b = m_layout.page.bands[band];
    double lowest = MinimumSize;
    for (const ReportObject& o : b.objects)
        lowest = qMax(lowest, o.top + o.height);
    // A band never cuts its objects off.
    b.height = qMax(height, lowest);
}

void ReportDesign::setPage(const ReportPage& page, const QString& printerName)
{
    step();
    ReportPage changed = page;
    changed.paperWidth = qMax(10.0, page.paperWidth);
    changed.paperHeight = qMax(10.0, page.paperHeight);
    changed.bands = m_layout.page.bands;
    changed.objects = m_layout.page.objects;
    m_layout.page = changed;
    m_layout.printerName = printerName;
    for (ReportBand& band : m_layout.page.bands)
        for (ReportObject& o : band.objects)
            keepInside(o, band);
}

void ReportDesign::undo()
{
    if (m_undo.isEmpty())
        return;
    m_redo.append(m_layout);
    m_layout = m_undo.takeLast();
}

void ReportDesign::redo()
{
    if (m_redo.isEmpty())
        return;
    m_undo.append(m_layout);
    m_layout = m_redo.takeLast();
}
