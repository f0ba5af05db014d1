#pragma once
// Pictures the first frame needs, decoded on another core while the program
// sets itself up and builds the window.

#include <QImage>
#include <QString>

// Starts reading the picture in the background.
void preloadImage(const QString &path);
// The picture read in the background when one was started for this path
// (waiting for it if need be), else read now. Each preload serves one take.
QImage takeImage(const QString &path);
