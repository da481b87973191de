#include "Fr3File.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using namespace Qt::Literals::StringLiterals;

namespace {

// Delphi colours: 0x00BBGGRR; clNone and the system colours (negative) have no colour of their own.
constexpr qint64 ColorNone = 0x1FFFFFFF;

QColor colorOf(const QString& text, const QColor& fallback)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value == ColorNone || value < 0)
        return fallback;
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString colorText(const QColor& color)
{
    if (!color.isValid())
        return QString::number(ColorNone);
    return QString::number(color.red() | (color.green() << 8) | (color.blue() << 16));
}

bool boolOf(const QString& text)
{
    return text.compare(u"True"_s, Qt::CaseInsensitive) == 0;
}

QString boolText(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

/** Memo.UTF8 holds the UTF-8 bytes of the text, one character per byte. */
QString fromUtf8Bytes(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return text;
    return QString::fromUtf8(text.toLatin1());
}

const QHash<QString, BandKind>& bandKinds()
{
    static const QHash<QString, BandKind> kinds{
        {u"TfrxReportTitle"_s, BandKind::ReportTitle}, {u"TfrxPageHeader"_s, BandKind::PageHeader},
        {u"TfrxMasterData"_s, BandKind::MasterData},   {u"TfrxPageFooter"_s, BandKind::PageFooter},
        {u"TfrxReportSummary"_s, BandKind::ReportSummary}, {u"TfrxHeader"_s, BandKind::Header},
        {u"TfrxFooter"_s, BandKind::Footer}};
    return kinds;
}

const QHash<QString, ObjectKind>& objectKinds()
{
    static const QHash<QString, ObjectKind> kinds{
        {u"TfrxMemoView"_s, ObjectKind::Memo},         {u"TfrxLineView"_s, ObjectKind::Line},
        {u"TfrxShapeView"_s, ObjectKind::Shape},       {u"TfrxPictureView"_s, ObjectKind::Picture},
        {u"TfrxBarCodeView"_s, ObjectKind::Barcode},   {u"TfrxBarcode2DView"_s, ObjectKind::QrCode},
        {u"TfrxSysMemoView"_s, ObjectKind::Memo}};
    return kinds;
}

QString className(BandKind kind)
{
    return bandKinds().key(kind);
}

QString className(ObjectKind kind)
{
    return kind == ObjectKind::Memo ? u"TfrxMemoView"_s : objectKinds().key(kind);
}

QString numberText(double value)
{
    QString text = QString::number(value, 'f', 5);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text == u"-0"_s ? u"0"_s : text;
}

/** Picture.PropData: hex of the picture class name (length byte first) and the image file's bytes. */
QImage decodePicture(const QByteArray& hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    QImage image;
    if (image.loadFromData(bytes))
        return image;
    if (bytes.isEmpty())
        return {};
    const int nameLength = quint8(bytes[0]);
    const QByteArray rest = bytes.mid(1 + nameLength);
    if (image.loadFromData(rest))
        return image;
    // TBitmap data is preceded by its length.
    image.loadFromData(rest.mid(4));
    return image;
}

class Reader
{
public:
    Reader(const QByteArray& xml, const QString& fileName) : m_xml(xml), m_fileName(fileName) {}

    Fr3File::Loaded read()
    {
        Fr3File::Loaded loaded;
        ReportTemplate report;
        if (!m_xml.readNextStartElement()) {
            loaded.problem = notXml();
            return loaded;
        }
        if (m_xml.name() != u"TfrxReport"_s) {
            loaded.problem = u"文件%1不是报表模板（根元素是%2）"_s.arg(m_fileName, m_xml.name().toString());
            return loaded;
        }
        readReportAttributes(report);
        bool hasPage = false;
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            if (name == u"TfrxReportPage"_s && !hasPage) {
                readPage(report.page);
                hasPage = true;
            } else {
                if (name == u"TfrxReportPage"_s)
                    m_unsupported.append(u"第二页及以后的页面"_s);
                else if (!quietChildren().contains(name))
                    m_unsupported.append(describe(name));
                m_xml.skipCurrentElement();
            }
        }
        if (m_xml.hasError()) {
            loaded.problem = notXml();
            return loaded;
        }
        loaded.report = std::move(report);
        loaded.unsupported = m_unsupported;
        loaded.unsupported.removeDuplicates();
        return loaded;
    }

private:
    static const QStringList& quietChildren()
    {
        // Bookkeeping of the original engine; the data sets are ours to supply.
        static const QStringList names{u"Datasets"_s, u"Variables"_s, u"Style"_s, u"Styles"_s,
                                       u"TfrxDataPage"_s};
        return names;
    }

    QString notXml() const
    {
        return u"文件%1不是有效的报表模板：%2（第%3行）"_s.arg(
            m_fileName, m_xml.errorString().isEmpty() ? u"没有内容"_s : m_xml.errorString())
            .arg(m_xml.lineNumber());
    }

    QString describe(const QString& element) const
    {
        const QString objectName = m_xml.attributes().value(u"Name"_s).toString();
        return objectName.isEmpty() ? element : element + u' ' + objectName;
    }

    /** Visits every attribute; `take` returns false for the ones to keep as extra. */
    template <typename Take>
    ExtraAttributes attributes(Take take)
    {
        ExtraAttributes extra;
        for (const QXmlStreamAttribute& a : m_xml.attributes()) {
            const QString name = a.name().toString();
            const QString value = a.value().toString();
            if (!take(name, value))
                extra.append({name, value});
        }
        return extra;
    }

    void readReportAttributes(ReportTemplate& report)
    {
        report.extra = attributes([&](const QString& name, const QString& value) {
            if (name == u"PrintOptions.Printer"_s) {
                report.printerName = value == u"Default"_s || value == u"默认"_s ? QString() : value;
                return true;
            }
            if (name == u"ReportOptions.Name"_s) {
                report.reportName = value;
                return true;
            }
            if (name == u"ScriptText.Text"_s && hasScript(value))
                m_unsupported.append(u"脚本"_s);
            return false;
        });
    }

    static bool hasScript(const QString& text)
    {
        QString code = text.simplified().toLower();
        code.remove(u' ');
        return !code.isEmpty() && code != u"beginend."_s;
    }

    void readPage(ReportPage& page)
    {
        page.extra = attributes([&](const QString& name, const QString& value) {
            double* mm = name == u"PaperWidth"_s     ? &page.paperWidth
                         : name == u"PaperHeight"_s  ? &page.paperHeight
                         : name == u"LeftMargin"_s   ? &page.leftMargin
                         : name == u"TopMargin"_s    ? &page.topMargin
                         : name == u"RightMargin"_s  ? &page.rightMargin
                         : name == u"BottomMargin"_s ? &page.bottomMargin
                                                     : nullptr;
            if (mm) {
                *mm = Fr3File::number(value, *mm);
                return true;
            }
            if (name == u"Name"_s)
                page.name = value;
            else if (name == u"PaperSize"_s)
                page.paperSize = int(Fr3File::number(value, 9));
            else if (name == u"Orientation"_s)
                page.landscape = value == u"poLandscape"_s;
            else
                return false;
            return true;
        });
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            if (bandKinds().contains(name)) {
                page.bands.append(readBand(bandKinds().value(name)));
            } else if (objectKinds().contains(name)) {
                page.objects.append(readObject(objectKinds().value(name)));
            } else {
                m_unsupported.append(describe(name));
                m_xml.skipCurrentElement();
            }
        }
    }

    ReportBand readBand(BandKind kind)
    {
        ReportBand band;
        band.kind = kind;
        band.extra = attributes([&](const QString& name, const QString& value) {
            if (name == u"Name"_s)
                band.name = value;
            else if (name == u"Top"_s)
                band.top = Fr3File::number(value);
            else if (name == u"Height"_s)
                band.height = qMax(0.0, Fr3File::number(value));
            else if (name == u"DataSetName"_s || (name == u"DataSet"_s && band.dataSet.isEmpty()))
                band.dataSet = value;
            else if (name == u"RowCount"_s)
                band.rowCount = qMax(0, int(Fr3File::number(value, 1)));
            else if (name == u"ReprintOnNewPage"_s)
                band.reprintOnNewPage = boolOf(value);
            else
                return name == u"Left"_s || name == u"Width"_s || name == u"DataSet"_s;
            return true;
        });
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            if (objectKinds().contains(name)) {
                band.objects.append(readObject(objectKinds().value(name)));
            } else {
                m_unsupported.append(describe(name));
                m_xml.skipCurrentElement();
            }
        }
        return band;
    }

    ReportObject readObject(ObjectKind kind)
    {
        ReportObject o;
        o.kind = kind;
        // Newer files hold the text in Text, older ones in Memo.UTF8W or Memo.UTF8; the first found wins.
        bool hasText = false;
        o.extra = attributes([&](const QString& name, const QString& value) {
            return readObjectAttribute(o, name, value, hasText);
        });
        while (m_xml.readNextStartElement()) {
            m_unsupported.append(describe(m_xml.name().toString()));
            m_xml.skipCurrentElement();
        }
        if (o.kind == ObjectKind::Picture && !o.pictureData.isEmpty())
            o.picture = decodePicture(o.pictureData);
        if (o.kind == ObjectKind::Line && o.frameSides == 0)
            o.frameSides = FrameSide::Top;
        return o;
    }

    static bool readObjectAttribute(ReportObject& o, const QString& name, const QString& value, bool& hasText)
    {
        double* length = name == u"Left"_s     ? &o.left
                         : name == u"Top"_s    ? &o.top
                         : name == u"Width"_s  ? &o.width
                         : name == u"Height"_s ? &o.height
                                               : nullptr;
        if (length) {
            *length = Fr3File::number(value);
            return true;
        }
        if (name == u"Text"_s || name == u"Memo.UTF8W"_s || name == u"Memo.UTF8"_s) {
            if (!hasText)
                o.text = name == u"Memo.UTF8"_s ? fromUtf8Bytes(value) : value;
            hasText = true;
            return true;
        }
        if (name.startsWith(u"Font."_s))
            return readFont(o.font, name.mid(5), value);
        if (name.startsWith(u"Frame."_s))
            return readFrame(o, name.mid(6), value);
        if (name.startsWith(u"DisplayFormat."_s))
            return readFormat(o.displayFormat, name.mid(14), value);
        if (name == u"Name"_s)
            o.name = value;
        else if (name == u"HAlign"_s)
            o.hAlign = value == u"haCenter"_s  ? HAlign::Center
                       : value == u"haRight"_s ? HAlign::Right
                       : value == u"haBlock"_s ? HAlign::Block
                                               : HAlign::Left;
        else if (name == u"VAlign"_s)
            o.vAlign = value == u"vaCenter"_s ? VAlign::Center : value == u"vaBottom"_s ? VAlign::Bottom : VAlign::Top;
        else if (name == u"WordWrap"_s)
            o.wordWrap = boolOf(value);
        else if (name == u"Color"_s)
            o.fill = colorOf(value, QColor());
        else if (name == u"Shape"_s)
            o.shape = value == u"skEllipse"_s          ? ShapeKind::Ellipse
                      : value == u"skRoundRectangle"_s ? ShapeKind::RoundRectangle
                                                       : ShapeKind::Rectangle;
        else if (name == u"Diagonal"_s)
            o.diagonal = boolOf(value);
        else if (name == u"Picture.PropData"_s)
            o.pictureData = value.toLatin1();
        else if (name == u"FileLink"_s)
            o.pictureFile = value;
        else if (name == u"Stretched"_s)
            o.stretched = boolOf(value);
        else if (name == u"KeepAspectRatio"_s)
            o.keepAspectRatio = boolOf(value);
        else if (name == u"BarType"_s)
            o.barType = value;
        else if (name == u"Expression"_s)
            o.expression = value;
        else if (name == u"ShowText"_s)
            o.showText = boolOf(value);
        else
            return false;
        return true;
    }

    static bool readFont(ReportFont& font, const QString& key, const QString& value)
    {
        if (key == u"Name"_s) {
            font.name = value;
        } else if (key == u"Height"_s) {
            // A negative height is the pixel height; a positive one includes the internal leading.
            const double height = Fr3File::number(value, -13);
            font.pixelHeight = height < 0 ? -height : height * 0.85;
        } else if (key == u"Style"_s) {
            const int style = int(Fr3File::number(value));
            font.bold = style & 1;
            font.italic = style & 2;
            font.underline = style & 4;
        } else if (key == u"Color"_s) {
            font.color = colorOf(value, Qt::black);
        } else if (key == u"Charset"_s) {
            font.charset = int(Fr3File::number(value, 134));
        } else {
            return false;
        }
        return true;
    }

    static bool readFrame(ReportObject& o, const QString& key, const QString& value)
    {
        if (key == u"Typ"_s)
            o.frameSides = int(Fr3File::number(value)) & FrameSide::All;
        else if (key == u"Width"_s)
            o.frameWidth = Fr3File::number(value, 1);
        else if (key == u"Color"_s)
            o.frameColor = colorOf(value, Qt::black);
        else
            return false;
        return true;
    }

    static bool readFormat(DisplayFormat& format, const QString& key, const QString& value)
    {
        if (key == u"FormatStr"_s) {
            format.format = value;
            if (format.kind == FormatKind::Text)
                format.kind = FormatKind::Numeric;
        } else if (key == u"Kind"_s) {
            format.kind = value == u"fkDateTime"_s ? FormatKind::DateTime
                          : value == u"fkText"_s   ? FormatKind::Text
                                                   : FormatKind::Numeric;
        } else if (key == u"DecimalSeparator"_s) {
            format.decimalSeparator = value;
        } else {
            return false;
        }
        return true;
    }

    QXmlStreamReader m_xml;
    QString m_fileName;
    QStringList m_unsupported;
};

