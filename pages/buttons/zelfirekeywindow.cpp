#include "pages/buttons/zelfirekeywindow.h"

#include "pages/buttons/keycapture.h"
#include "platform/keyboardhook.h"
#include "profile/keys.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QString checkBoxSheet()
{
    return QStringLiteral("QCheckBox::indicator:enabled:unchecked { image: url(%1/skin/checkbox1-1.png)}"
                          "QCheckBox::indicator:enabled:checked { image: url(%1/skin/checkbox1-2.png)}"
                          "QCheckBox{background-color:rgba(255,255,255,0)}")
        .arg(appFilePath(QString()));
}

} // namespace

ZelFireKeyWindow::ZelFireKeyWindow(QWidget *parent)
    : ZelKeyDialog(QSize(400, 258), parent)
{
    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    white.setColor(QPalette::Text, Qt::white);
    m_pTitleLabel->setFixedSize(scaled(QSize(200, 20)));

    static const QSize boxSizes[4] = {{68, 20}, {68, 20}, {68, 20}, {128, 20}};
    const QString sheet = checkBoxSheet();
    QFont boxFont = scaledPageFont();
    for (int i = 0; i < 4; ++i) {
        m_pBoxes[i] = new QCheckBox(this);
        m_pBoxes[i]->setFixedSize(scaled(boxSizes[i]));
        m_pBoxes[i]->setFocusPolicy(Qt::NoFocus);
        m_pBoxes[i]->setStyleSheet(sheet);
        m_pBoxes[i]->setPalette(white);
        m_pBoxes[i]->setFont(boxFont);
        connect(m_pBoxes[i], &QCheckBox::clicked, this, &ZelFireKeyWindow::checkbtn_clicked);
        connect(m_pBoxes[i], &QCheckBox::stateChanged, this, &ZelFireKeyWindow::onStateChanged);
    }
    m_pBoxes[0]->setObjectName(QStringLiteral("fireLeft"));
    m_pBoxes[1]->setObjectName(QStringLiteral("fireRight"));
    m_pBoxes[2]->setObjectName(QStringLiteral("fireMiddle"));
    m_pBoxes[3]->setObjectName(QStringLiteral("fireKeyboard"));

    m_pKeyBtn = makeKeyDialogDisplay(this, QSize(120, 20));
    m_pKeyBtn->setFocusPolicy(Qt::ClickFocus);
    m_pKeyBtn->setAutoDefault(false);

    const auto makeEdit = [this, &white](const QString &text) {
        auto *edit = new QLineEdit(text, this);
        edit->setMaxLength(3);
        edit->setValidator(new QIntValidator(1, 255, edit));
        edit->setStyleSheet(QStringLiteral("background-color:rgb(30,30,30)"));
        edit->setPalette(white);
        edit->setFixedSize(scaled(QSize(60, 20)));
        connect(edit, &QLineEdit::textChanged, this, &ZelFireKeyWindow::OnEditDataChanged);
        connect(edit, &QLineEdit::returnPressed, this, &ZelFireKeyWindow::onEditReturn);
        return edit;
    };
    m_pTimesEdit = makeEdit(QStringLiteral("3"));
    m_pTimesEdit->setObjectName(QStringLiteral("fireTimes"));
    m_pDelayEdit = makeEdit(QStringLiteral("100"));
    m_pDelayEdit->setObjectName(QStringLiteral("fireDelay"));
    m_pTimesLabel = new ZelLabel(this);
    m_pDelayLabel = new ZelLabel(this);
    for (ZelLabel *label : {m_pTimesLabel, m_pDelayLabel}) {
        label->setFixedSize(scaled(QSize(100, 20)));
        label->setPalette(white);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(20), scaled(15), scaled(10), scaled(20));
    layout->setSpacing(scaled(12));
    layout->addWidget(m_pTitleLabel);
    auto *mouseRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        mouseRow->addWidget(m_pBoxes[i]);
        mouseRow->addSpacing(scaled(20));
    }
    mouseRow->addStretch();
    layout->addLayout(mouseRow);
    auto *keyRow = new QHBoxLayout;
    keyRow->addWidget(m_pBoxes[3]);
    keyRow->addWidget(m_pKeyBtn);
    keyRow->addStretch();
    layout->addLayout(keyRow);
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(m_pTimesLabel);
    numberRow->addWidget(m_pTimesEdit);
    numberRow->addSpacing(scaled(20));
    numberRow->addWidget(m_pDelayLabel);
    numberRow->addWidget(m_pDelayEdit);
    numberRow->addStretch();
    layout->addLayout(numberRow);
    layout->addStretch();
    layout->addLayout(buttonRow());

    m_pHook = std::make_unique<platform::KeyboardHook>([this](const platform::KeyHookEvent &e) {
        onHookEvent(e.scanCode, e.flags);
        return false;
    });

    m_pTitleLabel->setText(tr("FireKey Setting"));
    m_pBoxes[0]->setText(tr("Left"));
    m_pBoxes[1]->setText(tr("Right"));
    m_pBoxes[2]->setText(tr("Middle"));
    m_pBoxes[3]->setText(tr("Keyboard Key"));
    m_pTimesLabel->setText(tr("Times:"));
    m_pDelayLabel->setText(tr("Delay:"));
    setMode(FIRE_LEFT, true);
}

