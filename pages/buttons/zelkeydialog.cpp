#include "pages/buttons/zelkeydialog.h"

#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

ZelKeyDialog::ZelKeyDialog(const QSize &size, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_fScale = scaleFactor();
    setFixedSize(scaled(size));
    m_Background.load(appFilePath(QStringLiteral("/skin/dlg.png")));

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_pTitleLabel = new ZelLabel(this);
    m_pTitleLabel->setObjectName(QStringLiteral("dlgTitleLabel"));
    m_pTitleLabel->setPalette(white);
    m_pTitleLabel->setFont(dialogFont());
    m_pTitleLabel->setFixedPixelSize(14);
    m_pTitleLabel->setFixedFont(true);
    m_pTitleLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_pYesBtn = makeButton(QStringLiteral(":/yes_Btn"), QStringLiteral("msgBoxYesBtn"));
    m_pNoBtn = makeButton(QStringLiteral(":/no_Btn"), QStringLiteral("msgBoxNoBtn"));
    m_pYesBtn->setText(tr("OK"));
    m_pNoBtn->setText(tr("Cancel"));
    connect(m_pYesBtn, &QToolButton::released, this, &QDialog::accept);
    connect(m_pNoBtn, &QToolButton::released, this, &QDialog::reject);

    m_pButtonRow = new QHBoxLayout;
    m_pButtonRow->addStretch();
    m_pButtonRow->addWidget(m_pYesBtn);
    m_pButtonRow->addSpacing(scaled(10));
    m_pButtonRow->addWidget(m_pNoBtn);
    m_pButtonRow->addSpacing(scaled(20));
}

QToolButton *ZelKeyDialog::makeButton(const QString &icon, const QString &objectName)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setFixedSize(scaled(QSize(100, 30)));
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (QFile::exists(icon))
        button->setIcon(QIcon(icon));
    button->setFont(dialogFont());
    button->setStyleSheet(dialogButtonStyleSheet());
    return button;
}

void ZelKeyDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintDialogFrame(painter, this, m_Background);
}

void ZelKeyDialog::centreOverParent()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::screenAt(pos()))
        area = screen->availableGeometry();
    else if (const QScreen *primary = QGuiApplication::primaryScreen())
        area = primary->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
}

void ZelKeyDialog::showEvent(QShowEvent *event)
{
    centreOverParent();
    QDialog::showEvent(event);
}

ZelPushButton *makeKeyDialogDisplay(QWidget *parent, const QSize &size)
{
    const QString picture = appFilePath(QStringLiteral("/skin/tabbutton-1.png"));
    auto *button = new ZelPushButton({picture, picture, picture}, parent);
    button->setObjectName(QStringLiteral("keyDisplay"));
    button->setFixedSize(scaled(size));
    button->setFocusPolicy(Qt::NoFocus);
    button->setInteractive(false);
    return button;
}

ZelPushButton *ZelKeyDialog::layOutKeyDisplay()
{
    ZelPushButton *display = makeKeyDialogDisplay(this, QSize(300, 30));
    m_pTitleLabel->setFixedHeight(scaled(30));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(20), scaled(15), 0, scaled(20));
    layout->addWidget(m_pTitleLabel);
    layout->addStretch();
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(display);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    layout->addLayout(buttonRow());
    return display;
}
