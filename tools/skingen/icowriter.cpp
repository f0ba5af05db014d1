#include "icowriter.h"

#include <QBuffer>
#include <QSet>

namespace skingen {

namespace {

void put16(QByteArray &out, quint32 v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// A 32-bit DIB as icons store it: header with doubled height, bottom-up BGRA
// rows, then the one-bit AND mask (set = transparent), rows padded to 32 bits.
QByteArray dibEntry(const QImage &src)
{
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;

    QByteArray out;
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(h * 2));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, quint32(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
            out.append(char(qAlpha(line[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(quint8(row[x / 8]) | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray pngEntry(const QImage &img)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    img.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return data;
}

} // namespace

QByteArray encodeIco(const QVector<QImage> &images)
{
    if (images.isEmpty() || images.size() > 0xffff)
        return {};
    QSet<int> sizes;
    for (const QImage &img : images) {
        if (img.isNull() || img.width() != img.height() || img.width() > 256 || sizes.contains(img.width()))
            return {};
        sizes.insert(img.width());
    }

    QVector<QByteArray> payloads;
    for (const QImage &img : images)
        payloads.append(img.width() >= 256 ? pngEntry(img) : dibEntry(img));

    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, quint32(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        out.append(char(side >= 256 ? 0 : side));
        out.append(char(side >= 256 ? 0 : side));
        out.append(char(0)); // no palette
        out.append(char(0));
        put16(out, 1);       // planes
        put16(out, 32);      // bits per pixel
        put32(out, quint32(payloads[i].size()));
        put32(out, offset);
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray &p : payloads)
        out.append(p);
    return out;
}

} // namespace skingen
