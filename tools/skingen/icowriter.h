// Writes a Windows icon file holding several sizes of one picture. Qt's own ico
// writer stores a single image, so the program's icon is written here: 32-bit
// bitmaps with their transparency masks for the small sizes, PNG for 256 x 256.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

namespace skingen {

// Every image must be square, between 1 and 256 pixels wide, and of a distinct
// size. Returns an empty array otherwise.
QByteArray encodeIco(const QVector<QImage> &images);

} // namespace skingen
