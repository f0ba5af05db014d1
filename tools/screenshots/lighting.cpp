// Writes pictures of the LIGHTING tab and of the colour dialog against the
// simulated mouse, at scale 1.0 and 1.5, in English and Chinese.
//
//   mousecfg-lighting-screenshots <output folder>

#include "tools/screenshots/shotsetup.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "pages/lighting/zelcolorarea.h"
#include "pages/lighting/zelcolorwindow.h"
#include "profile/configstore.h"
#include "profile/language.h"
#include "profile/paths.h"
#include "profile/profileset.h"
#include "sim/simmouse.h"
#include "widgets/zelslider.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ShotSetup setup(argc, argv, QStringLiteral("screenshots"));
    const QString &out = setup.out;

    struct Variant { const char *language; int id; double dpi; const char *scale; };
    const Variant variants[] = {{"en", 0, 96.0, "1.0"}, {"en", 0, 144.0, "1.5"},
                                {"sc", 1, 96.0, "1.0"}, {"sc", 1, 144.0, "1.5"}};
    int written = 0;
    const auto save = [&](const QPixmap &picture, const QString &name, const Variant &v) {
        const QString file = QStringLiteral("%1/%2-%3-%4.png").arg(out, name, QLatin1String(v.language),
                                                                     QLatin1String(v.scale));
        if (picture.save(file))
            ++written;
        else
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    };
    for (const Variant &v : variants) {
        writeLanguageId(v.id);
        const double dpi = v.dpi;
        appServices().logicalDpi = [dpi] { return dpi; };
        MousecfgWidget window;
        window.show();
        QTest::qWait(400);
        window.selectPage(MousecfgWidget::PageLighting);
        ZelColorWindow *page = window.lightingPage();
        // Breathing in blue, speed 4, five minutes.
        const QList<QAction *> actions = page->effectMenu()->actions();
        if (actions.size() > 1)
            actions.at(1)->trigger();
        page->speedSlider()->setValue(4);
        page->slotSendLedState(QColor(0, 128, 255));
        page->sleepSlider()->setValue(5);
        QTest::qWait(50);
        save(window.grab(), QStringLiteral("lighting"), v);

        ZelColorArea dialog(&window);
        dialog.setColor(QColor(0, 128, 255));
        dialog.show();
        QTest::qWait(50);
        // The dialog over the dimmed window, as the user sees it.
        QPixmap scene = window.grab();
        {
            QPainter p(&scene);
            p.fillRect(scene.rect(), QColor(0, 0, 0, 110));
            const QPixmap box = dialog.grab();
            p.drawPixmap((scene.width() - box.width()) / 2, (scene.height() - box.height()) / 2, box);
        }
        save(scene, QStringLiteral("colordialog"), v);
        dialog.hide();
        workingSet() = savedSet();
    }
    std::printf("%d pictures in %s\n", written, qPrintable(QDir(out).absolutePath()));
    return written == 8 ? 0 : 1;
}
