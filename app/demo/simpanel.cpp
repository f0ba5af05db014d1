#include "app/demo/simpanel.h"

#include "app/demo/keptmouse.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

using simview::Snapshot;

namespace {

enum { TAB_KEYS = 0, TAB_LIGHTING = 1, TAB_MACROS = 2, TAB_FRAMES = 3 };

const QColor kAccent(255, 125, 0);
const char *const kNothingYet = "Nothing written yet: press Apply in the main window.";
const QColor kTabText(200, 200, 200);

// The program's dark greys with its orange accent.
const char *const kStyle = R"(
#simMousePanel, QScrollArea, QWidget#viewport { background: rgb(27,29,34); }
QWidget { color: rgb(225,225,225); font-size: 12px; }
QGroupBox { background: rgb(36,38,45); border: 1px solid rgb(62,66,76); border-radius: 4px;
            margin-top: 14px; padding: 6px 6px 4px 6px; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: rgb(255,125,0);
                   font-weight: bold; letter-spacing: 1px; }
QGroupBox[flash="true"] { border: 2px solid rgb(255,125,0); background: rgb(70,48,24); }
QPushButton { background: rgb(52,55,64); border: 1px solid rgb(78,82,94); border-radius: 3px;
              padding: 4px 8px; min-height: 16px; }
QPushButton:hover { border-color: rgb(255,125,0); }
QPushButton:pressed, QPushButton:checked { background: rgb(255,125,0); color: rgb(20,20,20);
                                           border-color: rgb(255,160,70); }
QPushButton:disabled { color: rgb(110,110,110); border-color: rgb(60,62,70); }
QLabel#chipOn, QLabel#chipOff { border-radius: 3px; font-size: 11px; font-weight: bold; }
QLabel#chipOn { background: rgb(255,125,0); color: rgb(20,20,20); }
QLabel#chipOff { background: rgb(58,60,68); color: rgb(160,160,160); }
QLabel[role="dim"] { color: rgb(150,152,160); }
QLabel[role="head"] { color: rgb(150,152,160); font-weight: bold; }
QLabel[role="head"][hot="true"] { color: rgb(255,125,0); }
QLabel[role="cell"] { background: rgb(44,47,55); border-radius: 2px; padding: 1px 4px; }
QLabel[role="cell"][hot="true"] { background: rgb(255,125,0); color: rgb(20,20,20); font-weight: bold; }
QLabel[role="cell"][off="true"] { color: rgb(105,105,110); }
QLabel#sectionTitle { color: rgb(255,125,0); font-weight: bold; letter-spacing: 1px; padding-left: 4px; }
QLabel#banner { border-radius: 4px; padding: 6px 10px; font-size: 12px; font-weight: bold;
                background: rgb(44,47,55); color: rgb(190,190,190); }
QLabel#banner[state="done"] { background: rgb(255,125,0); color: rgb(20,20,20); }
QLabel#banner[state="open"] { background: rgb(96,62,24); color: rgb(255,210,160); }
QCheckBox { spacing: 6px; }
QCheckBox::indicator { width: 14px; height: 14px; border: 1px solid rgb(90,94,106); border-radius: 2px;
                       background: rgb(24,26,31); }
QCheckBox::indicator:checked { background: rgb(255,125,0); border-color: rgb(255,160,70); }
QSpinBox { background: rgb(24,26,31); border: 1px solid rgb(78,82,94); border-radius: 3px; padding: 2px 4px; }
QSlider::groove:horizontal { height: 6px; background: rgb(58,60,68); border-radius: 3px; }
QSlider::sub-page:horizontal { background: rgb(255,125,0); border-radius: 3px; }
QSlider::handle:horizontal { width: 14px; margin: -5px 0; border-radius: 7px; background: rgb(235,235,235); }
QTabWidget::pane { border: 1px solid rgb(62,66,76); border-radius: 4px; background: rgb(36,38,45); top: -1px; }
QTabBar::tab { background: rgb(44,47,55); border: 1px solid rgb(62,66,76); border-bottom: none;
               padding: 5px 12px; margin-right: 2px; border-top-left-radius: 3px; border-top-right-radius: 3px; }
QTabBar::tab:selected { background: rgb(36,38,45); border-top: 2px solid rgb(255,125,0); }
QPlainTextEdit { background: rgb(24,26,31); border: none; color: rgb(215,215,215); }
QScrollBar:vertical { background: rgb(27,29,34); width: 10px; }
QScrollBar::handle:vertical { background: rgb(70,74,84); border-radius: 4px; min-height: 24px; }
QScrollBar:horizontal { background: rgb(27,29,34); height: 10px; }
QScrollBar::handle:horizontal { background: rgb(70,74,84); border-radius: 4px; min-width: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }
QToolTip { background: rgb(44,47,55); color: rgb(225,225,225); border: 1px solid rgb(255,125,0); }
)";

QFont monoFont()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(11);
    return f;
}

QLabel *label(const QString &text, const char *role = nullptr)
{
    auto *l = new QLabel(text);
    if (role)
        l->setProperty("role", QString::fromLatin1(role));
    return l;
}

QLabel *cell(const QString &name)
{
    QLabel *l = label(QString(), "cell");
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

void restyle(QWidget *w)
{
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->updateGeometry();   // paddings may have changed the size it asks for
}

// Sets a boolean style property and repolishes only when it changes.
void setFlag(QWidget *w, const char *name, bool on)
{
    if (w->property(name).toBool() == on)
        return;
    w->setProperty(name, on);
    restyle(w);
}

void setChip(QLabel *chip, bool on, const QString &text)
{
    chip->setText(text);
    const QString name = on ? QStringLiteral("chipOn") : QStringLiteral("chipOff");
    if (chip->objectName() != name) {
        chip->setObjectName(name);
        restyle(chip);
    }
}

QString timeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QString statusText(const simview::Status &st)
{
    return QStringLiteral("profile %1 · stage %2 · %3")
        .arg(st.profile + 1)
        .arg(st.dpi + 1)
        .arg(simview::reportRateText(st.rate));
}

QString echoFaultName(sim::EchoFault f)
{
    switch (f) {
    case sim::EchoFault::HeaderMismatch:
        return QStringLiteral("header");
    case sim::EchoFault::DataMismatch:
        return QStringLiteral("data");
    case sim::EchoFault::AllZero:
        return QStringLiteral("all-zero");
    case sim::EchoFault::ChecksumByte:
        return QStringLiteral("checksum");
    case sim::EchoFault::SegmentByte:
        return QStringLiteral("segment");
    case sim::EchoFault::Truncated:
        return QStringLiteral("short");
    }
    return QString();
}

QString countText(int n, const QString &what)
{
    return n == sim::ALWAYS ? QStringLiteral("every %1").arg(what) : QStringLiteral("%1 × %2").arg(n).arg(what);
}

} // namespace

