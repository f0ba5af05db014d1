#include "widgettest.h"

#include "widgets/zellabel.h"
#include "widgets/zelmessagebox.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace widgettest;

namespace {

const QColor kDialog(60, 60, 60);
const QColor kWarn(250, 200, 0);
const QColor kDongle(0, 150, 250);

QList<QToolButton *> buttonsOf(const ZelMessageBox &box)
{
    return box.findChildren<QToolButton *>();
}

} // namespace

class TestZelMessageBox : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_appDir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useLanguageConfig(m_dir);
        m_appDir = m_dir.filePath(QStringLiteral("app"));
        writePicture(m_appDir + QStringLiteral("/skin/dlg.png"), kDialog, QSize(478, 309));
        writePicture(m_appDir + QStringLiteral("/skin/warn.png"), kWarn, QSize(90, 90));
        writePicture(m_appDir + QStringLiteral("/skin/dongle2.png"), kDongle, QSize(90, 90));
        setApplicationDir(m_appDir);
    }

    void cleanupTestCase() { setApplicationDir(QString()); }

    void init() { resetLook(); }

    void questionHasYesAndNoOtherTypesOk()
    {
        ZelMessageBox question(1, QString(), QStringLiteral("Warning"), QStringLiteral("Delete?"), nullptr);
        QCOMPARE(buttonsOf(question).size(), 2);
        QVERIFY(question.yesButton() && question.noButton());
        QCOMPARE(question.yesButton()->objectName(), QStringLiteral("msgBoxYesBtn"));
        QCOMPARE(question.noButton()->objectName(), QStringLiteral("msgBoxNoBtn"));
        QCOMPARE(question.yesButton()->text(), QStringLiteral("Yes"));
        QCOMPARE(question.noButton()->text(), QStringLiteral("No"));
        // The reject button stands to the right of the accept button.
        question.show();
        QVERIFY(QTest::qWaitForWindowExposed(&question));
        QVERIFY(question.noButton()->geometry().left() > question.yesButton()->geometry().right());

        for (int type : {0, 2, 3, 4, 5, -1, 99}) {
            ZelMessageBox box(type, QString(), QStringLiteral("Warning"), QStringLiteral("text"));
            QCOMPARE(buttonsOf(box).size(), 1);
            QVERIFY(box.noButton() == nullptr);
            QCOMPARE(box.yesButton()->objectName(), QStringLiteral("msgBoxYesBtn"));
            QCOMPARE(box.yesButton()->text(), QStringLiteral("Ok"));
        }
    }

    void buttonsCloseTheBoxOnRelease()
    {
        {
            ZelMessageBox box(1, QString(), QStringLiteral("Warning"), QStringLiteral("Sure?"));
            box.open();
            QTest::mouseClick(box.yesButton(), Qt::LeftButton);
            QVERIFY(!box.isVisible());
            QCOMPARE(box.result(), int(QDialog::Accepted));
        }
        {
            ZelMessageBox box(1, QString(), QStringLiteral("Warning"), QStringLiteral("Sure?"));
            box.open();
            QTest::mouseClick(box.noButton(), Qt::LeftButton);
            QVERIFY(!box.isVisible());
            QCOMPARE(box.result(), int(QDialog::Rejected));
        }
        {
            ZelMessageBox box(0, QString(), QStringLiteral("Warning"), QStringLiteral("Done."));
            QTimer::singleShot(0, &box, [&box] { QTest::mouseClick(box.yesButton(), Qt::LeftButton); });
            QCOMPARE(box.exec(), int(QDialog::Accepted));
        }
    }

    void geometryTextsAndNames()
    {
        setScaleFactor(1.5);
        setThemeColorIndex(6);
        QWidget window;
        ZelMessageBox box(0, QStringLiteral("Title"), QStringLiteral("Warning"),
                          QStringLiteral("Mouse is sleeping or not connected."), &window, false,
                          Qt::FramelessWindowHint);
        QCOMPARE(box.size(), QSize(717, 463));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QCOMPARE(box.windowTitle(), QStringLiteral("Title"));
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(box.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(messageBoxParent(), &window);

        ZelLabel *heading = box.findChild<ZelLabel *>(QStringLiteral("msgBoxInfoLabel1"));
        ZelLabel *message = box.findChild<ZelLabel *>(QStringLiteral("msgBoxInfoLabel2"));
        QVERIFY(heading && message);
        QCOMPARE(heading->text(), QStringLiteral("Warning"));
        QCOMPARE(heading->geometry(), QRect(30, 30, 450, 30));
        QVERIFY(heading->wordWrap());
        QCOMPARE(heading->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(heading->paintFont().bold());
        QCOMPARE(heading->paintFont().pixelSize(), 21);
        QCOMPARE(message->text(), QStringLiteral("Mouse is sleeping or not connected."));
        QVERIFY(message->wordWrap());
        QCOMPARE(message->paintFont().pixelSize(), 21);
        QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(Qt::white));

        QCOMPARE(box.yesButton()->size(), QSize(150, 45));
        QVERIFY(box.yesButton()->styleSheet().contains(QStringLiteral("border: 1px rgb(255, 125, 0);")));
        QCOMPARE(box.iconLabel()->size(), QSize(67, 67));

        // Laid out: icon left of the message, the button below both, all
        // inside the box and below the heading.
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QRect icon = box.iconLabel()->geometry();
        const QRect text = message->geometry();
        const QRect ok = box.yesButton()->geometry();
        QCOMPARE(icon.left(), 45);
        QVERIFY(text.left() >= icon.right() + 45);
        QVERIFY(icon.top() > heading->geometry().bottom());
        QVERIFY(ok.top() > icon.bottom());
        QVERIFY(box.rect().contains(ok));
        QCOMPARE(box.height() - ok.bottom() - 1, 45);
    }

    void iconsByType()
    {
        auto iconColour = [](int type) {
            ZelMessageBox box(type, QString(), QStringLiteral("Warning"), QString());
            const QPixmap picture = box.iconLabel()->pixmap(Qt::ReturnByValue);
            if (picture.isNull())
                return QColor();
            return picture.toImage().pixelColor(picture.width() / 2, picture.height() / 2);
        };
        for (int type : {0, 1, 2, 3})
            QCOMPARE(iconColour(type), kWarn);
        QCOMPARE(iconColour(4), kDongle);
        QVERIFY(!iconColour(5).isValid());
        QVERIFY(!iconColour(-3).isValid());
        QCOMPARE(ZelMessageBox::iconPath(1), QStringLiteral("/skin/warn.png"));
        QCOMPARE(ZelMessageBox::iconPath(4), QStringLiteral("/skin/dongle2.png"));
    }

    void paintsBackgroundAndThemeBorder()
    {
        setThemeColorIndex(2);
        ZelMessageBox box(0, QString(), QStringLiteral("Warning"), QStringLiteral("x"));
        const QImage image = box.grab().toImage();
        QCOMPARE(image.pixelColor(1, box.height() / 2), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(box.width() - 2, box.height() / 2), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(box.width() / 2, 1), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(box.width() / 2, box.height() - 2), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(4, box.height() / 2), kDialog);
    }

    void missingSkinStillGivesAUsableBox()
    {
        QTemporaryDir empty;
        setApplicationDir(empty.path());
        ZelMessageBox box(4, QString(), QStringLiteral("Warning"), QStringLiteral("Dongle Disconnect!"));
        QVERIFY(box.iconLabel()->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(buttonsOf(box).size(), 1);
        // This test embeds no ":/yes_Btn": the button simply has no icon.
        QVERIFY(box.yesButton()->icon().isNull());
        const QImage image = box.grab().toImage();
        QCOMPARE(image.pixelColor(box.width() / 2, box.height() - 5), QColor(30, 30, 30));
        setApplicationDir(m_appDir);
    }

    void deviceWatchAcceptsOnceTheMouseIsConnected()
    {
        bool connected = false;
        setDeviceConnectedQuery([&connected] { return connected; });

        ZelMessageBox box(4, QString(), QStringLiteral("Warning"), QStringLiteral("Dongle Disconnect!"), nullptr,
                          true);
        QVERIFY(box.isWatchingDevice());
        QVERIFY(!box.isPlugged());
        QSignalSpy accepted(&box, &QDialog::accepted);
        box.open();
        QTest::qWait(350);   // several watch turns with the mouse absent
        QVERIFY(box.isVisible());
        QCOMPARE(accepted.count(), 0);

        connected = true;
        QVERIFY(QTest::qWaitFor([&box] { return !box.isVisible(); }, 5000));
        QCOMPARE(box.result(), int(QDialog::Accepted));
        QVERIFY(box.isPlugged());
        QTest::qWait(250);   // a closed box does not accept again
        QCOMPARE(accepted.count(), 1);
    }

    void deviceWatchEndsAModalRun()
    {
        bool connected = false;
        setDeviceConnectedQuery([&connected] { return connected; });
        ZelMessageBox box(4, QString(), QStringLiteral("Warning"), QStringLiteral("Dongle Disconnect!"), nullptr,
                          true);
        QTimer::singleShot(150, [&connected] { connected = true; });
        QTimer::singleShot(5000, &box, &QDialog::reject);   // a safety net, not a speed test
        QCOMPARE(box.exec(), int(QDialog::Accepted));
        QVERIFY(box.isPlugged());
    }

    void withoutWatchTheBoxWaitsForTheUser()
    {
        setDeviceConnectedQuery([] { return true; });
        ZelMessageBox box(4, QString(), QStringLiteral("Warning"), QStringLiteral("Dongle Disconnect!"));
        QVERIFY(!box.isWatchingDevice());
        box.open();
        QTest::qWait(250);
        QVERIFY(box.isVisible());
        box.GetPlugInSignal();   // the slot alone still obeys the query
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestZelMessageBox)
#include "tst_zelmessagebox.moc"
