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