SimMousePanel::SimMousePanel(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("simMousePanel"));
    setWindowTitle(QStringLiteral("Simulated mouse"));
    setStyleSheet(QString::fromLatin1(kStyle));
    setAttribute(Qt::WA_StyledBackground);

    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("viewport"));
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(10, 4, 10, 10);
    column->setSpacing(6);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    buildControls(grid);
    column->addLayout(grid);
    column->addWidget(buildView(), 1);

    auto *scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    // Changes arrive from whichever thread made them; many frames in a row
    // make one refresh.
    m_pRefreshTimer = new QTimer(this);
    m_pRefreshTimer->setSingleShot(true);
    m_pRefreshTimer->setInterval(30);
    connect(m_pRefreshTimer, &QTimer::timeout, this, &SimMousePanel::refresh);
    connect(sim::observer(), &sim::Observer::changed, this, &SimMousePanel::scheduleRefresh, Qt::QueuedConnection);
    // Reads are no changes: the counters are brought up to date now and then.
    m_pPollTimer = new QTimer(this);
    m_pPollTimer->setInterval(POLL_MS);
    connect(m_pPollTimer, &QTimer::timeout, this, &SimMousePanel::refresh);
    m_pPollTimer->start();

    for (int b = 0; b < simview::BLOCK_COUNT; ++b) {
        m_pFlashTimers[b] = new QTimer(this);
        m_pFlashTimers[b]->setSingleShot(true);
        m_pFlashTimers[b]->setInterval(FLASH_MS);
        connect(m_pFlashTimers[b], &QTimer::timeout, this, [this, b] { setFlashLook(sim::Block(b + 1), false); });
    }
    refresh();
    resize(600, 860);
    qApp->installEventFilter(this);
}

SimMousePanel::~SimMousePanel() = default;

// ---- Controls --------------------------------------------------------------------------