class Writer
{
public:
    explicit Writer(QIODevice* device) : m_xml(device) { m_xml.setAutoFormatting(true); }

    void write(const ReportTemplate& report)
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement(u"TfrxReport"_s);
        m_xml.writeAttribute(u"Version"_s, u"4.0"_s);
        m_xml.writeAttribute(u"PrintOptions.Printer"_s,
                             report.printerName.isEmpty() ? u"Default"_s : report.printerName);
        m_xml.writeAttribute(u"ReportOptions.Name"_s, report.reportName);
        extra(report.extra, {u"Version"_s});
        if (!hasAttribute(report.extra, u"ScriptText.Text"_s))
            m_xml.writeAttribute(u"ScriptText.Text"_s, u"begin\r\n\r\nend."_s);
        m_xml.writeStartElement(u"Datasets"_s);
        m_xml.writeEmptyElement(u"item"_s);
        m_xml.writeAttribute(u"DataSet"_s, u"frxDBDataset1"_s);
        m_xml.writeAttribute(u"DataSetName"_s, u"frxDBDataset1"_s);
        m_xml.writeEndElement();
        m_xml.writeEmptyElement(u"TfrxDataPage"_s);
        m_xml.writeAttribute(u"Name"_s, u"Data"_s);
        m_xml.writeAttribute(u"Height"_s, u"1000"_s);
        m_xml.writeAttribute(u"Left"_s, u"0"_s);
        m_xml.writeAttribute(u"Top"_s, u"0"_s);
        m_xml.writeAttribute(u"Width"_s, u"1000"_s);
        page(report.page);
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
    }

