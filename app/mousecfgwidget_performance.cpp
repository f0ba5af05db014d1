#include "app/mousecfgwidget.h"

#include "pages/performance/performancefacts.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelpointspeed.h"
#include "pages/performance/zelreportrate.h"
#include "profile/description.h"
#include "profile/profileset.h"

// The DPI tab: the DPI stages, the sensor options below them and the report
// rate beside them. The DPI and report-rate pages edit their own copies of the
// current slot, taken back on Apply; the sensor page writes the scroll speed
// into the slot at once and keeps the device-wide options until Apply.

namespace {

ProfileData &currentSlotRecord()
{
    ProfileSet &set = workingSet();
    return set.profiles[set.ProfileID % SLOT_COUNT];
}

} // namespace

void MousecfgWidget::buildPerformancePages()
{
    ProfileData &current = currentSlotRecord();
    // Seven or eight stages take the DPI page's whole height; the sensor
    // options then sit lower, at the foot of the page area.
    const bool manyStages = usableStageCount(dpiStageCount()) > 6;

    m_pDpiPage = new ZelDPIWindow(current, this);
    place(m_pDpiPage, 286, 75, 456, 386);
    m_pSensorPage = new ZelPointSpeed(&current, this);
    place(m_pSensorPage, 286, manyStages ? 462 : 413, 506, 77);
    // Wide enough for the 152-unit rate button at 20 units from its left edge.
    m_pReportRatePage = new ZelReportRate(current, this);
    place(m_pReportRatePage, 746, 75, 190, 200);

    connect(m_pReportRatePage, &ZelReportRate::RefreshLift, this, &MousecfgWidget::slotLiftChange);
    connect(m_pSensorPage, &ZelPointSpeed::RefreshLift, this, &MousecfgWidget::slotLiftChange);
    showPerformancePages(m_iPage == PageDpi);
}

void MousecfgWidget::refreshPerformancePages()
{
    if (!m_pDpiPage)
        return;
    const ProfileSet &set = workingSet();
    ProfileData &current = currentSlotRecord();
    m_pDpiPage->setStageCount(dpiStageCount());
    m_pDpiPage->load(current, sensorCode());
    m_pReportRatePage->load(current, set.LiftHigh);
    m_pSensorPage->load(&current, set.Sync, set.LiftHigh, set.AngleValue, set.Jitter, set.Debounce);
}

void MousecfgWidget::collectPerformancePages()
{
    if (!m_pDpiPage)
        return;
    ProfileSet &set = workingSet();
    ProfileData &current = currentSlotRecord();
    const ProfileData &dpi = m_pDpiPage->profileData();
    for (int i = 0; i < STAGE_COUNT; ++i) {
        DpiStage &stage = current.stages[i];
        stage.used = dpi.stages[i].used;
        stage.link = dpi.stages[i].link;
        stage.x = dpi.stages[i].x;
        stage.y = dpi.stages[i].y;
    }
    current.dpi = dpi.dpi;
    current.pollrate = m_pReportRatePage->profileData().pollrate;
    set.Debounce = quint8(m_pSensorPage->debounce());
    set.Sync = quint8(m_pSensorPage->sync());
    set.LiftHigh = quint8(m_pSensorPage->lift());
    set.AngleValue = quint8(m_pSensorPage->angle());
    set.Jitter = quint8(m_pSensorPage->jitter());
}

void MousecfgWidget::showPerformancePages(bool shown)
{
    for (QWidget *page : std::initializer_list<QWidget *>{m_pDpiPage, m_pSensorPage, m_pReportRatePage}) {
        if (page)
            page->setVisible(shown);
    }
}

void MousecfgWidget::showReportedDpiStage(quint8 stage)
{
    if (m_pDpiPage)
        m_pDpiPage->setCurrentStage(stage);
}

void MousecfgWidget::showReportedRate(quint8 rate)
{
    if (m_pReportRatePage)
        m_pReportRatePage->setRate(rate);
}

void MousecfgWidget::showLiftOnPerformancePages(quint8 lift)
{
    if (m_pReportRatePage)
        m_pReportRatePage->setLift(lift);
    if (m_pSensorPage)
        m_pSensorPage->setLift(lift);
}
