#include "gifwriter.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace skingen {

namespace gifdetail {

namespace {

// Packs variable-width codes least significant bit first.
class BitWriter {
public:
    void put(int code, int width)
    {
        m_acc |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_acc & 0xff));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes.append(char(m_acc & 0xff));
        m_acc = 0;
        m_bits = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_acc = 0;
    int m_bits = 0;
};

constexpr int kMaxCodes = 4096;

} // namespace

QByteArray lzwBlocks(const QByteArray &indices, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    // children[prefix * 256 + byte] = code of prefix+byte, 0 = not yet in the table
    std::vector<quint16> children(size_t(kMaxCodes) * 256u, 0);

    BitWriter out;
    int codeSize = minCodeSize + 1;
    int lastCode = endCode; // highest code in the table
    out.put(clearCode, codeSize);

    if (!indices.isEmpty()) {
        int prefix = quint8(indices.at(0));
        for (int i = 1; i < indices.size(); ++i) {
            const int byte = quint8(indices.at(i));
            const size_t slot = size_t(prefix) * 256u + size_t(byte);
            if (children[slot] != 0) {
                prefix = children[slot];
                continue;
            }
            out.put(prefix, codeSize);
            children[slot] = quint16(++lastCode);
            if (lastCode >= (1 << codeSize) && codeSize < 12)
                ++codeSize;
            if (lastCode == kMaxCodes - 1) {
                // Table full: start over so the codes keep describing long runs.
                out.put(clearCode, codeSize);
                std::fill(children.begin(), children.end(), quint16(0));
                codeSize = minCodeSize + 1;
                lastCode = endCode;
            }
            prefix = byte;
        }
        out.put(prefix, codeSize);
    }
    out.put(endCode, codeSize);

    const QByteArray stream = out.finish();
    QByteArray blocks;
    blocks.reserve(stream.size() + stream.size() / 255 + 1);
    for (int pos = 0; pos < stream.size(); pos += 255) {
        const int n = std::min(255, int(stream.size()) - pos);
        blocks.append(char(n));
        blocks.append(stream.constData() + pos, n);
    }
    return blocks;
}

} // namespace gifdetail

namespace {

constexpr int kTransparent = 0;
constexpr int kPaletteSize = 256;

struct Weighted {
    QRgb color;
    int count;
};

int channel(QRgb c, int ch)
{
    return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c);
}

// Median cut over the weighted colour histogram, at most `wanted` entries.
QVector<QRgb> medianCut(std::vector<Weighted> colors, int wanted)
{
    struct Box {
        int begin;
        int end;
    };
    auto spread = [&](const Box &b, int &widest) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (int i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, channel(colors[size_t(i)].color, ch));
                hi = std::max(hi, channel(colors[size_t(i)].color, ch));
            }
            if (hi - lo > best) {
                best = hi - lo;
                widest = ch;
            }
        }
        return best;
    };

    std::vector<Box> boxes{{0, int(colors.size())}};
    while (int(boxes.size()) < wanted) {
        // Split the box with the largest colour spread weighted by its pixels.
        int pick = -1, pickChannel = 0;
        qint64 pickScore = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            int ch = 0;
            const int s = spread(boxes[b], ch);
            qint64 pixels = 0;
            for (int i = boxes[b].begin; i < boxes[b].end; ++i)
                pixels += colors[size_t(i)].count;
            const qint64 score = qint64(s) * pixels;
            if (s > 0 && score > pickScore) {
                pickScore = score;
                pick = int(b);
                pickChannel = ch;
            }
        }
        if (pick < 0)
            break;
        Box box = boxes[size_t(pick)];
        std::sort(colors.begin() + box.begin, colors.begin() + box.end,
                  [&](const Weighted &a, const Weighted &b) {
                      return channel(a.color, pickChannel) < channel(b.color, pickChannel);
                  });
        qint64 total = 0;
        for (int i = box.begin; i < box.end; ++i)
            total += colors[size_t(i)].count;
        qint64 run = 0;
        int cut = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            run += colors[size_t(i)].count;
            cut = i + 1;
            if (run * 2 >= total)
                break;
        }
        boxes[size_t(pick)] = {box.begin, cut};
        boxes.push_back({cut, box.end});
    }

    QVector<QRgb> palette;
    for (const Box &b : boxes) {
        qint64 r = 0, g = 0, bl = 0, n = 0;
        for (int i = b.begin; i < b.end; ++i) {
            const Weighted &w = colors[size_t(i)];
            r += qint64(qRed(w.color)) * w.count;
            g += qint64(qGreen(w.color)) * w.count;
            bl += qint64(qBlue(w.color)) * w.count;
            n += w.count;
        }
        palette.append(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((bl + n / 2) / n)));
    }
    return palette;
}

