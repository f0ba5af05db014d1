#include "osdwindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVariantAnimation>

namespace {
const char kTitle[] = "BLMX Wireless Mouse OSD";

QFont messageFont(const platform::OsdMessage &m)
{
    QFont font(m.font.isEmpty() ? QStringLiteral("Sans") : m.font);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    // The size field is the text height; keep it within what a screen can show.
    font.setPixelSize(qBound(12, m.size > 0 ? m.size / 2 : 30, 120));
    return font;
}
} // namespace

OsdWindow::OsdWindow(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool
                          | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_hideTimer.setSingleShot(true);
    m_fade = new QVariantAnimation(this);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    m_fade->setDuration(300);
    connect(m_fade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &v) { setWindowOpacity(v.toDouble()); });
    connect(m_fade, &QVariantAnimation::finished, this, &QWidget::hide);
    connect(&m_hideTimer, &QTimer::timeout, m_fade, [this] { m_fade->start(); });
}

void OsdWindow::showMessage(const platform::OsdMessage &message)
{
    m_message = message;
    m_fade->stop();
    setWindowOpacity(1.0);

    const QFontMetrics metrics(messageFont(message));
    const QSize size(metrics.horizontalAdvance(message.text) + metrics.height() * 2,
                     metrics.height() * 2);
    resize(size);
    // Without a compositor the translucent corners would show black: the
    // window is cut to its bubble.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), size.height() / 2.0, size.height() / 2.0);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - size.width()) / 2,
             area.y() + area.height() * 3 / 4 - size.height() / 2);
    }
    show();
    raise();
    update();
    m_hideTimer.start(qBound(200, message.duration, 60000));
}

void OsdWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath bubble;
    bubble.addRoundedRect(r, r.height() / 2, r.height() / 2);
    p.fillPath(bubble, QColor(18, 20, 25, 215));
    const QColor accent = m_message.colour.isValid() ? m_message.colour : QColor(Qt::white);
    p.setPen(QPen(accent, 2));
    p.drawPath(bubble);
    p.setFont(messageFont(m_message));
    p.setPen(accent);
    p.drawText(r, Qt::AlignCenter, m_message.text);
}
