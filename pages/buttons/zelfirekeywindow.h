#pragma once
// "FireKey Setting": one press of the button fires the left, right or middle
// button, or a keyboard key, a number of times with a delay between shots.
// In "Keyboard Key" mode the next key touched becomes the fired key, except
// while the user types into the two number fields.

#include "pages/buttons/zelkeydialog.h"
#include "profile/records.h"

#include <memory>

class QCheckBox;
class QLineEdit;
class ZelLabel;
class ZelPushButton;
namespace platform {
class KeyboardHook;
}

class ZelFireKeyWindow : public ZelKeyDialog
{
    Q_OBJECT
public:
    explicit ZelFireKeyWindow(QWidget *parent = nullptr);
    ~ZelFireKeyWindow() override;

    // From an entry holding the fire-key function.
    void preset(const ButtonEntry &entry);

    quint8 mode() const { return m_iMode; }
    quint8 keyCode() const { return m_iKeyCode; }
    int times() const;
    int delay() const;
    // Res1 as the entry stores it: the mouse's button mask for the three
    // mouse buttons, the key's HID usage for a keyboard key.
    quint8 res1() const;

    QCheckBox *modeBox(int mode) const { return m_pBoxes[mode]; }
    QLineEdit *timesEdit() const { return m_pTimesEdit; }
    QLineEdit *delayEdit() const { return m_pDelayEdit; }
    ZelPushButton *keyDisplay() const { return m_pKeyBtn; }

signals:
    void SetFireKeyValue(uchar iKey, uchar iMode, uchar iTimes, uchar iDelay);

public slots:
    void onStateChanged(int state);
    void OnEditDataChanged(const QString &text);
    void checkbtn_clicked();
    void onEditReturn();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setMode(quint8 mode, bool clearKey);
    void onHookEvent(quint32 scanCode, quint32 flags);
    void emitValue();

    std::unique_ptr<platform::KeyboardHook> m_pHook;
    quint8 m_iLastCode = 0;
    quint32 m_iLastFlags = 0xFFFFFFFF;
    bool m_bArmed = false;
    quint8 m_iMode = 0;
    quint8 m_iKeyCode = 0;
    QLineEdit *m_pTimesEdit = nullptr;
    QLineEdit *m_pDelayEdit = nullptr;
    ZelLabel *m_pTimesLabel = nullptr;
    ZelLabel *m_pDelayLabel = nullptr;
    ZelPushButton *m_pKeyBtn = nullptr;
    QCheckBox *m_pBoxes[4] = {};
    bool m_bIgnoreNext = false;
};
