#include "zelcolorwindow.h"

#include "colorwidgets.h"
#include "lighting.h"
#include "widgets/logging.h"
#include "zelcolorarea.h"
#include "profile/description.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"
#include "widgets/zelslider.h"

#include <QCheckBox>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QtDebug>
#include <cmath>

namespace {

// Design rectangles inside the page (664 x 199): three columns.
const QRect kEffectTitle(26, 18, 172, 20);
const QRect kEffectButton(26, 44, 172, 30);
const QRect kColourTitle(26, 96, 172, 20);
const QRect kSwatch(26, 122, 172, 30);
const QRect kUpperTitle(238, 18, 192, 20);
const QRect kUpperSlider(238, 46, 192, 24);
const QRect kLowerTitle(238, 96, 192, 20);
const QRect kLowerSlider(238, 124, 192, 24);
const QRect kSleepTitle(470, 18, 168, 20);
const QRect kSleepSlider(470, 46, 168, 24);
const QRect kMinutes(470, 72, 168, 20);
const QRect kMoveOff(470, 122, 176, 30);
const QRect kCardEffect(12, 8, 200, 170);
const QRect kCardLevels(224, 8, 220, 170);
const QRect kCardSleep(456, 8, 196, 170);

QString skin(const char *name)
{
    return appFilePath(QStringLiteral("/skin/") + QLatin1String(name));
}

} // namespace

ZelColorWindow::ZelColorWindow(double scale, QWidget *parent)
    : QWidget(parent)
    , m_dScale(scale > 0 ? scale : 1.0)
{
    setObjectName(QStringLiteral("ZelColorWindow"));

    QPalette titlePalette = palette();
    titlePalette.setColor(QPalette::WindowText, QColor(150, 156, 166));
    QPalette textPalette = palette();
    textPalette.setColor(QPalette::WindowText, QColor(210, 210, 210));
    const auto title = [&](const char *name) {
        auto *label = new ZelLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setPalette(titlePalette);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        return label;
    };
    m_pEffectTitle = title("effectTitle");
    m_pBrightTitle = title("brightnessTitle");
    m_pSpeedTitle = title("speedTitle");
    m_pColourTitle = title("colourTitle");
    m_pSleepTitle = title("sleepTitle");

    m_pEffectBtn = new ZelPushButton({skin("lighting_effect.png")}, this);
    m_pEffectBtn->setObjectName(QStringLiteral("effectButton"));
    m_pEffectBtn->setFocusPolicy(Qt::NoFocus);
    m_pEffectMenu = new QMenu(this);
    m_pEffectMenu->setStyleSheet(menuStyleSheet());
    m_pEffectBtn->setMenu(m_pEffectMenu);

    const auto slider = [&](const char *name, int min, int max) {
        auto *s = new ZelSlider(Qt::Horizontal, this);
        s->setObjectName(QLatin1String(name));
        s->setRange(min, max);
        s->setSingleStep(1);
        s->setPageStep(1);
        s->setShowValue(true);
        s->setFocusPolicy(Qt::NoFocus);
        return s;
    };
    m_pBrightSlider = slider("brightnessSlider", 1, 3);
    m_pSpeedSlider = slider("speedSlider", 1, 5);
    m_pSleepSlider = slider("sleepSlider", 1, 9);

    m_pSwatch = new DefaultColorArea(this);
    m_pSwatch->setObjectName(QStringLiteral("swatch"));

    m_pMinuteLabel = new ZelLabel(this);
    m_pMinuteLabel->setObjectName(QStringLiteral("minuteLabel"));
    m_pMinuteLabel->setPalette(textPalette);

    m_pMoveOff = new QCheckBox(this);
    m_pMoveOff->setObjectName(QStringLiteral("moveOffBox"));
    m_pMoveOff->setFocusPolicy(Qt::NoFocus);

    connect(m_pBrightSlider, &QSlider::valueChanged, this, &ZelColorWindow::onBrightnessChanged);
    connect(m_pSpeedSlider, &QSlider::valueChanged, this, &ZelColorWindow::onSpeedChanged);
    connect(m_pSleepSlider, &QSlider::valueChanged, this, &ZelColorWindow::onSleepChanged);
    for (ZelSlider *s : {m_pBrightSlider, m_pSpeedSlider, m_pSleepSlider})
        connect(s, &ZelSlider::MouseChange, this, &ZelColorWindow::slotSliderMouseChange);
    connect(m_pSwatch, &DefaultColorArea::ClickedSignal, this, &ZelColorWindow::color_clicked);
    connect(m_pMoveOff, &QCheckBox::clicked, this, &ZelColorWindow::checkbtn_clicked);

    m_Places = {{m_pEffectTitle, kEffectTitle}, {m_pEffectBtn, kEffectButton},
                {m_pColourTitle, kColourTitle}, {m_pSwatch, kSwatch},
                {m_pBrightTitle, kUpperTitle},  {m_pBrightSlider, kUpperSlider},
                {m_pSpeedTitle, kLowerTitle},   {m_pSpeedSlider, kLowerSlider},
                {m_pSleepTitle, kSleepTitle},   {m_pSleepSlider, kSleepSlider},
                {m_pMinuteLabel, kMinutes},     {m_pMoveOff, kMoveOff}};
    setScale(m_dScale);
    retranslate();
    layoutForEffect(0);
}

