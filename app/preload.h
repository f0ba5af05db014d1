#pragma once
// Pictures the first frame needs, decoded on another core while the program
// sets itself up and builds the window.

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

// Starts reading the pictures in the background, one after the other in the
// order given (the first needed first). A path already waiting is not read
// twice.
void preloadImages(const QStringList &paths);
inline void preloadImage(const QString &path) { preloadImages(QStringList{path}); }
// The picture read in the background when one was started for this path
// (waiting for it if need be), else read now; one with an alpha channel comes
// premultiplied, as a pixmap keeps it. Each preload serves one take.
QImage takeImage(const QString &path);
// Every picture of a file that holds several (an icon's sizes), the same way.
QVector<QImage> takeImages(const QString &path);
// Pictures read ahead that nobody took are let go (the window chose other
// pictures than the ones guessed).
void dropPreloads();
