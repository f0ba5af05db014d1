// The settings pages as the window hosts them: made at start, built when first
// shown, looped over to load and collect.

#include "app/mousecfgwidget.h"

#include "app/buttonstab.h"
#include "app/lightingtab.h"
#include "app/macrotab.h"
#include "app/performancetab.h"
#include "pages/buttons/zelbtnwindow.h"
#include "pages/lighting/zelcolorwindow.h"
#include "pages/macro/macrodialog.h"
#include "profile/profileset.h"
#include "widgets/zelpushbutton.h"

#include <QLabel>

void MousecfgWidget::buildPages()
{
    PageSite site;
    site.window = this;
    site.place = [this](QWidget *widget, const QRect &rect) {
        place(widget, rect.x(), rect.y(), rect.width(), rect.height());
    };
    auto *lighting = new LightingTab(
        site, [this](const QPixmap &picture) { m_Ui.frontPicture->setPixmap(picture); },
        [this](const QString &file) { return mousePicture(file); }, this);
    auto *buttons = new ButtonsTab(site, this);
    auto *performance = new PerformanceTab(site, this);
    auto *macro = new MacroTab(site, this);
    m_Pages[PageLighting] = lighting;
    m_Pages[PageCustomize] = buttons;
    m_Pages[PageDpi] = performance;
    m_Pages[PageMacro] = macro;

    connect(buttons, &ButtonsTab::entryHovered, this, [this](int entry, bool over) {
        if (entry >= MARKER_COUNT)
            return;
        const int group = entry / MARKERS_PER_VIEW;
        const int index = entry % MARKERS_PER_VIEW;
        const bool selected = m_Markers.selected == index && m_Markers.selectedGroup == group;
        m_Markers.buttons[entry]->setChecked(over || selected);
        slotMouseOver(m_Markers.buttons[entry], over);
    });
    connect(buttons, &ButtonsTab::entryEntered, this, &MousecfgWidget::enterPageButton);
    connect(buttons, &ButtonsTab::gotoTab, this, [this](quint8 tab) { selectPage(tab); });
    connect(buttons, &ButtonsTab::oneClickNeeded, this, &MousecfgWidget::slotPopOneClickBox);
    connect(macro, &MacroTab::enableWindow, this, &MousecfgWidget::slotEnableButtons);
}

ButtonsTab *MousecfgWidget::buttonsTab() const
{
    return static_cast<ButtonsTab *>(m_Pages[PageCustomize]);
}

PerformanceTab *MousecfgWidget::performanceTab() const
{
    return static_cast<PerformanceTab *>(m_Pages[PageDpi]);
}

LightingTab *MousecfgWidget::lightingTab() const
{
    return static_cast<LightingTab *>(m_Pages[PageLighting]);
}

SettingsPage *MousecfgWidget::settingsPage(int page)
{
    if (page < PageLighting || page > PageMacro)
        return nullptr;
    ensurePage(page);
    return m_Pages[page];
}

ZelBtnWindow *MousecfgWidget::buttonsPage()
{
    ensurePage(PageCustomize);
    return buttonsTab()->page();
}

ZelDPIWindow *MousecfgWidget::dpiPage()
{
    ensurePage(PageDpi);
    return performanceTab()->dpiPage();
}

ZelReportRate *MousecfgWidget::reportRatePage()
{
    ensurePage(PageDpi);
    return performanceTab()->reportRatePage();
}

ZelPointSpeed *MousecfgWidget::sensorPage()
{
    ensurePage(PageDpi);
    return performanceTab()->sensorPage();
}

ZelColorWindow *MousecfgWidget::lightingPage() const
{
    return lightingTab()->page();
}

MacroDialog *MousecfgWidget::macroPage()
{
    ensurePage(PageMacro);
    return static_cast<MacroTab *>(m_Pages[PageMacro])->page();
}

void MousecfgWidget::refreshPages()
{
    // The settings pages read the current slot of the working set; the window's
    // own controls follow it here.
    updateProfileControls();
    for (SettingsPage *page : {m_Pages[PageCustomize], m_Pages[PageDpi], m_Pages[PageLighting], m_Pages[PageMacro]})
        page->load(workingSet());
    emit statusChanged();
}

void MousecfgWidget::collectPages()
{
    for (SettingsPage *page : m_Pages)
        page->collect(workingSet());
}

void MousecfgWidget::ensurePage(int page)
{
    if (page < PageLighting || page > PageMacro || m_Pages[page]->isBuilt())
        return;
    m_Pages[page]->ensureBuilt(workingSet(), m_iPage == page);
    if (page == PageCustomize)
        buttonsTab()->selectLayer(m_Markers.selectedButton[m_Library.currentSlot()], m_bFrontView);
}