ZelFireKeyWindow::~ZelFireKeyWindow() = default;

int ZelFireKeyWindow::times() const
{
    return m_pTimesEdit->text().toInt();
}

int ZelFireKeyWindow::delay() const
{
    return m_pDelayEdit->text().toInt();
}

quint8 ZelFireKeyWindow::res1() const
{
    return fireKeyRes1(m_iMode, m_iKeyCode);
}

void ZelFireKeyWindow::setMode(quint8 mode, bool clearKey)
{
    m_iMode = mode;
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker blocker(m_pBoxes[i]);
        m_pBoxes[i]->setChecked(i == mode);
    }
    if (mode == FIRE_KEYBOARD) {
        m_bArmed = true;
        if (m_pTimesEdit->hasFocus() || m_pDelayEdit->hasFocus())
            m_pKeyBtn->setFocus();
    } else {
        m_bArmed = false;
        if (clearKey) {
            m_iKeyCode = 0;
            m_pKeyBtn->setText(QString());
        }
    }
}

void ZelFireKeyWindow::checkbtn_clicked()
{
    auto *box = qobject_cast<QCheckBox *>(sender());
    for (int i = 0; i < 4; ++i) {
        if (box == m_pBoxes[i])
            setMode(quint8(i), true);
    }
    emitValue();
    m_pKeyBtn->setFocus();
}

void ZelFireKeyWindow::onStateChanged(int)
{
    // The boxes act as one choice: a click that unchecks the current mode's
    // box is undone by checkbtn_clicked, which follows it.
}

void ZelFireKeyWindow::preset(const ButtonEntry &entry)
{
    quint8 key = 0;
    const quint8 mode = fireModeFromRes1(entry.Res1, &key);
    if (mode == FIRE_KEYBOARD) {
        m_iKeyCode = key;
        m_pKeyBtn->setText(key ? keyName(key) : QString());
    }
    setMode(mode, false);
    {
        const QSignalBlocker a(m_pDelayEdit);
        const QSignalBlocker b(m_pTimesEdit);
        m_pDelayEdit->setText(entry.KeyNumber ? QString::number(entry.KeyNumber) : QStringLiteral("10"));
        m_pTimesEdit->setText(entry.LoopNumber ? QString::number(entry.LoopNumber) : QStringLiteral("3"));
    }
}

void ZelFireKeyWindow::onHookEvent(quint32 scanCode, quint32 flags)
{
    if (!m_bArmed || m_iMode != FIRE_KEYBOARD)
        return;
    if (m_pTimesEdit->hasFocus() || m_pDelayEdit->hasFocus())
        return;   // the user is typing a number
    if (m_bIgnoreNext) {
        m_bIgnoreNext = false;
        return;
    }
    const quint8 code = hookKeyCode(scanCode, flags);
    if (code == m_iLastCode && flags == m_iLastFlags)
        return;
    m_iLastCode = code;
    m_iLastFlags = flags;
    m_pKeyBtn->setText(keyName(code));
    m_iKeyCode = code;
    emitValue();
}

void ZelFireKeyWindow::OnEditDataChanged(const QString &)
{
    emitValue();
}

void ZelFireKeyWindow::onEditReturn()
{
    // The release of this Return must not become the fired key.
    m_bIgnoreNext = true;
    m_pKeyBtn->setFocus();
}

void ZelFireKeyWindow::emitValue()
{
    emit SetFireKeyValue(m_iKeyCode, m_iMode, uchar(qBound(0, times(), 255)), uchar(qBound(0, delay(), 255)));
}

void ZelFireKeyWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

void ZelFireKeyWindow::mousePressEvent(QMouseEvent *event)
{
    m_pKeyBtn->setFocus();
    ZelKeyDialog::mousePressEvent(event);
}
