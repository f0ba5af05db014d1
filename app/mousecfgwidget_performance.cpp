#include "app/mousecfgwidget.h"

#include "pages/performance/performancefacts.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelpointspeed.h"
#include "pages/performance/zelreportrate.h"
#include "profile/description.h"
#include "profile/profileset.h"

#include <algorithm>
#include <iterator>

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
    rememberPerformanceBase();
}

void MousecfgWidget::collectPerformancePages()
{
    if (!m_pDpiPage)
        return;
    ProfileSet &set = workingSet();
    ProfileData &current = currentSlotRecord();
    const ProfileData &dpi = m_pDpiPage->profileData();
    const auto take = [](auto &target, auto edited, auto loaded) {
        if (edited != loaded)
            target = edited;
    };
    for (int i = 0; i < STAGE_COUNT; ++i) {
        DpiStage &stage = current.stages[i];
        const DpiStage &base = m_PerformanceStages[i];
        take(stage.used, dpi.stages[i].used, base.used);
        take(stage.link, dpi.stages[i].link, base.link);
        take(stage.x, dpi.stages[i].x, base.x);
        take(stage.y, dpi.stages[i].y, base.y);
    }
    take(current.dpi, dpi.dpi, m_PerformanceBase[0]);
    take(current.pollrate, m_pReportRatePage->profileData().pollrate, m_PerformanceBase[1]);
    take(set.Debounce, quint8(m_pSensorPage->debounce()), m_PerformanceBase[2]);
    take(set.Sync, quint8(m_pSensorPage->sync()), m_PerformanceBase[3]);
    take(set.LiftHigh, quint8(m_pSensorPage->lift()), m_PerformanceBase[4]);
    take(set.AngleValue, quint8(m_pSensorPage->angle()), m_PerformanceBase[5]);
    take(set.Jitter, quint8(m_pSensorPage->jitter()), m_PerformanceBase[6]);
    rememberPerformanceBase();
}

void MousecfgWidget::rememberPerformanceBase()
{
    const ProfileData &dpi = m_pDpiPage->profileData();
    for (int i = 0; i < STAGE_COUNT; ++i)
        m_PerformanceStages[i] = dpi.stages[i];
    const quint8 values[7] = {dpi.dpi,
                              m_pReportRatePage->profileData().pollrate,
                              quint8(m_pSensorPage->debounce()),
                              quint8(m_pSensorPage->sync()),
                              quint8(m_pSensorPage->lift()),
                              quint8(m_pSensorPage->angle()),
                              quint8(m_pSensorPage->jitter())};
    std::copy(std::begin(values), std::end(values), std::begin(m_PerformanceBase));
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
    if (stage < STAGE_COUNT)
        m_PerformanceBase[0] = stage;
}

void MousecfgWidget::showReportedRate(quint8 rate)
{
    if (m_pReportRatePage)
        m_pReportRatePage->setRate(rate);
    m_PerformanceBase[1] = rate;
}

void MousecfgWidget::showLiftOnPerformancePages(quint8 lift)
{
    if (m_pReportRatePage)
        m_pReportRatePage->setLift(lift);
    if (m_pSensorPage)
        m_pSensorPage->setLift(lift);
    // Already in the working set (slotLiftChange stores it).
    m_PerformanceBase[4] = lift;
}
