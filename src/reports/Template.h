#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

/*
 * A report template in the layout of the .fr3 files: one page with its paper, bands from top to bottom,
 * objects inside the bands. Lengths are in the file's units (96 per inch, so 1 cm = 37.7953) and
 * relative to the band; paper and margins are in millimetres.
 */

inline constexpr double UnitsPerMm = 3.779527559;

/** Attributes a file holds that the model does not interpret, kept in file order for writing back. */
using ExtraAttributes = QList<QPair<QString, QString>>;

struct ReportFont
{
    QString name = QStringLiteral("宋体");
    /** Pixel height at 96 dpi (the file's negative Font.Height). */
    double pixelHeight = 13;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;
    int charset = 134;
};

enum class HAlign { Left, Center, Right, Block };
enum class VAlign { Top, Center, Bottom };

/** Frame.Typ: a bit set of the sides drawn. */
namespace FrameSide {
inline constexpr int Left = 1;
inline constexpr int Right = 2;
inline constexpr int Top = 4;
inline constexpr int Bottom = 8;
inline constexpr int All = 15;
} // namespace FrameSide

enum class FormatKind { Text, Numeric, DateTime };

struct DisplayFormat
{
    FormatKind kind = FormatKind::Text;
    /** As stored: "%2.2f", "%2.2n", "%g" for numbers, "yyyy-mm-dd hh:nn:ss" for dates. */
    QString format;
    QString decimalSeparator = QStringLiteral(".");
};

enum class ObjectKind { Memo, Line, Shape, Picture, Barcode, QrCode };

enum class ShapeKind { Rectangle, RoundRectangle, Ellipse };

struct ReportObject
{
    ObjectKind kind = ObjectKind::Memo;
    QString name;
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    /** Memo: the text with [expressions]; barcode and QR code: the text when there is no expression. */
    QString text;
    /** Barcode and QR code: an expression giving the data (as the file's Expression). */
    QString expression;

    ReportFont font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = true;
    int frameSides = 0;
    double frameWidth = 1;
    QColor frameColor = Qt::black;
    /** Invalid: no fill. */
    QColor fill;
    DisplayFormat displayFormat;

    ShapeKind shape = ShapeKind::Rectangle;
    /** Line: drawn from the top left to the bottom right instead of along an edge. */
    bool diagonal = false;

    /** Picture: decoded picture data, or the file it links to (relative to the program folder). */
    QImage picture;
    QByteArray pictureData;
    QString pictureFile;
    bool stretched = true;
    bool keepAspectRatio = true;

    /** Barcode: the file's BarType ("bcCode128", "bcCodeQR" …); the human-readable line under the bars. */
    QString barType;
    bool showText = true;

    ExtraAttributes extra;
};

/** Header and Footer belong to the master data: before its first row and after its last. */
enum class BandKind { ReportTitle, PageHeader, Header, MasterData, Footer, PageFooter, ReportSummary };

struct ReportBand
{
    BandKind kind = BandKind::MasterData;
    QString name;
    double top = 0;
    double height = 0;
    /** Master data: the data set it repeats over; empty: printed RowCount times. */
    QString dataSet;
    int rowCount = 1;
    /** Header: printed again at the top of every page the rows go on to. */
    bool reprintOnNewPage = false;
    QList<ReportObject> objects;
    ExtraAttributes extra;
};

struct ReportPage
{
    QString name = QStringLiteral("Page1");
    double paperWidth = 210;
    double paperHeight = 297;
    /** The file's PaperSize: 9 A4, 256 a size of its own. */
    int paperSize = 9;
    bool landscape = false;
    double leftMargin = 10;
    double topMargin = 10;
    double rightMargin = 10;
    double bottomMargin = 10;
    QList<ReportBand> bands;
    /** Objects placed on the page outside any band: drawn on every page. */
    QList<ReportObject> objects;
    ExtraAttributes extra;
};

struct ReportTemplate
{
    ReportPage page;
    /** Empty or "Default" (as the files write it): the system's default printer. */
    QString printerName;
    QString reportName;
    ExtraAttributes extra;
};
