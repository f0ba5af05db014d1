#include "pages/buttons/zelcombokeywindow.h"

#include "platform/keyboardhook.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QKeyEvent>

ZelComboKeyWindow::ZelComboKeyWindow(QWidget *parent)
    : ZelKeyDialog(QSize(400, 258), parent)
{
    m_pKeyBtn = layOutKeyDisplay();

    m_bArmed = true;
    m_pHook = std::make_unique<platform::KeyboardHook>([this](const platform::KeyHookEvent &e) {
        if (!m_bArmed)
            return false;
        onHookEvent(e.scanCode, e.flags);
        return true;   // the shortcut is captured, not carried out
    });
    m_pTitleLabel->setText(tr("Combo Key"));
    // The keyboard grab keeps the keys inside this window on X11; a Wayland
    // compositor handles its own shortcuts before any window sees them.
    setToolTip(tr("Hold the keys of the shortcut: up to Shift, Ctrl, Windows key, Alt and one key.\n"
                  "On a Wayland desktop the desktop keeps some keys for itself and they never reach this dialog: "
                  "the Windows key and the shortcuts it starts, Alt + Tab, Alt + F4, Print Screen, "
                  "Ctrl + Alt + Delete, Ctrl + Alt + F1 to F12 and the desktop's other global shortcuts."));
}

ZelComboKeyWindow::~ZelComboKeyWindow()
{
    releaseKeyboard();
}

void ZelComboKeyWindow::preset(const ButtonEntry &entry)
{
    m_Live = comboFromEvents(entry);
    showLive();
}

void ZelComboKeyWindow::showLive()
{
    m_strText = ::comboText(m_Live);
    m_pKeyBtn->setText(m_strText);
    m_Committed = m_Live;
}

void ZelComboKeyWindow::onHookEvent(quint32 scanCode, quint32 flags)
{
    const quint8 code = hookKeyCode(scanCode, flags);
    if (code == m_iLastCode && flags == m_iLastFlags)
        return;
    m_iLastCode = code;
    m_iLastFlags = flags;
    qCDebug(lcUi, "ZelComboKeyWindow dwVCode = %x dwFlag = %x", unsigned(code), unsigned(flags));

    if (m_bResetPending) {
        m_Committed = ComboKeys();
        m_Live = ComboKeys();
        m_bResetPending = false;
    }
    quint8 weight = 0;
    const int slot = comboSlotOf(code, &weight);
    if (hookIsPress(flags)) {
        if (slot >= 0) {
            m_Live.flags[slot] = weight;
        } else {
            m_Live.flags[COMBO_KEY] = 1;
            m_Live.otherKey = code;
        }
        showLive();
    } else if (slot >= 0) {
        m_Live.flags[slot] = m_Live.flags[slot] >= weight ? quint8(m_Live.flags[slot] - weight) : 0;
    } else {
        m_Live.flags[COMBO_KEY] = 0;
    }
}

void ZelComboKeyWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

void ZelComboKeyWindow::showEvent(QShowEvent *event)
{
    ZelKeyDialog::showEvent(event);
    // Alt + Tab and the like go to the dialog, not to the window manager.
    grabKeyboard();
}

void ZelComboKeyWindow::hideEvent(QHideEvent *event)
{
    releaseKeyboard();
    ZelKeyDialog::hideEvent(event);
}
