#include "zellabel.h"

#include "uistate.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

ZelLabel::ZelLabel(QWidget *parent)
    : QLabel(parent)
{
    init();
}

ZelLabel::ZelLabel(const QString &text, QWidget *parent)
    : QLabel(parent)
{
    init();
    setText(text);
}

void ZelLabel::init()
{
    // The base label keeps a copy of the text only so that layouts get a
    // size hint measured in the painted font; the painting is our own.
    setTextFormat(Qt::PlainText);
    QLabel::setAlignment(m_Alignment);
    refreshFont();
}

void ZelLabel::setText(const QString &text)
{
    m_strText = text;
    QLabel::setText(text);
    update();
}

void ZelLabel::setNumber(int number)
{
    setText(QString::asprintf("%d", number));
}

void ZelLabel::setWordWrap(bool on)
{
    m_bWordWrap = on;
    QLabel::setWordWrap(on);
    update();
}

void ZelLabel::setAlignment(Qt::Alignment alignment)
{
    m_Alignment = alignment;
    QLabel::setAlignment(alignment);
    update();
}

void ZelLabel::setFixedFont(bool on)
{
    m_bFixedSize = on;
    refreshFont();
}

void ZelLabel::setFixedPixelSize(int px)
{
    m_iFixedPixelSize = px;
    refreshFont();
}

void ZelLabel::setShrink(bool on)
{
    m_bShrink = on;
    refreshFont();
}

void ZelLabel::setShrinkSize(int px)
{
    m_iShrinkSize = px;
    refreshFont();
}

void ZelLabel::setDarkBackground(bool on)
{
    m_bDarkBackground = on;
    update();
}

QFont ZelLabel::paintFont() const
{
    return scaledPageFont(font(), m_bFixedSize ? m_iFixedPixelSize : 0, m_bShrink ? m_iShrinkSize : 0);
}

void ZelLabel::refreshFont()
{
    // Keep the widget font equal to the painted one so that size hints and
    // word-wrap heights match what is drawn.
    setFont(paintFont());
    update();
}

void ZelLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        refreshFont();
}

void ZelLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (m_bDarkBackground)
        painter.fillRect(rect(), QColor(30, 30, 30));
    painter.setFont(paintFont());
    painter.setPen(palette().color(foregroundRole()));
    QTextOption option(m_Alignment);
    option.setWrapMode(m_bWordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    painter.drawText(QRectF(contentsRect()), m_strText, option);
}

void ZelLabel::mousePressEvent(QMouseEvent *event)
{
    emit EnterSignal(this);
    QLabel::mousePressEvent(event);
}
