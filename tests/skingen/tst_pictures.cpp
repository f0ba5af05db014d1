// The skin as the program will find it: every picture it opens, at the size it
// is placed at, a window shape that masks correctly, buttons whose looks can be
// told apart, mouse pictures that light the right button, a marker layout that
// fits, and the embedded busy animation.
#include "generator.h"
#include "mouseart.h"
#include "windowlayout.h"

#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace skingen;

namespace {

// The files the program and its pages open from the skin folder, with the
// size they are shown at where that size is fixed (0 x 0: any size).
struct Expected {
    const char *path;
    int width;
    int height;
};

const Expected kFiles[] = {
    {"cfgMainback.png", 999, 640},
    {"tabbutton-1.png", 0, 0}, {"tabbutton-2.png", 0, 0}, {"tabbutton-3.png", 0, 0},
    {"min-1.png", 19, 19}, {"min-2.png", 19, 19}, {"min-3.png", 19, 19},
    {"close-1.png", 19, 19}, {"close-2.png", 19, 19}, {"close-3.png", 19, 19},
    {"lang.png", 110, 20},
    {"profilesel.png", 150, 29},
    {"profile_edit_name_1.png", 152, 30}, {"profile_edit_name_2.png", 152, 30},
    {"profile_apply1.png", 28, 28},
    {"profile_import1.png", 28, 28}, {"profile_import2.png", 28, 28}, {"profile_export1.png", 28, 28},
    {"profile_reset1.png", 74, 26}, {"profile_reset2.png", 74, 26},
    {"profile_add1.png", 74, 26}, {"profile_add2.png", 74, 26},
    {"profile_del1.png", 74, 26}, {"profile_del2.png", 74, 26},
    {"profile_copy1.png", 74, 26}, {"profile_copy2.png", 74, 26},
    {"bat1.png", 86, 47}, {"bat2.png", 86, 47},
    {"wireless.png", 28, 28},
    {"lightning.png", 26, 40},
    {"btn_1.png", 18, 18}, {"btn_2.png", 18, 18},
    {"btn_up1.png", 18, 18}, {"btn_up2.png", 18, 18}, {"btn_up3.png", 18, 18}, {"btn_up4.png", 18, 18},
    {"btn_down1.png", 18, 18}, {"btn_down2.png", 18, 18}, {"btn_down3.png", 18, 18}, {"btn_down4.png", 18, 18},
    {"warn.png", 45, 45}, {"dongle2.png", 45, 45},
    {"process.png", 128, 128},
    {"dlg.png", 478, 309},
    {"dlg_gun.png", 619, 400},
    {"icon.png", 0, 0},
    {"checkbox1-1.png", 0, 0}, {"checkbox1-2.png", 0, 0},
    {"checkbox2-1.png", 0, 0}, {"checkbox2-2.png", 0, 0},
    {"pspeed.png", 0, 0},
    {"bulletsel.png", 0, 0},
    {"gunset_slider.png", 0, 0}, {"gunset_bullet.png", 0, 0},
    {"delay.png", 0, 0}, {"keydown.png", 0, 0}, {"keyup.png", 0, 0}, {"keybo.png", 0, 0},
    {"mouse_move.png", 0, 0},
    {"top1.png", 0, 0}, {"top2.png", 0, 0}, {"top3.png", 0, 0}, {"top4.png", 0, 0},
    {"mouse/VELKOR/Mouse.png", 300, 400}, {"mouse/VELKOR/Mouse_Side.png", 300, 400},
    {"mouse/VELKOR/mouse_1.png", 300, 400}, {"mouse/VELKOR/mouse_2.png", 300, 400},
    {"mouse/VELKOR/mouse_3.png", 300, 400}, {"mouse/VELKOR/mouse_4.png", 300, 400},
    {"mouse/VELKOR/mouse_5.png", 300, 400}, {"mouse/VELKOR/mouse_6.png", 300, 400},
    {"mouse/VELKOR/mouse_7.png", 300, 400}, {"mouse/VELKOR/mouse_8.png", 300, 400},
};

// Mean absolute difference per channel of two pictures of one size (0..255).
double difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (x.size() != y.size())
        return 255.0;
    double sum = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q))
                   + qAbs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * x.width() * x.height());
}

