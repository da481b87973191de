#pragma once

#include "PreparedReport.h"

#include <QDialog>
#include <QPrinter>
#include <QWidget>
#include <functional>
#include <optional>

class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;

/** Shows one page of a prepared report at a zoom; the designer window embeds it, the preview window too. */
class ReportPreviewPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportPreviewPane)

public:
    explicit ReportPreviewPane(QWidget* parent = nullptr);

    void setReport(const PreparedReport& report);
    const PreparedReport& report() const { return m_report; }
    int page() const { return m_page; }
    int pageCount() const { return int(m_report.pages.size()); }
    void setPage(int page);
    /** 1.0: true size on a 96 dpi screen. */
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    /** Zoom at which the page's width fits the visible area. */
    double pageWidthZoom() const;
    double wholePageZoom() const;
    /** The next page (after the current one, wrapping round) whose texts hold `text`; false when none. */
    bool findNext(const QString& text);

Q_SIGNALS:
    void pageChanged(int page);

private:
    class PageView;
    QScrollArea* m_scroll;
    PageView* m_view;
    PreparedReport m_report;
    int m_page = 0;
    double m_zoom = 1;
    QString m_found;
};

/**
 * The preview window: page navigation, zoom, find, page set-up, print (the print dialog), export to PDF
 * and pictures (PNG, JPEG, BMP). Emits printed() after each print that went to a printer.
 */
class ReportPreviewWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportPreviewWindow)

public:
    /** Prints one prepared report and returns the problem; replaces the print dialog (tests print to PDF). */
    using PrintFunction = std::function<std::optional<QString>(const PreparedReport&)>;

    ReportPreviewWindow(const PreparedReport& report, Prompter& prompter, QWidget* parent = nullptr);

    ReportPreviewPane& pane() { return *m_pane; }
    void setPrintFunction(PrintFunction print) { m_print = std::move(print); }

public Q_SLOTS:
    void printReport();
    void exportPdf();
    void exportPng();
    void pageSetup();
    void findText();

Q_SIGNALS:
    void printed();

private:
    void buildToolBar();
    void showPageNumber();
    std::optional<QString> printWithDialog(const PreparedReport& report);

    Prompter& m_prompter;
    ReportPreviewPane* m_pane;
    QLabel* m_pageLabel = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLineEdit* m_findBox = nullptr;
    PrintFunction m_print;
    QPrinter m_printer;
    /** After the page set-up the pages are fitted onto the paper chosen there. */
    bool m_useChosenPaper = false;
};
