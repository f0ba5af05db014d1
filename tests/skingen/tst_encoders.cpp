// The GIF and ICO writers, checked by decoding their output with Qt's readers.
#include "gifwriter.h"
#include "icowriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QMovie>
#include <QtTest>

using namespace skingen;

namespace {

QVector<QImage> decodeAll(const QByteArray &data, int *loopCount = nullptr, int *delay = nullptr)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QVector<QImage> frames;
    if (loopCount)
        *loopCount = reader.loopCount();
    for (;;) {
        QImage img = reader.read();
        if (img.isNull())
            break;
        if (delay && frames.isEmpty())
            *delay = reader.nextImageDelay();
        frames.append(img.convertToFormat(QImage::Format_ARGB32));
    }
    return frames;
}

// Deterministic pseudo-random numbers for test pictures.
quint32 next(quint32 &s)
{
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

// A picture of `colours` distinct opaque colours scattered at random, with a
// transparent band along the top rows.
QImage noise(int w, int h, int colours, quint32 seed)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (y < 2) {
                img.setPixel(x, y, 0);
                continue;
            }
            const int k = int(next(seed) % quint32(colours));
            img.setPixel(x, y, qRgb((k * 37) & 0xff, (k * 91 + 13) & 0xff, (k * 53 + 101) & 0xff));
        }
    return img;
}

void compareExact(const QImage &expected, const QImage &actual)
{
    QCOMPARE(actual.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y);
            const QRgb a = actual.pixel(x, y);
            if (qAlpha(e) == 0) {
                if (qAlpha(a) != 0)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 should be transparent").arg(x).arg(y)));
            } else if (a != e) {
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 instead of %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(a, 8, 16, QLatin1Char('0'))
                                     .arg(e, 8, 16, QLatin1Char('0'))));
            }
        }
}

} // namespace

