#include "zeltwobarslider.h"

#include "widgets/uistate.h"
#include "widgets/zellabel.h"

#include <QFontMetrics>
#include <QWheelEvent>

namespace {

int px(double scale, int units)
{
    return qMax(1, int(units * scale));
}

} // namespace

ZelStepSlider::ZelStepSlider(QWidget *parent)
    : ZelSlider(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::WheelFocus);
    setSingleStep(1);
    setPageStep(10);
}

void ZelStepSlider::wheelEvent(QWheelEvent *event)
{
    // One step per notch (120 eighths of a degree); touchpads send smaller
    // deltas, which add up.
    m_iWheelRest += event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const int steps = m_iWheelRest / 120;
    if (steps != 0) {
        m_iWheelRest -= steps * 120;
        setValue(value() + steps * singleStep());
    }
    event->accept();
}

ZelTwoBarSlider::ZelTwoBarSlider(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("background-color: rgba(33,35,35,0.5)"));
    m_pX = new ZelStepSlider(this);
    m_pY = new ZelStepSlider(this);
    m_pXY = new ZelStepSlider(this);
    m_pX->setObjectName(QStringLiteral("xSlider"));
    m_pY->setObjectName(QStringLiteral("ySlider"));
    m_pXY->setObjectName(QStringLiteral("xySlider"));

    m_pBubble = new ZelLabel(this);
    m_pBubble->setObjectName(QStringLiteral("dpiBubble"));
    m_pBubble->setAlignment(Qt::AlignCenter);
    m_pBubble->setFixedFont(true);
    m_pBubble->setFixedPixelSize(11);
    m_pBubble->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pBubble->hide();
    m_BubbleTimer.setSingleShot(true);
    m_BubbleTimer.setInterval(900);
    connect(&m_BubbleTimer, &QTimer::timeout, this, &ZelTwoBarSlider::hideBubbleUnlessDragged);

    connect(m_pX, &QSlider::valueChanged, this, [this](int v) {
        showBubble(m_pX);
        emit SliderChangedSignal(v, m_pY->value());
    });
    connect(m_pY, &QSlider::valueChanged, this, [this](int v) {
        showBubble(m_pY);
        emit SliderChangedSignal(m_pX->value(), v);
    });
    connect(m_pXY, &QSlider::valueChanged, this, [this](int v) {
        showBubble(m_pXY);
        emit SliderChangedSignal(v, v);
    });
    for (ZelStepSlider *slider : {m_pX, m_pY, m_pXY}) {
        connect(slider, &QSlider::sliderPressed, this, [this, slider] { showBubble(slider); });
        connect(slider, &QSlider::sliderReleased, this, [this] { m_BubbleTimer.start(); });
    }
    restyle();
    setLinked(true);
}

void ZelTwoBarSlider::setRange(int max, int min)
{
    for (ZelStepSlider *slider : {m_pX, m_pY, m_pXY}) {
        const QSignalBlocker blocker(slider);
        slider->setRange(min, max);
    }
}

void ZelTwoBarSlider::setLinked(bool linked)
{
    m_bLinked = linked;
    m_pXY->setVisible(linked);
    m_pX->setVisible(!linked);
    m_pY->setVisible(!linked);
    m_pBubble->hide();
    layoutSliders();
}

void ZelTwoBarSlider::setValues(int x, int y)
{
    const QSignalBlocker bx(m_pX), by(m_pY), bxy(m_pXY);
    m_pXY->setValue(x);
    m_pX->setValue(x);
    m_pY->setValue(y);
}

void ZelTwoBarSlider::setValueText(std::function<QString(int)> text)
{
    m_ValueText = std::move(text);
}

void ZelTwoBarSlider::setScale(double scale)
{
    if (scale > 0)
        m_dScale = scale;
    restyle();
    layoutSliders();
}

void ZelTwoBarSlider::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSliders();
}

void ZelTwoBarSlider::layoutSliders()
{
    const int w = width();
    const int h = height();
    m_pXY->setGeometry(0, 0, w, h);
    m_pX->setGeometry(0, 0, w, h / 2);
    m_pY->setGeometry(0, h / 2, w, h - h / 2);
}