void SimMousePanel::buildControls(QGridLayout *grid)
{
    grid->addWidget(connectionGroup(), 0, 0);
    grid->addWidget(buttonsGroup(), 0, 1);
    grid->addWidget(batteryGroup(), 1, 0);
    grid->addWidget(faultsGroup(), 1, 1);
    grid->addWidget(m_pPendingText, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

QGroupBox *SimMousePanel::connectionGroup()
{
    auto *box = new QGroupBox(QStringLiteral("CONNECTION"));
    auto *g = new QGridLayout(box);
    g->setVerticalSpacing(6);
    m_pReceiverState = new QLabel;
    m_pCableState = new QLabel;
    for (QLabel *chip : {m_pReceiverState, m_pCableState}) {
        chip->setAlignment(Qt::AlignCenter);
        chip->setContentsMargins(6, 2, 6, 2);
    }
    m_pReceiverBtn = new QPushButton;
    m_pReceiverBtn->setObjectName(QStringLiteral("receiverButton"));
    m_pCableBtn = new QPushButton;
    m_pCableBtn->setObjectName(QStringLiteral("cableButton"));
    // As wide as the longest text they take, so nothing moves when it changes.
    m_pReceiverBtn->setText(QStringLiteral("Unplug receiver"));
    for (QPushButton *b : {m_pReceiverBtn, m_pCableBtn})
        b->setMinimumWidth(m_pReceiverBtn->sizeHint().width());
    g->addWidget(label(QStringLiteral("Receiver")), 0, 0);
    g->addWidget(m_pReceiverState, 0, 1);
    g->addWidget(m_pReceiverBtn, 0, 2);
    g->addWidget(label(QStringLiteral("Cable")), 1, 0);
    g->addWidget(m_pCableState, 1, 1);
    g->addWidget(m_pCableBtn, 1, 2);
    auto *factoryNew = new QPushButton(QStringLiteral("Factory-new mouse"));
    factoryNew->setObjectName(QStringLiteral("factoryNew"));
    factoryNew->setToolTip(QStringLiteral("Forgets what the mouse keeps (settings, DPI, keys, lighting, macros, "
                                          "profile 1 active); it then asks for a full write"));
    g->addWidget(factoryNew, 2, 0, 1, 3);
    g->setColumnStretch(2, 1);
    connect(factoryNew, &QPushButton::clicked, this, [this] {
        factoryNewMouse();
        refresh();
    });
    connect(m_pReceiverBtn, &QPushButton::clicked, this, [this] { togglePlug(sim::Side::Receiver); });
    connect(m_pCableBtn, &QPushButton::clicked, this, [this] { togglePlug(sim::Side::Cable); });
    return box;
}

QGroupBox *SimMousePanel::batteryGroup()
{
    auto *box = new QGroupBox(QStringLiteral("BATTERY AND POWER"));
    auto *g = new QGridLayout(box);
    g->setVerticalSpacing(5);
    m_pLevel = new QSlider(Qt::Horizontal);
    m_pLevel->setObjectName(QStringLiteral("batteryLevel"));
    m_pLevel->setRange(1, 10);   // tens of percent: one step per band of the display
    m_pLevel->setPageStep(1);
    m_pLevel->setToolTip(QStringLiteral("Battery level the mouse reports (the raw bytes are chosen inside that band)"));
    m_pLevelText = label(QString());
    m_pLevelText->setMinimumWidth(38);
    m_pLevelText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pRawText = label(QString(), "dim");
    m_pRawText->setObjectName(QStringLiteral("batteryRaw"));
    m_pCharging = new QCheckBox(QStringLiteral("Charging"));
    m_pCharging->setObjectName(QStringLiteral("charging"));
    m_pMouseOff = new QCheckBox(QStringLiteral("Mouse off (asleep)"));
    m_pMouseOff->setObjectName(QStringLiteral("mouseOff"));
    m_pMouseOff->setToolTip(QStringLiteral("The receiver stays awake and reports the mouse as off; "
                                           "the main window shows MOUSE OFF and refuses to write"));
    m_pFullWrite = new QCheckBox(QStringLiteral("Asks for a full write"));
    m_pFullWrite->setObjectName(QStringLiteral("fullWrite"));
    m_pFullWrite->setToolTip(QStringLiteral("Write status 0 in the battery reply: the next Apply writes every block"));
    m_pModeByte = new QSpinBox;
    m_pModeByte->setObjectName(QStringLiteral("modeByte"));
    m_pModeByte->setRange(0, 255);
    m_pModeByte->setToolTip(
        QStringLiteral("Device mode byte of the battery reply (8 caps the DPI values sent at 20000)"));
    g->addWidget(label(QStringLiteral("Level")), 0, 0);
    g->addWidget(m_pLevel, 0, 1);
    g->addWidget(m_pLevelText, 0, 2);
    g->addWidget(m_pRawText, 1, 0, 1, 3);
    auto *row = new QHBoxLayout;
    row->addWidget(m_pCharging);
    row->addStretch(1);
    row->addWidget(label(QStringLiteral("Mode byte"), "dim"));
    row->addWidget(m_pModeByte);
    g->addLayout(row, 2, 0, 1, 3);
    g->addWidget(m_pMouseOff, 3, 0, 1, 3);
    g->addWidget(m_pFullWrite, 4, 0, 1, 3);
    g->setColumnStretch(1, 1);
    connect(m_pLevel, &QSlider::valueChanged, this, &SimMousePanel::applyBattery);
    connect(m_pCharging, &QCheckBox::toggled, this, &SimMousePanel::applyBattery);
    connect(m_pFullWrite, &QCheckBox::toggled, this, &SimMousePanel::applyBattery);
    connect(m_pModeByte, QOverload<int>::of(&QSpinBox::valueChanged), this, &SimMousePanel::applyBattery);
    connect(m_pMouseOff, &QCheckBox::toggled, this, [](bool off) { sim::setMouseOff(off); });
    return box;
}

QGroupBox *SimMousePanel::buttonsGroup()
{
    auto *box = new QGroupBox(QStringLiteral("MOUSE BUTTONS"));
    auto *v = new QVBoxLayout(box);
    v->setSpacing(6);
    auto *row = new QHBoxLayout;
    m_pProfileBtn = new QPushButton(QStringLiteral("Profile"));
    m_pProfileBtn->setObjectName(QStringLiteral("profileButton"));
    m_pDpiBtn = new QPushButton(QStringLiteral("DPI"));
    m_pDpiBtn->setObjectName(QStringLiteral("dpiButton"));
    m_pRateBtn = new QPushButton(QStringLiteral("Report rate"));
    m_pRateBtn->setObjectName(QStringLiteral("rateButton"));
    for (QPushButton *b : {m_pProfileBtn, m_pDpiBtn, m_pRateBtn})
        row->addWidget(b);
    v->addLayout(row);
    m_pStatusText = label(QString(), "dim");
    m_pStatusText->setObjectName(QStringLiteral("statusText"));
    m_pStatusText->setWordWrap(true);
    v->addWidget(m_pStatusText);
    connect(m_pProfileBtn, &QPushButton::clicked, this, [this] { pressMouseButton(&simview::profileButton); });
    connect(m_pDpiBtn, &QPushButton::clicked, this, [this] { pressMouseButton(&simview::dpiButton); });
    connect(m_pRateBtn, &QPushButton::clicked, this, [this] { pressMouseButton(&simview::rateButton); });
    return box;
}

QGroupBox *SimMousePanel::faultsGroup()
{
    auto *box = new QGroupBox(QStringLiteral("FAULTS IN THE NEXT FRAMES"));
    auto *g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->setHorizontalSpacing(4);
    m_pFaultCount = new QSpinBox;
    m_pFaultCount->setObjectName(QStringLiteral("faultCount"));
    m_pFaultCount->setRange(1, 99);
    m_pFaultCount->setValue(3);
    m_pFaultCount->setPrefix(QStringLiteral("N = "));
    auto make = [](const QString &text, const QString &name, const QString &tip) {
        auto *b = new QPushButton(text);
        b->setObjectName(name);
        b->setToolTip(tip);
        return b;
    };
    QPushButton *failWrites = make(QStringLiteral("Fail writes"), QStringLiteral("failWrites"),
                                   QStringLiteral("The next N writes fail"));
    QPushButton *failReads = make(QStringLiteral("Fail reads"), QStringLiteral("failReads"),
                                  QStringLiteral("The next N reads fail"));
    QPushButton *header = make(QStringLiteral("Header mismatch"), QStringLiteral("headerMismatch"),
                               QStringLiteral("The next N echoes come back with another offset byte"));
    QPushButton *data = make(QStringLiteral("Data mismatch"), QStringLiteral("dataMismatch"),
                             QStringLiteral("The next N echoes come back with another first data byte"));
    m_pUnplugAfterBtn = make(QStringLiteral("Unplug after N"), QStringLiteral("unplugAfter"), QString());
    m_pSilentBtn = make(QStringLiteral("Silence"), QStringLiteral("silence"),
                        QStringLiteral("Nothing is answered while this is on; frames are still taken"));
    m_pSilentBtn->setCheckable(true);
    QPushButton *clear = make(QStringLiteral("Clear faults"), QStringLiteral("clearFaults"),
                              QStringLiteral("No fault pending any more"));
    m_pPendingText = label(QString());
    m_pPendingText->setWordWrap(true);
    m_pPendingText->setContentsMargins(4, 2, 4, 0);
    m_pPendingText->setObjectName(QStringLiteral("pendingFaults"));
    g->addWidget(m_pFaultCount, 0, 0);
    g->addWidget(m_pSilentBtn, 0, 1);
    g->addWidget(failWrites, 1, 0);
    g->addWidget(failReads, 1, 1);
    g->addWidget(header, 2, 0);
    g->addWidget(data, 2, 1);
    g->addWidget(m_pUnplugAfterBtn, 3, 0);
    g->addWidget(clear, 3, 1);
    connect(failWrites, &QPushButton::clicked, this, [this] { sim::failWrites(m_pFaultCount->value()); });
    connect(failReads, &QPushButton::clicked, this, [this] { sim::failReads(m_pFaultCount->value()); });
    connect(header, &QPushButton::clicked, this,
            [this] { sim::appendEchoFault(sim::EchoFault::HeaderMismatch, m_pFaultCount->value()); });
    connect(data, &QPushButton::clicked, this,
            [this] { sim::appendEchoFault(sim::EchoFault::DataMismatch, m_pFaultCount->value()); });
    connect(m_pUnplugAfterBtn, &QPushButton::clicked, this,
            [this] { sim::unplugAfterFrames(sideInUse(), m_pFaultCount->value()); });
    connect(m_pSilentBtn, &QPushButton::toggled, this, [](bool on) { sim::setSilent(on); });
    connect(clear, &QPushButton::clicked, this, [] { sim::clearFaults(); });
    return box;
}

// ---- View --------------------------------------------------------------------------------

QWidget *SimMousePanel::buildView()
{
    auto *box = new QWidget;
    auto *v = new QVBoxLayout(box);
    v->setContentsMargins(0, 6, 0, 0);
    v->setSpacing(4);
    QLabel *title = label(QStringLiteral("WHAT THE MOUSE HOLDS"));
    title->setObjectName(QStringLiteral("sectionTitle"));
    v->addWidget(title);

    m_pBanner = new QLabel;
    m_pBanner->setObjectName(QStringLiteral("banner"));
    m_pBanner->setWordWrap(true);
    v->addWidget(m_pBanner);

    // Active profile, update bracket, counters.
    auto *strip = new QHBoxLayout;
    strip->setSpacing(3);
    strip->addWidget(label(QStringLiteral("Active profile"), "head"));
    for (int p = 0; p < simview::PROFILE_COUNT; ++p) {
        m_pProfileChips[p] = new QLabel;
        m_pProfileChips[p]->setAlignment(Qt::AlignCenter);
        m_pProfileChips[p]->setContentsMargins(4, 1, 4, 1);
        m_pProfileChips[p]->setMinimumWidth(22);
        strip->addWidget(m_pProfileChips[p]);
    }
    strip->addSpacing(8);
    m_pBracketText = label(QString());
    m_pBracketText->setObjectName(QStringLiteral("bracket"));
    strip->addWidget(m_pBracketText, 1);
    v->addLayout(strip);
    m_pCounterText = label(QString(), "dim");
    m_pCounterText->setObjectName(QStringLiteral("counters"));
    v->addWidget(m_pCounterText);

    // General settings: per profile, then the rest.
    m_pGeneralBox = new QGroupBox;
    auto *gg = new QGridLayout(m_pGeneralBox);
    gg->setHorizontalSpacing(4);
    gg->setVerticalSpacing(3);
    gg->addWidget(label(QString()), 0, 0);
    gg->addWidget(label(QStringLiteral("Report rate"), "head"), 1, 0);
    gg->addWidget(label(QStringLiteral("Scroll speed"), "head"), 2, 0);
    for (int p = 0; p < simview::PROFILE_COUNT; ++p) {
        m_pProfileHeads[p] = label(QStringLiteral("Profile %1").arg(p + 1), "head");
        m_pProfileHeads[p]->setAlignment(Qt::AlignCenter);
        m_pRateCells[p] = cell(QStringLiteral("rate%1").arg(p));
        m_pScrollCells[p] = cell(QStringLiteral("scroll%1").arg(p));
        gg->addWidget(m_pProfileHeads[p], 0, p + 1);
        gg->addWidget(m_pRateCells[p], 1, p + 1);
        gg->addWidget(m_pScrollCells[p], 2, p + 1);
        gg->setColumnStretch(p + 1, 1);
    }
    m_pGeneralText = label(QString());
    m_pGeneralText->setObjectName(QStringLiteral("generalText"));
    m_pGeneralText->setWordWrap(true);
    gg->addWidget(m_pGeneralText, 3, 0, 1, simview::PROFILE_COUNT + 1);
    v->addWidget(m_pGeneralBox);

    // DPI table.
    m_pDpiBox = new QGroupBox;
    auto *dg = new QGridLayout(m_pDpiBox);
    dg->setHorizontalSpacing(3);
    dg->setVerticalSpacing(3);
    dg->addWidget(label(QStringLiteral("Stage"), "head"), 0, 0);
    dg->addWidget(label(QStringLiteral("DPI"), "head"), 1, 0);
    for (int i = 0; i < simview::DPI_STAGES; ++i) {
        m_pDpiHeads[i] = label(QString::number(i + 1), "head");
        m_pDpiHeads[i]->setAlignment(Qt::AlignCenter);
        m_pDpiCells[i] = cell(QStringLiteral("dpi%1").arg(i));
        dg->addWidget(m_pDpiHeads[i], 0, i + 1);
        dg->addWidget(m_pDpiCells[i], 1, i + 1);
        dg->setColumnStretch(i + 1, 1);
    }
    m_pDpiText = label(QString(), "dim");
    m_pDpiText->setObjectName(QStringLiteral("dpiText"));
    dg->addWidget(m_pDpiText, 2, 0, 1, simview::DPI_STAGES + 1);
    v->addWidget(m_pDpiBox);

    // The bigger blocks and the frames, one tab each.
    m_pTabs = new QTabWidget;
    m_pTabs->addTab(keysPage(), QString());
    m_pTabs->addTab(lightingPage(), QString());
    m_pTabs->addTab(macrosPage(), QString());
    m_pFrames = new QPlainTextEdit;
    m_pFrames->setObjectName(QStringLiteral("frames"));
    m_pFrames->setReadOnly(true);
    m_pFrames->setFont(monoFont());
    m_pFrames->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pTabs->addTab(m_pFrames, QStringLiteral("Last frames"));
    v->addWidget(m_pTabs, 1);
    for (int t = 0; t < m_pTabs->count(); ++t)
        m_pTabs->tabBar()->setTabTextColor(t, kTabText);
    return box;
}

QWidget *SimMousePanel::keysPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(3);
    m_pKeyHeader = label(QString(), "dim");
    v->addWidget(m_pKeyHeader);
    auto *g = new QGridLayout;
    g->setHorizontalSpacing(3);
    g->setVerticalSpacing(2);
    const int rows = simview::KEY_SLOTS / 3;
    for (int s = 0; s < simview::KEY_SLOTS; ++s) {
        m_pKeyCells[s] = cell(QStringLiteral("key%1").arg(s));
        m_pKeyCells[s]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_pKeyCells[s]->setTextFormat(Qt::RichText);
        g->addWidget(m_pKeyCells[s], s % rows, s / rows);
    }
    v->addLayout(g);
    v->addStretch(1);
    return page;
}

QWidget *SimMousePanel::lightingPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    v->setContentsMargins(6, 6, 6, 6);
    m_pLightHeader = label(QString(), "dim");
    v->addWidget(m_pLightHeader);
    auto *g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    for (int r = 0; r < simview::LIGHT_RECORDS; ++r) {
        m_pSwatches[r] = new QLabel;
        m_pSwatches[r]->setObjectName(QStringLiteral("swatch%1").arg(r));
        m_pSwatches[r]->setFixedSize(96, 22);
        m_pSwatches[r]->setAlignment(Qt::AlignCenter);
        m_pLightText[r] = label(QString());
        m_pLightText[r]->setObjectName(QStringLiteral("light%1").arg(r));
        m_pLightText[r]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        const int row = (r / 5) * 2;
        g->addWidget(m_pSwatches[r], row, r % 5, Qt::AlignHCenter);
        g->addWidget(m_pLightText[r], row + 1, r % 5);
    }
    v->addLayout(g);
    v->addStretch(1);
    return page;
}

