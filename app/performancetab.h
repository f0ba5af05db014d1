#pragma once
// The DPI tab: the DPI stages, the sensor options below them and the report
// rate beside them.

#include "app/settingspage.h"
#include "profile/records.h"

class ZelDPIWindow;
class ZelPointSpeed;
class ZelReportRate;

class PerformanceTab : public SettingsPage {
    Q_OBJECT
public:
    explicit PerformanceTab(const PageSite &site, QObject *parent = nullptr) : SettingsPage(site, parent) {}

    void collect(ProfileSet &set) override;
    void setShown(bool shown) override;

    // The mouse reported another stage or rate: the pages follow without
    // losing edits not yet collected.
    void showReportedDpiStage(quint8 stage);
    void showReportedRate(quint8 rate);

    ZelDPIWindow *dpiPage() const { return m_pDpiPage; }
    ZelReportRate *reportRatePage() const { return m_pReportRatePage; }
    ZelPointSpeed *sensorPage() const { return m_pSensorPage; }

protected:
    void build(bool shown) override;
    void loadFrom(ProfileSet &set) override;

private:
    // Both lift-off controls show the value chosen last; the working set
    // takes it at once.
    void changeLift(quint8 lift);
    // What the pages were last loaded with (or handed over): collect() takes
    // over only the values the user changed since.
    struct Loaded {
        DpiStage stages[STAGE_COUNT];
        quint8 dpi = 0;
        quint8 pollrate = 0;
        quint8 debounce = 0;
        quint8 sync = 0;
        quint8 lift = 0;
        quint8 angle = 0;
        quint8 jitter = 0;
    };
    void rememberLoaded();

    ZelDPIWindow *m_pDpiPage = nullptr;
    ZelReportRate *m_pReportRatePage = nullptr;
    ZelPointSpeed *m_pSensorPage = nullptr;
    Loaded m_Loaded;
};
