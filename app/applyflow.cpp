#include "app/applyflow.h"

#include "widgets/uistate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QTimer>
#include <QtDebug>

ZelProcessThread::ZelProcessThread(const ProfileSet &working, const ProfileSet &saved,
                                   bool writeEverything, QObject *parent)
    : QThread(parent), m_working(working), m_saved(saved), m_bWriteEverything(writeEverything)
{
}

void ZelProcessThread::run()
{
    const WriteOutcome outcome =
        m_Kind == Kind::Write
            ? writeProfileSet(m_working, m_saved, m_bWriteEverything)
            : writeSlotSwitch(m_working, m_saved, m_Kind == Kind::SelectSlot, m_bWriteEverything);
    m_iResult = outcome.result;
    m_iMask = outcome.mask;
    m_iSentMask = outcome.sentMask;
    m_bDownloaded = outcome.downloaded;
    emit DoProcessDlg();
}

ZelProcessDialog::ZelProcessDialog(QWidget *centreOn, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setFixedSize(128, 128);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::FramelessWindowHint);
    if (centreOn) {
        const QRect frame = centreOn->geometry();
        move(frame.x() + frame.width() / 2 - width() / 2, frame.y() + frame.height() / 2 - height() / 2);
    }
    m_Pixmap.load(appFilePath(QStringLiteral("/skin/process.png")));
    m_pLabel = new QLabel(this);
    m_pLabel->setGeometry(0, 0, 128, 128);
    m_pMovie = new QMovie(QStringLiteral(":/skin/loading.gif"), QByteArray(), this);
    m_pLabel->setMovie(m_pMovie);
    m_pMovie->start();
}

void ZelProcessDialog::slotProcessDlg()
{
    QTimer::singleShot(0, this, &ZelProcessDialog::updateProgress);
}

void ZelProcessDialog::updateProgress()
{
    accept();
}

void ZelProcessDialog::reject()
{
    // Only updateProgress() ends the dialog, once the write has ended.
}

void ZelProcessDialog::keyPressEvent(QKeyEvent *event)
{
    event->accept();   // no key closes it, nor reaches the window beneath
}

void ZelProcessDialog::paintEvent(QPaintEvent *)
{
    // The backdrop under the spinner.
    if (!m_Pixmap.isNull()) {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), m_Pixmap);
    }
}
