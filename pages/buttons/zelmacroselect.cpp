#include "pages/buttons/zelmacroselect.h"

#include "profile/macrostore.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QIntValidator>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

ZelMacroSelect::ZelMacroSelect(const QString &title, const QString &info, const QString &name, int loopCount,
                               int loopMode, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(title);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(scaled(QSize(478, 309)));
    m_Background.load(appFilePath(QStringLiteral("/skin/dlg.png")));
    m_strName = name;

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    white.setColor(QPalette::ButtonText, Qt::white);

    m_pInfoLabel1 = new ZelLabel(this);
    m_pInfoLabel1->setObjectName(QStringLiteral("msgBoxInfoLabel1"));
    m_pInfoLabel1->setWordWrap(true);
    m_pInfoLabel1->setAlignment(Qt::AlignCenter);
    m_pInfoLabel1->setPalette(white);
    m_pInfoLabel1->setFont(dialogFont());
    m_pInfoLabel1->setFixedPixelSize(14);
    m_pInfoLabel1->setFixedFont(true);
    m_pInfoLabel1->setGeometry(scaled(82, 20, 299, 20));
    m_pInfoLabel1->setText(info);
    m_pInfoLabel2 = new ZelLabel(this);
    m_pInfoLabel2->setObjectName(QStringLiteral("msgBoxInfoLabel2"));
    m_pInfoLabel2->setGeometry(scaled(82, 40, 299, 10));

    // The name selector and its menu: one entry per listed macro, in slot order.
    m_pNameBtn = new ZelPushButton({appFilePath(QStringLiteral("/skin/profilesel.png"))}, this);
    m_pNameBtn->setObjectName(QStringLiteral("macroNameSelector"));
    m_pNameBtn->setGeometry(scaled(139, 62, 200, 29));
    m_pNameBtn->setFocusPolicy(Qt::NoFocus);
    m_pNameBtn->setText(m_strName);
    m_pMenu = new QMenu(this);
    m_pMenu->setStyleSheet(menuStyleSheet());
    m_pMenu->setFixedWidth(scaled(200));
    m_pMenu->setFont(scaledPageFont());
    for (const QString &slotName : listMacros()) {
        auto *action = new ZelAction(slotName, m_pMenu);
        m_pMenu->addAction(action);
        m_Actions << action;
        connect(action, &QAction::triggered, this, [this, action] {
            m_strName = action->text();
            m_pNameBtn->setText(m_strName);
        });
    }
    m_pNameBtn->setMenu(m_pMenu);

    // The three ways of playing it; the first comes with its loop count.
    static const char *const optionTexts[3] = {
        QT_TR_NOOP("LOOPS TIME(1-255)"),
        QT_TR_NOOP("REPEAT RUN WHEN KEY DOWN"),
        QT_TR_NOOP("REPEAT RUN UNTILL THE KEY DOWN"),
    };
    const QString off = appFilePath(QStringLiteral("/skin/checkbox2-1.png"));
    const QString on = appFilePath(QStringLiteral("/skin/checkbox2-2.png"));
    for (int i = 0; i < 3; ++i) {
        m_pOptions[i] = new ZelPushButton({off, on, on}, this);
        m_pOptions[i]->setObjectName(QStringLiteral("macroOption%1").arg(i));
        m_pOptions[i]->setCheckable(true);
        m_pOptions[i]->setFocusPolicy(Qt::NoFocus);
        m_pOptions[i]->setGeometry(scaled(60, 112 + 40 * i, 280, 24));
        m_pOptions[i]->setText(tr(optionTexts[i]));
        connect(m_pOptions[i], &QPushButton::clicked, this, [this, i] { chooseOption(i); });
    }
    m_pLoopEdit = new QLineEdit(QString::number(loopCount), this);
    m_pLoopEdit->setObjectName(QStringLiteral("macroLoopEdit"));
    m_pLoopEdit->setMaxLength(3);
    m_pLoopEdit->setValidator(new QIntValidator(1, 255, m_pLoopEdit));
    m_pLoopEdit->setAlignment(Qt::AlignCenter);
    m_pLoopEdit->setStyleSheet(QStringLiteral("border:1px;background:rgb(30,30,30);color:white"));
    m_pLoopEdit->setGeometry(scaled(350, 112, 60, 24));
    m_pLoopEdit->setFont(scaledPageFont());
    chooseOption(loopMode >= 0 && loopMode <= 2 ? loopMode : 0);

    m_pYesBtn = makeButton(QStringLiteral(":/yes_Btn"), QStringLiteral("msgBoxYesBtn"));
    m_pNoBtn = makeButton(QStringLiteral(":/no_Btn"), QStringLiteral("msgBoxNoBtn"));
    m_pYesBtn->setText(tr("OK"));
    m_pNoBtn->setText(tr("Cancel"));
    m_pYesBtn->setGeometry(scaled(248, 259, 100, 30));
    m_pNoBtn->setGeometry(scaled(358, 259, 100, 30));
    connect(m_pYesBtn, &QToolButton::released, this, &QDialog::accept);
    connect(m_pNoBtn, &QToolButton::released, this, &QDialog::reject);
}

QToolButton *ZelMacroSelect::makeButton(const QString &icon, const QString &objectName)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (QFile::exists(icon))
        button->setIcon(QIcon(icon));
    button->setFont(dialogFont());
    button->setStyleSheet(dialogButtonStyleSheet());
    return button;
}

int ZelMacroSelect::loopCount() const
{
    return m_pLoopEdit->text().toInt();
}

int ZelMacroSelect::loopMode() const
{
    for (int i = 0; i < 3; ++i) {
        if (m_pOptions[i]->isChecked())
            return i;
    }
    return 0;
}

void ZelMacroSelect::chooseOption(int mode)
{
    for (int i = 0; i < 3; ++i)
        m_pOptions[i]->setChecked(i == mode);
}

void ZelMacroSelect::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintDialogFrame(painter, this, m_Background);
}

void ZelMacroSelect::showEvent(QShowEvent *event)
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible())
        move(owner->frameGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
