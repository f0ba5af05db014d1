#pragma once
// The MACRO tab: the macro editor, lying over the page area. Macros live in
// their own files (the macro store), not in the working set: the page reads
// and writes them itself; the set only hears of a renamed macro, which the
// buttons playing it follow.

#include "app/settingspage.h"

class MacroDialog;

class MacroTab : public SettingsPage {
    Q_OBJECT
public:
    using SettingsPage::SettingsPage;

    void setShown(bool shown) override;

    MacroDialog *page() const { return m_pMacroPage; }

signals:
    // The editor opened or closed a recording: the window's other controls
    // are enabled again or not.
    void enableWindow(bool enable);

protected:
    void build(bool shown) override;
    void loadFrom(ProfileSet &set) override;

private:
    // Buttons that play a renamed macro take its new name.
    void followMacroRename(const QString &oldName, const QString &newName);

    MacroDialog *m_pMacroPage = nullptr;
};