// ------------------------------------------------------------------ layout --

QString ZelColorWindow::sliderSheet() const
{
    const QColor a = themeColor();
    const int handle = qMax(4, int(14 * m_dScale));
    const int groove = qMax(2, int(6 * m_dScale));
    const int border = qMax(1, int(2 * m_dScale));
    return QStringLiteral(
               "QSlider{background-color:rgba(0,0,0,0);}"
               "QSlider::groove:horizontal{height:%4px;background:rgb(12,14,18);border:1px solid rgb(52,57,66);"
               "border-radius:%5px;}"
               "QSlider::sub-page:horizontal{background:rgb(%1,%2,%3);border-radius:%5px;}"
               "QSlider::handle:horizontal{width:%6px;margin:-%7px 0px;border-radius:%8px;"
               "background:rgb(38,42,50);border:%9px solid rgb(%1,%2,%3);}")
        .arg(a.red())
        .arg(a.green())
        .arg(a.blue())
        .arg(QString::number(groove), QString::number(groove / 2), QString::number(handle - 2 * border),
             QString::number((handle - groove) / 2 + 1), QString::number(handle / 2), QString::number(border));
}

void ZelColorWindow::place(QWidget *widget, const QRect &r)
{
    widget->setGeometry(int(r.x() * m_dScale), int(r.y() * m_dScale), int(r.width() * m_dScale),
                        int(r.height() * m_dScale));
}

void ZelColorWindow::placeAll()
{
    for (auto it = m_Places.constBegin(); it != m_Places.constEnd(); ++it)
        place(it.key(), it.value());
    // Without the sleep option its controls take no room at all.
    if (!m_bShowSleep) {
        for (QWidget *w : std::initializer_list<QWidget *>{m_pSleepTitle, m_pSleepSlider, m_pMinuteLabel,
                                                           m_pMoveOff})
            w->setGeometry(QRect());
    }
}

void ZelColorWindow::setScale(double scale)
{
    if (!(scale > 0))
        return;
    m_dScale = scale;
    const QString sheet = sliderSheet();
    for (ZelSlider *s : {m_pBrightSlider, m_pSpeedSlider, m_pSleepSlider})
        s->setStyleSheet(sheet);
    const int box = qMax(1, int(16 * m_dScale));
    m_pMoveOff->setStyleSheet(QStringLiteral("QCheckBox{color:rgb(210,210,210);spacing:%1px;background:transparent;}"
                                             "QCheckBox::indicator{width:%2px;height:%2px;border-image:url(%3);}"
                                             "QCheckBox::indicator:checked{border-image:url(%4);}")
                                  .arg(int(8 * m_dScale))
                                  .arg(box)
                                  .arg(skin("checkbox1-1.png"), skin("checkbox1-2.png")));
    m_pMoveOff->setFont(scaledPageFont(QFont()));
    m_pEffectMenu->setFixedWidth(int(kEffectButton.width() * m_dScale));
    m_pEffectMenu->setFont(scaledPageFont(QFont()));
    placeAll();
    const QSize size(int(BASE_WIDTH * m_dScale), int(BASE_HEIGHT * m_dScale));
    if (this->size() != size)
        resize(size);
}

void ZelColorWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The window lays its children out again at a new scale: follow it.
    const double byWidth = double(width()) / BASE_WIDTH;
    if (width() > 0 && std::fabs(byWidth - m_dScale) > 0.01)
        setScale(byWidth);
}

