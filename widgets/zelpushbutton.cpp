#include "zelpushbutton.h"

#include "uistate.h"

#include <QBitmap>
#include <QEvent>
#include <QHash>
#include <QPair>
#include <QRegion>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

ZelPushButton::ZelPushButton(const QStringList &images, QWidget *parent, const QString &icon)
    : QPushButton(parent)
{
    // The pictures of the other states are read when first shown.
    m_ImagePaths = images;
    m_Images.resize(images.size());
    m_ImageRead.resize(images.size());
    if (!icon.isEmpty())
        m_Icon.load(icon);
    // The mask follows the first picture at the button's size: it is made in
    // resizeEvent, which Qt also delivers before a hidden button is first shown.
}

void ZelPushButton::setText(const QString &text)
{
    m_strText = text;
    setToolTip(text);
    updateGeometry();
    update();
}

void ZelPushButton::setBadge(quint8 badge)
{
    m_iBadge = badge;
    update();
}

void ZelPushButton::setGradient(bool on)
{
    m_bGradient = on;
    update();
}

void ZelPushButton::setRound(bool on)
{
    m_bRound = on;
    update();
}

void ZelPushButton::setVertical(bool on)
{
    m_bVertical = on;
    updateGeometry();
    update();
}

void ZelPushButton::setCheckable(bool on)
{
    m_bCheckable = on;
    m_iState = m_bEnabled ? StateNormal : StateDisabled;
    update();
}

void ZelPushButton::setChecked(bool on)
{
    m_bChecked = on;
    if (m_bEnabled)
        m_iState = on ? StateHover : StateNormal;
    update();
}

void ZelPushButton::setEnabled(bool on)
{
    QPushButton::setEnabled(on);
    // A disabled parent keeps the button disabled whatever was asked.
    m_bEnabled = isEnabled();
    m_iState = restingState();
    update();
}

int ZelPushButton::restingState() const
{
    if (!m_bEnabled)
        return StateDisabled;
    return (m_bCheckable && m_bChecked) ? StateHover : StateNormal;
}

const QPixmap &ZelPushButton::image(int index) const
{
    static const QPixmap none;
    if (index < 0 || index >= m_Images.size())
        return none;
    if (!m_ImageRead.at(index)) {
        m_ImageRead[index] = true;
        if (!m_ImagePaths.at(index).isEmpty())
            m_Images[index].load(m_ImagePaths.at(index));
    }
    return m_Images.at(index);
}

const QPixmap &ZelPushButton::stateImage() const
{
    const int index = (m_iState == StateDisabled || m_iState >= m_Images.size()) ? 0 : m_iState;
    return image(index);
}

QString ZelPushButton::badgeText(quint8 badge)
{
    switch (badge) {
    case BadgeNone:
        return QString();
    case BadgeUp:
        return QStringLiteral("  \u2191");
    case BadgeDown:
        return QStringLiteral("  \u2193");
    default:
        return QString::asprintf("  %d", badge);
    }
}

QColor ZelPushButton::textColor(int state)
{
    static const QColor normal[4] = {QColor(200, 200, 200), QColor(225, 225, 225), QColor(255, 255, 255),
                                     QColor(100, 100, 100)};
    static const QColor alternate[4] = {QColor(255, 255, 255), QColor(0, 0, 0), QColor(0, 0, 0),
                                        QColor(100, 100, 100)};
    if (state < 0 || state > StateDisabled)
        state = StateNormal;
    return alternateStyle() ? alternate[state] : normal[state];
}

QFont ZelPushButton::paintFont() const
{
    return scaledPageFont(font());
}

QString ZelPushButton::displayText() const
{
    if (m_bVertical)
        return m_strText;
    return QFontMetrics(paintFont()).elidedText(m_strText, Qt::ElideRight, width() - 5);
}

QSize ZelPushButton::sizeHint() const
{
    if (!m_Icon.isNull())
        return m_Icon.size();
    const QPixmap &picture = stateImage();
    if (!picture.isNull())
        return picture.size();
    // No picture to follow: room for the badge and the text with the insets
    // the painting uses.
    const QFontMetrics metrics(paintFont());
    const QSize text(metrics.horizontalAdvance(badgeText(m_iBadge) + m_strText) + 11, metrics.height() + 6);
    return m_bVertical ? text.transposed() : text;
}