class TestEncoders : public QObject {
    Q_OBJECT

private slots:
    void gifRoundTripsExactColours_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("colours");
        QTest::newRow("tiny, two colours") << 1 << 3 << 2;
        QTest::newRow("odd size") << 97 << 61 << 200;
        // Noise of 255 colours fills the 4096-code table many times over, so
        // the clear-and-restart path and every code width are exercised.
        QTest::newRow("table resets") << 300 << 300 << 255;
    }

    void gifRoundTripsExactColours()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, colours);
        const QImage img = noise(width, height, colours, 0x1234567u + quint32(width));
        const QByteArray gif = encodeGif({img}, GifOptions());
        QVERIFY(gif.startsWith("GIF89a"));
        const QVector<QImage> frames = decodeAll(gif);
        QCOMPARE(frames.size(), 1);
        compareExact(img, frames.first());
    }

    void gifLongRunsOfOneColour()
    {
        // Runs long enough to need twelve-bit codes without any clear code.
        QImage img(512, 512, QImage::Format_ARGB32);
        img.fill(qRgb(200, 10, 30));
        for (int x = 0; x < 512; ++x)
            img.setPixel(x, x, qRgb(0, 0, 0));
        const QVector<QImage> frames = decodeAll(encodeGif({img}, GifOptions()));
        QCOMPARE(frames.size(), 1);
        compareExact(img, frames.first());
    }

    void gifAnimationLoopsAndKeepsEachFrame()
    {
        QVector<QImage> frames;
        for (int k = 0; k < 5; ++k) {
            QImage f(40, 30, QImage::Format_ARGB32);
            f.fill(Qt::transparent);
            for (int y = 5; y < 25; ++y)
                for (int x = 5 + 6 * k; x < 11 + 6 * k; ++x)
                    f.setPixel(x, y, qRgb(255, 125, 0));
            frames.append(f);
        }
        GifOptions options;
        options.delayCs = 7;
        int loops = 0, delay = 0;
        const QVector<QImage> decoded = decodeAll(encodeGif(frames, options), &loops, &delay);
        QCOMPARE(decoded.size(), 5);
        QCOMPARE(loops, -1); // forever
        QCOMPARE(delay, 70);
        // Each frame shows only its own square: earlier frames are cleared, so
        // the moving square leaves no trail.
        for (int k = 0; k < 5; ++k)
            compareExact(frames[k], decoded[k]);
    }

    void gifFiniteLoopCount()
    {
        QImage f(4, 4, QImage::Format_ARGB32);
        f.fill(Qt::red);
        GifOptions options;
        options.loopCount = 3;
        int loops = 0;
        decodeAll(encodeGif({f, f}, options), &loops);
        QCOMPARE(loops, 3);
    }

    void gifPlaysInQMovie()
    {
        QImage f(16, 16, QImage::Format_ARGB32);
        f.fill(Qt::blue);
        QBuffer buffer;
        buffer.setData(encodeGif({f, f, f}, GifOptions()));
        QMovie movie(&buffer, "gif");
        QVERIFY(movie.isValid());
        QCOMPARE(movie.frameCount(), 3);
        // played from the start, as the busy dialog does
        QVERIFY(movie.jumpToFrame(0));
        QVERIFY(movie.jumpToNextFrame());
        QVERIFY(movie.jumpToNextFrame());
        QCOMPARE(movie.currentFrameNumber(), 2);
        QCOMPARE(movie.currentImage().size(), QSize(16, 16));
    }

    void gifAlphaThresholdAndMatte()
    {
        QImage f(3, 1, QImage::Format_ARGB32);
        f.setPixel(0, 0, qRgba(255, 0, 0, 20));   // below the threshold: see-through
        f.setPixel(1, 0, qRgba(255, 0, 0, 128));  // half over the matte
        f.setPixel(2, 0, qRgba(0, 255, 0, 255));  // opaque: exact
        GifOptions options;
        options.matte = QColor(0, 0, 200);
        options.alphaThreshold = 32;
        const QVector<QImage> frames = decodeAll(encodeGif({f}, options));
        QCOMPARE(frames.size(), 1);
        QCOMPARE(qAlpha(frames[0].pixel(0, 0)), 0);
        const QRgb half = frames[0].pixel(1, 0);
        QCOMPARE(qAlpha(half), 255);
        QVERIFY(qAbs(qRed(half) - 128) <= 1);
        QVERIFY(qAbs(qBlue(half) - 100) <= 1);
        QCOMPARE(frames[0].pixel(2, 0), qRgb(0, 255, 0));
    }

    void gifQuantisesManyColoursClosely()
    {
        // 4096 colours do not fit a palette: the median cut keeps them close.
        QImage img(64, 64, QImage::Format_ARGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                img.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
        const QVector<QImage> frames = decodeAll(encodeGif({img}, GifOptions()));
        QCOMPARE(frames.size(), 1);
        int worst = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb a = frames[0].pixel(x, y), e = img.pixel(x, y);
                QCOMPARE(qAlpha(a), 255);
                worst = std::max({worst, qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)),
                                  qAbs(qBlue(a) - qBlue(e))});
            }
        QVERIFY2(worst <= 24, qPrintable(QStringLiteral("worst channel error %1").arg(worst)));
    }

    void gifRefusesBadInput()
    {
        QVERIFY(encodeGif({}, GifOptions()).isEmpty());
        QImage a(4, 4, QImage::Format_ARGB32), b(5, 4, QImage::Format_ARGB32);
        a.fill(Qt::red);
        b.fill(Qt::red);
        QVERIFY(encodeGif({a, b}, GifOptions()).isEmpty());
        QVERIFY(encodeGif({QImage()}, GifOptions()).isEmpty());
    }

    void lzwBlocksAreAtMost255Bytes()
    {
        QByteArray indices(20000, '\0');
        quint32 s = 99;
        for (char &c : indices)
            c = char(next(s) & 0xff);
        const QByteArray blocks = gifdetail::lzwBlocks(indices, 8);
        int pos = 0, count = 0;
        while (pos < blocks.size()) {
            const int n = quint8(blocks.at(pos));
            QVERIFY(n > 0 && n <= 255);
            pos += 1 + n;
            ++count;
        }
        QCOMPARE(pos, blocks.size());
        QVERIFY(count > 1);
    }

    void icoHoldsEverySize()
    {
        QVector<QImage> images;
        for (int side : {16, 32, 48, 256}) {
            QImage img(side, side, QImage::Format_ARGB32);
            img.fill(Qt::transparent);
            for (int y = side / 4; y < side * 3 / 4; ++y)
                for (int x = side / 4; x < side * 3 / 4; ++x)
                    img.setPixel(x, y, qRgba(255, 125, 0, 255));
            img.setPixel(side - 1, side - 1, qRgba(10, 20, 30, 128)); // partial alpha survives
            images.append(img);
        }
        const QByteArray ico = encodeIco(images);
        QBuffer buffer;
        buffer.setData(ico);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), 4);
        QSet<int> seen;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage img = reader.read().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(img.width(), img.height());
            const int side = img.width();
            seen.insert(side);
            QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
            QCOMPARE(img.pixel(side / 2, side / 2), qRgba(255, 125, 0, 255));
            QCOMPARE(qAlpha(img.pixel(side - 1, side - 1)), 128);
        }
        QCOMPARE(seen, (QSet<int>{16, 32, 48, 256}));
    }

    void icoRefusesBadInput()
    {
        QImage square(16, 16, QImage::Format_ARGB32), wide(32, 16, QImage::Format_ARGB32),
            huge(512, 512, QImage::Format_ARGB32);
        square.fill(Qt::red);
        wide.fill(Qt::red);
        huge.fill(Qt::red);
        QVERIFY(encodeIco({}).isEmpty());
        QVERIFY(encodeIco({wide}).isEmpty());
        QVERIFY(encodeIco({huge}).isEmpty());
        QVERIFY(encodeIco({square, square}).isEmpty());
        QVERIFY(!encodeIco({square}).isEmpty());
    }
};

QTEST_MAIN(TestEncoders)
#include "tst_encoders.moc"
