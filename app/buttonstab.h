#pragma once
// The CUSTOMIZE tab: the button page in a scrolling column beside the mouse
// picture. The picture's markers stay with the window; the two follow each
// other through the entry numbers (group * 20 + index) the signals carry.

#include "app/settingspage.h"

class QScrollArea;
class ZelBtnWindow;
class ZelPushButton;

class ButtonsTab : public SettingsPage {
    Q_OBJECT
public:
    using SettingsPage::SettingsPage;

    void setShown(bool shown) override;

    // The picture view (front: primary layer and wheel, side: second layer)
    // with the slot's selected button.
    void selectLayer(int index, bool front);
    void selectButton(int group, int index);
    // A marker hovered: its page button follows.
    void highlightEntry(int entry, bool over);

    ZelBtnWindow *page() const { return m_pBtnWindow; }

signals:
    // A page button hovered or left.
    void entryHovered(int entry, bool over);
    // A page button pressed.
    void entryEntered(int entry);
    void gotoTab(quint8 tab);
    void oneClickNeeded();

protected:
    void build(bool shown) override;
    void loadFrom(ProfileSet &set) override;

private:
    void layoutButtonsPage();
    void pageButtonOver(ZelPushButton *btn, bool over);

    ZelBtnWindow *m_pBtnWindow = nullptr;
    QScrollArea *m_pBtnScroll = nullptr;
};
