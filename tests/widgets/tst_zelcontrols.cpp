#include "widgettest.h"

#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelprocessbar.h"
#include "widgets/zelslider.h"

#include <QMenu>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace widgettest;

namespace {

// Exposes the handle's place so the tests can grab it like a user.
class ProbeSlider : public ZelSlider
{
public:
    using ZelSlider::ZelSlider;
    QPoint handleCentre()
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this).center();
    }
};

void sendMouse(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

int bubbleX(const ZelSlider &s)
{
    const int w = s.bubble()->width();
    return int((qint64(s.value()) - s.minimum()) * (s.width() - w) / (qint64(s.maximum()) - s.minimum()));
}

} // namespace

class TestZelControls : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useLanguageConfig(m_dir);
    }

    void init() { resetLook(); }

    // --- the shared look ---------------------------------------------------------

    void scaledTruncatesTowardsZero()
    {
        QCOMPARE(scaleFactor(), 1.0);
        QVERIFY(setScaleFactor(1.25));
        QCOMPARE(scaled(3), 3);       // 3.75
        QCOMPARE(scaled(-3), -3);     // -3.75
        QCOMPARE(scaled(999), 1248);
        QCOMPARE(scaled(QRect(285, 38, 90, 28)), QRect(356, 47, 112, 35));
        QCOMPARE(scaled(QSize(478, 309)), QSize(597, 386));
        QVERIFY(setScaleFactor(5.0));
        QCOMPARE(scaled(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
        QCOMPARE(scaled(std::numeric_limits<int>::min()), std::numeric_limits<int>::min());

        QVERIFY(!setScaleFactor(0.0));
        QVERIFY(!setScaleFactor(-1.0));
        QVERIFY(!setScaleFactor(std::nan("")));
        QVERIFY(!setScaleFactor(std::numeric_limits<double>::infinity()));
        QCOMPARE(scaleFactor(), 5.0);
    }

    void themeColourOutsideTheTableIsTheFirst()
    {
        setThemeColorIndex(6);
        QCOMPARE(themeColor(), QColor(255, 125, 0));
        QVERIFY(dialogButtonStyleSheet().contains(QStringLiteral("border: 1px rgb(255, 125, 0);")));
        // A hand-edited GColorID outside the table reads as entry 0.
        for (int bad : {7, -1, 1000}) {
            setThemeColorIndex(bad);
            QCOMPARE(themeColorIndex(), 0);
            QCOMPARE(themeColor(bad), QColor(255, 0, 0));
        }
    }

    void deviceQueryAndMessageBoxParent()
    {
        QVERIFY(!isDeviceConnected());
        bool connected = false;
        setDeviceConnectedQuery([&connected] { return connected; });
        QVERIFY(!isDeviceConnected());
        connected = true;
        QVERIFY(isDeviceConnected());
        setDeviceConnectedQuery(nullptr);
        QVERIFY(!isDeviceConnected());

        auto *window = new QWidget;
        setMessageBoxParent(window);
        QCOMPARE(messageBoxParent(), window);
        delete window;
        QCOMPARE(messageBoxParent(), nullptr);
    }

    // --- slider -----------------------------------------------------------------

    void bubbleFollowsTheDragAndHidesOnRelease()
    {
        ProbeSlider s(Qt::Horizontal);
        s.setRange(0, 100);
        s.resize(220, 30);
        s.setShowValue(true);
        QSignalSpy changed(&s, &ZelSlider::MouseChange);
        QVERIFY(s.bubble()->isHidden());

        const QPoint grip = s.handleCentre();
        sendMouse(&s, QEvent::MouseButtonPress, grip, Qt::LeftButton);
        QVERIFY(s.isPressed());
        QVERIFY(!s.bubble()->isHidden());
        QCOMPARE(s.bubble()->text(), QStringLiteral("0"));
        QCOMPARE(s.bubble()->x(), 0);
        QCOMPARE(s.bubble()->y(), 4);

        int lastX = s.bubble()->x();
        for (int dx : {40, 90, 150}) {
            sendMouse(&s, QEvent::MouseMove, grip + QPoint(dx, 0), Qt::LeftButton);
            QVERIFY(s.value() > 0);
            QCOMPARE(s.bubble()->text(), QString::number(s.value()));
            QCOMPARE(s.bubble()->x(), bubbleX(s));
            QVERIFY(s.bubble()->x() > lastX);
            lastX = s.bubble()->x();
        }
        QCOMPARE(changed.count(), 0);

        sendMouse(&s, QEvent::MouseButtonRelease, grip + QPoint(150, 0), Qt::NoButton);
        QCOMPARE(changed.count(), 1);
        QVERIFY(s.bubble()->isHidden());
        QVERIFY(!s.isPressed());

        // At the maximum the bubble ends at the slider's right edge.
        s.setValue(100);
        sendMouse(&s, QEvent::MouseButtonPress, s.handleCentre(), Qt::LeftButton);
        QCOMPARE(s.bubble()->x() + s.bubble()->width(), s.width());
        s.setShowValue(false);
        QVERIFY(s.bubble()->isHidden());
        sendMouse(&s, QEvent::MouseButtonRelease, s.handleCentre(), Qt::NoButton);
        QCOMPARE(changed.count(), 2);
    }

    void withoutShowValueNoBubbleButStillMouseChange()
    {
        ProbeSlider s(Qt::Horizontal);
        s.setRange(1, 10);
        s.resize(250, 30);
        QSignalSpy changed(&s, &ZelSlider::MouseChange);
        sendMouse(&s, QEvent::MouseButtonPress, s.handleCentre(), Qt::LeftButton);
        QVERIFY(s.bubble()->isHidden());
        sendMouse(&s, QEvent::MouseMove, s.handleCentre() + QPoint(60, 0), Qt::LeftButton);
        QVERIFY(s.bubble()->isHidden());
        sendMouse(&s, QEvent::MouseButtonRelease, s.handleCentre(), Qt::NoButton);
        QCOMPARE(changed.count(), 1);
    }

    void bubbleOnAnEmptyRangeOrWideNumbers()
    {
        ProbeSlider s(Qt::Horizontal);
        s.resize(200, 30);
        s.setRange(5, 5);
        s.setShowValue(true);
        sendMouse(&s, QEvent::MouseButtonPress, s.handleCentre(), Qt::LeftButton);
        QCOMPARE(s.bubble()->x(), 0);
        QCOMPARE(s.bubble()->text(), QStringLiteral("5"));
        sendMouse(&s, QEvent::MouseButtonRelease, s.handleCentre(), Qt::NoButton);

        // Five digits do not fit twenty pixels: the bubble widens and stays inside.
        s.setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        s.setValue(std::numeric_limits<int>::max());
        sendMouse(&s, QEvent::MouseButtonPress, s.handleCentre(), Qt::LeftButton);
        const QFontMetrics metrics(s.bubble()->paintFont());
        QVERIFY(s.bubble()->width() > metrics.horizontalAdvance(s.bubble()->text()));
        QCOMPARE(s.bubble()->x() + s.bubble()->width(), s.width());
        sendMouse(&s, QEvent::MouseButtonRelease, s.handleCentre(), Qt::NoButton);
    }

    // --- label ------------------------------------------------------------------

    void labelNumberFlagsAndFont()
    {
        ZelLabel label(QStringLiteral("NAME"));
        QCOMPARE(label.text(), QStringLiteral("NAME"));
        label.setNumber(42);
        QCOMPARE(label.text(), QStringLiteral("42"));
        label.setNumber(-7);
        QCOMPARE(label.text(), QStringLiteral("-7"));

        setScaleFactor(1.5);
        QCOMPARE(label.paintFont().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(label.paintFont().pixelSize(), 18);       // 12 x 1.5
        label.setFixedPixelSize(14);
        QCOMPARE(label.paintFont().pixelSize(), 18);       // flag still off
        label.setFixedFont(true);
        QCOMPARE(label.paintFont().pixelSize(), 21);       // 14 x 1.5
        label.setShrinkSize(4);
        label.setShrink(true);
        QCOMPARE(label.paintFont().pixelSize(), 15);       // (14 - 4) x 1.5
        label.setShrinkSize(40);
        QCOMPARE(label.paintFont().pixelSize(), 1);        // never below one pixel
        label.setFixedFont(false);
        label.setShrink(false);
        QCOMPARE(label.paintFont().pixelSize(), 18);
        // The widget font tracks the painted one, so size hints match.
        QCOMPARE(label.font().pixelSize(), 18);

        label.setWordWrap(true);
        QVERIFY(label.wordWrap());
        label.setAlignment(Qt::AlignCenter);
        QCOMPARE(label.alignment(), Qt::Alignment(Qt::AlignCenter));
    }

    void labelPaintsDarkGroundAndReportsPress()
    {
        ZelLabel label(QStringLiteral("x"));
        label.resize(60, 20);
        label.setDarkBackground(true);
        QCOMPARE(pixelAt(&label, QPoint(58, 1)), QColor(30, 30, 30));

        QPalette white = label.palette();
        white.setColor(QPalette::WindowText, Qt::white);
        label.setPalette(white);
        label.setText(QStringLiteral("\u2588\u2588\u2588"));   // full blocks: ink is certain
        const QImage image = label.grab().toImage();
        bool whiteInk = false;
        for (int x = 0; x < image.width() && !whiteInk; ++x)
            whiteInk = image.pixelColor(x, image.height() / 2) == QColor(Qt::white);
        QVERIFY(whiteInk);

        QSignalSpy entered(&label, &ZelLabel::EnterSignal);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.first().first().value<ZelLabel *>(), &label);
    }

    // --- action -----------------------------------------------------------------

    void actionTakesTheLanguageFont()
    {
        setScaleFactor(2.0);
        ZelAction action(QStringLiteral("Left"));
        QCOMPARE(action.text(), QStringLiteral("Left"));
        QCOMPARE(action.font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(action.font().pixelSize(), 24);

        // A new text picks up the language in force now.
        setCurrentLanguageIndex(1);
        action.setText(QStringLiteral("Right"));
        QCOMPARE(action.text(), QStringLiteral("Right"));
        QCOMPARE(action.QAction::text(), QStringLiteral("Right"));
        QCOMPARE(action.font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(action.font().pixelSize(), 32);
        setCurrentLanguageIndex(0);

        QMenu menu;
        auto *byParent = new ZelAction(&menu);
        QCOMPARE(byParent->font().pixelSize(), 24);
        QCOMPARE(byParent->parent(), &menu);
    }

    // --- process bar -------------------------------------------------------------

    void emptyCaptionLooksLikeAPlainBar()
    {
        QProgressBar plain;
        ZelProcessbar bar;
        for (QProgressBar *b : {&plain, static_cast<QProgressBar *>(&bar)}) {
            b->setRange(0, 100);
            b->setValue(40);
            b->setTextVisible(false);
            b->resize(200, 24);
        }
        QCOMPARE(bar.caption(), QString());
        QCOMPARE(bar.grab().toImage(), plain.grab().toImage());

        bar.setCaption(QStringLiteral("MOUSE OFF"));
        QCOMPARE(bar.caption(), QStringLiteral("MOUSE OFF"));
        const QImage withCaption = bar.grab().toImage();
        QVERIFY(withCaption != plain.grab().toImage());
        // The caption changes only the middle of the bar, in white.
        const QImage base = plain.grab().toImage();
        auto changedIn = [&](int from, int to, int *white) {
            int count = 0;
            for (int y = 0; y < withCaption.height(); ++y)
                for (int x = from; x < to; ++x)
                    if (withCaption.pixel(x, y) != base.pixel(x, y)) {
                        ++count;
                        *white += withCaption.pixelColor(x, y) == QColor(Qt::white);
                    }
            return count;
        };
        int white = 0;
        QVERIFY(changedIn(50, 150, &white) > 0);
        QVERIFY(white > 0);
        QCOMPARE(changedIn(0, 20, &white), 0);
        QCOMPARE(changedIn(180, 200, &white), 0);

        bar.setCaption(QString());
        QCOMPARE(bar.grab().toImage(), plain.grab().toImage());
    }
};

QTEST_MAIN(TestZelControls)
#include "tst_zelcontrols.moc"
