#include "zeldpiwindow.h"

#include "device/sensors.h"
#include "pages/performance/performancefacts.h"
#include "pages/performance/zelsingledpi.h"
#include "profile/description.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"

#include <QEvent>

ZelDPIWindow::ZelDPIWindow(const ProfileData &profile, QWidget *parent)
    : QWidget(parent), m_ProfileData(profile)
{
    setObjectName(QStringLiteral("dpiPage"));
    m_pTitle = new ZelLabel(tr("DPI"), this);
    m_pTitle->setObjectName(QStringLiteral("dpiTitle"));
    QFont bold = m_pTitle->font();
    bold.setBold(true);
    m_pTitle->setFont(bold);
    QPalette light = m_pTitle->palette();
    light.setColor(QPalette::WindowText, QColor(225, 225, 225));
    m_pTitle->setPalette(light);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        auto *row = new ZelSingleDPI(uchar(i), this);
        m_pRows[i] = row;
        connect(row, &ZelSingleDPI::DPISignal, this, &ZelDPIWindow::onSliderChanged);
        connect(row, &ZelSingleDPI::LinkSignal, this, &ZelDPIWindow::onLinkChanged);
        connect(row, &ZelSingleDPI::EnableSignal, this, &ZelDPIWindow::onEnableChanged);
        connect(row, &ZelSingleDPI::MouseinSignal, this, &ZelDPIWindow::MouseinSignal);
    }
    setSensor(3325);
    loadRows();
    m_iStageCount = usableStageCount(dpiStageCount());
    m_dScale = scaleFactor();
    layoutRows();
}

void ZelDPIWindow::load(const ProfileData &profile, int sensor)
{
    setSensor(sensor);
    m_ProfileData = profile;
    loadRows();
}

void ZelDPIWindow::loadRows()
{
    for (int i = 0; i < STAGE_COUNT; ++i) {
        const DpiStage &stage = m_ProfileData.stages[i];
        const QSignalBlocker blocker(m_pRows[i]);
        m_pRows[i]->setLink(stage.link);
        m_pRows[i]->setEnabledStage(stage.used);
        m_pRows[i]->setValues(int(stage.x), int(stage.y));
    }
    highlight(m_ProfileData.dpi);
}

void ZelDPIWindow::setSensor(int sensor)
{
    SensorRange range;
    // An unknown code leaves the rows as they are, and so the conversions.
    if (sensorRange(sensor, false, QString(), range))
        m_iSensor = sensor;
    for (ZelSingleDPI *row : m_pRows) {
        const QSignalBlocker blocker(row);
        row->setSensor(sensor);
    }
}

void ZelDPIWindow::setStageCount(int count)
{
    m_iStageCount = usableStageCount(count);
    layoutRows();
}

void ZelDPIWindow::setScale(double scale)
{
    if (scale > 0)
        m_dScale = scale;
    layoutRows();
}

void ZelDPIWindow::layoutRows()
{
    const double s = m_dScale;
    const StageRowLayout rows = stageRowLayout(m_iStageCount);
    for (int i = 0; i < STAGE_COUNT; ++i) {
        ZelSingleDPI *row = m_pRows[i];
        if (i < m_iStageCount) {
            row->setScale(s, rows.height);
            row->setGeometry(int(15 * s), int((rows.pitch * i + rows.top) * s), int(440 * s),
                             int(rows.height * s));
            row->show();
        } else {
            row->setGeometry(QRect());
            row->hide();
        }
    }
    m_pTitle->setGeometry(int(3 * s), int(3 * s), int(80 * s), int(17 * s));
}

void ZelDPIWindow::highlight(int index)
{
    for (ZelSingleDPI *row : m_pRows)
        row->setLabelColor(Qt::white);
    if (index >= 0 && index < STAGE_COUNT)
        m_pRows[index]->setLabelColor(themeColor());
}

void ZelDPIWindow::setCurrentStage(int index)
{
    if (index < 0 || index >= STAGE_COUNT)
        return;
    m_ProfileData.dpi = quint8(index);
    highlight(index);
}

void ZelDPIWindow::onLinkChanged(uchar link, uchar index)
{
    if (index >= STAGE_COUNT)
        return;
    m_ProfileData.stages[index].link = link;
    emit StagesChangedSignal();
}

void ZelDPIWindow::onEnableChanged(uchar enable, uchar index)
{
    if (index >= STAGE_COUNT)
        return;
    m_ProfileData.stages[index].used = enable;
    emit StagesChangedSignal();
}

void ZelDPIWindow::onSliderChanged(int x, int y, uchar index)
{
    if (index >= STAGE_COUNT)
        return;
    m_ProfileData.stages[index].x = quint32(x);
    m_ProfileData.stages[index].y = quint32(y);
    emit StagesChangedSignal();
}

void ZelDPIWindow::MouseinSignal(uchar index)
{
    if (index >= STAGE_COUNT)
        return;
    const bool changed = m_ProfileData.dpi != index;
    setCurrentStage(index);
    if (changed)
        emit StagesChangedSignal();
}

void ZelDPIWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The window lays its children out at the process-wide scale.
    if (scaleFactor() != m_dScale)
        setScale(scaleFactor());
}

void ZelDPIWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_pTitle->setText(tr("DPI"));
    QWidget::changeEvent(event);
}
