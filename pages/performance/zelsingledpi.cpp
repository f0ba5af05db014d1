#include "zelsingledpi.h"

#include "device/sensors.h"
#include "pages/performance/performancefacts.h"
#include "pages/performance/zeltwobarslider.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"

#include <QCheckBox>
#include <QEvent>
#include <QMouseEvent>

QString performanceCheckBoxSheet()
{
    const QString dir = appFilePath(QString());
    const int side = qMax(1, scaled(16));
    return QStringLiteral("QCheckBox::indicator:enabled:unchecked { image: url(%1/skin/checkbox1-1.png)}"
                          "QCheckBox::indicator:enabled:checked { image: url(%1/skin/checkbox1-2.png)}"
                          "QCheckBox{background-color:rgba(255,255,255,0)}"
                          "QCheckBox{color:rgb(255,255,255)}"
                          "QCheckBox::indicator{width:%2px;height:%2px;}")
        .arg(dir).arg(side);
}

ZelSingleDPI::ZelSingleDPI(uchar index, QWidget *parent)
    : QWidget(parent), m_iIndex(index)
{
    setObjectName(QStringLiteral("dpiStage%1").arg(index));
    m_pNumber = new ZelLabel(QString::number(index + 1), this);
    m_pNumber->setAlignment(Qt::AlignCenter);
    m_pEnableBox = new QCheckBox(this);
    m_pEnableBox->setObjectName(QStringLiteral("enableBox"));
    m_pLinkBox = new QCheckBox(this);
    m_pLinkBox->setObjectName(QStringLiteral("linkBox"));
    m_pSlider = new ZelTwoBarSlider(this);
    m_pXLabel = new ZelLabel(this);
    m_pYLabel = new ZelLabel(this);
    m_pDpiLabel = new ZelLabel(this);
    m_pMinLabel = new ZelLabel(this);
    m_pMaxLabel = new ZelLabel(this);
    m_pMaxLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (ZelLabel *small : {m_pXLabel, m_pYLabel, m_pMinLabel, m_pMaxLabel}) {
        small->setShrink(true);
        small->setShrinkSize(1);
    }
    for (QCheckBox *box : {m_pEnableBox, m_pLinkBox}) {
        box->setStyleSheet(performanceCheckBoxSheet());
        box->setFocusPolicy(Qt::NoFocus);
        connect(box, &QCheckBox::stateChanged, this, &ZelSingleDPI::onStateChanged);
    }
    m_pSlider->setValueText([this](int v) { return QString::number(sensorDpi(v, m_iSensor)); });
    connect(m_pSlider, &ZelTwoBarSlider::SliderChangedSignal, this, &ZelSingleDPI::onSliderChanged);

    // A press anywhere on the row makes it the current stage: the labels pass
    // their presses on to the row, the sliders and boxes keep theirs, so the
    // row watches those.
    for (QWidget *child : std::initializer_list<QWidget *>{m_pSlider->xSlider(), m_pSlider->ySlider(),
                                                           m_pSlider->combinedSlider(), m_pEnableBox,
                                                           m_pLinkBox})
        child->installEventFilter(this);

    {
        const QSignalBlocker b1(m_pEnableBox), b2(m_pLinkBox);
        m_pEnableBox->setChecked(true);
        m_pLinkBox->setChecked(true);
    }
    m_pLinkBox->hide();
    retranslate();
    showValues();
}

QList<ZelLabel *> ZelSingleDPI::labels() const
{
    return {m_pNumber, m_pXLabel, m_pYLabel, m_pDpiLabel, m_pMinLabel, m_pMaxLabel};
}

void ZelSingleDPI::setSensor(int sensor)
{
    SensorRange range;
    if (!sensorRange(sensor, descriptionInt(QStringLiteral("33254")) == 1, readCurrentProduct(), range))
        return;
    m_iSensor = sensor;
    m_pMinLabel->setNumber(range.minLabel);
    m_pMaxLabel->setNumber(range.maxLabel);
    m_pSlider->setRange(range.maxIndex, range.minIndex);
    m_pSlider->setValues(m_iX, m_iY);
    m_pLinkBox->setVisible(range.linkShown);
    showValues();
}