QWidget *SimMousePanel::macrosPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    v->setContentsMargins(6, 6, 6, 6);
    auto *g = new QGridLayout;
    g->setSpacing(3);
    for (int k = 0; k < simview::MACRO_SLOTS; ++k) {
        m_pMacroCells[k] = cell(QStringLiteral("macro%1").arg(k));
        g->addWidget(m_pMacroCells[k], k / 10, k % 10);
    }
    v->addLayout(g);
    m_pMacroText = label(QString());
    m_pMacroText->setObjectName(QStringLiteral("macroText"));
    m_pMacroText->setFont(monoFont());
    m_pMacroText->setWordWrap(true);
    m_pMacroText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    v->addWidget(m_pMacroText, 1);
    return page;
}

// ---- Actions -------------------------------------------------------------------------------

void SimMousePanel::scheduleRefresh()
{
    if (!m_pRefreshTimer->isActive())
        m_pRefreshTimer->start();
}

void SimMousePanel::togglePlug(sim::Side side)
{
    if (sim::isPlugged(side))
        sim::unplug(side);
    else
        sim::plug(side);
}

void SimMousePanel::applyBattery()
{
    sim::BatteryState base = sim::battery();
    base.status = m_pFullWrite->isChecked() ? 0 : 1;
    base.mode = quint8(m_pModeByte->value());
    sim::setBattery(simview::batteryFor(m_pLevel->value() * 10, m_pCharging->isChecked(), base));
}

