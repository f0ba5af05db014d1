#include "app/mousecfgwidget.h"

#include "app/services.h"
#include "pages/macro/macrodialog.h"
#include "pages/macro/zelgunsetdialog.h"
#include "profile/profileset.h"
#include "widgets/zelmessagebox.h"

#include <QFileDialog>

// The MACRO page lies over the page area and shows on the MACRO tab only.
void MousecfgWidget::buildMacroPage()
{
    m_pMacroPage = new MacroDialog(this);
    m_pMacroPage->setObjectName(QStringLiteral("macroPage"));
    place(m_pMacroPage, 285, 74, 665, 467);

    MacroDialog::Services services;
    services.message = [this](int type, const QString &heading, const QString &text) {
        if (appServices().messageHook)
            return appServices().messageHook(type, text);
        ZelMessageBox box(type, QString(), heading, text, this);
        return box.exec();
    };
    services.chooseFiles = [this](const QString &title, const QString &filter, bool save) {
        if (appServices().chooseFile) {
            const QString file = appServices().chooseFile(title, filter, save);
            return file.isEmpty() ? QStringList() : QStringList{file};
        }
        if (save) {
            const QString file = QFileDialog::getSaveFileName(this, title, QString(), filter);
            return file.isEmpty() ? QStringList() : QStringList{file};
        }
        return QFileDialog::getOpenFileNames(this, title, QString(), filter);
    };
    m_pMacroPage->setServices(services);

    connect(m_pMacroPage, &MacroDialog::EnableButtonsSignal, this, &MousecfgWidget::slotEnableButtons);
    connect(m_pMacroPage, &MacroDialog::MacroRenamedSignal, this, &MousecfgWidget::followMacroRename);
    m_pMacroPage->setVisible(m_iPage == PageMacro);
}

void MousecfgWidget::refreshMacroPage()
{
    if (m_pMacroPage)
        m_pMacroPage->refresh();
}

void MousecfgWidget::followMacroRename(const QString &oldName, const QString &newName)
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
}