void putWord(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

} // namespace

QByteArray encodeGif(const QVector<QImage> &frames, const GifOptions &options)
{
    if (frames.isEmpty())
        return {};
    const QSize size = frames.first().size();
    if (size.isEmpty() || size.width() > 0xffff || size.height() > 0xffff)
        return {};
    for (const QImage &f : frames)
        if (f.size() != size)
            return {};

    // Compose partial alpha over the matte; the alpha threshold decides which
    // pixels stay see-through. Transparent pixels are marked by alpha 0.
    const QRgb matte = options.matte.rgb();
    QVector<QImage> flat;
    flat.reserve(frames.size());
    QHash<QRgb, int> histogram;
    for (const QImage &frame : frames) {
        QImage img = frame.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = line[x];
                const int a = qAlpha(c);
                if (a < options.alphaThreshold) {
                    line[x] = 0;
                    continue;
                }
                const auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
                line[x] = qRgba(mix(qRed(c), qRed(matte)), mix(qGreen(c), qGreen(matte)),
                                mix(qBlue(c), qBlue(matte)), 255);
                ++histogram[line[x]];
            }
        }
        flat.append(img);
    }

    QVector<QRgb> palette;
    if (histogram.size() <= kPaletteSize - 1) {
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
            palette.append(it.key());
        std::sort(palette.begin(), palette.end());
    } else {
        std::vector<Weighted> colors;
        colors.reserve(size_t(histogram.size()));
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
            colors.push_back({it.key(), it.value()});
        std::sort(colors.begin(), colors.end(), [](const Weighted &a, const Weighted &b) { return a.color < b.color; });
        palette = medianCut(std::move(colors), kPaletteSize - 1);
    }

    QHash<QRgb, quint8> lookup;
    auto indexOf = [&](QRgb c) -> quint8 {
        auto it = lookup.constFind(c);
        if (it != lookup.cend())
            return it.value();
        int best = 0;
        int bestDist = INT_MAX;
        for (int i = 0; i < palette.size(); ++i) {
            const int dr = qRed(c) - qRed(palette[i]);
            const int dg = qGreen(c) - qGreen(palette[i]);
            const int db = qBlue(c) - qBlue(palette[i]);
            const int d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        const quint8 index = quint8(best + 1); // index 0 is the transparent entry
        lookup.insert(c, index);
        return index;
    };

    QByteArray out;
    out.append("GIF89a", 6);
    putWord(out, size.width());
    putWord(out, size.height());
    out.append(char(0xf7));          // global table of 256 entries, 8 bits per primary
    out.append(char(kTransparent));  // background: the transparent entry
    out.append(char(0));             // square pixels
    out.append(char(qRed(matte)));   // entry 0, never shown
    out.append(char(qGreen(matte)));
    out.append(char(qBlue(matte)));
    for (int i = 0; i < kPaletteSize - 1; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }

    // Looping: the NETSCAPE2.0 application extension.
    out.append("\x21\xff\x0b", 3);
    out.append("NETSCAPE2.0", 11);
    out.append("\x03\x01", 2);
    putWord(out, std::clamp(options.loopCount, 0, 0xffff));
    out.append(char(0));

    const int delay = std::clamp(options.delayCs, 0, 0xffff);
    for (const QImage &img : flat) {
        // Graphic control: restore to background after showing, index 0 transparent.
        out.append("\x21\xf9\x04", 3);
        out.append(char((2 << 2) | 1));
        putWord(out, delay);
        out.append(char(kTransparent));
        out.append(char(0));

        out.append(char(0x2c));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, size.width());
        putWord(out, size.height());
        out.append(char(0)); // no local table, not interlaced

        QByteArray indices;
        indices.resize(size.width() * size.height());
        char *dst = indices.data();
        for (int y = 0; y < img.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                *dst++ = char(qAlpha(line[x]) == 0 ? kTransparent : indexOf(line[x]));
        }
        out.append(char(8)); // minimum code size for a 256-entry table
        out.append(gifdetail::lzwBlocks(indices, 8));
        out.append(char(0));
    }
    out.append(char(0x3b));
    return out;
}

} // namespace skingen
