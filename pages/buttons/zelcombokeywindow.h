#pragma once
// "Combo Key": the user holds a shortcut of up to four modifiers and one
// key. The committed combo is the set of keys held at the latest press.
// While the dialog is open the keyboard belongs to it: the shortcut being
// captured (Alt + Tab, Windows key) does not act on the desktop.

#include "pages/buttons/keycapture.h"
#include "pages/buttons/zelkeydialog.h"

#include <memory>

class ZelPushButton;
namespace platform {
class KeyboardHook;
}

class ZelComboKeyWindow : public ZelKeyDialog
{
    Q_OBJECT
public:
    explicit ZelComboKeyWindow(QWidget *parent = nullptr);
    ~ZelComboKeyWindow() override;

    // Rebuilds the combo from the first five events of a button entry.
    void preset(const ButtonEntry &entry);
    const ComboKeys &combo() const { return m_Committed; }
    QString comboText() const { return m_strText; }
    ZelPushButton *keyDisplay() const { return m_pKeyBtn; }

signals:
    void SetComboKeyValue(const quint8 *iComboKey, const quint8 *iHotKeyCode);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void onHookEvent(quint32 scanCode, quint32 flags);
    void showLive();

    std::unique_ptr<platform::KeyboardHook> m_pHook;
    quint8 m_iLastCode = 0;
    quint32 m_iLastFlags = 0xFFFFFFFF;
    bool m_bResetPending = true;
    bool m_bArmed = false;
    ComboKeys m_Committed;
    ComboKeys m_Live;
    QString m_strText;
    ZelPushButton *m_pKeyBtn = nullptr;
};
