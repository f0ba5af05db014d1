#pragma once
// "Single Key": the user presses the key a button should send. Every key
// the keyboard hook reports becomes the captured key (the last key touched,
// press or release) and still reaches whatever else listens.

#include "pages/buttons/zelkeydialog.h"

#include <memory>

class ZelPushButton;
namespace platform {
class KeyboardHook;
}

class ZelSingleKeyWindow : public ZelKeyDialog
{
    Q_OBJECT
public:
    explicit ZelSingleKeyWindow(QWidget *parent = nullptr);
    ~ZelSingleKeyWindow() override;

    // Shows the key's name and makes it the captured key.
    void preset(quint8 keyCode);
    quint8 keyCode() const { return m_iKeyCode; }
    ZelPushButton *keyDisplay() const { return m_pKeyBtn; }

signals:
    void SetSingleKeyValue(uchar iKey);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onHookEvent(quint32 scanCode, quint32 flags);

    std::unique_ptr<platform::KeyboardHook> m_pHook;
    quint8 m_iLastCode = 0;
    quint32 m_iLastFlags = 0xFFFFFFFF;
    bool m_bArmed = false;
    quint8 m_iKeyCode = 0;
    ZelPushButton *m_pKeyBtn = nullptr;
};