QPoint parsePoint(const QVariant &v, bool *ok)
{
    // "x,y" unquoted: QSettings hands it back as a two-element list.
    const QStringList xy = v.toStringList();
    bool okx = false, oky = false;
    QPoint pt;
    if (xy.size() == 2)
        pt = QPoint(xy[0].trimmed().toInt(&okx), xy[1].trimmed().toInt(&oky));
    *ok = okx && oky;
    return pt;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_skin;
    QString m_res;
    QStringList m_written;

    QImage load(const QString &path) const
    {
        return QImage(m_skin + QLatin1Char('/') + path).convertToFormat(QImage::Format_ARGB32);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_skin = m_dir.filePath(QStringLiteral("bin/skin"));
        m_res = m_dir.filePath(QStringLiteral("generated/skin"));
        QString error;
        QVERIFY2(writeSkin(m_skin, &m_written, &error), qPrintable(error));
        QStringList res;
        QVERIFY2(writeResources(m_res, &res, &error), qPrintable(error));
    }

    void everyPictureTheProgramOpensExists()
    {
        for (const Expected &e : kFiles) {
            const QString path = QString::fromLatin1(e.path);
            QImageReader reader(m_skin + QLatin1Char('/') + path);
            const QSize size = reader.size();
            QVERIFY2(reader.canRead(), qPrintable(path + QStringLiteral(" cannot be read")));
            if (e.width > 0)
                QVERIFY2(size == QSize(e.width, e.height),
                         qPrintable(QStringLiteral("%1 is %2 x %3").arg(path).arg(size.width()).arg(size.height())));
            else
                QVERIFY2(size.width() >= 8 && size.height() >= 8, qPrintable(path + QStringLiteral(" is too small")));
            // nothing is blank
            const QImage img = load(path);
            int visible = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    visible += qAlpha(img.pixel(x, y)) > 0;
            QVERIFY2(visible > img.width() * img.height() / 20, qPrintable(path + QStringLiteral(" is blank")));
        }
    }

    void iconHoldsFourSizes()
    {
        QImageReader reader(m_skin + QStringLiteral("/icon.ico"), "ico");
        QCOMPARE(reader.imageCount(), 4);
        QSet<int> sides;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage img = reader.read();
            QVERIFY(!img.isNull());
            QCOMPARE(img.width(), img.height());
            sides.insert(img.width());
            // a tile with transparent corners and a solid middle
            const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(qAlpha(argb.pixel(img.width() / 2, img.height() / 2)), 255);
        }
        QCOMPARE(sides, (QSet<int>{16, 32, 48, 256}));
    }

    void backgroundShapesTheWindow()
    {
        const QImage bg = load(QStringLiteral("cfgMainback.png"));
        QCOMPARE(bg.size(), QSize(999, 640));

        // One bit of alpha: the window mask and the picture agree exactly.
        for (int y = 0; y < bg.height(); ++y)
            for (int x = 0; x < bg.width(); ++x) {
                const int a = qAlpha(bg.pixel(x, y));
                if (a != 0 && a != 255)
                    QFAIL(qPrintable(QStringLiteral("partial alpha %1 at %2,%3").arg(a).arg(x).arg(y)));
            }

        // Opaque wherever a control or panel is placed.
        QVector<QRect> inside = {layout::pageArea(), layout::leftColumn(), layout::brand(),
                                 layout::modelSelector(), layout::language(), layout::minimise(),
                                 layout::close(), layout::battery(), layout::connection()};
        for (int i = 0; i < 4; ++i)
            inside << layout::tab(i);
        for (int i = 0; i < 7; ++i)
            inside << layout::bottomButton(i);
        for (const QRect &r : inside)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qAlpha(bg.pixel(x, y)) != 255)
                        QFAIL(qPrintable(QStringLiteral("hole at %1,%2").arg(x).arg(y)));

        // See-through at the corners and in the notch under the bottom bar.
        for (const QPoint &pt : {QPoint(0, 0), QPoint(998, 0), QPoint(0, 639), QPoint(998, 639), QPoint(20, 20),
                                 QPoint(980, 630), QPoint(700, 625), QPoint(5, 320), QPoint(995, 320)})
            QVERIFY2(qAlpha(bg.pixel(pt)) == 0, qPrintable(QStringLiteral("%1,%2 is not transparent")
                                                               .arg(pt.x())
                                                               .arg(pt.y())));

        // The window is a single piece: the alpha mask of the picture is
        // what the program sets as the window mask.
        const QImage mask = bg.createAlphaMask();
        QCOMPARE(mask.pixelIndex(499, 320), mask.pixelIndex(layout::pageArea().center()));
    }

    void opaqueDialogBackgrounds()
    {
        // Dialogs are translucent and stretch these over their whole rectangle:
        // a hole would show the desktop through the dialog.
        for (const char *name : {"dlg.png", "dlg_gun.png"}) {
            const QImage img = load(QString::fromLatin1(name));
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(img.pixel(x, y)) != 255)
                        QFAIL(qPrintable(QStringLiteral("%1: hole at %2,%3").arg(QLatin1String(name)).arg(x).arg(y)));
        }
    }

    void buttonLooksDiffer_data()
    {
        QTest::addColumn<QStringList>("looks");
        QTest::newRow("tabs") << QStringList{"tabbutton-1.png", "tabbutton-3.png", "tabbutton-2.png"};
        QTest::newRow("minimise") << QStringList{"min-1.png", "min-2.png", "min-3.png"};
        QTest::newRow("close") << QStringList{"close-1.png", "close-2.png", "close-3.png"};
        QTest::newRow("move to top") << QStringList{"top1.png", "top2.png", "top3.png", "top4.png"};
        QTest::newRow("import") << QStringList{"profile_import1.png", "profile_import2.png"};
        QTest::newRow("reset") << QStringList{"profile_reset1.png", "profile_reset2.png"};
        QTest::newRow("add") << QStringList{"profile_add1.png", "profile_add2.png"};
        QTest::newRow("delete") << QStringList{"profile_del1.png", "profile_del2.png"};
        QTest::newRow("copy") << QStringList{"profile_copy1.png", "profile_copy2.png"};
        QTest::newRow("profile slot") << QStringList{"profile_edit_name_1.png", "profile_edit_name_2.png"};
        QTest::newRow("check box") << QStringList{"checkbox1-1.png", "checkbox1-2.png"};
        QTest::newRow("option") << QStringList{"checkbox2-1.png", "checkbox2-2.png"};
        QTest::newRow("marker") << QStringList{"btn_1.png", "btn_2.png"};
        QTest::newRow("wheel up") << QStringList{"btn_up2.png", "btn_up1.png"};
        QTest::newRow("wheel up, ringed") << QStringList{"btn_up4.png", "btn_up3.png"};
        QTest::newRow("wheel down") << QStringList{"btn_down2.png", "btn_down1.png"};
        QTest::newRow("wheel down, ringed") << QStringList{"btn_down4.png", "btn_down3.png"};
        QTest::newRow("up and down") << QStringList{"btn_up2.png", "btn_down2.png"};
        QTest::newRow("battery") << QStringList{"bat1.png", "bat2.png"};
    }

    void buttonLooksDiffer()
    {
        QFETCH(QStringList, looks);
        for (int i = 0; i < looks.size(); ++i)
            for (int j = i + 1; j < looks.size(); ++j) {
                const double d = difference(load(looks[i]), load(looks[j]));
                QVERIFY2(d >= 4.0, qPrintable(QStringLiteral("%1 and %2 differ by only %3")
                                                  .arg(looks[i], looks[j])
                                                  .arg(d, 0, 'f', 2)));
            }
    }

    void clickableButtonsAreSolidInTheMiddle()
    {
        // A button's mask comes from its first picture: a see-through middle
        // would make it unclickable there.
        for (const char *name : {"tabbutton-1.png", "min-1.png", "close-1.png", "lang.png", "profilesel.png",
                                 "profile_edit_name_1.png", "profile_apply1.png", "profile_import1.png",
                                 "profile_export1.png", "profile_reset1.png", "profile_add1.png", "profile_del1.png",
                                 "profile_copy1.png", "top1.png", "checkbox2-1.png", "bulletsel.png", "btn_1.png",
                                 "btn_up2.png", "btn_up4.png", "btn_down2.png", "btn_down4.png"}) {
            const QImage img = load(QString::fromLatin1(name));
            QVERIFY2(qAlpha(img.pixel(img.width() / 2, img.height() / 2)) == 255, name);
        }
    }

    void busyPlateLeavesItsCornersClear()
    {
        const QImage plate = load(QStringLiteral("process.png"));
        QCOMPARE(qAlpha(plate.pixel(0, 0)), 0);
        QVERIFY(qAlpha(plate.pixel(64, 64)) > 200);
    }

    void mousePicturesStayInTheirArea()
    {
        for (const char *name : {"Mouse.png", "Mouse_Side.png", "mouse_1.png", "mouse_4.png"}) {
            const QImage img = load(QStringLiteral("mouse/VELKOR/") + QLatin1String(name));
            int top = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const int a = qAlpha(img.pixel(x, y));
                    if (y >= 265 && a != 0)
                        QFAIL(qPrintable(QStringLiteral("%1: pixel at %2,%3 below the mouse area")
                                             .arg(QLatin1String(name))
                                             .arg(x)
                                             .arg(y)));
                    top += a == 255;
                }
            QVERIFY2(top > 10000, name); // a mouse, not a speck
        }
    }

    void layoutFitsThePictures()
    {
        QSettings ini(m_skin + QStringLiteral("/mouse/VELKOR/layout.ini"), QSettings::IniFormat);
        QCOMPARE(ini.status(), QSettings::NoError);
        const QImage front = load(QStringLiteral("mouse/VELKOR/Mouse.png"));
        const QImage side = load(QStringLiteral("mouse/VELKOR/Mouse_Side.png"));

        QSet<int> listed;
        for (const QString &group : {QStringLiteral("Front"), QStringLiteral("Side")}) {
            const QImage &pic = group == QLatin1String("Front") ? front : side;
            ini.beginGroup(group);
            QVector<QPoint> markers;
            const QStringList keys = ini.childKeys();
            for (const QString &key : keys) {
                QVERIFY2(key.startsWith(QLatin1String("Button")), qPrintable(key));
                bool okNumber = false;
                const int n = key.mid(6).toInt(&okNumber);
                QVERIFY2(okNumber && n >= 1 && n <= 8, qPrintable(key));
                listed.insert(n);
                bool ok = false;
                markers << parsePoint(ini.value(key), &ok);
                QVERIFY2(ok, qPrintable(group + QLatin1Char('/') + key));
            }
            ini.endGroup();
            if (group == QLatin1String("Front")) {
                bool okUp = false, okDown = false;
                markers << parsePoint(ini.value(QStringLiteral("Extra/Up")), &okUp)
                        << parsePoint(ini.value(QStringLiteral("Extra/Down")), &okDown);
                QVERIFY(okUp && okDown);
            }
            QVERIFY(!markers.isEmpty());
            for (int i = 0; i < markers.size(); ++i) {
                const QPoint m = markers[i];
                // the whole 18 x 18 marker inside the mouse area of the picture
                QVERIFY2(QRect(0, 0, 300, 265).contains(QRect(m - QPoint(9, 9), QSize(18, 18))),
                         qPrintable(QStringLiteral("%1 marker at %2,%3").arg(group).arg(m.x()).arg(m.y())));
                // on the mouse itself
                bool onMouse = false;
                for (int dy = -3; dy <= 3 && !onMouse; ++dy)
                    for (int dx = -3; dx <= 3 && !onMouse; ++dx)
                        onMouse = qAlpha(pic.pixel(m + QPoint(dx, dy))) > 128;
                QVERIFY2(onMouse, qPrintable(QStringLiteral("%1 marker at %2,%3 is off the mouse")
                                                 .arg(group)
                                                 .arg(m.x())
                                                 .arg(m.y())));
                // markers of one view never cover each other
                for (int j = i + 1; j < markers.size(); ++j) {
                    const QPoint d = markers[j] - m;
                    QVERIFY2(std::hypot(d.x(), d.y()) >= 18.0,
                             qPrintable(QStringLiteral("%1 markers %2 and %3 overlap").arg(group).arg(i).arg(j)));
                }
            }
        }
        for (int n = 1; n <= 8; ++n)
            QVERIFY2(listed.contains(n), qPrintable(QStringLiteral("button %1 has no marker").arg(n)));
    }

    void eachButtonPictureLightsThatButton()
    {
        QSettings ini(m_skin + QStringLiteral("/mouse/VELKOR/layout.ini"), QSettings::IniFormat);
        const QImage plain = load(QStringLiteral("mouse/VELKOR/Mouse.png"));
        for (int n = 1; n <= 8; ++n) {
            const QImage lit = load(QStringLiteral("mouse/VELKOR/mouse_%1.png").arg(n));
            QCOMPARE(lit.size(), plain.size());
            // the pixels that changed, and how orange they turned
            qint64 sx = 0, sy = 0, count = 0, red = 0, green = 0, blue = 0;
            for (int y = 0; y < lit.height(); ++y)
                for (int x = 0; x < lit.width(); ++x) {
                    const QRgb a = lit.pixel(x, y), b = plain.pixel(x, y);
                    if (qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) < 90)
                        continue;
                    sx += x;
                    sy += y;
                    ++count;
                    red += qRed(a);
                    green += qGreen(a);
                    blue += qBlue(a);
                }
            QVERIFY2(count > 40, qPrintable(QStringLiteral("mouse_%1 lights almost nothing").arg(n)));
            QVERIFY2(red > green && green > blue, qPrintable(QStringLiteral("mouse_%1 is not lit in the accent").arg(n)));
            const QString key = QStringLiteral("Front/Button%1").arg(n);
            if (!ini.contains(key))
                continue;
            bool ok = false;
            const QPoint marker = parsePoint(ini.value(key), &ok);
            QVERIFY(ok);
            const QPointF centre(double(sx) / count, double(sy) / count);
            const QPointF d = centre - QPointF(marker);
            QVERIFY2(std::hypot(d.x(), d.y()) < 30.0,
                     qPrintable(QStringLiteral("mouse_%1 lights around %2,%3, its marker is at %4,%5")
                                    .arg(n)
                                    .arg(centre.x())
                                    .arg(centre.y())
                                    .arg(marker.x())
                                    .arg(marker.y())));
        }
    }

    void layoutFollowsTheProductDescription()
    {
        // Another product is only another description: a button hidden in a
        // view gets no marker there, and the renderer copes with it.
        MouseDesign d = velkorDesign();
        d.name = QStringLiteral("TESTMOUSE");
        for (MouseButtonArt &b : d.buttons) {
            if (b.number == 6)
                b.top = QPainterPath();
            if (b.number == 2)
                b.side = b.top.translated(0, 60);
        }
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("layout.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(layoutIni(d));
        file.close();
        QSettings ini(file.fileName(), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("Front"));
        QStringList front = ini.childKeys();
        ini.endGroup();
        ini.beginGroup(QStringLiteral("Side"));
        QStringList side = ini.childKeys();
        ini.endGroup();
        front.sort();
        side.sort();
        QCOMPARE(front, (QStringList{"Button1", "Button2", "Button3", "Button4", "Button5", "Button7", "Button8"}));
        QCOMPARE(side, (QStringList{"Button2", "Button3", "Button4", "Button5", "Button7", "Button8"}));
        QVERIFY(ini.contains(QStringLiteral("Extra/Up")) && ini.contains(QStringLiteral("Extra/Down")));
        // lighting a button that the top view does not show changes nothing
        QCOMPARE(renderTopView(d, 6), renderTopView(d, 0));
    }

    void busyAnimationPlays()
    {
        QMovie movie(m_res + QStringLiteral("/loading.gif"));
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() >= 12 && movie.frameCount() <= 24);
        QImageReader reader(m_res + QStringLiteral("/loading.gif"));
        QCOMPARE(reader.loopCount(), -1);
        QImage first;
        for (int i = 0; i < movie.frameCount(); ++i) {
            QVERIFY(movie.jumpToFrame(i));
            const QImage frame = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(frame.size(), QSize(128, 128));
            QCOMPARE(qAlpha(frame.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(frame.pixel(64, 64)), 0); // the ring is hollow
            if (i == 0)
                first = frame;
            else if (i == movie.frameCount() / 2)
                QVERIFY(difference(first, frame) > 1.0);
        }
        // the spinner is drawn in the accent colour: its brightest pixel is orange
        int best = -1;
        QRgb brightest = 0;
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x) {
                const QRgb c = first.pixel(x, y);
                if (qAlpha(c) == 255 && qRed(c) > best && qBlue(c) < 100) {
                    best = qRed(c);
                    brightest = c;
                }
            }
        QVERIFY(best > 200);
        QVERIFY(qGreen(brightest) > qBlue(brightest) + 40 && qRed(brightest) > qGreen(brightest) + 40);
    }

    void resourceListMatchesTheBuildsCopy()
    {
        QFile generated(m_res + QStringLiteral("/skin_resources.qrc"));
        QFile source(QStringLiteral(SKINGEN_SOURCE_DIR "/skin_resources.qrc"));
        QVERIFY(generated.open(QIODevice::ReadOnly));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(generated.readAll(), source.readAll());
        for (const char *name : {"yes_btn.png", "no_btn.png"})
            QVERIFY(!QImage(m_res + QLatin1Char('/') + QLatin1String(name)).isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