private:
    static bool hasAttribute(const ExtraAttributes& attributes, const QString& name)
    {
        return std::any_of(attributes.begin(), attributes.end(), [&](const auto& a) { return a.first == name; });
    }

    void extra(const ExtraAttributes& attributes, const QStringList& skip = {})
    {
        for (const auto& [name, value] : attributes)
            if (!skip.contains(name))
                m_xml.writeAttribute(name, value);
    }

    void number(const QString& name, double value) { m_xml.writeAttribute(name, numberText(value)); }

    void page(const ReportPage& p)
    {
        m_xml.writeStartElement(u"TfrxReportPage"_s);
        m_xml.writeAttribute(u"Name"_s, p.name);
        number(u"PaperWidth"_s, p.paperWidth);
        number(u"PaperHeight"_s, p.paperHeight);
        m_xml.writeAttribute(u"PaperSize"_s, QString::number(p.paperSize));
        m_xml.writeAttribute(u"Orientation"_s, p.landscape ? u"poLandscape"_s : u"poPortrait"_s);
        number(u"LeftMargin"_s, p.leftMargin);
        number(u"RightMargin"_s, p.rightMargin);
        number(u"TopMargin"_s, p.topMargin);
        number(u"BottomMargin"_s, p.bottomMargin);
        extra(p.extra);
        const double width = (p.paperWidth - p.leftMargin - p.rightMargin) * UnitsPerMm;
        for (const ReportBand& b : p.bands)
            band(b, width);
        for (const ReportObject& o : p.objects)
            object(o);
        m_xml.writeEndElement();
    }

    void band(const ReportBand& b, double width)
    {
        m_xml.writeStartElement(className(b.kind));
        m_xml.writeAttribute(u"Name"_s, b.name);
        number(u"Height"_s, b.height);
        number(u"Left"_s, 0);
        number(u"Top"_s, b.top);
        number(u"Width"_s, width);
        if (b.reprintOnNewPage)
            m_xml.writeAttribute(u"ReprintOnNewPage"_s, u"True"_s);
        if (b.kind == BandKind::MasterData) {
            if (b.dataSet.isEmpty()) {
                m_xml.writeAttribute(u"RowCount"_s, QString::number(b.rowCount));
            } else {
                m_xml.writeAttribute(u"DataSet"_s, b.dataSet);
                m_xml.writeAttribute(u"DataSetName"_s, b.dataSet);
            }
        }
        extra(b.extra);
        for (const ReportObject& o : b.objects)
            object(o);
        m_xml.writeEndElement();
    }

    void object(const ReportObject& o)
    {
        m_xml.writeEmptyElement(className(o.kind));
        m_xml.writeAttribute(u"Name"_s, o.name);
        number(u"Left"_s, o.left);
        number(u"Top"_s, o.top);
        number(u"Width"_s, o.width);
        number(u"Height"_s, o.height);
        switch (o.kind) {
        case ObjectKind::Memo:
            font(o.font);
            frame(o);
            m_xml.writeAttribute(u"Color"_s, colorText(o.fill));
            m_xml.writeAttribute(u"HAlign"_s, QStringList{u"haLeft"_s, u"haCenter"_s, u"haRight"_s,
                                                          u"haBlock"_s}[int(o.hAlign)]);
            m_xml.writeAttribute(u"VAlign"_s,
                                 QStringList{u"vaTop"_s, u"vaCenter"_s, u"vaBottom"_s}[int(o.vAlign)]);
            m_xml.writeAttribute(u"WordWrap"_s, boolText(o.wordWrap));
            format(o.displayFormat);
            break;
        case ObjectKind::Line:
            frame(o);
            if (o.diagonal)
                m_xml.writeAttribute(u"Diagonal"_s, u"True"_s);
            break;
        case ObjectKind::Shape:
            frame(o);
            m_xml.writeAttribute(u"Color"_s, colorText(o.fill));
            m_xml.writeAttribute(u"Shape"_s, QStringList{u"skRectangle"_s, u"skRoundRectangle"_s,
                                                         u"skEllipse"_s}[int(o.shape)]);
            break;
        case ObjectKind::Picture:
            if (!o.pictureFile.isEmpty())
                m_xml.writeAttribute(u"FileLink"_s, o.pictureFile);
            if (!o.pictureData.isEmpty())
                m_xml.writeAttribute(u"Picture.PropData"_s, QString::fromLatin1(o.pictureData));
            m_xml.writeAttribute(u"Stretched"_s, boolText(o.stretched));
            m_xml.writeAttribute(u"KeepAspectRatio"_s, boolText(o.keepAspectRatio));
            frame(o);
            break;
        case ObjectKind::Barcode:
        case ObjectKind::QrCode:
            m_xml.writeAttribute(u"BarType"_s, o.barType);
            m_xml.writeAttribute(u"Expression"_s, o.expression);
            m_xml.writeAttribute(u"ShowText"_s, boolText(o.showText));
            font(o.font);
            break;
        }
        extra(o.extra);
        if (o.kind == ObjectKind::Memo || !o.text.isEmpty())
            m_xml.writeAttribute(u"Text"_s, o.text);
    }

    void font(const ReportFont& f)
    {
        m_xml.writeAttribute(u"Font.Charset"_s, QString::number(f.charset));
        m_xml.writeAttribute(u"Font.Color"_s, colorText(f.color));
        number(u"Font.Height"_s, -f.pixelHeight);
        m_xml.writeAttribute(u"Font.Name"_s, f.name);
        m_xml.writeAttribute(u"Font.Style"_s,
                             QString::number(int(f.bold) | int(f.italic) << 1 | int(f.underline) << 2));
    }

    void frame(const ReportObject& o)
    {
        if (o.frameColor != Qt::black)
            m_xml.writeAttribute(u"Frame.Color"_s, colorText(o.frameColor));
        m_xml.writeAttribute(u"Frame.Typ"_s, QString::number(o.frameSides));
        number(u"Frame.Width"_s, o.frameWidth);
    }

    void format(const DisplayFormat& f)
    {
        if (f.kind == FormatKind::Text && f.format.isEmpty())
            return;
        m_xml.writeAttribute(u"DisplayFormat.DecimalSeparator"_s, f.decimalSeparator);
        m_xml.writeAttribute(u"DisplayFormat.FormatStr"_s, f.format);
        m_xml.writeAttribute(u"DisplayFormat.Kind"_s, f.kind == FormatKind::DateTime ? u"fkDateTime"_s
                                                      : f.kind == FormatKind::Numeric  ? u"fkNumeric"_s
                                                                                       : u"fkText"_s);
    }

    QXmlStreamWriter m_xml;
};

} // namespace

double Fr3File::number(const QString& text, double fallback)
{
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok ? value : fallback;
}

Fr3File::Loaded Fr3File::parse(const QByteArray& xml, const QString& fileName)
{
    return Reader(xml, fileName).read();
}

Fr3File::Loaded Fr3File::read(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        Loaded loaded;
        loaded.problem = QFileInfo::exists(path) ? u"无法读取报表模板%1：%2"_s.arg(path, file.errorString())
                                                 : u"报表模板%1不存在"_s.arg(path);
        return loaded;
    }
    return parse(file.readAll(), path);
}

QByteArray Fr3File::serialize(const ReportTemplate& report)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Writer(&buffer).write(report);
    return bytes;
}

std::optional<QString> Fr3File::write(const ReportTemplate& report, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(serialize(report)) < 0 || !file.commit())
        return u"无法保存报表模板%1：%2"_s.arg(path, file.errorString());
    return std::nullopt;
}
