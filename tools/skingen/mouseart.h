// The pictures of each supported mouse: the top (front) view, the left side
// view, one top view per button with that button lit, and the marker layout.
// A product is described by a MouseDesign; the renderers know nothing about
// any particular model, so another product is one more description.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

namespace skingen {

// Both views are drawn on a 300 x 400 picture; the mouse stays in the top
// kMouseArea rows and everything below is transparent.
constexpr int kMousePictureWidth = 300;
constexpr int kMousePictureHeight = 400;
constexpr int kMouseArea = 265;

struct MouseButtonArt {
    int number = 0;           // counted from 1, as the button page counts
    QString role;             // what the button does, for the layout file's readers
    QPainterPath top;         // its surface in the top view (empty: hidden there)
    QPainterPath side;        // its surface in the side view (empty: hidden there)
    QPointF topMarker;        // marker centre in the top view
    QPointF sideMarker;       // marker centre in the side view
};

struct MouseDesign {
    QString name;             // product name, also the folder under skin/mouse/

    // Top view.
    QPainterPath topBody;     // the whole shell outline
    QRectF topWheelWell;      // recess around the wheel
    QRectF topWheel;          // the wheel's visible tread
    QPainterPath topLight;    // light strip
    QPointF topLogo;          // centre of the palm emblem
    QPointF wheelUpMarker;    // the two wheel-direction markers
    QPointF wheelDownMarker;

    // Left side view, front to the left.
    QPainterPath sideBody;
    QPainterPath sideSeam;    // parting line between top shell and side panel
    QPainterPath sideShell;   // the top shell above the parting line
    QPainterPath sideGrip;    // textured thumb rest
    QPainterPath sideLight;   // light strip
    QPointF sideWheelCentre;
    qreal sideWheelRadius = 0;
    qreal sideBaseY = 0;      // resting line, mirrored below for the reflection

    std::vector<MouseButtonArt> buttons;

    const MouseButtonArt *button(int number) const;
};

// Every product the skin ships pictures for.
std::vector<MouseDesign> mouseDesigns();
MouseDesign velkorDesign();

// Top view; `lit` is the number of the button to light in the accent colour,
// 0 for none.
QImage renderTopView(const MouseDesign &design, int lit = 0);
QImage renderSideView(const MouseDesign &design);

// The marker positions: [Front] Button<n>=x,y, [Side] Button<n>=x,y and
// [Extra] Up=x,y, Down=x,y, centres in picture coordinates.
QByteArray layoutIni(const MouseDesign &design);

} // namespace skingen
