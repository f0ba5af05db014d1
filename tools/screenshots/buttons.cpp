// Pictures of the CUSTOMIZE page for its README section: the page, a label's
// tool tip, its menu with a submenu open, and the key, fire-key, sniper and macro dialogs over
// the window, at scale 1.0 and 1.5, in English and Chinese.
//
//   mousecfg-screenshots-buttons <output folder>

#include "tools/screenshots/shotsetup.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "pages/buttons/keycapture.h"
#include "pages/buttons/zelbtnwindow.h"
#include "pages/buttons/zelcombokeywindow.h"
#include "pages/buttons/zelfirekeywindow.h"
#include "pages/buttons/zelmacroselect.h"
#include "pages/buttons/zelsniperwindow.h"
#include "platform/keyboardhook.h"
#include "profile/language.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "sim/simmouse.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
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

// The window with top-level widgets (menus, dialogs) painted where they stand.
QImage composite(QWidget *window, const QList<QWidget *> &above)
{
    QRect all(QPoint(0, 0), window->size());
    for (QWidget *widget : above)
        all |= QRect(widget->pos() - window->pos(), widget->size());
    QImage image(all.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-all.topLeft());
    painter.drawPixmap(0, 0, window->grab());
    for (QWidget *widget : above)
        painter.drawPixmap(widget->pos() - window->pos(), widget->grab());
    return image;
}

void dialogPicture(MousecfgWidget &window, QDialog &dialog, const QString &file)
{
    dialog.show();
    QTest::qWait(100);
    save(composite(&window, {&dialog}), file);
    dialog.hide();
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen unless a display is chosen: menus are kept inside the screen,
    // so a virtual X server with a large screen shows them where they open.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ShotSetup setup(argc, argv, QStringLiteral("screenshots"));
    const QString &out = setup.out;
    saveMacro(QStringLiteral("Reload"), MacroSettings(), {{0x15, 0, 0x80}, {0x15, 0, 0}});
    addMacroName(QStringLiteral("Reload"));
    addMacroName(QStringLiteral("Burst fire"));

    struct Variant { const char *language; int id; double dpi; const char *scale; };
    const Variant variants[] = {{"en", 0, 96.0, "1.0"}, {"en", 0, 144.0, "1.5"},
                                {"sc", 1, 96.0, "1.0"}, {"sc", 1, 144.0, "1.5"}};
    for (const Variant &v : variants) {
        writeLanguageId(v.id);
        const double dpi = v.dpi;
        appServices().logicalDpi = [dpi] { return dpi; };
        MousecfgWidget window;
        window.move(0, 0);
        window.show();
        QTest::qWait(400);
        window.selectPage(MousecfgWidget::PageCustomize);
        ZelBtnWindow *page = window.buttonsPage();
        // A few assignments, so the page shows more than the defaults.
        ProfileData *profile = page->profile();
        profile->buttons[5].Fun = 18;
        profile->buttons[6].Fun = 200;
        profile->buttons[6].macroname = QStringLiteral("Reload");
        profile->buttons[7].Fun = 12;
        page->refreshLabels();
        window.marker(3)->click();
        QTest::qWait(50);
        const QString tag = QStringLiteral("%1-%2").arg(QLatin1String(v.language), QLatin1String(v.scale));
        save(window.grab().toImage(), QStringLiteral("%1/buttons-page-%2.png").arg(out, tag));

        // The tool tip of a label, over the page.
        {
            ButtonEntry &combo = profile->buttons[4];
            combo = ButtonEntry();
            ComboKeys keys;
            keys.flags[COMBO_CTRL] = keys.flags[COMBO_SHIFT] = keys.flags[COMBO_KEY] = 1;
            keys.otherKey = 30;   // A
            writeComboEvents(combo, keys);
            combo.Fun = 7;
            page->refreshLabels();
            ZelPushButton *label = page->entryButton(4);
            QToolTip::showText(label->mapToGlobal(QPoint(label->width() / 3, label->height())), label->toolTip(),
                               label);
            QTest::qWait(200);
            QList<QWidget *> tips;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->inherits("QTipLabel") && w->isVisible())
                    tips << w;
            save(composite(&window, tips), QStringLiteral("%1/buttons-tooltip-%2.png").arg(out, tag));
            QToolTip::hideText();
        }

        // The menu of button 4 with "Advance" open.
        ZelPushButton *button = page->entryButton(3);
        QMenu *menu = page->mainMenu();
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
        QTest::qWait(100);
        QMenu *advance = page->submenu(ZelBtnWindow::MenuAdvance);
        menu->setActiveAction(advance->menuAction());
        advance->popup(menu->pos() + QPoint(menu->width(), menu->actionGeometry(advance->menuAction()).y()));
        QTest::qWait(100);
        save(composite(&window, {menu, advance}), QStringLiteral("%1/buttons-menu-%2.png").arg(out, tag));
        advance->hide();
        menu->hide();

        if (QLatin1String(v.scale) != QLatin1String("1.0"))
            continue;
        {
            ZelComboKeyWindow combo(&window);
            combo.show();
            for (quint32 scan : {29u, 56u})
                platform::KeyboardHook::inject(scan, scan == 56 ? 0x20 : 0);
            platform::KeyboardHook::inject(83, 0x21);
            dialogPicture(window, combo, QStringLiteral("%1/buttons-combo-%2.png").arg(out, tag));
        }
        {
            ZelFireKeyWindow fire(&window);
            fire.modeBox(3)->click();
            fire.show();
            platform::KeyboardHook::inject(63, 0);
            dialogPicture(window, fire, QStringLiteral("%1/buttons-firekey-%2.png").arg(out, tag));
        }
        {
            ZelSniperWindow sniper(&window, 3389);
            dialogPicture(window, sniper, QStringLiteral("%1/buttons-sniper-%2.png").arg(out, tag));
        }
        {
            ZelMacroSelect select(QString(), ZelBtnWindow::tr("MACRO SELECT"), QStringLiteral("Reload"), 1, 0,
                                  &window);
            dialogPicture(window, select, QStringLiteral("%1/buttons-macro-%2.png").arg(out, tag));
        }
    }
    std::printf("%d pictures in %s\n", g_written, qPrintable(QDir(out).absolutePath()));
    return g_written == 20 ? 0 : 1;
}