void ZelColorWindow::paintEvent(QPaintEvent *)
{
    // A card under each group of controls.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect cards[3] = {kCardEffect, kCardLevels, kCardSleep};
    const int count = m_bShowSleep ? 3 : 2;
    for (int i = 0; i < count; ++i) {
        const QRectF r(cards[i].x() * m_dScale + 0.5, cards[i].y() * m_dScale + 0.5, cards[i].width() * m_dScale - 1,
                       cards[i].height() * m_dScale - 1);
        p.setPen(QColor(48, 53, 62));
        p.setBrush(QColor(24, 27, 33, 220));
        p.drawRoundedRect(r, 4 * m_dScale, 4 * m_dScale);
        QColor accent = themeColor();
        accent.setAlpha(200);
        p.fillRect(QRectF(r.x() + 1, r.y() + 8 * m_dScale, qMax(1.0, 2 * m_dScale), 20 * m_dScale), accent);
    }
}

void ZelColorWindow::layoutForEffect(int effect)
{
    m_iEffect = effect;
    m_pEffectBtn->setText(tr(lighting::effectText(effect)));
    const bool bright = lighting::hasBrightness(effect);
    const bool speed = lighting::hasSpeed(effect);
    const bool colour = lighting::hasColour(effect);
    m_pBrightTitle->setVisible(bright);
    m_pBrightSlider->setVisible(bright);
    m_pSpeedTitle->setVisible(speed);
    m_pSpeedSlider->setVisible(speed);
    m_pColourTitle->setVisible(colour);
    m_pSwatch->setVisible(colour);

    // Speed without brightness moves up, so no empty row is left on top.
    const bool swap = lighting::speedInUpperRow(effect);
    m_Places[m_pBrightTitle] = swap ? kLowerTitle : kUpperTitle;
    m_Places[m_pBrightSlider] = swap ? kLowerSlider : kUpperSlider;
    m_Places[m_pSpeedTitle] = swap ? kUpperTitle : kLowerTitle;
    m_Places[m_pSpeedSlider] = swap ? kUpperSlider : kLowerSlider;
    placeAll();
}

// ----------------------------------------------------------------- texts --

void ZelColorWindow::retranslate()
{
    m_pEffectTitle->setText(tr("EFFECT"));
    m_pBrightTitle->setText(tr("BRIGHTNESS"));
    m_pSpeedTitle->setText(tr("SPEED"));
    m_pColourTitle->setText(tr("COLOR"));
    m_pSleepTitle->setText(tr("SLEEP TIME"));
    m_pMoveOff->setText(tr("MOVE TO LIGHT OFF"));
    m_pSwatch->setToolTip(tr("Click to choose the color"));
    m_pEffectBtn->setText(tr(lighting::effectText(m_iEffect)));
    showMinutes(m_pSleepSlider->value());
    rebuildMenu();
}

void ZelColorWindow::showMinutes(int value)
{
    m_pMinuteLabel->setText(QString::number(value) + tr(" MINUTE"));
}

void ZelColorWindow::rebuildMenu()
{
    // A refresh while the user browses the open menu leaves it alone.
    if (m_pEffectMenu->isVisible())
        return;
    m_pEffectMenu->clear();
    int count = 0;
    const int *effects = lighting::menuEffects(&count);
    for (int i = 0; i < count; ++i) {
        const int effect = effects[i];
        auto *action = new ZelAction(tr(lighting::effectText(effect)), m_pEffectMenu);
        action->setData(effect);
        m_pEffectMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, effect] { onEffectChosen(effect); });
    }
}

void ZelColorWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// ----------------------------------------------------------------- record --

LightEffect *ZelColorWindow::activeEffect() const
{
    if (!m_pProfile || m_pProfile->LedMode > lighting::LAST_EFFECT)
        return nullptr;
    return &m_pProfile->effects[m_pProfile->LedMode];
}

void ZelColorWindow::setProfile(ProfileData &profile, int slot)
{
    m_pProfile = &profile;
    m_iSlot = slot;
    refresh();
}