void ZelPushButton::updateMask()
{
    const QPixmap first = image(0);
    if (first.isNull() || !first.hasAlphaChannel() || size().isEmpty()) {
        clearMask();
        return;
    }
    // Buttons of one picture and size share their shape: it is worked out
    // once (the tabs and the profile list have a dozen alike).
    struct Shape {
        bool none = false;
        QRegion region;
    };
    static QHash<QPair<qint64, qint64>, Shape> shapes;
    const QPair<qint64, qint64> key(first.cacheKey(), qint64(width()) << 32 | qint64(height()));
    auto found = shapes.constFind(key);
    if (found == shapes.constEnd()) {
        if (shapes.size() >= 256)
            shapes.clear();
        const QBitmap bitmap = first.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation).mask();
        Shape shape;
        shape.none = bitmap.isNull();
        if (!shape.none)
            shape.region = QRegion(bitmap);
        found = shapes.insert(key, shape);
    }
    if (found->none)
        clearMask();
    else
        setMask(found->region);
}

void ZelPushButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    updateMask();
}

void ZelPushButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && m_bEnabled != isEnabled()) {
        m_bEnabled = isEnabled();
        m_iState = restingState();
        update();
    }
}

void ZelPushButton::enterEvent(QEvent *event)
{
    if (m_bInteractive) {
        emit OverSignal(this, true);
        // A disabled button keeps its disabled look under the pointer.
        if (m_bEnabled && m_Images.size() > 1)
            m_iState = StateHover;
        update();
    }
    QPushButton::enterEvent(event);
}

void ZelPushButton::leaveEvent(QEvent *event)
{
    if (m_bInteractive) {
        if (m_bReportLeave)
            emit OverSignal(this, false);
        m_bReportLeave = true;
        m_iState = restingState();
        update();
    }
    QPushButton::leaveEvent(event);
}

void ZelPushButton::mousePressEvent(QMouseEvent *event)
{
    if (m_bInteractive && event->button() == Qt::LeftButton) {
        if (m_bCheckable) {
            m_bChecked = !m_bChecked;
            if (m_Images.size() > 2)
                m_iState = m_bChecked ? StatePressed : StateNormal;
        } else if (m_Images.size() > 2) {
            m_iState = StatePressed;
        }
        // The leave that follows a click (a menu opening, a dialog) is not
        // reported; cleared first in case a handler of EnterSignal opens one.
        m_bReportLeave = false;
        update();
        QPointer<ZelPushButton> self(this);
        emit EnterSignal(this);
        if (!self)
            return;
    }
    QPushButton::mousePressEvent(event);
}

void ZelPushButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_bInteractive && event->button() == Qt::LeftButton) {
        if (m_Images.size() > 1)
            m_iState = StateHover;
        update();
    }
    QPushButton::mouseReleaseEvent(event);
}

void ZelPushButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QRect all = rect();

    if (m_bGradient) {
        if (!image(0).isNull())
            painter.drawPixmap(all, image(0));
        if (m_iState == StateHover || m_iState == StatePressed) {
            const QColor theme = themeColor();
            QColor strong = theme;
            strong.setAlpha(m_iState == StatePressed ? 220 : 170);
            QColor faint = theme.darker(150);
            faint.setAlpha(60);
            QLinearGradient gradient(60, 50, 200, 150);
            gradient.setColorAt(0.0, strong);
            gradient.setColorAt(1.0, faint);
            painter.setPen(Qt::NoPen);
            painter.setBrush(gradient);
            if (m_bRound)
                painter.drawEllipse(all);
            else
                painter.drawRect(all);
        }
    } else {
        const QPixmap &picture = stateImage();
        if (!picture.isNull())
            painter.drawPixmap(all, picture);
    }

    if (!m_Icon.isNull()) {
        QSize size = m_Icon.size();
        if (size.width() > all.width() || size.height() > all.height())
            size.scale(all.size(), Qt::KeepAspectRatio);
        QRect place(QPoint(0, 0), size);
        place.moveCenter(all.center());
        painter.drawPixmap(place, m_Icon);
    }

    painter.setFont(paintFont());
    painter.setPen(textColor(m_iState));
    if (m_iBadge != BadgeNone)
        painter.drawText(all, Qt::AlignLeft | Qt::AlignVCenter, badgeText(m_iBadge));

    if (m_strText.isEmpty())
        return;
    if (m_bVertical) {
        painter.save();
        painter.translate(QRectF(all).center());
        painter.rotate(90);
        painter.drawText(QRectF(-all.height() / 2.0, -all.width() / 2.0, all.height(), all.width()),
                         Qt::AlignCenter, m_strText);
        painter.restore();
    } else {
        painter.drawText(all.adjusted(3, 3, -3, -3), Qt::AlignCenter, displayText());
    }
}
