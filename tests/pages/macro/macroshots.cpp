// Pictures of the MACRO page with a recorded macro, at scale 1.0 and 1.5, in
// English and Chinese, for the README.
//
//   macro-page-shots <output folder>

#include "tools/screenshots/shotsetup.h"
#include "app/mousecfgwidget.h"
#include "app/services.h"
#include "pages/macro/macrodialog.h"
#include "pages/macro/macrorows.h"
#include "profile/language.h"
#include "profile/macrostore.h"
#include "profile/paths.h"
#include "sim/simmouse.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

using namespace macro;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ShotSetup setup(argc, argv, QStringLiteral("docs"));
    const QString &out = setup.out;

    // A few macros: a recorded Ctrl+C with its delays, and a gun file.
    MacroSettings recorded;
    recorded.DelayType = MacroDialog::DELAY_RECORDED;
    recorded.LoopType = 1;
    recorded.LoopTime = 3;
    saveMacro(QStringLiteral("Copy"), recorded,
              {keyRow(29, true), delayRow(12), keyRow(46, true), delayRow(8), keyRow(46, false), delayRow(10),
               keyRow(29, false), delayRow(25), mouseButtonRow(MOUSE_LEFT, true), delayRow(5),
               mouseButtonRow(MOUSE_LEFT, false), moveRow(0, -12)});
    addMacroName(QStringLiteral("Copy"));
    saveMacro(QStringLiteral("Reload"), MacroSettings(), {keyRow(19, true), keyRow(19, false)});
    addMacroName(QStringLiteral("Reload"));
    saveMacro(QStringLiteral("Burst AK"), MacroSettings(), gunSetEvents({{100, -3, 5}, {90, -2, 6}}));
    addMacroName(QStringLiteral("Burst AK"));

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
        window.selectPage(MousecfgWidget::PageMacro);
        MacroDialog *page = window.macroPage();
        page->SelectRow(4);
        page->commandTree()->topLevelItem(CMD_LEFT_CLICK)->setExpanded(true);
        QTest::qWait(50);
        const QString file = QStringLiteral("%1/macro-%2-%3.png").arg(out, QLatin1String(v.language), QLatin1String(v.scale));
        if (window.grab().save(file))
            ++written;
        else
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    }
    std::printf("%d pictures written to %s\n", written, qPrintable(out));
    return written == 4 ? 0 : 1;
}
