#include "zelreportrate.h"

#include "pages/performance/performancefacts.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelpushbutton.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QRadioButton>

ZelReportRate::ZelReportRate(const ProfileData &profile, QWidget *parent)
    : QWidget(parent), m_ProfileData(profile)
{
    setObjectName(QStringLiteral("reportRatePage"));
    m_pTitle = new ZelLabel(this);
    QFont bold = m_pTitle->font();
    bold.setBold(true);
    m_pTitle->setFont(bold);
    const QString image = appFilePath(QStringLiteral("/skin/ratesel.png"));
    m_pRateButton = new ZelPushButton({image, image, image}, this);
    m_pRateButton->setObjectName(QStringLiteral("rateButton"));
    m_pRateButton->setFocusPolicy(Qt::NoFocus);
    m_pMenu = new QMenu(this);
    m_pMenu->setStyleSheet(menuStyleSheet());
    for (int i = 0; i < RATE_CHOICES; ++i) {
        m_pActions[i] = new ZelAction(m_pMenu);
        m_pMenu->addAction(m_pActions[i]);
        connect(m_pActions[i], &QAction::triggered, this, [this, i] { chooseRate(i); });
    }
    m_pRateButton->setMenu(m_pMenu);

    m_pLiftLabel = new ZelLabel(this);
    m_pLift1 = new QRadioButton(this);
    m_pLift2 = new QRadioButton(this);
    m_pLift1->setObjectName(QStringLiteral("lift1"));
    m_pLift2->setObjectName(QStringLiteral("lift2"));
    m_pLiftGroup = new QButtonGroup(this);
    m_pLiftGroup->setExclusive(true);
    m_pLiftGroup->addButton(m_pLift1, 0);
    m_pLiftGroup->addButton(m_pLift2, 1);
    for (QRadioButton *radio : {m_pLift1, m_pLift2}) {
        radio->setFocusPolicy(Qt::NoFocus);
        connect(radio, &QRadioButton::clicked, this, &ZelReportRate::onRadioChanged);
    }
    QPalette light = palette();
    light.setColor(QPalette::WindowText, QColor(225, 225, 225));
    m_pTitle->setPalette(light);
    m_pLiftLabel->setPalette(light);
    checkLift(m_iLift);
    showRate(m_ProfileData.pollrate);
    m_dScale = scaleFactor();
    retranslate();
    restyle();
}

QRadioButton *ZelReportRate::liftButton(int id) const
{
    return id == 0 ? m_pLift1 : id == 1 ? m_pLift2 : nullptr;
}

void ZelReportRate::load(const ProfileData &profile, int lift)
{
    m_ProfileData = profile;
    showRate(profile.pollrate);
    checkLift(lift == 1 || lift == 2 ? lift : 2);
}

void ZelReportRate::setRate(int code)
{
    m_ProfileData.pollrate = quint8(code);
    showRate(code);
}

void ZelReportRate::setLift(int lift)
{
    if (lift == 1 || lift == 2)
        checkLift(lift);
}

void ZelReportRate::chooseRate(int choice)
{
    const int code = rateCodeOfChoice(choice);
    if (code == 0)
        return;
    m_ProfileData.pollrate = quint8(code);
    showRate(code);
    emit RateChangedSignal(quint8(code));
}

void ZelReportRate::onRadioChanged()
{
    const int id = m_pLiftGroup->checkedId();
    if (id < 0)
        return;
    m_iLift = id + 1;
    qCDebug(lcUi, "m_iLift = %d", m_iLift);
    emit RefreshLift(quint8(m_iLift));
}

void ZelReportRate::showRate(int code)
{
    // A code the menu does not offer keeps whatever the button shows.
    if (rateChoiceOfCode(code) < 0)
        return;
    m_iShownRate = code;
    m_pRateButton->setText(QCoreApplication::translate("ZelReportRate", rateSourceText(code)));
}

void ZelReportRate::checkLift(int lift)
{
    m_iLift = lift;
    const QSignalBlocker blocker(m_pLiftGroup);
    (lift == 1 ? m_pLift1 : m_pLift2)->setChecked(true);
}

void ZelReportRate::retranslate()
{
    m_pTitle->setText(tr("REPORT RATE"));
    m_pActions[0]->setText(tr("125 HZ"));
    m_pActions[1]->setText(tr("250 HZ"));
    m_pActions[2]->setText(tr("500 HZ"));
    m_pActions[3]->setText(tr("1000 HZ"));
    m_pLiftLabel->setText(tr("Lift off Distance"));
    m_pLift1->setText(tr("1 mm"));
    m_pLift2->setText(tr("2 mm"));
    if (m_iShownRate != 0)
        showRate(m_iShownRate);
}

void ZelReportRate::restyle()
{
    const QColor theme = themeColor();
    const int d = qMax(2, int(14 * m_dScale));
    const QString sheet = QStringLiteral(
        "QRadioButton{background:transparent;color:rgb(255,255,255)}QRadioButton:checked{color:rgb(255,255,255);}"
        "QRadioButton::indicator{width:%1px;height:%1px;border-radius:%2px;border-style: solid;border-width: %3px;"
        "border-color: rgb(100, 100, 100);}QRadioButton::indicator:checked {background-color:rgb(%4,%5,%6);}"
        "QRadioButton::indicator:unchecked {background-color:transparent; }")
        .arg(d).arg(d / 2 + 1).arg(d / 4).arg(theme.red()).arg(theme.green()).arg(theme.blue());
    const QFont font = scaledPageFont();
    for (QRadioButton *radio : {m_pLift1, m_pLift2}) {
        radio->setStyleSheet(sheet);
        radio->setFont(font);
    }
    m_pMenu->setFixedWidth(int(150 * m_dScale));
    m_pMenu->setFont(font);
}

void ZelReportRate::setScale(double scale)
{
    if (scale > 0)
        m_dScale = scale;
    const double s = m_dScale;
    const auto put = [s](QWidget *w, int x, int y, int width, int height) {
        w->setGeometry(int(x * s), int(y * s), int(width * s), int(height * s));
    };
    put(m_pTitle, 20, 20, 170, 20);
    put(m_pRateButton, 20, 40, 152, 28);
    put(m_pLiftLabel, 20, 92, 160, 20);
    put(m_pLift1, 20, 116, 74, 22);
    put(m_pLift2, 98, 116, 74, 22);
    restyle();
}

void ZelReportRate::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setScale(scaleFactor());
}

void ZelReportRate::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
