// What the skin generator writes, and where.
#pragma once

#include "art.h"

#include <QString>
#include <QStringList>

namespace skingen {

// Every picture of the skin folder with its path relative to that folder
// (mouse pictures under mouse/<product>/).
Pictures skinPictures();

// Writes the skin folder: the pictures, icon.ico and each product's
// layout.ini. `written` receives the paths written, relative to the folder.
bool writeSkin(const QString &skinDir, QStringList *written, QString *error);

// The pictures the program embeds and the resource file that lists them under
// the names the program opens: ":/skin/loading.gif", ":/yes_Btn", ":/no_Btn".
bool writeResources(const QString &dir, QStringList *written, QString *error);

// The busy animation as the program embeds it.
QByteArray busyAnimationGif();

// A mock of the main window composed from a written skin folder (CUSTOMIZE
// page, front view, button 1 hovered), and a sheet of every picture.
QImage previewWindow(const QString &skinDir, qreal scale = 1.0);
// Pictures no larger than maxSide, each magnified zoom times (nearest pixel).
QImage contactSheet(const QString &skinDir, int maxSide = 100000, int zoom = 1);

} // namespace skingen
