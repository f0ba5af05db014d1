// The colour picker alone: its conversions, the hue strip, the square, and
// the dialog keeping every part in step with one propagation per edit.

#include "pages/lighting/colorwidgets.h"
#include "pages/lighting/lighting.h"
#include "pages/lighting/zelcolorarea.h"
#include "widgets/uistate.h"

#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

using lighting::parseHex;

class TestColorPicker : public QObject {
    Q_OBJECT

    static QColor rgb(const ZelColorArea &d)
    {
        return QColor(d.field(ZelColorArea::FieldR)->value(), d.field(ZelColorArea::FieldG)->value(),
                      d.field(ZelColorArea::FieldB)->value());
    }

private slots:
    void init() { setScaleFactor(1.0); }

    void hexInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("three digits, each doubled") << "f80" << true << QColor(255, 136, 0);
        QTest::newRow("six digits with #") << "#ff8800" << true << QColor(255, 136, 0);
        QTest::newRow("upper case") << "FF8800" << true << QColor(255, 136, 0);
        QTest::newRow("spaces around") << " #abc " << true << QColor(0xaa, 0xbb, 0xcc);
        QTest::newRow("one digit, zeros on the left") << "f" << true << QColor(0, 0, 15);
        QTest::newRow("two digits") << "ff" << true << QColor(0, 0, 255);
        QTest::newRow("four digits") << "1234" << true << QColor(0, 0x12, 0x34);
        QTest::newRow("five digits") << "#12345" << true << QColor(0x01, 0x23, 0x45);
        QTest::newRow("empty") << "" << false << QColor(1, 2, 3);
        QTest::newRow("only #") << "#" << false << QColor(1, 2, 3);
        QTest::newRow("seven digits") << "1234567" << false << QColor(1, 2, 3);
        QTest::newRow("not hexadecimal") << "12g" << false << QColor(1, 2, 3);
    }

    void hexInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QFETCH(QColor, colour);
        QColor c(1, 2, 3);
        QCOMPARE(parseHex(text, &c), taken);
        QCOMPARE(c, colour);
    }

    void hexTextAndCompleteForms()
    {
        QCOMPARE(lighting::hexText(QColor(255, 136, 0)), QStringLiteral("FF8800"));
        QCOMPARE(lighting::hexText(QColor(0, 10, 1)), QStringLiteral("000A01"));
        QColor c(1, 2, 3);
        // While typing, only three or six digits count.
        QVERIFY(!lighting::parseCompleteHex(QStringLiteral("ff"), &c));
        QVERIFY(!lighting::parseCompleteHex(QStringLiteral("ff88"), &c));
        QCOMPARE(c, QColor(1, 2, 3));
        QVERIFY(lighting::parseCompleteHex(QStringLiteral("#f80"), &c));
        QCOMPARE(c, QColor(255, 136, 0));
    }

    void squareRoundTrip_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("scale 1.0") << 128;
        QTest::newRow("scale 1.5") << 192;
        QTest::newRow("scale 2.25") << 288;
    }

    void squareRoundTrip()
    {
        QFETCH(int, side);
        QCOMPARE(lighting::levelForOffset(0, side), 0);
        QCOMPARE(lighting::levelForOffset(side, side), 255);
        QCOMPARE(lighting::levelForOffset(-20, side), 0);
        QCOMPARE(lighting::levelForOffset(side + 20, side), 255);
        for (int level = 0; level <= 255; ++level) {
            const int back = lighting::levelForOffset(lighting::offsetForLevel(level, side), side);
            QVERIFY2(qAbs(back - level) <= 1, qPrintable(QStringLiteral("level %1 came back as %2").arg(level).arg(back)));
        }
    }

    void squareReportsWhatItsMarkerShows()
    {
        // Field -> marker -> press on the marker -> the same levels, +-1.
        setScaleFactor(1.5);
        SVColorArea square;
        const int outer = scaled(SVColorArea::BASE_SIDE + 2 * SVColorArea::BASE_MARGIN);
        square.resize(outer, outer);
        square.show();
        QCOMPARE(square.side(), 192);
        QSignalSpy spy(&square, &SVColorArea::svChangedSignal);
        square.setHue(200);
        const int levels[][2] = {{0, 0}, {255, 255}, {1, 254}, {128, 77}, {37, 200}};
        for (const auto &sv : levels) {
            square.setSaturationValue(sv[0], sv[1]);
            QCOMPARE(spy.count(), 0);   // setting is not an edit
            QTest::mousePress(&square, Qt::LeftButton, Qt::NoModifier, square.markerPos());
            QCOMPARE(spy.count(), 1);
            const QList<QVariant> args = spy.takeFirst();
            QCOMPARE(args.at(0).toInt(), 200);
            QVERIFY(qAbs(args.at(1).toInt() - sv[0]) <= 1);
            QVERIFY(qAbs(args.at(2).toInt() - sv[1]) <= 1);
            QTest::mouseRelease(&square, Qt::LeftButton, Qt::NoModifier, square.markerPos());
        }
        // Presses outside the square clamp to its edges.
        QTest::mousePress(&square, Qt::LeftButton, Qt::NoModifier, QPoint(-30, outer + 30));
        QCOMPARE(spy.last().at(1).toInt(), 0);
        QCOMPARE(spy.last().at(2).toInt(), 0);
        QTest::mousePress(&square, Qt::LeftButton, Qt::NoModifier, QPoint(outer + 30, -30));
        QCOMPARE(spy.last().at(1).toInt(), 255);
        QCOMPARE(spy.last().at(2).toInt(), 255);
        setScaleFactor(1.0);
    }

    void stripClampsAtBothEnds()
    {
        HColorArea strip;
        strip.resize(HColorArea::BASE_WIDTH, HColorArea::BASE_HEIGHT);
        strip.show();
        QSignalSpy spy(&strip, &HColorArea::hueChangedSignal);
        QTest::mousePress(&strip, Qt::LeftButton, Qt::NoModifier, QPoint(10, 2));   // above the top end
        QCOMPARE(strip.fraction(), 1.0);
        QCOMPARE(spy.last().at(0).toInt(), 360);
        QTest::mousePress(&strip, Qt::LeftButton, Qt::NoModifier, QPoint(10, 268));  // below the bottom end
        QCOMPARE(strip.fraction(), 0.0);
        QCOMPARE(spy.last().at(0).toInt(), 0);
        // The middle of the strip is hue 180.
        QTest::mousePress(&strip, Qt::LeftButton, Qt::NoModifier, QPoint(10, 9 + 126));
        QCOMPARE(spy.last().at(0).toInt(), 180);
        QCOMPARE(lighting::normalisedHue(360), 0);
    }

    void stripTopEndIsRedInTheDialog()
    {
        ZelColorArea dialog;
        dialog.setColor(QColor(0, 0, 255));
        dialog.show();
        QTest::mousePress(dialog.hueArea(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 0));
        QCOMPARE(dialog.hue(), 0);
        QCOMPARE(dialog.field(ZelColorArea::FieldH)->value(), 0);
        QCOMPARE(dialog.color(), QColor(255, 0, 0));
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("FF0000"));
        QCOMPARE(dialog.previewArea()->color(), QColor(255, 0, 0));
    }

    void typedHexReachesEveryPart()
    {
        ZelColorArea dialog;
        dialog.show();
        QSignalSpy changed(&dialog, &ZelColorArea::ZelChangeColor);
        dialog.hexEdit()->clear();
        QTest::keyClicks(dialog.hexEdit(), QStringLiteral("f80"));
        QCOMPARE(rgb(dialog), QColor(255, 136, 0));
        QCOMPARE(dialog.color(), QColor(255, 136, 0));
        QCOMPARE(dialog.previewArea()->color(), QColor(255, 136, 0));
        QCOMPARE(dialog.field(ZelColorArea::FieldH)->value(), QColor(255, 136, 0).hsvHue());
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("f80"));   // as typed until editing ends
        QCOMPARE(changed.count(), 1);
        emit dialog.hexEdit()->editingFinished();
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("FF8800"));

        // "#" first and six digits work as well; shorter entries are padded.
        dialog.hexEdit()->clear();
        QTest::keyClicks(dialog.hexEdit(), QStringLiteral("#0080ff"));
        QCOMPARE(dialog.color(), QColor(0, 128, 255));
        dialog.hexEdit()->clear();
        QTest::keyClicks(dialog.hexEdit(), QStringLiteral("ff"));
        QCOMPARE(dialog.color(), QColor(0, 128, 255));   // not yet: still typing
        emit dialog.hexEdit()->editingFinished();
        QCOMPARE(dialog.color(), QColor(0, 0, 255));
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("0000FF"));
        // An emptied field loses nothing: it shows the colour again.
        dialog.hexEdit()->clear();
        emit dialog.hexEdit()->editingFinished();
        QCOMPARE(dialog.color(), QColor(0, 0, 255));
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("0000FF"));
        // More than six digits cannot be typed.
        dialog.hexEdit()->clear();
        QTest::keyClicks(dialog.hexEdit(), QStringLiteral("12345678"));
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("123456"));
    }

    void whitePresetHasNoSaturation()
    {
        ZelColorArea dialog;
        dialog.setColor(QColor(0, 128, 255));
        dialog.show();
        const int hueBefore = dialog.hue();
        QSignalSpy changed(&dialog, &ZelColorArea::ZelChangeColor);
        const int before = dialog.propagationCount();
        QTest::mousePress(dialog.preset(6), Qt::LeftButton);
        QCOMPARE(rgb(dialog), QColor(255, 255, 255));
        QCOMPARE(dialog.field(ZelColorArea::FieldS)->value(), 0);
        QCOMPARE(dialog.field(ZelColorArea::FieldV)->value(), 255);
        // White has no hue: the strip stays where it was.
        QCOMPARE(dialog.hue(), hueBefore);
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("FFFFFF"));
        QCOMPARE(dialog.propagationCount(), before + 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).value<QColor>(), QColor(255, 255, 255));
        // Every preset, in order.
        const QColor expected[7] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255},
                                    {255, 255, 0}, {255, 0, 255}, {255, 255, 255}};
        for (int i = 0; i < 7; ++i) {
            QTest::mousePress(dialog.preset(i), Qt::LeftButton);
            QCOMPARE(dialog.color(), expected[i]);
        }
    }

    void oneEditIsOnePropagation()
    {
        ZelColorArea dialog;
        dialog.setColor(QColor(10, 20, 30));
        QSignalSpy changed(&dialog, &ZelColorArea::ZelChangeColor);
        int count = dialog.propagationCount();
        // Red: the hue, saturation and value fields follow, and their own
        // change notifications start nothing.
        dialog.field(ZelColorArea::FieldR)->setValue(200);
        QCOMPARE(dialog.propagationCount(), ++count);
        QCOMPARE(changed.count(), 1);
        const QColor c(200, 20, 30);
        QCOMPARE(dialog.field(ZelColorArea::FieldH)->value(), c.hsvHue());
        QCOMPARE(dialog.field(ZelColorArea::FieldS)->value(), c.hsvSaturation());
        QCOMPARE(dialog.field(ZelColorArea::FieldV)->value(), c.value());
        QCOMPARE(dialog.svArea()->saturation(), c.hsvSaturation());
        // Hue, saturation, value: red, green and blue follow.
        dialog.field(ZelColorArea::FieldH)->setValue(240);
        dialog.field(ZelColorArea::FieldS)->setValue(255);
        dialog.field(ZelColorArea::FieldV)->setValue(255);
        QCOMPARE(dialog.propagationCount(), count + 3);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(rgb(dialog), QColor(0, 0, 255));
        QCOMPARE(dialog.hueArea()->hue(), 240);
        QCOMPARE(dialog.svArea()->hue(), 240);
        QCOMPARE(dialog.hexEdit()->text(), QStringLiteral("0000FF"));
    }

    void squareDragUpdatesTheFields()
    {
        ZelColorArea dialog;
        dialog.setColor(QColor(255, 0, 0));
        dialog.show();
        SVColorArea *square = dialog.svArea();
        // Bottom-left corner: black; top-left: white.
        QTest::mousePress(square, Qt::LeftButton, Qt::NoModifier,
                          QPoint(square->inset(), square->inset() + square->side()));
        QCOMPARE(dialog.color(), QColor(0, 0, 0));
        QCOMPARE(dialog.field(ZelColorArea::FieldV)->value(), 0);
        QTest::mousePress(square, Qt::LeftButton, Qt::NoModifier, QPoint(square->inset(), square->inset()));
        QCOMPARE(dialog.color(), QColor(255, 255, 255));
        QCOMPARE(dialog.previewArea()->color(), QColor(255, 255, 255));
        // Top-right: the pure hue.
        QTest::mousePress(square, Qt::LeftButton, Qt::NoModifier,
                          QPoint(square->inset() + square->side(), square->inset()));
        QCOMPARE(dialog.color(), QColor(255, 0, 0));
        QSignalSpy applied(&dialog, &ZelColorArea::ApplyColor);
        QTest::mouseRelease(square, Qt::LeftButton, Qt::NoModifier, QPoint(square->inset(), square->inset()));
        QCOMPARE(applied.count(), 1);
    }

    void applyAcceptsAndCancelRejects()
    {
        ZelColorArea dialog;
        dialog.show();
        dialog.applyButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        ZelColorArea other;
        other.show();
        other.cancelButton()->click();
        QCOMPARE(other.result(), int(QDialog::Rejected));
        QCOMPARE(other.windowTitle(), QStringLiteral("Color Edit"));
        QCOMPARE(other.applyButton()->text(), QStringLiteral("APPLY"));
    }

    void swatchPaintsItsColourAndReportsPresses()
    {
        DefaultColorArea swatch;
        swatch.resize(40, 20);
        swatch.setColor(QColor(0, 128, 255));
        const QImage image = swatch.grab().toImage();
        QCOMPARE(QColor(image.pixel(20, 10)), QColor(0, 128, 255));
        QSignalSpy clicked(&swatch, &DefaultColorArea::ClickedSignal);
        swatch.show();
        QTest::mousePress(&swatch, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    void previewOfTheLightZone()
    {
        QImage base(20, 10, QImage::Format_ARGB32_Premultiplied);
        base.fill(QColor(40, 40, 40));
        QImage zone(20, 10, QImage::Format_ARGB32_Premultiplied);
        zone.fill(Qt::transparent);
        for (int x = 0; x < 20; ++x)
            zone.setPixel(x, 5, qRgba(255, 255, 255, 255));
        lighting::Preview preview;
        preview.effect = lighting::EFFECT_BREATHING;
        preview.colour = QColor(0, 128, 255);
        const QImage lit = lighting::composePreview(base, zone, preview);
        QCOMPARE(QColor(lit.pixel(3, 5)), QColor(0, 128, 255));
        QCOMPARE(QColor(lit.pixel(3, 2)), QColor(40, 40, 40));   // outside the zone
        preview.effect = lighting::EFFECT_OFF;
        QCOMPARE(QColor(lighting::composePreview(base, zone, preview).pixel(3, 5)), QColor(40, 40, 40));
        // Colour-cycling effects show the spectrum: not one colour along the zone.
        preview.effect = 4;
        const QImage rainbow = lighting::composePreview(base, zone, preview);
        QVERIFY(rainbow.pixel(1, 5) != rainbow.pixel(10, 5));
        // Brightness 1 is dimmer than brightness 3.
        preview.effect = lighting::EFFECT_FULL;
        preview.bright = 1;
        const int dim = QColor(lighting::composePreview(base, zone, preview).pixel(3, 5)).blue();
        preview.bright = 3;
        QVERIFY(dim < QColor(lighting::composePreview(base, zone, preview).pixel(3, 5)).blue());
    }

    // A zone of the picture's size is drawn in one pass; every partly lit
    // pixel comes out as the light cut to the zone and laid over the picture
    // (the way a zone of another size is drawn), whatever form the zone has.
    void previewOfAZoneInOnePassIsThePreviewCutToTheZone()
    {
        QImage base(64, 8, QImage::Format_ARGB32);
        QImage zone(64, 8, QImage::Format_ARGB32);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 64; ++x) {
                base.setPixel(x, y, qRgba(x * 4, y * 30, 200 - x, 255 - y));
                zone.setPixel(x, y, qRgba(x * 3, 255 - x, y, (x * 4 + y * 37) & 0xFF));   // every kind of alpha
            }
        }
        const auto cutAndLaid = [&](const lighting::Preview &preview, const QColor &colour) {
            QImage light(base.size(), QImage::Format_ARGB32_Premultiplied);
            light.fill(Qt::transparent);
            QPainter p(&light);
            if (colour.isValid()) {
                p.fillRect(light.rect(), colour);
            } else {
                QLinearGradient g(0, 0, light.width(), 0);
                for (int i = 0; i <= 6; ++i)
                    g.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
                p.fillRect(light.rect(), g);
            }
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(light.rect(), zone);
            p.end();
            QImage out = base.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QPainter q(&out);
            static const double levels[4] = {1.0, 0.45, 0.72, 1.0};
            if (lighting::hasBrightness(preview.effect))
                q.setOpacity(levels[preview.bright]);
            q.drawImage(out.rect(), light);
            return out;
        };
        for (const QImage &form : {zone, zone.convertToFormat(QImage::Format_Alpha8)}) {
            for (const QColor &colour : {QColor(0, 128, 255), QColor(255, 255, 255), QColor(250, 7, 90)}) {
                for (int bright : {1, 2, 3}) {
                    lighting::Preview preview;
                    preview.effect = lighting::EFFECT_FULL;
                    preview.colour = colour;
                    preview.bright = bright;
                    QCOMPARE(lighting::composePreview(base, form, preview), cutAndLaid(preview, colour));
                }
            }
            lighting::Preview spectrum;
            spectrum.effect = 4;
            QCOMPARE(lighting::composePreview(base, form, spectrum), cutAndLaid(spectrum, QColor()));
        }
    }
};

QTEST_MAIN(TestColorPicker)
#include "tst_colorpicker.moc"
