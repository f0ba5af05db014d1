#include "zelpointspeed.h"

#include "pages/performance/zelsingledpi.h"
#include "profile/description.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"
#include "widgets/zelslider.h"

#include <QCheckBox>
#include <QEvent>
#include <QSpinBox>

ZelPointSpeed::ZelPointSpeed(ProfileData *profile, QWidget *parent, int syncSwitch)
    : QWidget(parent), m_pProfile(profile)
{
    setObjectName(QStringLiteral("sensorPage"));
    m_iSyncSwitch = syncSwitch >= 0 ? syncSwitch : ::syncSwitch();

    m_pDebounceLabel = new ZelLabel(this);
    m_pDebounce = new ZelSlider(Qt::Horizontal, this);
    m_pDebounce->setObjectName(QStringLiteral("debounceSlider"));
    m_pDebounce->setRange(1, 255);
    m_pDebounce->setSingleStep(1);
    m_pDebounce->setPageStep(1);
    m_pDebounce->setFocusPolicy(Qt::WheelFocus);
    m_pDebounceValue = new ZelLabel(this);
    m_pDebounceValue->setAlignment(Qt::AlignCenter);
    connect(m_pDebounce, &QSlider::valueChanged, this, &ZelPointSpeed::onDebounceMoved);

    m_pScrollLabel = new ZelLabel(this);
    m_pScroll = new QSpinBox(this);
    m_pScroll->setObjectName(QStringLiteral("scrollSpeedBox"));
    m_pScroll->setRange(1, 20);
    m_pScroll->setAlignment(Qt::AlignCenter);
    connect(m_pScroll, QOverload<int>::of(&QSpinBox::valueChanged), this, &ZelPointSpeed::sValueChangedSlot);

    const QString sheet = performanceCheckBoxSheet();
    for (int o = 0; o < OPTION_COUNT; ++o) {
        m_pOptionLabels[o] = new ZelLabel(this);
        for (int k = 0; k < 2; ++k) {
            auto *box = new QCheckBox(this);
            box->setObjectName(QStringLiteral("option%1%2").arg(o).arg(k == 0 ? "On" : "Off"));
            box->setStyleSheet(sheet);
            box->setFocusPolicy(Qt::NoFocus);
            m_pBoxes[o][k] = box;
            connect(box, &QCheckBox::clicked, this, &ZelPointSpeed::checkbtn_clicked);
        }
    }
    QPalette light = palette();
    light.setColor(QPalette::WindowText, QColor(225, 225, 225));
    for (ZelLabel *label : {m_pDebounceLabel, m_pDebounceValue, m_pScrollLabel})
        label->setPalette(light);
    for (ZelLabel *label : m_pOptionLabels)
        label->setPalette(light);
    m_dScale = scaleFactor();
    retranslate();
    if (profile)
        load(profile, 0, 2, 0, 0, 1);
    layoutChildren();
}

void ZelPointSpeed::load(ProfileData *profile, int sync, int lift, int angle, int jitter, int debounce)
{
    m_pProfile = profile;
    {
        const QSignalBlocker blocker(m_pDebounce);
        m_pDebounce->setValue(debounce);
    }
    m_pDebounceValue->setText(QStringLiteral("%1").arg(debounce));
    {
        const QSignalBlocker blocker(m_pScroll);
        m_pScroll->setFont(scaledPageFont());
        if (profile)
            m_pScroll->setValue(profile->scrollspeed);
    }
    m_iSync = sync;
    m_iLift = lift;
    m_iAngle = angle;
    m_iJitter = jitter;
    m_iDebounce = debounce;
    showOptions();
}

void ZelPointSpeed::setLift(int lift)
{
    if (lift != 1 && lift != 2)
        return;
    m_iLift = lift;
    showOptions();
}

void ZelPointSpeed::showOptions()
{
    checkPair(OptionSync, m_iSync != 0);
    checkPair(OptionLift, m_iLift == 1);
    checkPair(OptionAngle, m_iAngle == 0);
    checkPair(OptionJitter, m_iJitter == 0);
}

void ZelPointSpeed::checkPair(Option option, bool first)
{
    const QSignalBlocker b0(m_pBoxes[option][0]), b1(m_pBoxes[option][1]);
    m_pBoxes[option][0]->setChecked(first);
    m_pBoxes[option][1]->setChecked(!first);
}

void ZelPointSpeed::onDebounceMoved(int value)
{
    qCDebug(lcUi, "slider_clicked 1 = %d", value);
    m_iDebounce = value;
    m_pDebounceValue->setText(QStringLiteral("%1").arg(value));
}

void ZelPointSpeed::sValueChangedSlot(int s)
{
    qCDebug(lcUi, "slider_clicked 1 = %d", s);
    if (m_pProfile)
        m_pProfile->scrollspeed = quint8(s);
}

