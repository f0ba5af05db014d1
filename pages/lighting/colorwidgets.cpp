#include "colorwidgets.h"

#include "lighting.h"
#include "widgets/uistate.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

// ------------------------------------------------------------ hue strip --

HColorArea::HColorArea(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

int HColorArea::margin() const
{
    return scaled(int(BASE_MARGIN));
}

int HColorArea::stripHeight() const
{
    return qMax(1, height() - 2 * margin());
}

void HColorArea::setHue(int hue)
{
    hue = qBound(0, hue, 360);
    m_iHue = hue;
    m_dFraction = hue / 360.0;
    update();
}

void HColorArea::rebuildStrip()
{
    const int stripWidth = scaled(int(BASE_STRIP_WIDTH));
    m_Strip = QPixmap(qMax(1, stripWidth), stripHeight());
    QPainter p(&m_Strip);
    // Bottom (hue 0) to top (hue 360, red again).
    QLinearGradient g(0, m_Strip.height(), 0, 0);
    for (int i = 0; i < 16; ++i)
        g.setColorAt(i / 16.0, QColor::fromHsv(i * 360 / 16, 255, 255));
    g.setColorAt(1.0, QColor::fromHsv(0, 255, 255));
    p.fillRect(m_Strip.rect(), g);
}

void HColorArea::resizeEvent(QResizeEvent *)
{
    rebuildStrip();
}

void HColorArea::paintEvent(QPaintEvent *)
{
    if (m_Strip.isNull() || m_Strip.height() != stripHeight())
        rebuildStrip();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(0, margin(), m_Strip);
    p.setPen(QColor(0, 0, 0, 160));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, margin() + 0.5, m_Strip.width() - 1, m_Strip.height() - 1));

    // The white triangle pointing at the strip.
    const qreal y = margin() + (1.0 - m_dFraction) * stripHeight();
    const qreal left = m_Strip.width() + 1;
    const qreal reach = qMax<qreal>(5, width() - left - 1);
    QPainterPath tri;
    tri.moveTo(left, y);
    tri.lineTo(left + reach, y - reach * 0.8);
    tri.lineTo(left + reach, y + reach * 0.8);
    tri.closeSubpath();
    p.fillPath(tri, Qt::white);
}

void HColorArea::pick(int y)
{
    m_dFraction = lighting::hueFraction(y, margin(), stripHeight());
    m_iHue = lighting::hueForFraction(m_dFraction);
    update();
    emit hueChangedSignal(m_iHue);
}

void HColorArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pick(event->pos().y());
}

void HColorArea::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        pick(event->pos().y());
}

void HColorArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit mouseReleaseSignal();
}

// ------------------------------------------------ saturation/value square --

SVColorArea::SVColorArea(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::CrossCursor);
}

int SVColorArea::side() const
{
    return scaled(int(BASE_SIDE));
}

int SVColorArea::inset() const
{
    return scaled(int(BASE_MARGIN));
}

QPoint SVColorArea::markerPos() const
{
    return QPoint(inset() + lighting::offsetForLevel(m_iSat, side()),
                  inset() + side() - lighting::offsetForLevel(m_iVal, side()));
}

void SVColorArea::setSaturationValue(int s, int v)
{
    s = qBound(0, s, 255);
    v = qBound(0, v, 255);
    if (s == m_iSat && v == m_iVal)
        return;
    m_iSat = s;
    m_iVal = v;
    update();
}

void SVColorArea::setHue(int hue)
{
    hue = lighting::normalisedHue(hue);
    if (hue == m_iHue && !m_SatLayer.isNull())
        return;
    m_iHue = hue;
    rebuildLayers();
    update();
}

void SVColorArea::hueChangedSlot(int hue)
{
    setHue(hue);
    // The dialog hears the hue as it came (360 included) and wraps it.
    emit svChangedSignal(qBound(0, hue, 360), m_iSat, m_iVal);
}

void SVColorArea::rebuildLayers()
{
    const int n = qMax(1, side());
    m_SatLayer = QPixmap(n, n);
    {
        QPainter p(&m_SatLayer);
        QLinearGradient g(0, 0, n, 0);
        g.setColorAt(0.0, Qt::white);
        g.setColorAt(1.0, QColor::fromHsv(m_iHue, 255, 255));
        p.fillRect(m_SatLayer.rect(), g);
    }
    if (m_ValLayer.size() != QSize(n, n)) {
        m_ValLayer = QPixmap(n, n);
        m_ValLayer.fill(Qt::transparent);
        QPainter p(&m_ValLayer);
        QLinearGradient g(0, 0, 0, n);
        g.setColorAt(0.0, QColor(0, 0, 0, 0));
        g.setColorAt(1.0, QColor(0, 0, 0, 255));
        p.fillRect(m_ValLayer.rect(), g);
    }
}

void SVColorArea::resizeEvent(QResizeEvent *)
{
    rebuildLayers();
}

void SVColorArea::paintEvent(QPaintEvent *)
{
    if (m_SatLayer.isNull() || m_SatLayer.width() != side())
        rebuildLayers();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(inset(), inset(), m_SatLayer);
    p.drawPixmap(inset(), inset(), m_ValLayer);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawRect(QRectF(inset() - 0.5, inset() - 0.5, side() + 1, side() + 1));

    // A 12-pixel ring: white over the dark lower half, black above it.
    const QPoint c = markerPos();
    const bool lower = c.y() - inset() > side() / 2;
    p.setPen(QPen(lower ? Qt::white : Qt::black, qMax(1, scaled(2))));
    p.setBrush(Qt::NoBrush);
    const qreal r = scaled(12) / 2.0;
    p.drawEllipse(QPointF(c), r, r);
}

void SVColorArea::pick(const QPoint &pos)
{
    m_iSat = lighting::levelForOffset(pos.x() - inset(), side());
    m_iVal = lighting::levelForOffset(inset() + side() - pos.y(), side());
    update();
    emit svChangedSignal(m_iHue, m_iSat, m_iVal);
}

void SVColorArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pick(event->pos());
}

void SVColorArea::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        pick(event->pos());
}

void SVColorArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit mouseReleaseSignal();
}

// --------------------------------------------------------------- preview --

PreviewColorArea::PreviewColorArea(QWidget *parent)
    : QWidget(parent)
{
}

void PreviewColorArea::setColor(const QColor &color)
{
    if (color == m_Color)
        return;
    m_Color = color;
    update();
}

void PreviewColorArea::svChangedSlot(int h, int s, int v)
{
    setColor(QColor::fromHsv(lighting::normalisedHue(h), qBound(0, s, 255), qBound(0, v, 255)).toRgb());
}

void PreviewColorArea::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QColor(0x4d, 0x53, 0x5e));
    p.setBrush(m_Color);
    p.drawRoundedRect(r, scaled(3), scaled(3));
}

// ---------------------------------------------------------------- swatch --

DefaultColorArea::DefaultColorArea(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

DefaultColorArea::DefaultColorArea(const QColor &color, QWidget *parent)
    : DefaultColorArea(parent)
{
    m_Color = color;
}

void DefaultColorArea::setColor(const QColor &color)
{
    if (color == m_Color)
        return;
    m_Color = color;
    update();
}

void DefaultColorArea::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // An unset colour (a profile without the key) shows as black, which is
    // what the mouse receives for it.
    p.fillRect(rect(), m_Color.isValid() ? m_Color : QColor(Qt::black));
    p.setPen(QColor(255, 255, 255, 70));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DefaultColorArea::resizeEvent(QResizeEvent *)
{
    update();
}

void DefaultColorArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit ClickedSignal();
}