void ZelSingleDPI::setLink(uchar link)
{
    m_iLink = link;
    const QSignalBlocker blocker(m_pLinkBox);
    m_pLinkBox->setChecked(link != 0);
    m_pSlider->setLinked(link != 0);
}

void ZelSingleDPI::setEnabledStage(uchar enable)
{
    m_iEnable = enable;
    const QSignalBlocker blocker(m_pEnableBox);
    m_pEnableBox->setChecked(enable != 0);
}

void ZelSingleDPI::setValues(int x, int y)
{
    m_iX = x;
    m_iY = y;
    m_pSlider->setValues(x, y);
    showValues();
}

void ZelSingleDPI::onSliderChanged(int x, int y)
{
    if (sender() != m_pSlider)
        return;
    m_iX = x;
    m_iY = y;
    qCDebug(lcUi, "ix = %d", x);
    showValues();
    emit DPISignal(x, y, m_iIndex);
}

void ZelSingleDPI::onStateChanged(int state)
{
    const uchar on = state == Qt::Checked ? 1 : 0;
    if (sender() == m_pLinkBox) {
        m_iLink = on;
        m_pSlider->setLinked(on != 0);
        emit LinkSignal(on, m_iIndex);
        // A linked stage moves X and Y together: it takes the value the
        // combined slider shows, so X and Y cannot stay apart unseen.
        if (on && m_iX != m_iY) {
            m_iY = m_iX;
            m_pSlider->setValues(m_iX, m_iY);
            showValues();
            emit DPISignal(m_iX, m_iY, m_iIndex);
        }
    } else if (sender() == m_pEnableBox) {
        m_iEnable = on;
        emit EnableSignal(on, m_iIndex);
    }
}

void ZelSingleDPI::showValues()
{
    m_pXLabel->setText(QStringLiteral("X:%1").arg(sensorDpi(m_iX, m_iSensor)));
    m_pYLabel->setText(QStringLiteral("Y:%1").arg(sensorDpi(m_iY, m_iSensor)));
    m_pDpiLabel->setText(QStringLiteral("DPI : %1").arg(sensorDpi(m_iY, m_iSensor)));
}

void ZelSingleDPI::setScale(double scale, int designHeight)
{
    if (scale > 0)
        m_dScale = scale;
    if (designHeight > 0)
        m_iDesignHeight = designHeight;
    m_pSlider->setScale(m_dScale);
    const QString sheet = performanceCheckBoxSheet();
    for (QCheckBox *box : {m_pEnableBox, m_pLinkBox}) {
        box->setStyleSheet(sheet);
        box->setFont(scaledPageFont(QFont(), 0, 1));
    }
    layoutChildren();
}

void ZelSingleDPI::setLabelColor(const QColor &color)
{
    for (ZelLabel *label : labels()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
        label->update();
    }
}

void ZelSingleDPI::layoutChildren()
{
    // Designed for a 440 x 48 row; a shorter row (seven or eight stages)
    // shrinks the vertical places in proportion.
    const double s = m_dScale;
    const double v = s * m_iDesignHeight / 48.0;
    const auto put = [s, v](QWidget *w, int x, int y, int width, int height) {
        w->setGeometry(int(x * s), int(y * v), int(width * s), int(height * v));
    };
    put(m_pEnableBox, 2, 14, 20, 20);
    put(m_pNumber, 24, 0, 20, 48);
    put(m_pSlider, 48, 4, 244, 26);
    put(m_pMinLabel, 48, 31, 100, 16);
    put(m_pMaxLabel, 192, 31, 100, 16);
    put(m_pDpiLabel, 300, 1, 140, 18);
    put(m_pXLabel, 300, 17, 68, 15);
    put(m_pYLabel, 370, 17, 70, 15);
    put(m_pLinkBox, 300, 31, 140, 17);
}

void ZelSingleDPI::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void ZelSingleDPI::retranslate()
{
    m_pLinkBox->setText(tr("Link XY"));
    m_pEnableBox->setToolTip(tr("Use this stage"));
}

void ZelSingleDPI::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

bool ZelSingleDPI::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        emit MouseinSignal(m_iIndex);
    return QWidget::eventFilter(watched, event);
}

void ZelSingleDPI::mousePressEvent(QMouseEvent *event)
{
    emit MouseinSignal(m_iIndex);
    QWidget::mousePressEvent(event);
}
