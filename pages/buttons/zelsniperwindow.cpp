#include "pages/buttons/zelsniperwindow.h"

#include "device/sensors.h"
#include "pages/buttons/keycapture.h"
#include "profile/description.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelslider.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ZelSniperWindow::ZelSniperWindow(QWidget *parent, int sensor)
    : ZelKeyDialog(QSize(400, 258), parent)
{
    m_iSensor = sensor >= 0 ? sensor : sensorCode();
    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_pTitleLabel->setFixedSize(scaled(QSize(200, 30)));
    m_pValueLabel = new ZelLabel(this);
    m_pValueLabel->setObjectName(QStringLiteral("sniperValue"));
    m_pValueLabel->setFixedSize(scaled(QSize(60, 30)));
    m_pValueLabel->setPalette(white);

    m_pSlider = new ZelSlider(Qt::Horizontal, this);
    m_pSlider->setFixedSize(scaled(QSize(250, 30)));
    m_pSlider->setSingleStep(1);
    m_pSlider->setPageStep(1);
    m_pSlider->setTickPosition(QSlider::NoTicks);
    m_pSlider->setRange(1, 10);
    const QColor theme = themeColor();
    m_pSlider->setStyleSheet(
        QString::asprintf("QSlider{background: qrgb(0,0,0,0%%);}QSlider::groove:horizontal{border-image: "
                          "url(%s/skin/pspeed.png);}QSlider::handle:horizontal{background: "
                          "rgba(%d,%d,%d,255);width: %dpx;}QSlider::handle:horizontal:hover{background: "
                          "rgba(200,200,200,255);}",
                          qPrintable(appFilePath(QString())), theme.red() * 2 / 3, theme.green() * 2 / 3,
                          theme.blue() * 2 / 3, qMax(1, scaled(16))));
    connect(m_pSlider, &QSlider::valueChanged, this, &ZelSniperWindow::onSliderChanged);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(20), 0, 0, 0);
    layout->setSpacing(0);
    layout->addSpacing(scaled(20));
    layout->addWidget(m_pTitleLabel);
    layout->addSpacing(scaled(50));
    auto *row = new QHBoxLayout;
    row->addSpacing(scaled(30));
    row->addWidget(m_pSlider);
    row->addSpacing(scaled(20));
    row->addWidget(m_pValueLabel);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    layout->addLayout(buttonRow());
    layout->addSpacing(scaled(20));

    m_pTitleLabel->setText(tr("Sniper Setting"));
    preset(0);
}

void ZelSniperWindow::preset(quint8 step)
{
    const quint8 s = sniperPresetStep(step, m_iSensor);
    m_iStep = s;
    m_pValueLabel->setText(QString::asprintf("%d", sensorDpi(s, m_iSensor)));
    int minimum = 0;
    int maximum = 0;
    {
        const QSignalBlocker blocker(m_pSlider);
        if (sniperRange(m_iSensor, &minimum, &maximum))
            m_pSlider->setRange(minimum, maximum);
        m_pSlider->setValue(s);
    }
    emit SetSniperValue(s);
}

void ZelSniperWindow::onSliderChanged(int value)
{
    m_iStep = quint8(value);
    m_pValueLabel->setText(QString::asprintf("%d", sensorDpi(value, m_iSensor)));
}