void SimMousePanel::pressMouseButton(simview::Status (*button)(const Snapshot &))
{
    const simview::Status status = button(simview::takeSnapshot(0));
    simview::send(status);
    m_LastStatus = status;
    m_bStatusSent = true;
    refresh();
}

bool SimMousePanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched != this && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w->isWindow() && w->windowModality() != Qt::NonModal)
            followModal(w, type == QEvent::Show);
    }
    return QWidget::eventFilter(watched, event);
}

// A modal window of the main window (the busy dialog, "Dongle Disconnect!")
// blocks every other window, this one too; a window that belongs to the modal
// one stays usable. So while one is open this window rides on it: the mouse
// can be plugged back while the warning waits for it.
void SimMousePanel::followModal(QWidget *dialog, bool shown)
{
    m_Modals.removeAll(dialog);
    m_Modals.removeAll(nullptr);
    if (shown)
        m_Modals.append(dialog);
    QWindow *mine = windowHandle();
    if (!mine)
        return;
    QWindow *owner = m_Modals.isEmpty() ? nullptr : m_Modals.last()->windowHandle();
    if (mine->transientParent() != owner)
        mine->setTransientParent(owner);
}

sim::Side SimMousePanel::sideInUse() const
{
    return m_Shown.cable ? sim::Side::Cable : sim::Side::Receiver;
}

void SimMousePanel::placeBeside(QWidget &mainWindow)
{
    QScreen *screen = mainWindow.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Room for a window-manager frame that is not known before showing.
    enum { FRAME_ALLOWANCE = 36 };
    const QSize preferred(std::max(sizeHint().width(), 600), std::min(880, area.height() - FRAME_ALLOWANCE));
    const QSize minimum(std::max(minimumSizeHint().width(), 480), 360);
    QPoint mainPos;
    const QRect where = simview::placePanel(area, mainWindow.frameGeometry(), preferred, minimum, &mainPos);
    if (mainPos != mainWindow.frameGeometry().topLeft())
        mainWindow.move(mainPos);
    resize(where.size());
    move(where.topLeft());
}

// ---- Refresh --------------------------------------------------------------------------------

void SimMousePanel::refresh()
{
    const Snapshot s = simview::takeSnapshot(FRAME_ROWS);
    m_LastTouched.clear();
    if (!m_bShownOnce) {
        for (int b = 0; b < simview::BLOCK_COUNT; ++b)
            m_CommitsAtLastEnd[b] = s.commits[b];
        m_iSectionsAtLastEnd = s.sections.size();
    } else {
        // A simulator reset starts its counts again: count from there.
        for (int b = 0; b < simview::BLOCK_COUNT; ++b)
            m_CommitsAtLastEnd[b] = std::min(m_CommitsAtLastEnd[b], s.commits[b]);
        m_iSectionsAtLastEnd = std::min(m_iSectionsAtLastEnd, int(s.sections.size()));
        for (int b = 0; b < simview::BLOCK_COUNT; ++b) {
            if (s.blocks[b] != m_Shown.blocks[b] || s.commits[b] != m_Shown.commits[b]) {
                m_LastTouched << sim::Block(b + 1);
                m_Written[b] = QDateTime::currentDateTime();
                m_WrittenFor[b] = s.activeProfile;
            }
        }
    }
    showConnection(s);
    showBattery(s);
    showFaults(s);
    showStrip(s);
    showGeneral(s);
    showDpi(s);
    showKeys(s);
    showLighting(s);
    showMacros(s);
    showFrames(s);
    if (m_bShownOnce)
        noteWrite(s);
    else
        m_pBanner->setText(QString::fromUtf8(kNothingYet));
    m_Shown = s;
    m_bShownOnce = true;
    for (sim::Block b : qAsConst(m_LastTouched))
        flash(b);
}

