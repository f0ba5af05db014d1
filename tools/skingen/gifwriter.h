// A small animated GIF89a encoder: one global palette (exact when the frames
// hold at most 255 colours, median cut otherwise), index 0 transparent, LZW
// image data, the looping application extension and full-canvas frames that
// are cleared before the next one is drawn.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QVector>

namespace skingen {

struct GifOptions {
    int delayCs = 4;            // display time of each frame in hundredths of a second
    int loopCount = 0;          // 0 loops forever
    QColor matte = Qt::black;   // partly transparent pixels are composed over this colour
    int alphaThreshold = 32;    // pixels with a lower alpha become fully transparent
};

// Encodes the frames (all of one size, at most 65535 x 65535) as an animated
// GIF. Returns an empty array when there is no frame or the sizes differ.
QByteArray encodeGif(const QVector<QImage> &frames, const GifOptions &options);

namespace gifdetail {
// LZW-compresses palette indices the way GIF image data wants them, returning
// the code stream split into sub-blocks (without the minimum code size byte and
// without the terminating empty block). Exposed for the tests.
QByteArray lzwBlocks(const QByteArray &indices, int minCodeSize);
} // namespace gifdetail

} // namespace skingen
