// Pictures of what the other picture programs leave out, so a change of how
// the program styles its widgets can be checked pixel for pixel: the open
// menus of the window and of the pages, the message boxes, the key, gun-set
// and macro-name dialogs, a tool tip of the window's own controls, and the
// window with a field focused by the mouse and a control focused by the
// keyboard; at scale 1.0 and 1.5, in English and Chinese.
//
//   mousecfg-screenshots-dialogs <output folder>

#include "tools/screenshots/shotsetup.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "pages/buttons/zelsinglekeywindow.h"
#include "pages/lighting/zelcolorwindow.h"
#include "pages/macro/macrodialog.h"
#include "pages/macro/zelgunsetdialog.h"
#include "pages/performance/zelreportrate.h"
#include "profile/language.h"
#include "profile/macrostore.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolTip>
#include <cstdio>

namespace {

int g_written = 0;

void save(const QImage &image, const QString &file)
{
    if (image.save(file))
        ++g_written;
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// A menu as it shows when opened (the menu alone).
void menuPicture(QMenu *menu, const QString &file)
{
    if (!menu || menu->actions().isEmpty())
        return;
    menu->popup(QPoint(0, 0));
    QTest::qWait(50);
    save(menu->grab().toImage(), file);
    menu->hide();
}

void dialogPicture(QWidget &dialog, const QString &file)
{
    dialog.show();
    QTest::qWait(50);
    save(dialog.grab().toImage(), file);
    dialog.hide();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ShotSetup setup(argc, argv, QStringLiteral("screenshots"));
    const QString &out = setup.out;
    saveMacro(QStringLiteral("Reload"), MacroSettings(), {{0x15, 0, 0x80}, {0x15, 0, 0}});
    addMacroName(QStringLiteral("Reload"));

    struct Variant { const char *language; int id; double dpi; const char *scale; };
    const Variant variants[] = {{"en", 0, 96.0, "1.0"}, {"en", 0, 144.0, "1.5"},
                                {"sc", 1, 96.0, "1.0"}, {"sc", 1, 144.0, "1.5"}};
    for (const Variant &v : variants) {
        writeLanguageId(v.id);
        const double dpi = v.dpi;
        appServices().logicalDpi = [dpi] { return dpi; };
        const QString tag = QStringLiteral("%1-%2").arg(QLatin1String(v.language), QLatin1String(v.scale));
        const auto name = [&](const char *what) { return QStringLiteral("%1/%2-%3.png").arg(out, QLatin1String(what), tag); };

        MousecfgWidget window;
        window.move(0, 0);
        window.show();
        QTest::qWait(400);

        menuPicture(window.slotMenu(), name("menu-slots"));
        menuPicture(window.profileFileMenu(), name("menu-profiles"));
        menuPicture(window.languageMenu(), name("menu-languages"));
        menuPicture(window.modelMenu(), name("menu-models"));
        if (window.trayIcon())
            menuPicture(window.trayIcon()->contextMenu(), name("menu-tray"));
        menuPicture(window.lightingPage()->effectMenu(), name("menu-effects"));
        menuPicture(window.reportRatePage()->rateMenu(), name("menu-rates"));
        window.selectPage(MousecfgWidget::PageMacro);
        QTest::qWait(50);
        menuPicture(window.macroPage()->contextMenu(), name("menu-macro"));

        // A tool tip of the window's own controls.
        ZelPushButton *import = window.controlButton(QStringLiteral("importButton"));
        window.selectPage(MousecfgWidget::PageLighting);
        QToolTip::showText(import->mapToGlobal(QPoint(import->width() / 2, import->height())), import->toolTip(),
                           import);
        QTest::qWait(200);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->inherits("QTipLabel") && w->isVisible())
                save(w->grab().toImage(), name("tooltip-window"));
        }
        QToolTip::hideText();
        QTest::qWait(50);

        // The name field focused by a click, then the focus moved on by the keyboard.
        QTest::mouseClick(window.profileNameEdit(), Qt::LeftButton);
        QTest::qWait(50);
        save(window.grab().toImage(), name("focus-field"));
        for (int page = 0; page < 4; ++page) {
            window.selectPage(page);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab);
            QTest::qWait(50);
            save(window.grab().toImage(), name(page == 0 ? "focus-keys-lighting" : page == 1 ? "focus-keys-customize"
                                                  : page == 2 ? "focus-keys-dpi" : "focus-keys-macro"));
        }
        window.selectPage(MousecfgWidget::PageLighting);

        for (int type : {0, 1, 4}) {
            ZelMessageBox box(type, QString(), MousecfgWidget::tr("Warning"), MousecfgWidget::tr("Dongle Disconnect!"),
                              &window);
            dialogPicture(box, QStringLiteral("%1/messagebox%2-%3.png").arg(out).arg(type).arg(tag));
        }
        {
            ZelSingleKeyWindow single(&window);
            dialogPicture(single, name("dialog-singlekey"));
        }
        {
            ZelGunsetDialog gun(&window, dpi / 96.0 >= 1.4 ? 1.5 : 1.0);
            gun.setShotCount(3);
            dialogPicture(gun, name("dialog-gunset"));
            menuPicture(gun.shotMenu(), name("menu-gunshots"));
        }
    }
    std::printf("%d pictures in %s\n", g_written, qPrintable(QDir(out).absolutePath()));
    return g_written > 0 ? 0 : 1;
}