QString SimMousePanel::bannerText() const
{
    return m_pBanner->text();
}

void SimMousePanel::noteWrite(const Snapshot &s)
{
    if (s.updateEnds < m_Shown.updateEnds) {   // the simulator was reset
        m_pBanner->setText(QString::fromUtf8(kNothingYet));
        m_pBanner->setProperty("state", QString());
        restyle(m_pBanner);
    } else if (s.updateEnds > m_Shown.updateEnds) {
        QStringList blocks;
        for (int b = 0; b < simview::BLOCK_COUNT; ++b) {
            if (s.commits[b] > m_CommitsAtLastEnd[b])
                blocks << simview::blockShortName(sim::Block(b + 1));
            m_CommitsAtLastEnd[b] = s.commits[b];
        }
        QStringList sections;
        for (int i = m_iSectionsAtLastEnd; i < s.sections.size(); ++i)
            sections << simview::hexByte(s.sections.at(i));
        m_iSectionsAtLastEnd = s.sections.size();
        m_LastSections = sections.isEmpty() ? QStringLiteral("none") : sections.join(QLatin1Char(' '));
        QString text =
            QStringLiteral("✔ Apply reached the mouse at %1: ").arg(timeText(QDateTime::currentDateTime()));
        text += blocks.isEmpty() ? QStringLiteral("nothing needed writing (update bracket only)")
                                 : blocks.join(QStringLiteral(", "));
        showStrip(s);
        m_pBanner->setText(text);
        m_pBanner->setProperty("state", QStringLiteral("done"));
        restyle(m_pBanner);
    } else if (s.updateOpen && !m_Shown.updateOpen) {
        m_pBanner->setText(
            QStringLiteral("Writing… the update bracket is open. If it stays open, the write broke off."));
        m_pBanner->setProperty("state", QStringLiteral("open"));
        restyle(m_pBanner);
    }
}

void SimMousePanel::flash(sim::Block which)
{
    setFlashLook(which, true);
    m_pFlashTimers[int(which) - 1]->start();
}

void SimMousePanel::setFlashLook(sim::Block which, bool on)
{
    m_bFlash[int(which) - 1] = on;
    switch (which) {
    case sim::Block::Settings:
        setFlag(m_pGeneralBox, "flash", on);
        break;
    case sim::Block::Dpi:
        setFlag(m_pDpiBox, "flash", on);
        break;
    case sim::Block::Keys:
        markTab(TAB_KEYS, on);
        break;
    case sim::Block::Lighting:
        markTab(TAB_LIGHTING, on);
        break;
    case sim::Block::Macros:
        markTab(TAB_MACROS, on);
        break;
    }
}

void SimMousePanel::markTab(int tab, bool on)
{
    const QString marker = QStringLiteral("● ");
    QString text = m_pTabs->tabText(tab);
    if (text.startsWith(marker))
        text.remove(0, marker.size());
    m_pTabs->setTabText(tab, on ? marker + text : text);
    m_pTabs->tabBar()->setTabTextColor(tab, on ? kAccent : kTabText);
}

void SimMousePanel::showConnection(const Snapshot &s)
{
    setChip(m_pReceiverState, s.receiver, s.receiver ? QStringLiteral("PLUGGED IN") : QStringLiteral("UNPLUGGED"));
    setChip(m_pCableState, s.cable, s.cable ? QStringLiteral("PLUGGED IN") : QStringLiteral("UNPLUGGED"));
    m_pReceiverBtn->setText(s.receiver ? QStringLiteral("Unplug receiver") : QStringLiteral("Plug receiver"));
    m_pCableBtn->setText(s.cable ? QStringLiteral("Unplug cable") : QStringLiteral("Plug cable"));

    // The mouse's buttons report over the cable, else the receiver; a
    // sleeping mouse behind the receiver presses nothing.
    const bool reachable = s.cable || (s.receiver && !s.mouseOff);
    for (QPushButton *b : {m_pProfileBtn, m_pDpiBtn, m_pRateBtn})
        b->setEnabled(reachable);
    if (reachable) {
        m_pProfileBtn->setToolTip(QStringLiteral("Sends ") + statusText(simview::profileButton(s)));
        m_pDpiBtn->setToolTip(QStringLiteral("Sends ") + statusText(simview::dpiButton(s)));
        m_pRateBtn->setToolTip(QStringLiteral("Sends ") + statusText(simview::rateButton(s)));
    }
    QString text;
    if (!reachable)
        text = s.receiver ? QStringLiteral("The mouse is asleep: its buttons send nothing.")
                          : QStringLiteral("Nothing plugged in: the buttons send nothing.");
    else if (m_bStatusSent)
        text = QStringLiteral("Sent: ") + statusText(m_LastStatus);
    else
        text = QStringLiteral("Each button sends a status report as the mouse does.");
    m_pStatusText->setText(text);
}

void SimMousePanel::showBattery(const Snapshot &s)
{
    const quint16 raw = quint16(s.battery.high << 8 | s.battery.low);
    const int level = simview::levelOfRaw(raw);
    if (!m_pLevel->isSliderDown()) {
        const QSignalBlocker block(m_pLevel);
        m_pLevel->setValue(level / 10);
    }
    m_pLevelText->setText(QStringLiteral("%1 %").arg(m_pLevel->value() * 10));
    m_pRawText->setText(QStringLiteral("raw %1 %2 = %3 mV → shows %4 %")
                            .arg(simview::hexByte(s.battery.high), simview::hexByte(s.battery.low))
                            .arg(simview::millivoltsOfRaw(raw))
                            .arg(level));
    {
        const QSignalBlocker b1(m_pCharging), b2(m_pMouseOff), b3(m_pFullWrite), b4(m_pModeByte);
        m_pCharging->setChecked(s.battery.charge != 0);
        m_pMouseOff->setChecked(s.mouseOff);
        m_pFullWrite->setChecked(s.battery.status == 0);
        m_pModeByte->setValue(s.battery.mode);
    }
}

