// Writes pictures of the main window against the simulated mouse: every tab,
// at scale 1.0 and 1.5, in English and Chinese.
//
//   mousecfg-screenshots <output folder>

#include "tools/screenshots/shotsetup.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "profile/configstore.h"
#include "profile/language.h"
#include "profile/paths.h"
#include "sim/simmouse.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ShotSetup setup(argc, argv, QStringLiteral("screenshots"));
    const QString &out = setup.out;

    static const char *const tabs[] = {"lighting", "customize", "dpi", "macro"};
    struct Variant { const char *language; int id; double dpi; const char *scale; };
    const Variant variants[] = {{"en", 0, 96.0, "1.0"}, {"en", 0, 144.0, "1.5"},
                                {"sc", 1, 96.0, "1.0"}, {"sc", 1, 144.0, "1.5"}};
    int written = 0;
    for (const Variant &v : variants) {
        writeLanguageId(v.id);
        const double dpi = v.dpi;
        appServices().logicalDpi = [dpi] { return dpi; };
        MousecfgWidget window;
        window.show();
        QTest::qWait(400);
        for (int page = 0; page < 4; ++page) {
            window.selectPage(page);
            if (page == MousecfgWidget::PageCustomize)
                window.marker(0)->click();
            QTest::qWait(50);
            const QString file = QStringLiteral("%1/main-%2-%3-%4.png")
                                     .arg(out, QLatin1String(tabs[page]), QLatin1String(v.language),
                                          QLatin1String(v.scale));
            if (window.grab().save(file))
                ++written;
            else
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        }
    }
    std::printf("%d pictures in %s\n", written, qPrintable(QDir(out).absolutePath()));
    return written == 16 ? 0 : 1;
}
