#include "widgettest.h"

#include "widgets/zelpushbutton.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>

using namespace widgettest;

namespace {

const QColor kNormal(200, 0, 0);
const QColor kHover(0, 200, 0);
const QColor kPressed(0, 0, 200);

void enter(QWidget *w)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(w, &event);
}

void leave(QWidget *w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(w, &event);
}

// Colour in the top-right corner, where neither badge nor text is drawn.
QColor picture(ZelPushButton *b)
{
    return pixelAt(b, QPoint(b->width() - 2, 1));
}

} // namespace

class TestZelPushButton : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_normal, m_hover, m_pressed, m_wide;

    QStringList three() const { return {m_normal, m_hover, m_pressed}; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useLanguageConfig(m_dir);
        m_normal = writePicture(m_dir.filePath(QStringLiteral("n.png")), kNormal);
        m_hover = writePicture(m_dir.filePath(QStringLiteral("h.png")), kHover);
        m_pressed = writePicture(m_dir.filePath(QStringLiteral("p.png")), kPressed);
        m_wide = writePicture(m_dir.filePath(QStringLiteral("w.png")), kHover, QSize(64, 24));
    }

    void init() { resetLook(); }

    void oneImageKeepsItsPictureThroughHoverAndPress()
    {
        for (bool checkable : {false, true}) {
            ZelPushButton b({m_normal});
            b.setCheckable(checkable);
            b.resize(60, 24);
            QCOMPARE(picture(&b), kNormal);
            enter(&b);
            QCOMPARE(picture(&b), kNormal);
            QTest::mousePress(&b, Qt::LeftButton);
            QCOMPARE(picture(&b), kNormal);
            QTest::mouseRelease(&b, Qt::LeftButton);
            QCOMPARE(picture(&b), kNormal);
            leave(&b);
            QCOMPARE(picture(&b), kNormal);
        }
    }

    void threeImagesFollowHoverPressRelease()
    {
        ZelPushButton b(three());
        b.resize(60, 24);
        QSignalSpy entered(&b, &ZelPushButton::EnterSignal);
        QSignalSpy clicked(&b, &QPushButton::clicked);

        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));
        QCOMPARE(picture(&b), kNormal);
        enter(&b);
        QCOMPARE(b.state(), int(ZelPushButton::StateHover));
        QCOMPARE(picture(&b), kHover);
        QTest::mousePress(&b, Qt::LeftButton);
        QCOMPARE(b.state(), int(ZelPushButton::StatePressed));
        QCOMPARE(picture(&b), kPressed);
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.first().first().value<ZelPushButton *>(), &b);
        QTest::mouseRelease(&b, Qt::LeftButton);
        QCOMPARE(b.state(), int(ZelPushButton::StateHover));
        QCOMPARE(clicked.count(), 1);
        leave(&b);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));
        QCOMPARE(picture(&b), kNormal);

        // A plain button shows its pressed look on every press, and a
        // right-button press changes nothing.
        QTest::mousePress(&b, Qt::LeftButton);
        QCOMPARE(b.state(), int(ZelPushButton::StatePressed));
        QTest::mouseRelease(&b, Qt::LeftButton);
        QVERIFY(!b.isChecked());
        leave(&b);
        QTest::mousePress(&b, Qt::RightButton);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));
        QCOMPARE(entered.count(), 2);
    }

    void checkableButtonTogglesOnPress()
    {
        ZelPushButton b(three());
        b.resize(60, 24);
        b.setCheckable(true);
        enter(&b);
        QTest::mousePress(&b, Qt::LeftButton);
        QVERIFY(b.isChecked());
        QCOMPARE(b.state(), int(ZelPushButton::StatePressed));
        QTest::mouseRelease(&b, Qt::LeftButton);
        leave(&b);
        // Checked keeps the hover look after the pointer has gone.
        QCOMPARE(b.state(), int(ZelPushButton::StateHover));
        QCOMPARE(picture(&b), kHover);

        enter(&b);
        QTest::mousePress(&b, Qt::LeftButton);
        QVERIFY(!b.isChecked());
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));
        QTest::mouseRelease(&b, Qt::LeftButton);
        QCOMPARE(b.state(), int(ZelPushButton::StateHover));
        leave(&b);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));

        // Two images (a check box): the press itself changes no picture.
        ZelPushButton box({m_normal, m_hover});
        box.setCheckable(true);
        QTest::mousePress(&box, Qt::LeftButton);
        QVERIFY(box.isChecked());
        QCOMPARE(box.state(), int(ZelPushButton::StateNormal));
        QTest::mouseRelease(&box, Qt::LeftButton);
        QCOMPARE(box.state(), int(ZelPushButton::StateHover));
    }

    void leaveAfterAClickIsNotReported()
    {
        ZelPushButton b(three());
        b.resize(60, 24);
        QSignalSpy over(&b, &ZelPushButton::OverSignal);

        enter(&b);
        QTest::mousePress(&b, Qt::LeftButton);
        QTest::mouseRelease(&b, Qt::LeftButton);
        leave(&b);   // e.g. the button's menu took the pointer
        QCOMPARE(over.count(), 1);
        QCOMPARE(over.at(0).at(1).toBool(), true);
        QCOMPARE(over.at(0).at(0).value<ZelPushButton *>(), &b);

        // The next hover reports both ways again.
        enter(&b);
        leave(&b);
        QCOMPARE(over.count(), 3);
        QCOMPARE(over.at(1).at(1).toBool(), true);
        QCOMPARE(over.at(2).at(1).toBool(), false);
    }

    void notInteractiveIgnoresThePointer()
    {
        ZelPushButton b(three());
        b.setInteractive(false);
        QSignalSpy over(&b, &ZelPushButton::OverSignal);
        QSignalSpy entered(&b, &ZelPushButton::EnterSignal);
        enter(&b);
        QTest::mousePress(&b, Qt::LeftButton);
        QTest::mouseRelease(&b, Qt::LeftButton);
        leave(&b);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));
        QCOMPARE(over.count(), 0);
        QCOMPARE(entered.count(), 0);
    }

    void checkedAndEnabledSetters()
    {
        ZelPushButton b(three());
        b.resize(60, 24);
        b.setChecked(true);
        QCOMPARE(b.state(), int(ZelPushButton::StateHover));
        b.setChecked(false);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));

        b.setCheckable(true);
        b.setChecked(true);
        b.setEnabled(false);
        QVERIFY(!b.isEnabled());
        QCOMPARE(b.state(), int(ZelPushButton::StateDisabled));
        QCOMPARE(picture(&b), kNormal);   // disabled draws the first picture
        enter(&b);                        // and keeps that look under the pointer
        QCOMPARE(b.state(), int(ZelPushButton::StateDisabled));
        leave(&b);
        QCOMPARE(b.state(), int(ZelPushButton::StateDisabled));
        b.setEnabled(true);
        QCOMPARE(b.state(), int(ZelPushButton::StateHover));   // checkable and checked
        b.setCheckable(false);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));
        b.setEnabled(true);
        QCOMPARE(b.state(), int(ZelPushButton::StateNormal));

        // Disabled through its parent, as a page disables all its controls.
        QWidget page;
        auto *child = new ZelPushButton(three(), &page);
        page.setEnabled(false);
        QCOMPARE(child->state(), int(ZelPushButton::StateDisabled));
        page.setEnabled(true);
        QCOMPARE(child->state(), int(ZelPushButton::StateNormal));
    }

    void badgeTexts()
    {
        QCOMPARE(ZelPushButton::badgeText(253), QStringLiteral("  \u2191"));
        QCOMPARE(ZelPushButton::badgeText(254), QStringLiteral("  \u2193"));
        QCOMPARE(ZelPushButton::badgeText(7), QStringLiteral("  7"));
        QCOMPARE(ZelPushButton::badgeText(255), QStringLiteral("  255"));
        QCOMPARE(ZelPushButton::badgeText(0), QString());

        // The badge is drawn at the left edge: the left part of the button
        // changes when a badge is set, the right part does not.
        ZelPushButton b({m_normal});
        b.resize(80, 24);
        const QImage plain = b.grab().toImage();
        b.setBadge(7);
        QCOMPARE(b.badge(), quint8(7));
        const QImage badged = b.grab().toImage();
        QVERIFY(plain.copy(0, 0, 30, 24) != badged.copy(0, 0, 30, 24));
        QCOMPARE(plain.copy(50, 0, 30, 24), badged.copy(50, 0, 30, 24));
    }

    void longTextIsElidedAtTheRight()
    {
        ZelPushButton b({m_normal});
        b.resize(60, 24);
        const QString text = QStringLiteral("Browser Favorite With A Very Long Name");
        b.setText(text);
        QCOMPARE(b.text(), text);
        QCOMPARE(b.toolTip(), text);
        const QString shown = b.displayText();
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(text.startsWith(shown.left(shown.size() - 1)));
        QVERIFY(QFontMetrics(b.paintFont()).horizontalAdvance(shown) <= b.width() - 5);

        b.setText(QStringLiteral("DPI"));
        QCOMPARE(b.displayText(), QStringLiteral("DPI"));

        // Vertical text is drawn whole.
        b.setText(text);
        b.setVertical(true);
        QCOMPARE(b.displayText(), text);
    }

    void sizeHintFollowsIconOrStatePicture()
    {
        ZelPushButton b({m_normal, m_wide});
        QCOMPARE(b.sizeHint(), QSize(40, 20));
        b.setChecked(true);   // state 1 shows the second picture
        QCOMPARE(b.sizeHint(), QSize(64, 24));

        ZelPushButton withIcon({m_normal}, nullptr, m_wide);
        QVERIFY(withIcon.hasIcon());
        QCOMPARE(withIcon.sizeHint(), QSize(64, 24));
    }

    void maskFollowsTheFirstPictureAtTheButtonSize()
    {
        // Left half transparent, right half opaque.
        QImage shape(QSize(20, 10), QImage::Format_ARGB32);
        shape.fill(Qt::transparent);
        for (int y = 0; y < 10; ++y)
            for (int x = 10; x < 20; ++x)
                shape.setPixelColor(x, y, kNormal);
        const QString path = m_dir.filePath(QStringLiteral("shape.png"));
        QVERIFY(shape.save(path, "PNG"));

        ZelPushButton b({path, m_hover});
        b.resize(100, 40);
        b.show();   // a hidden widget gets its resize event when first shown
        QVERIFY(!b.mask().isEmpty());
        QVERIFY(b.mask().contains(QPoint(75, 20)));
        QVERIFY(!b.mask().contains(QPoint(25, 20)));
        b.resize(200, 40);   // the mask is stretched with the button
        QVERIFY(b.mask().contains(QPoint(150, 20)));
        QVERIFY(!b.mask().contains(QPoint(90, 20)));

        // Opaque or missing first pictures leave the button unmasked.
        ZelPushButton opaque({m_normal});
        opaque.resize(100, 40);
        opaque.show();
        QVERIFY(opaque.mask().isEmpty());
        ZelPushButton none(QStringList{});
        none.resize(100, 40);
        none.show();
        QVERIFY(none.mask().isEmpty());
    }

    void missingPicturesStillShowText()
    {
        for (const QStringList &images :
             {QStringList(), QStringList{m_dir.filePath(QStringLiteral("absent.png")), QString()}}) {
            ZelPushButton b(images, nullptr, m_dir.filePath(QStringLiteral("absent-icon.png")));
            QVERIFY(!b.hasIcon());
            b.setText(QStringLiteral("Apply"));
            const QSize hint = b.sizeHint();
            QVERIFY(hint.width() > QFontMetrics(b.paintFont()).horizontalAdvance(QStringLiteral("Apply")));
            QVERIFY(hint.height() >= QFontMetrics(b.paintFont()).height());
            b.setText(QStringLiteral("Apply Apply"));
            QVERIFY(b.sizeHint().width() > hint.width());

            b.resize(hint);
            QImage image(b.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            b.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    inked += qAlpha(image.pixel(x, y)) > 0;
            QVERIFY(inked > 0);
        }
    }

    void gradientOverlayOnHoverAndRoundShape()
    {
        setThemeColorIndex(2);   // blue over a red picture
        ZelPushButton b(three());
        b.resize(120, 60);
        b.setGradient(true);
        const QPoint middle(70, 30);
        QCOMPARE(pixelAt(&b, middle), kNormal);
        enter(&b);   // gradient mode keeps the first picture and tints it
        const QColor tinted = pixelAt(&b, middle);
        QVERIFY(tinted.blue() > 50);
        QVERIFY(tinted.green() < 50);
        QVERIFY(tinted.red() < kNormal.red());

        // Round: the corner stays untinted, the middle is tinted.
        b.setRound(true);
        QCOMPARE(pixelAt(&b, QPoint(b.width() - 2, b.height() - 2)), kNormal);
        QVERIFY(pixelAt(&b, middle).blue() > 50);
        b.setRound(false);
        QVERIFY(pixelAt(&b, QPoint(b.width() - 2, b.height() - 2)) != kNormal);
        leave(&b);
        QCOMPARE(pixelAt(&b, middle), kNormal);
    }

    void fontIsTheScaledLanguageFont()
    {
        setScaleFactor(1.5);
        ZelPushButton b({m_normal});
        QCOMPARE(b.paintFont().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(b.paintFont().pixelSize(), 18);
        setCurrentLanguageIndex(1);
        QCOMPARE(b.paintFont().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(b.paintFont().pixelSize(), 24);
        setCurrentLanguageIndex(0);
    }
};

QTEST_MAIN(TestZelPushButton)
#include "tst_zelpushbutton.moc"