void SimMousePanel::showFaults(const Snapshot &s)
{
    const sim::PendingFaults &f = s.faults;
    {
        const QSignalBlocker block(m_pSilentBtn);
        m_pSilentBtn->setChecked(f.silent);
    }
    m_pUnplugAfterBtn->setToolTip(QStringLiteral("The %1 is unplugged after N more frames, in the middle of a write")
                                      .arg(s.cable ? QStringLiteral("cable") : QStringLiteral("receiver")));
    QStringList parts;
    if (f.failWrites)
        parts << countText(f.failWrites, QStringLiteral("failing write"));
    if (f.failReads)
        parts << countText(f.failReads, QStringLiteral("failing read"));
    if (f.silent)
        parts << QStringLiteral("silent");
    if (f.allZeroReplies)
        parts << QStringLiteral("all-zero replies");
    for (const auto &e : f.echoFaults)
        parts << QStringLiteral("%1 × %2 mismatch").arg(e.second).arg(echoFaultName(e.first));
    if (f.unplugAfterFrames[0])
        parts << QStringLiteral("receiver unplugs after %1 frames").arg(f.unplugAfterFrames[0]);
    if (f.unplugAfterFrames[1])
        parts << QStringLiteral("cable unplugs after %1 frames").arg(f.unplugAfterFrames[1]);
    m_pPendingText->setText(parts.isEmpty() ? QStringLiteral("Pending faults: none")
                                            : QStringLiteral("<span style='color:#ff7d00'>Pending faults:</span> ")
                                                  + parts.join(QStringLiteral(" · ")));
}

void SimMousePanel::showStrip(const Snapshot &s)
{
    for (int p = 0; p < simview::PROFILE_COUNT; ++p)
        setChip(m_pProfileChips[p], p == s.activeProfile, QString::number(p + 1));
    QString bracket = s.updateOpen ? QStringLiteral("<b style='color:#ff7d00'>Update bracket OPEN</b>")
                                   : QStringLiteral("Update bracket closed");
    bracket += QStringLiteral(" · %1 begun, %2 ended").arg(s.updateBegins).arg(s.updateEnds);
    m_pBracketText->setText(bracket);
    QString counters = QStringLiteral("Frames: %1 writes, %2 reads").arg(s.writes).arg(s.reads);
    if (!m_LastSections.isEmpty())
        counters += QStringLiteral(" · last write applied sections %1").arg(m_LastSections);
    m_pCounterText->setText(counters);
}

void SimMousePanel::showGeneral(const Snapshot &s)
{
    const simview::General g = simview::decodeGeneral(s.block(sim::Block::Settings));
    QString title = QStringLiteral("GENERAL SETTINGS");
    if (m_Written[0].isValid())
        title += QStringLiteral(" · updated %1").arg(timeText(m_Written[0]));
    m_pGeneralBox->setTitle(title);
    for (int p = 0; p < simview::PROFILE_COUNT; ++p) {
        const bool active = p == s.activeProfile;
        setFlag(m_pProfileHeads[p], "hot", active);
        m_pRateCells[p]->setText(g.written ? simview::reportRateText(g.rates[p]) : QStringLiteral("—"));
        m_pScrollCells[p]->setText(g.written ? QString::number(g.scroll[p]) : QStringLiteral("—"));
        setFlag(m_pRateCells[p], "hot", g.written && active);
        setFlag(m_pScrollCells[p], "hot", g.written && active);
    }
    if (!g.written) {
        m_pGeneralText->setText(QStringLiteral("<span style='color:#96989f'>Not written yet.</span>"));
        return;
    }
    m_pGeneralText->setText(
        QStringLiteral("DPI stage <b>%1</b> · Lighting <b>%2</b> (mode %3) · Profile byte %4<br>"
                       "<span style='color:#96989f'>Sensor flags %5 · Move-off %6 · Sleep %7 · Debounce %8</span>")
            .arg(g.dpiStage + 1)
            .arg(simview::lightingModeName(g.lightingMode))
            .arg(g.lightingMode)
            .arg(g.profile + 1)
            .arg(simview::hexByte(g.sensorFlags), simview::hexByte(g.moveOff))
            .arg(g.sleep)
            .arg(g.debounce));
}

void SimMousePanel::showDpi(const Snapshot &s)
{
    const simview::DpiTable t = simview::decodeDpi(s.block(sim::Block::Dpi));
    const simview::General g = simview::decodeGeneral(s.block(sim::Block::Settings));
    QString title = QStringLiteral("DPI TABLE");
    if (m_WrittenFor[1] >= 0)
        title += QStringLiteral(" · written for profile %1").arg(m_WrittenFor[1] + 1);
    if (m_Written[1].isValid())
        title += QStringLiteral(" · updated %1").arg(timeText(m_Written[1]));
    m_pDpiBox->setTitle(title);
    QStringList enabled;
    for (int i = 0; i < simview::DPI_STAGES; ++i) {
        const simview::DpiStage &st = t.stages[i];
        const bool current = t.written && g.written && i == g.dpiStage;
        const bool inCount = i < t.stageCount;
        m_pDpiCells[i]->setText(t.written ? simview::stageText(st) : QStringLiteral("—"));
        m_pDpiCells[i]->setToolTip(QStringLiteral("Stage %1 bytes: %2").arg(i + 1).arg(simview::hex(st.bytes)));
        const bool on = t.written && st.used && inCount;
        setFlag(m_pDpiHeads[i], "hot", on);
        setFlag(m_pDpiCells[i], "hot", current);
        setFlag(m_pDpiCells[i], "off", t.written && !on);
        if (on)
            enabled << QString::number(i + 1);
    }
    if (!t.written) {
        m_pDpiText->setText(QStringLiteral("Not written yet."));
        return;
    }
    m_pDpiText->setText(QStringLiteral("Stage count %1 · on: %2 · current stage %3 · X/Y when they differ")
                            .arg(t.stageCount)
                            .arg(enabled.isEmpty() ? QStringLiteral("none") : enabled.join(QLatin1Char(' ')))
                            .arg(g.written ? QString::number(g.dpiStage + 1) : QStringLiteral("?")));
}

