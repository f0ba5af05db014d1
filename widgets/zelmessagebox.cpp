#include "zelmessagebox.h"

#include "uistate.h"
#include "zellabel.h"

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

ZelMessageBox::ZelMessageBox(int type, const QString &title, const QString &heading, const QString &message,
                             QWidget *parent, bool watchDevice, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , m_iType(type)
{
    setFixedSize(scaled(QSize(478, 309)));
    m_Background.load(appFilePath(QStringLiteral("/skin/dlg.png")));
    setAttribute(Qt::WA_TranslucentBackground);
    setMessageBoxParent(parent);

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);

    m_pIconLabel = new QLabel(this);
    m_pIconLabel->setFixedSize(scaled(QSize(45, 45)));
    const QString icon = iconPath(type);
    if (!icon.isEmpty()) {
        const QPixmap picture(appFilePath(icon));
        if (!picture.isNull())
            m_pIconLabel->setPixmap(picture.scaled(m_pIconLabel->size(), Qt::KeepAspectRatio,
                                                   Qt::SmoothTransformation));
    }
    m_pIconLabel->setAlignment(Qt::AlignCenter);

    m_pInfoLabel1 = new ZelLabel(this);
    m_pInfoLabel1->setObjectName(QStringLiteral("msgBoxInfoLabel1"));
    m_pInfoLabel1->setPalette(white);
    m_pInfoLabel1->setWordWrap(true);
    m_pInfoLabel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pInfoLabel1->setFont(dialogFont());
    m_pInfoLabel1->setFixedPixelSize(14);
    m_pInfoLabel1->setFixedFont(true);
    m_pInfoLabel1->setGeometry(scaled(20, 20, 300, 20));
    m_pInfoLabel1->setText(heading);

    m_pInfoLabel2 = new ZelLabel(this);
    m_pInfoLabel2->setObjectName(QStringLiteral("msgBoxInfoLabel2"));
    m_pInfoLabel2->setPalette(white);
    m_pInfoLabel2->setWordWrap(true);
    m_pInfoLabel2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pInfoLabel2->setFont(dialogFont());
    m_pInfoLabel2->setFixedPixelSize(14);
    m_pInfoLabel2->setFixedFont(true);
    m_pInfoLabel2->setText(message);

    if (type == 1) {
        m_pYesBtn = makeButton(tr("Yes"), QStringLiteral(":/yes_Btn"), QStringLiteral("msgBoxYesBtn"));
        m_pNoBtn = makeButton(tr("No"), QStringLiteral(":/no_Btn"), QStringLiteral("msgBoxNoBtn"));
        connect(m_pNoBtn, &QToolButton::released, this, &QDialog::reject);
    } else {
        m_pYesBtn = makeButton(tr("Ok"), QStringLiteral(":/yes_Btn"), QStringLiteral("msgBoxYesBtn"));
    }
    connect(m_pYesBtn, &QToolButton::released, this, &QDialog::accept);

    auto *messageRow = new QHBoxLayout;
    messageRow->addSpacing(scaled(30));
    messageRow->addWidget(m_pIconLabel);
    messageRow->addSpacing(scaled(30));
    messageRow->addWidget(m_pInfoLabel2, 1);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_pYesBtn);
    if (m_pNoBtn) {
        buttonRow->addStretch();
        buttonRow->addWidget(m_pNoBtn);
    }
    buttonRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    // The heading stands above the layout at its own place.
    layout->setContentsMargins(0, scaled(45), scaled(30), 0);
    layout->addLayout(messageRow, 1);
    layout->addLayout(buttonRow);
    layout->addSpacing(scaled(30));

    setWindowTitle(title);

    if (watchDevice) {
        m_bPlugged = false;
        m_pWatchTimer = new QTimer(this);
        m_pWatchTimer->setInterval(100);
        connect(m_pWatchTimer, &QTimer::timeout, this, &ZelMessageBox::GetPlugInSignal);
        m_pWatchTimer->start();
    }
}

QString ZelMessageBox::iconPath(int type)
{
    switch (type) {
    case 0:
    case 1:
    case 2:
    case 3:
        return QStringLiteral("/skin/warn.png");
    case 4:
        return QStringLiteral("/skin/dongle2.png");
    default:
        return QString();
    }
}

bool ZelMessageBox::isWatchingDevice() const
{
    return m_pWatchTimer && m_pWatchTimer->isActive();
}

QToolButton *ZelMessageBox::makeButton(const QString &text, const QString &icon, const QString &objectName)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setFixedSize(scaled(QSize(100, 30)));
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The icons are embedded by the application; without them the button
    // has no icon rather than a broken one.
    if (QFile::exists(icon))
        button->setIcon(QIcon(icon));
    button->setFont(dialogFont());
    button->setText(text);
    button->setStyleSheet(dialogButtonStyleSheet());
    return button;
}

void ZelMessageBox::GetPlugInSignal()
{
    // Only a box on screen closes itself; one already closed stays as it is.
    if (!isVisible() || !isDeviceConnected())
        return;
    m_bPlugged = true;
    accept();
}

void ZelMessageBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    paintDialogFrame(painter, this, m_Background);
}
