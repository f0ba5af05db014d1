#include "zelprocessbar.h"

#include <QPainter>

ZelProcessbar::ZelProcessbar(QWidget *parent)
    : QProgressBar(parent)
{
}

void ZelProcessbar::setCaption(const QString &caption)
{
    m_strCaption = caption;
    update();
}

void ZelProcessbar::paintEvent(QPaintEvent *event)
{
    QProgressBar::paintEvent(event);
    if (m_strCaption.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, m_strCaption);
}
