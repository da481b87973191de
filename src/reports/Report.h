#pragma once

#include "Expressions.h"
#include "PreparedReport.h"
#include "Template.h"

#include <QSqlRecord>
#include <optional>

class QSqlQuery;

/**
 * A report: a template, the rows of its data set "frxDBDataset1" and its variables. Prepare it to get
 * pages; write those as PDF here, or show and print them with the preview window.
 */
class Report
{
public:
    inline static const QString DataSetName = QStringLiteral("frxDBDataset1");

    /**
     * Loads a template file; the current layout is discarded first. A missing or unreadable file
     * leaves an empty report and returns false, with problem() naming the file.
     */
    bool load(const QString& path);
    void setTemplate(const ReportTemplate& layout);
    const ReportTemplate& layout() const { return m_layout; }
    QString path() const { return m_path; }
    QString problem() const { return m_problem; }
    /** What the loaded file holds that is not printed; empty when nothing. */
    QStringList unsupported() const { return m_unsupported; }

    /** The data set: rows of equal columns. */
    void setRows(const QList<QSqlRecord>& rows) { m_rows = rows; }
    /** Reads every row of an executed query (from its current position). */
    void setRows(QSqlQuery& query);
    const QList<QSqlRecord>& rows() const { return m_rows; }

    void setVariables(ReportVariables variables) { m_variables = std::move(variables); }
    /** The time [Date] and [Time] show; default: when prepare() runs. */
    void setNow(const QDateTime& now) { m_now = now; }
    /** Folder that relative picture files are found in; default: the parent of the template's folder. */
    void setBaseFolder(const QString& folder) { m_baseFolder = folder; }

    /** Lays the bands out over the rows. Never throws; problems end up in the result's warnings. */
    PreparedReport prepare() const;

    /** Prepares and writes a PDF file; returns the problem when it cannot be written. */
    std::optional<QString> exportPdf(const QString& file) const;

    /**
     * The variables of the record report: Title1 and Title2 by their exact names, pz, mz, jz and cs
     * (the tare, gross, net and count lines) in any letter case.
     */
    static ReportVariables recordReportVariables(const QString& title1, const QString& title2, const QString& pz,
                                                 const QString& mz, const QString& jz, const QString& cs);

private:
    ReportTemplate m_layout;
    QString m_path;
    QString m_problem;
    QStringList m_unsupported;
    QList<QSqlRecord> m_rows;
    ReportVariables m_variables;
    QDateTime m_now;
    QString m_baseFolder;
};