void ZelTwoBarSlider::restyle()
{
    const QColor theme = themeColor();
    const QString groove = appFilePath(QStringLiteral("/skin/dpi_groove.png"));
    const int grooveHeight = px(m_dScale, 6);
    const int handle = px(m_dScale, 12);
    // The handle is as tall as the groove and both margins; a radius of half
    // that keeps it round at every scale.
    const int margin = (handle - grooveHeight) / 2;
    const QString sheet = QStringLiteral(
        "QSlider{background-color: rgba(0,0,0,0)}"
        "QSlider::groove:horizontal{height:%1px;border-image:url(%2) 0 0 0 0 stretch stretch;"
        "background:qlineargradient(x1:0,y1:0,x2:1,y2:0,stop:0 rgb(45,47,50),stop:1 rgb(95,98,104));"
        "border-radius:%3px;}"
        "QSlider::sub-page:horizontal{height:%1px;border-radius:%3px;"
        "background:qlineargradient(x1:0,y1:0,x2:1,y2:0,stop:0 rgba(%4,%5,%6,70),stop:1 rgba(%4,%5,%6,200));}"
        "QSlider::handle:horizontal{width:%7px;margin:-%8px 0;border-radius:%9px;background:rgb(%4,%5,%6);"
        "border:1px solid rgb(20,20,20);}"
        "QSlider::handle:horizontal:hover{border:1px solid rgb(230,230,230);}"
        "QSlider::handle:horizontal:focus{border:%10px solid rgb(255,255,255);}")
        .arg(grooveHeight).arg(groove).arg(grooveHeight / 2)
        .arg(theme.red()).arg(theme.green()).arg(theme.blue())
        .arg(handle).arg(margin).arg((grooveHeight + 2 * margin) / 2).arg(qMax(1, px(m_dScale, 2)));
    for (ZelStepSlider *slider : {m_pX, m_pY, m_pXY})
        slider->setStyleSheet(sheet);
    m_pBubble->setStyleSheet(QStringLiteral("background-color: rgb(250,250,250); color: rgb(20,20,20);"
                                            "border:1px solid rgb(%1,%2,%3); border-radius:%4px;")
                                 .arg(theme.red()).arg(theme.green()).arg(theme.blue())
                                 .arg(px(m_dScale, 3)));
    m_pBubble->setAttribute(Qt::WA_StyledBackground);
}

void ZelTwoBarSlider::showBubble(ZelStepSlider *slider)
{
    if (!slider->isVisible())
        return;
    m_pBubbleOwner = slider;
    const int value = slider->value();
    m_pBubble->setText(m_ValueText ? m_ValueText(value) : QString::number(value));
    const QFontMetrics metrics(m_pBubble->paintFont());
    const int bubbleWidth = metrics.horizontalAdvance(m_pBubble->text()) + px(m_dScale, 10);
    const int bubbleHeight = qMin(slider->height(), metrics.height() + 2);
    // Beside the handle, on the side with room, so the handle stays visible.
    const int handle = px(m_dScale, 12);
    const int span = slider->maximum() - slider->minimum();
    const int room = qMax(0, slider->width() - handle);
    const int handleLeft = span > 0 ? int(qint64(value - slider->minimum()) * room / span) : 0;
    int x = handleLeft + handle + px(m_dScale, 3);
    if (x + bubbleWidth > width())
        x = handleLeft - px(m_dScale, 3) - bubbleWidth;
    const int y = slider->y() + (slider->height() - bubbleHeight) / 2;
    m_pBubble->setGeometry(qMax(0, x), y, bubbleWidth, bubbleHeight);
    m_pBubble->show();
    m_pBubble->raise();
    if (!slider->isSliderDown())
        m_BubbleTimer.start();
}

void ZelTwoBarSlider::hideBubbleUnlessDragged()
{
    if (m_pBubbleOwner && m_pBubbleOwner->isSliderDown()) {
        m_BubbleTimer.start();
        return;
    }
    m_pBubble->hide();
}
