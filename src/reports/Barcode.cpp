#include "Barcode.h"

#include <QHash>
#include <QPainter>
#include <memory>
#include <zint.h>

using namespace Qt::Literals::StringLiterals;

int Barcode::symbology(const QString& barType)
{
    static const QHash<QString, int> types{
        {u"bccode128"_s, BARCODE_CODE128},   {u"bccode128a"_s, BARCODE_CODE128}, {u"bccode128b"_s, BARCODE_CODE128B},
        {u"bccode128c"_s, BARCODE_CODE128},  {u"bccode39"_s, BARCODE_CODE39},   {u"bccode39extended"_s, BARCODE_EXCODE39},
        {u"bccode93"_s, BARCODE_CODE93},     {u"bccodeean13"_s, BARCODE_EANX},   {u"bccodeean8"_s, BARCODE_EANX},
        {u"bccodeupc_a"_s, BARCODE_UPCA},    {u"bccodecodabar"_s, BARCODE_CODABAR}, {u"bccode2_5interleaved"_s, BARCODE_C25INTER},
        {u"bccodeqr"_s, BARCODE_QRCODE},     {u"bcqr"_s, BARCODE_QRCODE},        {u"bccodepdf417"_s, BARCODE_PDF417},
        {u"bccodedatamatrix"_s, BARCODE_DATAMATRIX}, {u"bccodeaztec"_s, BARCODE_AZTEC}};
    return types.value(barType.trimmed().toLower(), 0);
}

namespace {

using Symbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

/** Encodes as vectors; the symbol is null when there is nothing to draw, `problem` set when it failed. */
Symbol encode(const QString& barType, const QString& data, QString& problem)
{
    Symbol none(nullptr, &ZBarcode_Delete);
    const int type = Barcode::symbology(barType.isEmpty() ? u"bcCode128"_s : barType);
    if (type == 0) {
        problem = u"不支持的条码类型%1"_s.arg(barType);
        return none;
    }
    if (data.isEmpty())
        return none;
    Symbol symbol(ZBarcode_Create(), &ZBarcode_Delete);
    symbol->symbology = type;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0;
    if (type == BARCODE_QRCODE)
        symbol->option_1 = 2; // error correction M
    const QByteArray bytes = data.toUtf8();
    const int status = ZBarcode_Encode_and_Buffer_Vector(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                                                         int(bytes.size()), 0);
    if (status >= ZINT_ERROR || !symbol->vector) {
        problem = u"条码无法表示“%1”：%2"_s.arg(data, QString::fromLatin1(symbol->errtxt));
        return none;
    }
    return symbol;
}

} // namespace

QString Barcode::check(const QString& barType, const QString& data)
{
    QString problem;
    encode(barType, data, problem);
    return problem;
}

QString Barcode::draw(QPainter& painter, const QRectF& box, const QString& barType, const QString& data)
{
    QString problem;
    const Symbol symbol = encode(barType, data, problem);
    if (!symbol || box.width() <= 0 || box.height() <= 0)
        return problem;
    const int type = symbol->symbology;
    const zint_vector* vector = symbol->vector;
    // Square codes keep their proportions, centred; bars stretch to the box.
    const bool square = type == BARCODE_QRCODE || type == BARCODE_DATAMATRIX || type == BARCODE_AZTEC;
    double sx = box.width() / vector->width;
    double sy = box.height() / vector->height;
    QPointF origin = box.topLeft();
    if (square) {
        sx = sy = qMin(sx, sy);
        origin += QPointF((box.width() - vector->width * sx) / 2, (box.height() - vector->height * sy) / 2);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const zint_vector_rect* r = vector->rectangles; r; r = r->next)
        painter.drawRect(QRectF(origin.x() + r->x * sx, origin.y() + r->y * sy, r->width * sx, r->height * sy));
    painter.restore();
    return {};
}
