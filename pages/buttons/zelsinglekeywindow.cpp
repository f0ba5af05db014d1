#include "pages/buttons/zelsinglekeywindow.h"

#include "pages/buttons/keycapture.h"
#include "platform/keyboardhook.h"
#include "profile/keys.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QKeyEvent>

ZelSingleKeyWindow::ZelSingleKeyWindow(QWidget *parent)
    : ZelKeyDialog(QSize(400, 258), parent)
{
    m_pKeyBtn = layOutKeyDisplay();

    m_bArmed = true;
    m_pHook = std::make_unique<platform::KeyboardHook>([this](const platform::KeyHookEvent &e) {
        onHookEvent(e.scanCode, e.flags);
        return false;   // the key also reaches everything else
    });
    m_pTitleLabel->setText(tr("Single Key"));
}

ZelSingleKeyWindow::~ZelSingleKeyWindow() = default;

void ZelSingleKeyWindow::preset(quint8 keyCode)
{
    m_iKeyCode = keyCode;
    m_pKeyBtn->setText(keyCode ? keyName(keyCode) : QString());
}

void ZelSingleKeyWindow::onHookEvent(quint32 scanCode, quint32 flags)
{
    if (!m_bArmed)
        return;
    const quint8 code = hookKeyCode(scanCode, flags);
    if (code == m_iLastCode && flags == m_iLastFlags)
        return;
    m_iLastCode = code;
    m_iLastFlags = flags;
    preset(code);
}

void ZelSingleKeyWindow::keyPressEvent(QKeyEvent *event)
{
    // Every key is a candidate, Escape and Return included: none closes the dialog.
    event->accept();
}
