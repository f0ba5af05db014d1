#pragma once
// The CUSTOMIZE page: one labelled button per mouse button of the current
// profile (the primary layer with the two wheel directions, or the second
// layer). Pressing one opens the menu of functions; choosing a function
// writes it, with the parameters its dialog collected, into the matching
// button entry of the profile record the window handed over.

#include "profile/records.h"

#include <QWidget>

class QMenu;
class ZelAction;
class ZelPushButton;

// The tool tip of the page button of entry `index`: what the entry holds,
// with its parameters ("SINGLE KEY: K", "COMBO KEY: Ctrl + Shift + A",
// "FIRE KEY: F × 5, 10 ms", "Macro Manager: Copy, 3 times", "SNIPER: 400 DPI");
// the button's label for every other function, and for a button without a
// label the function all the same ("Scroll Up", "No function").
QString buttonEntryToolTip(const ButtonEntry &entry, int index);

class ZelBtnWindow : public QWidget
{
    Q_OBJECT
public:
    enum { PRIMARY_COUNT = 20, LAYER_COUNT = 20, WHEEL_COUNT = 2, ACTION_COUNT = 55, SUBMENU_COUNT = 7 };
    enum Group : quint8 { GroupPrimary = 0, GroupSecond = 1, GroupWheel = 2, GroupNone = 0xFF };
    enum Submenu { MenuBasic, MenuWindows, MenuAdvance, MenuMedia, MenuDpi, MenuProfile, MenuPollingRate };

    ZelBtnWindow(ProfileData *profile, QWidget *parent = nullptr, double scale = 1.0);
    ~ZelBtnWindow() override;

    // The record the page edits; refreshes every label.
    void setProfile(ProfileData *profile);
    ProfileData *profile() const { return m_pProfile; }
    // Selects a button and shows its layer (the wheel belongs to the primary layer).
    void select(quint8 index, quint8 group);
    // Scale factor: fonts, menu widths and the button layout follow it.
    void setScale(double factor);
    double scale() const { return m_fScale; }
    // Lays the primary buttons out from the device description's button matrix.
    void relayout();
    // Texts and menus in the current language (menus rebuilt, switches re-read).
    void retranslate();
    // Every button's text from its entry.
    void refreshLabels();

    quint8 selectedGroup() const { return m_iSelGroup; }
    // The layer shown: GroupPrimary (with the wheel) or GroupSecond.
    quint8 shownLayer() const { return m_iLayer; }
    quint8 selectedIndex() const { return m_iSelIndex; }
    // The button of an entry 0..41 (primary, second layer, wheel).
    ZelPushButton *entryButton(int entry) const;
    // The entry a page button stands for, -1 for anything else.
    int entryOf(const ZelPushButton *button) const;
    ZelPushButton *selectedButton() const;
    int selectedEntry() const;
    // The height the visible buttons need at the current scale.
    int contentHeight() const;

    // The action of a function code (200 "Macro Manager", 510 "GunFile Manager").
    ZelAction *actionFor(int code) const;
    QMenu *mainMenu() const { return m_pMainMenu; }
    QMenu *wheelMenu() const { return m_pWheelMenu; }
    QMenu *submenu(int which) const { return m_pSubMenus[which]; }

    // Chooses the action for the selected button, as the menu would.
    void assign(ZelAction *action);

signals:
    void SelBtnControl(ZelPushButton *btn, bool bType);
    void GotoMacroTab(quint8 iBtn);
    void PopOneClickBox();

public slots:
    void OnMouseEnterSlot(ZelPushButton *btn);
    void slotMouseOver(ZelPushButton *btn, bool bType);
    void slotMouseEnter(ZelPushButton *btn);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    ZelPushButton *makeButton(quint8 badge, QMenu *menu);
    void rebuildMenus();
    void showLayer(quint8 group);
    // An entry's button: its label and its tool tip.
    void showEntry(int entry);
    void clearSelection();
    bool isPageButton(const ZelPushButton *btn) const;
    // The macro and gun-file path: false when nothing was assigned.
    void assignMacro(ButtonEntry &entry, int code, const QString &title);
    void assignSingleKey(ButtonEntry &entry);
    void assignComboKey(ButtonEntry &entry);
    void assignFireKey(ButtonEntry &entry);
    void assignSniper(ButtonEntry &entry);

    ZelPushButton *m_pBtns[PRIMARY_COUNT] = {};
    double m_fScale = 1.0;
    ProfileData *m_pProfile = nullptr;
    quint8 m_iSelGroup = GroupNone;
    quint8 m_iSelIndex = GroupNone;
    // The layer shown, kept apart from the selection, which an assignment clears.
    quint8 m_iLayer = GroupPrimary;
    ZelPushButton *m_pLayerBtns[LAYER_COUNT] = {};
    ZelPushButton *m_pWheelBtns[WHEEL_COUNT] = {};
    ZelAction *m_pActions[ACTION_COUNT] = {};
    QMenu *m_pMainMenu = nullptr;
    QMenu *m_pSubMenus[SUBMENU_COUNT] = {};
    QMenu *m_pWheelMenu = nullptr;
    int m_iContentHeight = 0;
};
