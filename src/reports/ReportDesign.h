#pragma once

#include "Template.h"

#include <QPointF>
#include <optional>

/** An object of a design: its band and its place in the band's list. */
struct ObjectRef
{
    int band = -1;
    int index = -1;
    bool operator==(const ObjectRef&) const = default;
};

/**
 * A template being designed: every edit is one step that can be undone and redone, and keeps the
 * template valid (objects stay inside their band, sizes stay positive), so what is saved always opens.
 */
class ReportDesign
{
public:
    explicit ReportDesign(ReportTemplate layout = {});

    const ReportTemplate& layout() const { return m_layout; }
    const ReportObject& object(ObjectRef ref) const { return m_layout.page.bands[ref.band].objects[ref.index]; }
    bool isValid(ObjectRef ref) const;
    /** Width of the page's content (between the margins), in the file's units. */
    double contentWidth() const;

    void moveObjects(const QList<ObjectRef>& refs, double dx, double dy);
    void resizeObject(ObjectRef ref, double width, double height);
    /** Replaces an object's properties (text, font, frame …); its place is kept within the band. */
    void setObject(ObjectRef ref, const ReportObject& changed);
    ObjectRef addObject(int band, ObjectKind kind, const QPointF& at, const QString& text = {});
    void removeObjects(QList<ObjectRef> refs);
    /** Copies of the objects a little below and to the right; returns the copies. */
    QList<ObjectRef> copyObjects(const QList<ObjectRef>& refs);
    /** Lines the objects up on the first one's left or top edge. */
    void alignLeft(const QList<ObjectRef>& refs);
    void alignTop(const QList<ObjectRef>& refs);

    /** Adds a band of that kind (one of each) in the engine's order; returns its index. */
    int addBand(BandKind kind);
    void removeBand(int band);
    void resizeBand(int band, double height);
    /** Paper, margins, orientation and printer; the bands are kept. */
    void setPage(const ReportPage& page, const QString& printerName);

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    void undo();
    void redo();

private:
    /** Records the state before an edit. */
    void step();
    void keepInside(ReportObject& o, const ReportBand& band) const;

    ReportTemplate m_layout;
    QList<ReportTemplate> m_undo;
    QList<ReportTemplate> m_redo;
};