void ZelColorWindow::refresh()
{
    if (!m_pProfile)
        return;
    const QSignalBlocker b1(m_pBrightSlider), b2(m_pSpeedSlider), b3(m_pSleepSlider), b4(m_pMoveOff);

    const bool shown = sleepShown();
    if (shown != m_bShowSleep) {
        m_bShowSleep = shown;
        update();
    }
    for (QWidget *w : std::initializer_list<QWidget *>{m_pSleepTitle, m_pSleepSlider, m_pMinuteLabel, m_pMoveOff})
        w->setVisible(m_bShowSleep);

    layoutForEffect(m_pProfile->LedMode);
    if (const LightEffect *e = activeEffect()) {
        m_pBrightSlider->setValue(e->bright);
        m_pSpeedSlider->setValue(e->breath);
        m_pSwatch->setColor(e->colour);
    }
    const SleepRange range = sleepRange();
    m_pSleepSlider->setRange(qBound(0, range.min, 255), qBound(0, range.max, 255));
    m_pSleepSlider->setValue(m_pProfile->LedSleepTime);
    showMinutes(m_pSleepSlider->value());
    m_pMoveOff->setChecked(m_pProfile->LedMoveOFF == 0);
    retranslate();
}

void ZelColorWindow::setEffect(int effect)
{
    if (effect < 0 || effect > lighting::LAST_EFFECT)
        return;
    const QSignalBlocker b1(m_pBrightSlider), b2(m_pSpeedSlider);
    layoutForEffect(effect);
    if (!m_pProfile)
        return;
    m_pProfile->LedMode = quint8(effect);
    const LightEffect &e = m_pProfile->effects[effect];
    m_pBrightSlider->setValue(e.bright);
    m_pSpeedSlider->setValue(e.breath);
    m_pSwatch->setColor(e.colour);
}

// ----------------------------------------------------------------- edits --

void ZelColorWindow::onEffectChosen(int effect)
{
    if (!m_pProfile)
        return;
    const QSignalBlocker b1(m_pBrightSlider), b2(m_pSpeedSlider);
    layoutForEffect(effect);
    m_pProfile->LedMode = quint8(effect);
    const LightEffect &e = m_pProfile->effects[effect];
    m_pBrightSlider->setValue(e.bright);
    m_pSpeedSlider->setValue(e.breath);
    m_pSwatch->setColor(e.colour);
    qCDebug(lcUi, "EffectMenuFunction iProfile=%d i=%d r=%d g=%d b=%d", m_iSlot, effect, e.colour.red(),
           e.colour.green(), e.colour.blue());
    emit LightChangedSignal();
}

void ZelColorWindow::onBrightnessChanged(int value)
{
    if (LightEffect *e = activeEffect()) {
        e->bright = value;
        emit LightChangedSignal();
    }
}

void ZelColorWindow::onSpeedChanged(int value)
{
    if (LightEffect *e = activeEffect()) {
        e->breath = value;
        emit LightChangedSignal();
    }
}

void ZelColorWindow::onSleepChanged(int value)
{
    showMinutes(value);
    if (!m_pProfile)
        return;
    m_pProfile->LedSleepTime = quint8(value);
    emit LightChangedSignal();
}

void ZelColorWindow::checkbtn_clicked()
{
    if (!m_pProfile)
        return;
    m_pProfile->LedMoveOFF = m_pMoveOff->isChecked() ? 0 : 255;
    emit LightChangedSignal();
}

void ZelColorWindow::slotSendLedState(QColor color)
{
    LightEffect *e = activeEffect();
    if (!e)
        return;
    QColor rgb = color.toRgb();
    rgb.setAlpha(255);
    e->colour = rgb;
    m_pSwatch->setColor(rgb);
    qCDebug(lcUi, "slotSendLedState iProfile=%d i=%d r=%d g=%d b=%d", m_iSlot, int(m_pProfile->LedMode), rgb.red(),
           rgb.green(), rgb.blue());
    emit LightChangedSignal();
}

void ZelColorWindow::slotApplyColor()
{
}

void ZelColorWindow::slotSliderMouseChange()
{
}

void ZelColorWindow::color_clicked()
{
    const LightEffect *e = activeEffect();
    if (!e || !lighting::hasColour(m_pProfile->LedMode))
        return;
    // The mouse may switch the profile while the dialog is open: the colour
    // belongs to the effect it was chosen for.
    ProfileData *target = m_pProfile;
    const int mode = target->LedMode;
    ZelColorArea dialog(this);
    dialog.setColor(e->colour);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (m_pProfile == target && m_pProfile->LedMode == mode) {
        slotSendLedState(dialog.color());
    } else {
        QColor rgb = dialog.color().toRgb();
        rgb.setAlpha(255);
        target->effects[mode].colour = rgb;
        emit LightChangedSignal();
    }
}
