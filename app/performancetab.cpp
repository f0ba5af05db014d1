#include "app/performancetab.h"

#include "pages/performance/performancefacts.h"
#include "pages/performance/zeldpiwindow.h"
#include "pages/performance/zelpointspeed.h"
#include "pages/performance/zelreportrate.h"
#include "profile/description.h"
#include "profile/profileset.h"

#include <QWidget>

// The DPI and report-rate pages edit their own copies of the current slot,
// taken back by collect(); the sensor page writes the scroll speed into the
// slot at once and keeps the device-wide options until collect().

namespace {

ProfileData &currentSlotRecord(ProfileSet &set)
{
    return set.profiles[set.ProfileID % SLOT_COUNT];
}

} // namespace

void PerformanceTab::build(bool shown)
{
    ProfileData &current = currentSlotRecord(workingSet());
    // Seven or eight stages take the DPI page's whole height; the sensor
    // options then sit lower, at the foot of the page area.
    const bool manyStages = usableStageCount(dpiStageCount()) > 6;

    m_pDpiPage = new ZelDPIWindow(current, window());
    place(m_pDpiPage, 286, 75, 456, 386);
    m_pSensorPage = new ZelPointSpeed(&current, window());
    place(m_pSensorPage, 286, manyStages ? 462 : 413, 506, 77);
    // Wide enough for the 152-unit rate button at 20 units from its left edge.
    m_pReportRatePage = new ZelReportRate(current, window());
    place(m_pReportRatePage, 746, 75, 190, 200);

    connect(m_pReportRatePage, &ZelReportRate::RefreshLift, this, &PerformanceTab::changeLift);
    connect(m_pSensorPage, &ZelPointSpeed::RefreshLift, this, &PerformanceTab::changeLift);
    connect(m_pDpiPage, &ZelDPIWindow::StagesChangedSignal, this, &SettingsPage::changed);
    connect(m_pReportRatePage, &ZelReportRate::RateChangedSignal, this, &SettingsPage::changed);
    setShown(shown);
}

void PerformanceTab::loadFrom(ProfileSet &set)
{
    if (!m_pDpiPage)
        return;
    ProfileData &current = currentSlotRecord(set);
    m_pDpiPage->setStageCount(dpiStageCount());
    m_pDpiPage->load(current, sensorCode());
    m_pReportRatePage->load(current, set.LiftHigh);
    m_pSensorPage->load(&current, set.Sync, set.LiftHigh, set.AngleValue, set.Jitter, set.Debounce);
    rememberLoaded();
}

void PerformanceTab::collect(ProfileSet &set)
{
    if (!m_pDpiPage)
        return;
    ProfileData &current = currentSlotRecord(set);
    const ProfileData &dpi = m_pDpiPage->profileData();
    const auto take = [](auto &target, auto edited, auto loaded) {
        if (edited != loaded)
            target = edited;
    };
    for (int i = 0; i < STAGE_COUNT; ++i) {
        DpiStage &stage = current.stages[i];
        const DpiStage &base = m_Loaded.stages[i];
        take(stage.used, dpi.stages[i].used, base.used);
        take(stage.link, dpi.stages[i].link, base.link);
        take(stage.x, dpi.stages[i].x, base.x);
        take(stage.y, dpi.stages[i].y, base.y);
    }
    take(current.dpi, dpi.dpi, m_Loaded.dpi);
    take(current.pollrate, m_pReportRatePage->profileData().pollrate, m_Loaded.pollrate);
    take(set.Debounce, quint8(m_pSensorPage->debounce()), m_Loaded.debounce);
    take(set.Sync, quint8(m_pSensorPage->sync()), m_Loaded.sync);
    take(set.LiftHigh, quint8(m_pSensorPage->lift()), m_Loaded.lift);
    take(set.AngleValue, quint8(m_pSensorPage->angle()), m_Loaded.angle);
    take(set.Jitter, quint8(m_pSensorPage->jitter()), m_Loaded.jitter);
    rememberLoaded();
}

void PerformanceTab::rememberLoaded()
{
    const ProfileData &dpi = m_pDpiPage->profileData();
    for (int i = 0; i < STAGE_COUNT; ++i)
        m_Loaded.stages[i] = dpi.stages[i];
    m_Loaded.dpi = dpi.dpi;
    m_Loaded.pollrate = m_pReportRatePage->profileData().pollrate;
    m_Loaded.debounce = quint8(m_pSensorPage->debounce());
    m_Loaded.sync = quint8(m_pSensorPage->sync());
    m_Loaded.lift = quint8(m_pSensorPage->lift());
    m_Loaded.angle = quint8(m_pSensorPage->angle());
    m_Loaded.jitter = quint8(m_pSensorPage->jitter());
}

void PerformanceTab::setShown(bool shown)
{
    for (QWidget *page : std::initializer_list<QWidget *>{m_pDpiPage, m_pSensorPage, m_pReportRatePage}) {
        if (page)
            page->setVisible(shown);
    }
}

void PerformanceTab::showReportedDpiStage(quint8 stage)
{
    if (m_pDpiPage)
        m_pDpiPage->setCurrentStage(stage);
    if (stage < STAGE_COUNT)
        m_Loaded.dpi = stage;
}

void PerformanceTab::showReportedRate(quint8 rate)
{
    if (m_pReportRatePage)
        m_pReportRatePage->setRate(rate);
    m_Loaded.pollrate = rate;
}

void PerformanceTab::changeLift(quint8 lift)
{
    workingSet().LiftHigh = lift;
    if (m_pReportRatePage)
        m_pReportRatePage->setLift(lift);
    if (m_pSensorPage)
        m_pSensorPage->setLift(lift);
    // Already in the working set.
    m_Loaded.lift = lift;
    emit changed();
}
