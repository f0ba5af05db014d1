#include "app/macrotab.h"

#include "app/services.h"
#include "pages/macro/macrodialog.h"
#include "pages/macro/zelgunsetdialog.h"
#include "profile/profileset.h"
#include "widgets/zelmessagebox.h"

#include <QFileDialog>

void MacroTab::build(bool shown)
{
    m_pMacroPage = new MacroDialog(window());
    m_pMacroPage->setObjectName(QStringLiteral("macroPage"));
    place(m_pMacroPage, 285, 74, 665, 467);

    MacroDialog::Services services;
    QWidget *parent = window();
    services.message = [parent](int type, const QString &heading, const QString &text) {
        if (appServices().messageHook)
            return appServices().messageHook(type, text);
        ZelMessageBox box(type, QString(), heading, text, parent);
        return box.exec();
    };
    services.chooseFiles = [parent](const QString &title, const QString &filter, bool save) {
        if (appServices().chooseFile) {
            const QString file = appServices().chooseFile(title, filter, save);
            return file.isEmpty() ? QStringList() : QStringList{file};
        }
        if (save) {
            const QString file = QFileDialog::getSaveFileName(parent, title, QString(), filter);
            return file.isEmpty() ? QStringList() : QStringList{file};
        }
        return QFileDialog::getOpenFileNames(parent, title, QString(), filter);
    };
    m_pMacroPage->setServices(services);

    connect(m_pMacroPage, &MacroDialog::EnableButtonsSignal, this, &MacroTab::enableWindow);
    connect(m_pMacroPage, &MacroDialog::MacroRenamedSignal, this, &MacroTab::followMacroRename);
    m_pMacroPage->setVisible(shown);
}

void MacroTab::loadFrom(ProfileSet &)
{
    if (m_pMacroPage)
        m_pMacroPage->refresh();
}

void MacroTab::setShown(bool shown)
{
    if (m_pMacroPage)
        m_pMacroPage->setVisible(shown);
}

void MacroTab::followMacroRename(const QString &oldName, const QString &newName)
{
    // The buttons keep the macro they had; the next Apply sends it under its
    // new name and the slot files record that name.
    ProfileSet &set = workingSet();
    for (ProfileData &profile : set.profiles) {
        for (ButtonEntry &entry : profile.buttons) {
            if ((entry.Fun == 200 || entry.Fun == 510) && entry.macroname == oldName)
                entry.macroname = newName;
        }
    }
    emit changed();
}
