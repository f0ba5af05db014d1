// mousecfg-skingen: draws the skin at build time.
//
//   mousecfg-skingen --skin <dir> [--resources <dir>] [--stamp <file>] [--preview <dir>]
//
// --skin       the skin folder beside the program (pictures, icon, mouse layouts)
// --resources  the folder of the pictures the program embeds, with their .qrc
// --stamp      written last, listing every file, so the build knows it is done
// --preview    writes preview.png, preview@1.5x.png and magnified sheets of the pictures
#include "generator.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    // Drawing needs fonts, fonts need a GUI application, and the build machine
    // may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("mousecfg-skingen"));

    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Draws the mousecfg skin."));
    cli.addHelpOption();
    const QCommandLineOption skinOpt(QStringLiteral("skin"), QStringLiteral("Skin folder to write."),
                                     QStringLiteral("dir"));
    const QCommandLineOption resOpt(QStringLiteral("resources"), QStringLiteral("Embedded resources folder."),
                                    QStringLiteral("dir"));
    const QCommandLineOption stampOpt(QStringLiteral("stamp"), QStringLiteral("Stamp file written last."),
                                      QStringLiteral("file"));
    const QCommandLineOption previewOpt(QStringLiteral("preview"), QStringLiteral("Write preview pictures here."),
                                        QStringLiteral("dir"));
    cli.addOptions({skinOpt, resOpt, stampOpt, previewOpt});
    cli.process(app);

    QTextStream err(stderr);
    if (!cli.isSet(skinOpt)) {
        err << "mousecfg-skingen: --skin <dir> is required\n";
        return 2;
    }

    QStringList written;
    QString error;
    if (!skingen::writeSkin(cli.value(skinOpt), &written, &error)) {
        err << "mousecfg-skingen: " << error << '\n';
        return 1;
    }
    if (cli.isSet(resOpt)) {
        QStringList res;
        if (!skingen::writeResources(cli.value(resOpt), &res, &error)) {
            err << "mousecfg-skingen: " << error << '\n';
            return 1;
        }
        for (const QString &r : res)
            written << QStringLiteral("resources/") + r;
    }
    if (cli.isSet(previewOpt)) {
        const QDir dir(cli.value(previewOpt));
        QDir().mkpath(dir.absolutePath());
        const bool ok = skingen::previewWindow(cli.value(skinOpt)).save(dir.filePath(QStringLiteral("preview.png")))
                        && skingen::previewWindow(cli.value(skinOpt), 1.5)
                               .save(dir.filePath(QStringLiteral("preview@1.5x.png")))
                        && skingen::contactSheet(cli.value(skinOpt), 64, 4)
                               .save(dir.filePath(QStringLiteral("sheet-small.png")))
                        && skingen::contactSheet(cli.value(skinOpt), 160, 2)
                               .save(dir.filePath(QStringLiteral("sheet-medium.png")))
                        && skingen::contactSheet(cli.value(skinOpt), 400, 2)
                               .save(dir.filePath(QStringLiteral("sheet-large.png")));
        if (!ok) {
            err << "mousecfg-skingen: cannot write the preview pictures\n";
            return 1;
        }
    }
    if (cli.isSet(stampOpt)) {
        QSaveFile stamp(cli.value(stampOpt));
        const QByteArray text = written.join(QLatin1Char('\n')).toUtf8() + '\n';
        if (!stamp.open(QIODevice::WriteOnly) || stamp.write(text) != text.size() || !stamp.commit()) {
            err << "mousecfg-skingen: cannot write " << cli.value(stampOpt) << '\n';
            return 1;
        }
    }
    return 0;
}