void ZelPointSpeed::checkbtn_clicked()
{
    auto *box = qobject_cast<QCheckBox *>(sender());
    for (int o = 0; o < OPTION_COUNT; ++o) {
        for (int k = 0; k < 2; ++k) {
            if (m_pBoxes[o][k] != box)
                continue;
            // The pair acts like two radio buttons: a click on the checked
            // box keeps it checked and applies its value again.
            const bool first = k == 0;
            checkPair(Option(o), first);
            switch (o) {
            case OptionSync:
                m_iSync = first ? 1 : 0;
                break;
            case OptionLift:
                m_iLift = first ? 1 : 2;
                emit RefreshLift(quint8(m_iLift));
                break;
            case OptionAngle:
                m_iAngle = first ? 0 : 1;
                break;
            case OptionJitter:
                m_iJitter = first ? 0 : 1;
                break;
            }
            return;
        }
    }
}

void ZelPointSpeed::retranslate()
{
    m_pDebounceLabel->setText(tr("Key Response"));
    m_pScrollLabel->setText(tr("SCROLL SPEED"));
    m_pOptionLabels[OptionSync]->setText(tr("Enable sync"));
    m_pOptionLabels[OptionLift]->setText(tr("Lift Distance"));
    m_pOptionLabels[OptionAngle]->setText(tr("Angle Snapping"));
    m_pOptionLabels[OptionJitter]->setText(tr("Jitter"));
    for (int o = 0; o < OPTION_COUNT; ++o) {
        m_pBoxes[o][0]->setText(o == OptionLift ? tr("1mm") : tr("ON"));
        m_pBoxes[o][1]->setText(o == OptionLift ? tr("2mm") : tr("OFF"));
    }
}

void ZelPointSpeed::setScale(double scale)
{
    if (scale > 0)
        m_dScale = scale;
    layoutChildren();
}

void ZelPointSpeed::layoutChildren()
{
    const double s = m_dScale;
    const auto put = [s](QWidget *w, int x, int y, int width, int height) {
        w->setGeometry(int(x * s), int(y * s), int(width * s), int(height * s));
        w->show();
    };
    // First line, always: key response and scroll speed.
    put(m_pDebounceLabel, 10, 3, 104, 22);
    put(m_pDebounce, 116, 7, 164, 14);
    put(m_pDebounceValue, 282, 3, 36, 22);
    put(m_pScrollLabel, 330, 3, 110, 22);
    put(m_pScroll, 440, 2, 56, 24);

    const QString sheet = performanceCheckBoxSheet();
    const QFont boxFont = scaledPageFont(QFont(), 0, 1);
    for (int o = 0; o < OPTION_COUNT; ++o) {
        for (QCheckBox *box : m_pBoxes[o]) {
            box->setStyleSheet(sheet);
            box->setFont(boxFont);
        }
    }
    const QString sliderSheet = QStringLiteral(
        "QSlider{background-color: rgba(0,0,0,0)}"
        "QSlider::groove:horizontal{height:%1px;border-radius:%2px;background:rgb(70,72,76);}"
        "QSlider::sub-page:horizontal{border-radius:%2px;background:rgba(%3,%4,%5,170);}"
        "QSlider::handle:horizontal{width:%6px;margin:-%7px 0;border-radius:%8px;background:rgb(%3,%4,%5);}"
        "QSlider::handle:horizontal:focus{border:1px solid rgb(255,255,255);}")
        .arg(qMax(1, int(4 * s))).arg(qMax(1, int(2 * s)))
        .arg(themeColor().red()).arg(themeColor().green()).arg(themeColor().blue())
        .arg(qMax(2, int(10 * s))).arg(qMax(1, int(3 * s))).arg(qMax(1, int(5 * s)));
    m_pDebounce->setStyleSheet(sliderSheet);
    m_pScroll->setFont(scaledPageFont());
    m_pScroll->setStyleSheet(QStringLiteral("QSpinBox{color:rgb(255,255,255);background:rgb(20,22,26);"
                                            "border:1px solid rgb(90,90,90);}"));

    switch (m_iSyncSwitch) {
    case 1:
        // Pairs side by side: sync and lift, then angle snapping and jitter.
        for (int o = 0; o < OPTION_COUNT; ++o) {
            const int x = o % 2 == 0 ? 10 : 262;
            const int y = o < 2 ? 28 : 52;
            put(m_pOptionLabels[o], x, y, 108, 22);
            put(m_pBoxes[o][0], x + 110, y, 62, 22);
            put(m_pBoxes[o][1], x + 172, y, 66, 22);
        }
        break;
    case 2:
        // Four columns: each option's name above its two boxes.
        for (int o = 0; o < OPTION_COUNT; ++o) {
            const int x = 10 + 124 * o;
            put(m_pOptionLabels[o], x, 28, 120, 22);
            put(m_pBoxes[o][0], x, 52, 58, 22);
            put(m_pBoxes[o][1], x + 58, 52, 62, 22);
        }
        break;
    default:
        // Without the capability the rows are not placed.
        for (int o = 0; o < OPTION_COUNT; ++o) {
            for (QWidget *w : std::initializer_list<QWidget *>{m_pOptionLabels[o], m_pBoxes[o][0], m_pBoxes[o][1]}) {
                w->setGeometry(QRect());
                w->hide();
            }
        }
        break;
    }
}

void ZelPointSpeed::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (scaleFactor() != m_dScale)
        setScale(scaleFactor());
}

void ZelPointSpeed::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
