#include "zelslider.h"

#include "uistate.h"
#include "zellabel.h"

#include <QFontMetrics>
#include <QMouseEvent>

ZelSlider::ZelSlider(QWidget *parent)
    : QSlider(parent)
{
    init();
}

ZelSlider::ZelSlider(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent)
{
    init();
}

void ZelSlider::init()
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("background-color: rgba(0,0,0,0)"));

    m_pValueLabel = new ZelLabel(this);
    m_pValueLabel->setAlignment(Qt::AlignCenter);
    // The slider's style sheet would make the bubble transparent too; its
    // own sheet gives it the white ground and dark text.
    m_pValueLabel->setStyleSheet(QStringLiteral("background-color: rgb(255,255,255); color: rgb(0,0,0);"));
    m_pValueLabel->setAttribute(Qt::WA_StyledBackground);
    m_pValueLabel->setGeometry(1, 4, scaled(20), scaled(20));
    m_pValueLabel->hide();

    connect(this, &QSlider::valueChanged, this, [this] {
        if (m_pValueLabel->isVisible())
            refreshBubble();
    });
}

void ZelSlider::setShowValue(bool on)
{
    m_bShowValue = on;
    if (!on)
        m_pValueLabel->hide();
}

void ZelSlider::refreshBubble()
{
    m_pValueLabel->setNumber(value());
    // Twenty units wide, wider when the number needs it, so it is never cut.
    const QFontMetrics metrics(m_pValueLabel->paintFont());
    const int bubbleWidth = qMax(scaled(20), metrics.horizontalAdvance(m_pValueLabel->text()) + 4);
    // x = (value - minimum) * (width - bubble width) / (maximum - minimum),
    // in 64 bits so that wide ranges cannot overflow; an empty range keeps
    // the bubble at the left.
    const qint64 span = qint64(maximum()) - minimum();
    const qint64 room = qMax(0, width() - bubbleWidth);
    const int x = span > 0 ? static_cast<int>((qint64(value()) - minimum()) * room / span) : 0;
    m_pValueLabel->setGeometry(x, m_pValueLabel->y(), bubbleWidth, m_pValueLabel->height());
}

void ZelSlider::mousePressEvent(QMouseEvent *event)
{
    m_bPressed = true;
    QSlider::mousePressEvent(event);
    if (m_bShowValue) {
        refreshBubble();
        m_pValueLabel->show();
        m_pValueLabel->raise();
    }
}

void ZelSlider::mouseMoveEvent(QMouseEvent *event)
{
    QSlider::mouseMoveEvent(event);
    if (m_bShowValue)
        refreshBubble();
}

void ZelSlider::mouseReleaseEvent(QMouseEvent *event)
{
    m_bPressed = false;
    emit MouseChange();
    m_pValueLabel->hide();
    QSlider::mouseReleaseEvent(event);
}