void SimMousePanel::showKeys(const Snapshot &s)
{
    const simview::KeyTable t = simview::decodeKeys(s.block(sim::Block::Keys));
    m_pTabs->setTabText(TAB_KEYS, QStringLiteral("Key table"));
    markTab(TAB_KEYS, m_bFlash[int(sim::Block::Keys) - 1]);
    QString header = t.written ? QStringLiteral("Header %1 %2").arg(simview::hex(s.block(sim::Block::Keys).left(2)),
                                                                   t.headerOk ? QStringLiteral("(good)")
                                                                              : QStringLiteral("(not 0A 00)"))
                               : QStringLiteral("Not written yet.");
    if (m_WrittenFor[2] >= 0)
        header += QStringLiteral(" · written for profile %1").arg(m_WrittenFor[2] + 1);
    if (m_Written[2].isValid())
        header += QStringLiteral(" · updated %1").arg(timeText(m_Written[2]));
    m_pKeyHeader->setText(header);
    for (int i = 0; i < simview::KEY_SLOTS; ++i) {
        const simview::KeySlot &slot = t.keys[i];
        m_pKeyCells[i]->setText(
            QStringLiteral("<span style='color:#96989f'>%1</span>&nbsp;<tt>%2</tt>&nbsp;<b>%3</b>")
                .arg(i, 2, 10, QLatin1Char('0'))
                .arg(simview::hex(slot.bytes), slot.name.toHtmlEscaped()));
        setFlag(m_pKeyCells[i], "off", !t.written);
    }
}

void SimMousePanel::showLighting(const Snapshot &s)
{
    const simview::Lighting l = simview::decodeLighting(s.block(sim::Block::Lighting));
    const simview::General g = simview::decodeGeneral(s.block(sim::Block::Settings));
    m_pTabs->setTabText(TAB_LIGHTING, QStringLiteral("Lighting"));
    markTab(TAB_LIGHTING, m_bFlash[int(sim::Block::Lighting) - 1]);
    QString header = l.written ? QStringLiteral("Ten records; the general block selects mode %1 (%2)")
                                     .arg(g.lightingMode)
                                     .arg(simview::lightingModeName(g.lightingMode))
                               : QStringLiteral("Not written yet.");
    if (m_WrittenFor[3] >= 0)
        header += QStringLiteral(" · written for profile %1").arg(m_WrittenFor[3] + 1);
    if (m_Written[3].isValid())
        header += QStringLiteral(" · updated %1").arg(timeText(m_Written[3]));
    m_pLightHeader->setText(header);
    for (int r = 0; r < simview::LIGHT_RECORDS; ++r) {
        const simview::LightRecord &rec = l.records[r];
        const bool selected = l.written && g.lightingMode == r + 1;
        const QColor c = rec.colour;
        const bool dark = c.lightness() < 128;
        m_pSwatches[r]->setStyleSheet(QStringLiteral("background: %1; color: %2; border: %3; border-radius: 3px;")
                                          .arg(c.name(), dark ? QStringLiteral("#d0d0d0") : QStringLiteral("#141414"),
                                               selected ? QStringLiteral("2px solid rgb(255,125,0)")
                                                        : QStringLiteral("1px solid rgb(78,82,94)")));
        m_pSwatches[r]->setText(c.name().toUpper());
        m_pSwatches[r]->setToolTip(simview::hex(s.block(sim::Block::Lighting).mid(8 * r, 8)));
        m_pLightText[r]->setText(
            QStringLiteral("%1<br><span style='color:#96989f'>speed %2 · bright %3</span>")
                .arg(selected ? QStringLiteral("<b style='color:#ff7d00'>%1</b>").arg(rec.name) : rec.name)
                .arg(rec.speed)
                .arg(rec.brightness));
    }
}

void SimMousePanel::showMacros(const Snapshot &s)
{
    const simview::MacroMemory m = simview::decodeMacros(s.block(sim::Block::Macros));
    m_pTabs->setTabText(TAB_MACROS, QStringLiteral("Macros (%1 used)").arg(m.usedCount));
    markTab(TAB_MACROS, m_bFlash[int(sim::Block::Macros) - 1]);
    QStringList lines;
    for (int k = 0; k < simview::MACRO_SLOTS; ++k) {
        const simview::MacroSlot &slot = m.macros[k];
        m_pMacroCells[k]->setText(QString::number(k));
        setFlag(m_pMacroCells[k], "hot", slot.used);
        const QString head = simview::hex(slot.head);
        const QString more = slot.length > slot.head.size() ? QStringLiteral(" …") : QString();
        m_pMacroCells[k]->setToolTip(slot.used ? QStringLiteral("%1 bytes: %2%3").arg(slot.length).arg(head, more)
                                               : QStringLiteral("empty"));
        if (slot.used)
            lines << QStringLiteral("slot %1  %2%3  (%4 bytes)")
                         .arg(k, 2)
                         .arg(head, more)
                         .arg(slot.length);
    }
    QString text = lines.isEmpty() ? QStringLiteral("No macro in the mouse's memory (20 slots of 200 bytes).")
                                   : lines.join(QLatin1Char('\n'));
    if (m_Written[4].isValid())
        text += QStringLiteral("\nupdated %1").arg(timeText(m_Written[4]));
    m_pMacroText->setText(text);
}

void SimMousePanel::showFrames(const Snapshot &s)
{
    QStringList lines;
    for (int i = s.recentFrames.size() - 1; i >= 0; --i) {
        const sim::FrameRecord &r = s.recentFrames.at(i);
        lines << QStringLiteral("%1 %2%3")
                     .arg(r.side == sim::Side::Cable ? QStringLiteral("cable   ") : QStringLiteral("receiver"),
                          simview::describeFrame(r.bytes), r.accepted ? QString() : QStringLiteral("  (bad frame)"));
        const QStringList bytes = simview::frameByteLines(r.bytes, 12);
        for (int k = 0; k < bytes.size(); ++k)
            lines << QString(k == 0 ? 9 : 35, QLatin1Char(' ')) + bytes.at(k);
    }
    const QString text = lines.isEmpty() ? QStringLiteral("No frame written yet.")
                                         : QStringLiteral("Newest first:\n") + lines.join(QLatin1Char('\n'));
    if (m_pFrames->toPlainText() != text)
        m_pFrames->setPlainText(text);
}
