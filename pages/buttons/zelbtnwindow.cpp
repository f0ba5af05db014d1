#include "pages/buttons/zelbtnwindow.h"

#include "device/buttoncatalogue.h"
#include "device/sensors.h"
#include "pages/buttons/keycapture.h"
#include "pages/buttons/zelcombokeywindow.h"
#include "pages/buttons/zelfirekeywindow.h"
#include "pages/buttons/zelmacroselect.h"
#include "pages/buttons/zelsinglekeywindow.h"
#include "pages/buttons/zelsniperwindow.h"
#include "profile/description.h"
#include "profile/language.h"
#include "profile/keys.h"
#include "profile/macrostore.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QPointer>

namespace {

// The page's actions, in their fixed order, by function code.
const int kActionCodes[ZelBtnWindow::ACTION_COUNT] = {
    1,  2,  3,  4,  5,  16, FUN_MACRO, FUN_GUN_FILE, 54,          // top level
    17, 18, 19, 20, 21, 22, 23, 24,                                // Basic
    25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 62,    // Windows
    6,  7,  12, 55,                                                // Advance
    39, 40, 41, 42, 43, 44, 45, 46,                                // Media
    47, 48, 49,                                                    // DPI
    59, 57, 58,                                                    // Profile Menu
    63, 50, 51,                                                    // Polling Rate
    52, 53,                                                        // wheel only
};

// Submenu contents, in menu order.
const QVector<int> kSubmenuCodes[ZelBtnWindow::SUBMENU_COUNT] = {
    {17, 18, 19, 20, 21, 22, 23, 24},
    {25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 62},
    {6, 7, 12, 55},
    {39, 40, 41, 42, 43, 44, 45, 46},
    {47, 48, 49},
    {59, 57, 58},
    {63, 50, 51},
};
const ButtonMenu kSubmenuIds[ZelBtnWindow::SUBMENU_COUNT] = {
    MENU_BASIC, MENU_WINDOWS, MENU_ADVANCE, MENU_MEDIA, MENU_DPI, MENU_PROFILE, MENU_POLLING_RATE,
};
const int kWheelCodes[] = {52, 53, 43, 44, 1, 2, 3, 4, 5, 6, 7};

QString translated(const char *text)
{
    return QCoreApplication::translate(kButtonCatalogueContext, text);
}

QString actionText(int code)
{
    if (code == FUN_MACRO || code == FUN_GUN_FILE)
        return translated(buttonFunctionActionText(code));
    return buttonFunctionLabel(code);
}

QString tipText(const char *text)
{
    return QCoreApplication::translate("ZelBtnWindow", text);
}

// "Ctrl + Shift + A": the modifiers in the order shortcuts are written, by
// their key-cap names (a right-hand one by its own key name), then the key.
QString comboToolTipText(const ButtonEntry &entry)
{
    const ComboKeys combo = comboFromEvents(entry);
    QStringList names;
    for (int slot : {COMBO_CTRL, COMBO_SHIFT, COMBO_ALT, COMBO_WIN, COMBO_KEY}) {
        if (!combo.flags[slot])
            continue;
        const quint8 key = comboSlotKey(combo, slot);
        if (slot != COMBO_KEY && key == comboLeftCode(slot)) {
            static const char *const caps[COMBO_SLOTS] = {"Shift", "Ctrl", "Win", "Alt", ""};
            names << QLatin1String(caps[slot]);
        } else {
            names << keyName(key);
        }
    }
    return names.join(QStringLiteral(" + "));
}

} // namespace

QString buttonEntryToolTip(const ButtonEntry &entry, int index)
{
    const QString label = buttonEntryLabel(entry, index);
    QString detail;
    switch (entry.Fun) {
    case FUN_SINGLE_KEY:
        if (entry.Res1)
            detail = keyName(entry.Res1);
        break;
    case FUN_COMBO_KEY:
        detail = comboToolTipText(entry);
        break;
    case FUN_FIRE_KEY: {
        quint8 key = 0;
        const quint8 mode = fireModeFromRes1(entry.Res1, &key);
        const QString fired = mode == FIRE_LEFT     ? buttonFunctionLabel(FUN_LEFT)
                            : mode == FIRE_RIGHT    ? buttonFunctionLabel(2)
                            : mode == FIRE_MIDDLE   ? buttonFunctionLabel(3)
                            : key                   ? keyName(key)
                                                    : QStringLiteral("?");
        detail = tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "%1 × %2, %3 ms"))
                     .arg(fired)
                     .arg(entry.LoopNumber)
                     .arg(entry.KeyNumber);
        break;
    }
    case FUN_SNIPER: {
        const int sensor = sensorCode();
        detail = tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "%1 DPI"))
                     .arg(sensorDpi(sniperPresetStep(entry.Res1, sensor), sensor));
        break;
    }
    case FUN_MACRO:
    case FUN_GUN_FILE: {
        QString loops;
        switch (entry.Res1) {
        case 1:
            loops = tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "while held"));
            break;
        case 2:
            loops = tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "until pressed again"));
            break;
        default:
            loops = entry.LoopNumber == 1 ? tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "once"))
                                          : tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "%1 times")).arg(entry.LoopNumber);
            break;
        }
        return translated(buttonFunctionActionText(entry.Fun)) + QStringLiteral(": ") + entry.macroname
               + QStringLiteral(", ") + loops;
    }
    default:
        break;
    }
    if (label.isEmpty()) {
        // The label stays empty; the tool tip still says what the button does.
        if (const char *source = buttonFunctionSourceLabel(entry.Fun); source && *source)
            return buttonFunctionLabel(entry.Fun);
        return findButtonFunction(entry.Fun) ? tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "Function %1")).arg(entry.Fun)
                                             : tipText(QT_TRANSLATE_NOOP("ZelBtnWindow", "No function"));
    }
    return detail.isEmpty() ? label : label + QStringLiteral(": ") + detail;
}

ZelBtnWindow::ZelBtnWindow(ProfileData *profile, QWidget *parent, double scale)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    // Every child transparent, but not the tool tips the buttons show.
    setStyleSheet(QStringLiteral("*{background:transparent;}") + toolTipStyleSheet());
    m_iSelIndex = 0;
    m_iSelGroup = GroupPrimary;
    m_pProfile = profile;
    m_fScale = scale;

    m_pMainMenu = new QMenu(this);
    m_pMainMenu->setObjectName(QStringLiteral("buttonMainMenu"));
    m_pWheelMenu = new QMenu(this);
    m_pWheelMenu->setObjectName(QStringLiteral("buttonWheelMenu"));
    for (QMenu *menu : {m_pMainMenu, m_pWheelMenu})
        menu->setStyleSheet(menuStyleSheet());
    for (int i = 0; i < SUBMENU_COUNT; ++i) {
        m_pSubMenus[i] = new QMenu(this);
        m_pSubMenus[i]->setStyleSheet(menuStyleSheet());
    }
    for (int i = 0; i < ACTION_COUNT; ++i) {
        m_pActions[i] = new ZelAction(this);
        m_pActions[i]->setData(kActionCodes[i]);
        ZelAction *action = m_pActions[i];
        connect(action, &QAction::triggered, this, [this, action] { assign(action); });
    }

    const auto scaledRect = [this](int x, int y, int w, int h) {
        return QRect(int(x * m_fScale), int(y * m_fScale), int(w * m_fScale), int(h * m_fScale));
    };
    for (int i = 0; i < PRIMARY_COUNT; ++i) {
        m_pBtns[i] = makeButton(quint8(i + 1), m_pMainMenu);
        m_pBtns[i]->setGradient(true);
        m_pBtns[i]->setObjectName(QStringLiteral("buttonPrimary%1").arg(i));
    }
    for (int i = 0; i < LAYER_COUNT; ++i) {
        m_pLayerBtns[i] = makeButton(quint8(i + 1), m_pMainMenu);
        m_pLayerBtns[i]->setGradient(true);
        m_pLayerBtns[i]->setObjectName(QStringLiteral("buttonLayer%1").arg(i));
        m_pLayerBtns[i]->setGeometry(scaledRect(29, 62 + 25 * i, 150, 20));
    }
    for (int i = 0; i < WHEEL_COUNT; ++i) {
        m_pWheelBtns[i] = makeButton(i == 0 ? ZelPushButton::BadgeUp : ZelPushButton::BadgeDown, m_pWheelMenu);
        m_pWheelBtns[i]->setGradient(true);
        m_pWheelBtns[i]->setObjectName(QStringLiteral("buttonWheel%1").arg(i));
        m_pWheelBtns[i]->setGeometry(scaledRect(29, 62, 150, 20));
    }
    m_pMainMenu->installEventFilter(this);
    m_pWheelMenu->installEventFilter(this);

    relayout();
    showLayer(GroupPrimary);
    retranslate();
}

ZelBtnWindow::~ZelBtnWindow() = default;

ZelPushButton *ZelBtnWindow::makeButton(quint8 badge, QMenu *menu)
{
    const QStringList images = {appFilePath(QStringLiteral("/skin/tabbutton-1.png")),
                                appFilePath(QStringLiteral("/skin/tabbutton-3.png")),
                                appFilePath(QStringLiteral("/skin/tabbutton-2.png"))};
    auto *button = new ZelPushButton(images, this);
    button->setText(QStringLiteral("1"));
    button->setBadge(badge);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMenu(menu);
    connect(button, &ZelPushButton::OverSignal, this, &ZelBtnWindow::slotMouseOver);
    connect(button, &ZelPushButton::EnterSignal, this, &ZelBtnWindow::slotMouseEnter);
    return button;
}

// ------------------------------------------------------------- the record --

void ZelBtnWindow::setProfile(ProfileData *profile)
{
    m_pProfile = profile;
    refreshLabels();
}

void ZelBtnWindow::refreshLabels()
{
    if (!m_pProfile)
        return;
    for (int entry = 0; entry < BUTTON_COUNT; ++entry)
        showEntry(entry);
}

void ZelBtnWindow::showEntry(int entry)
{
    ZelPushButton *button = entryButton(entry);
    if (!button || !m_pProfile)
        return;
    const ButtonEntry &e = m_pProfile->buttons[entry];
    button->setText(buttonEntryLabel(e, entry));
    button->setToolTip(buttonEntryToolTip(e, entry));
}

ZelPushButton *ZelBtnWindow::entryButton(int entry) const
{
    if (entry >= 0 && entry < PRIMARY_COUNT)
        return m_pBtns[entry];
    if (entry >= PRIMARY_COUNT && entry < PRIMARY_COUNT + LAYER_COUNT)
        return m_pLayerBtns[entry - PRIMARY_COUNT];
    if (entry >= 40 && entry < 40 + WHEEL_COUNT)
        return m_pWheelBtns[entry - 40];
    return nullptr;
}

int ZelBtnWindow::entryOf(const ZelPushButton *button) const
{
    for (int entry = 0; entry < BUTTON_COUNT; ++entry) {
        if (button && entryButton(entry) == button)
            return entry;
    }
    return -1;
}

bool ZelBtnWindow::isPageButton(const ZelPushButton *btn) const
{
    return entryOf(btn) >= 0;
}

int ZelBtnWindow::selectedEntry() const
{
    switch (m_iSelGroup) {
    case GroupPrimary: return m_iSelIndex < PRIMARY_COUNT ? m_iSelIndex : -1;
    case GroupSecond: return m_iSelIndex < LAYER_COUNT ? PRIMARY_COUNT + m_iSelIndex : -1;
    case GroupWheel: return m_iSelIndex < WHEEL_COUNT ? 40 + m_iSelIndex : -1;
    default: return -1;
    }
}

ZelPushButton *ZelBtnWindow::selectedButton() const
{
    return entryButton(selectedEntry());
}

// -------------------------------------------------------------- selection --

void ZelBtnWindow::select(quint8 index, quint8 group)
{
    m_iSelIndex = index;
    m_iSelGroup = group;
    showLayer(group);
    refreshLabels();
}

void ZelBtnWindow::showLayer(quint8 group)
{
    const bool second = group == GroupSecond;
    m_iLayer = second ? GroupSecond : GroupPrimary;
    for (ZelPushButton *button : m_pBtns)
        button->setVisible(!second && !button->geometry().isEmpty());
    for (ZelPushButton *button : m_pWheelBtns)
        button->setVisible(!second);
    for (ZelPushButton *button : m_pLayerBtns)
        button->setVisible(second && !button->geometry().isEmpty());
}

void ZelBtnWindow::clearSelection()
{
    m_iSelGroup = GroupNone;
    m_iSelIndex = GroupNone;
}

void ZelBtnWindow::slotMouseEnter(ZelPushButton *btn)
{
    const int entry = entryOf(btn);
    if (entry < 0)
        return;
    if (entry < PRIMARY_COUNT) {
        m_iSelGroup = GroupPrimary;
        m_iSelIndex = quint8(entry);
    } else if (entry < 40) {
        m_iSelGroup = GroupSecond;
        m_iSelIndex = quint8(entry - PRIMARY_COUNT);
    } else {
        m_iSelGroup = GroupWheel;
        m_iSelIndex = quint8(entry - 40);
    }
}

void ZelBtnWindow::slotMouseOver(ZelPushButton *btn, bool bType)
{
    if (isPageButton(btn))
        emit SelBtnControl(btn, bType);
}

void ZelBtnWindow::OnMouseEnterSlot(ZelPushButton *btn)
{
    const int entry = entryOf(btn);
    if (entry >= 0 && entry < PRIMARY_COUNT)
        select(quint8(entry), GroupPrimary);
}

bool ZelBtnWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_pMainMenu || watched == m_pWheelMenu) && event->type() == QEvent::Close) {
        if (ZelPushButton *button = selectedButton())
            emit SelBtnControl(button, false);
    }
    return QWidget::eventFilter(watched, event);
}

void ZelBtnWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// ----------------------------------------------------------------- layout --

void ZelBtnWindow::setScale(double factor)
{
    m_fScale = factor;
    QFont font = scaledPageFont();
    for (ZelPushButton *button : m_pBtns)
        button->setGeometry(QRect());
    for (ZelPushButton *button : m_pLayerBtns)
        button->setGeometry(QRect());
    for (ZelPushButton *button : m_pWheelBtns)
        button->setGeometry(QRect());
    relayout();
    const int width = int(220 * factor);
    // Rows tall enough to aim at, at every scale.
    const QString sheet = menuStyleSheet()
        + QStringLiteral("QMenu::item{padding:%1px %2px;}").arg(qMax(1, int(4 * factor))).arg(int(20 * factor));
    for (QMenu *menu : {m_pMainMenu, m_pWheelMenu})
        menu->setStyleSheet(sheet);
    for (QMenu *menu : m_pSubMenus)
        menu->setStyleSheet(sheet);
    m_pMainMenu->setFixedWidth(width);
    m_pWheelMenu->setFixedWidth(width);
    for (QMenu *menu : m_pSubMenus) {
        menu->setFixedWidth(width);
        menu->setFont(font);
    }
    m_pMainMenu->setFont(font);
    m_pWheelMenu->setFont(font);
    for (ZelAction *action : m_pActions)
        action->setText(action->text());   // the language font again
}

int ZelBtnWindow::contentHeight() const
{
    return m_iContentHeight;
}

void ZelBtnWindow::relayout()
{
    quint8 matrix[16];
    int count = 16;
    if (readButtonMatrix2(matrix) < 0)
        count = 0;
    int visible = 0;
    for (int i = 0; i < count; ++i) {
        if (matrix[i] != 0xFF)
            ++visible;
    }
    // The two wheel directions continue the column below the buttons.
    const int rows = visible + WHEEL_COUNT;
    const int rowHeight = int(30 * m_fScale);
    int top = 30;
    int gap = 20;
    if (visible <= 9) {
        // Spread evenly over the page; never closer than a small gap.
        const int minimum = rowHeight * rows + int(10 * m_fScale) * (rows + 1);
        const int height = qMax(this->height(), minimum);
        top = gap = (height - rowHeight * rows) / (rows + 1);
        m_iContentHeight = minimum;
    } else {
        m_iContentHeight = top + (rowHeight + gap) * rows;
    }
    const auto place = [&](int c) {
        return QRect(int(56 * m_fScale), top + gap * c + rowHeight * c, int(220 * m_fScale), rowHeight);
    };
    int c = 0;
    for (int i = 0; i < PRIMARY_COUNT; ++i) {
        if (i >= count || matrix[i] == 0xFF) {
            m_pBtns[i]->setGeometry(QRect());
            m_pLayerBtns[i]->setGeometry(QRect());
            continue;
        }
        // The second layer stands where the primary layer does.
        m_pBtns[i]->setGeometry(place(c));
        m_pBtns[i]->setBadge(quint8(c + 1));
        m_pLayerBtns[i]->setGeometry(place(c));
        m_pLayerBtns[i]->setBadge(quint8(c + 1));
        ++c;
    }
    for (int i = 0; i < WHEEL_COUNT; ++i)
        m_pWheelBtns[i]->setGeometry(place(c + i));
    showLayer(m_iLayer);
}

// ------------------------------------------------------------------ menus --

void ZelBtnWindow::retranslate()
{
    // The language's font at the window's scale, as setScale gives it.
    m_pMainMenu->setFont(scaledPageFont());
    rebuildMenus();
    for (ZelAction *action : m_pActions)
        action->setText(actionText(action->data().toInt()));
    for (int i = 0; i < SUBMENU_COUNT; ++i)
        m_pSubMenus[i]->setTitle(translated(buttonMenuTitle(kSubmenuIds[i])));
    refreshLabels();
}

ZelAction *ZelBtnWindow::actionFor(int code) const
{
    for (int i = 0; i < ACTION_COUNT; ++i) {
        if (kActionCodes[i] == code)
            return m_pActions[i];
    }
    return nullptr;
}

void ZelBtnWindow::rebuildMenus()
{
    m_pMainMenu->clear();
    m_pWheelMenu->clear();
    for (QMenu *menu : m_pSubMenus)
        menu->clear();

    for (int code : {1, 2, 3, 4, 5})
        m_pMainMenu->addAction(actionFor(code));
    for (int i = 0; i < SUBMENU_COUNT; ++i) {
        for (int code : kSubmenuCodes[i])
            m_pSubMenus[i]->addAction(actionFor(code));
    }
    for (int which : {MenuBasic, MenuWindows, MenuAdvance, MenuMedia, MenuDpi, MenuProfile, MenuPollingRate})
        m_pMainMenu->addMenu(m_pSubMenus[which]);
    if (descriptionInt(QStringLiteral("DisableMacro")) == 0) {
        m_pMainMenu->addAction(actionFor(FUN_MACRO));
        m_pMainMenu->addAction(actionFor(FUN_GUN_FILE));
    }
    if (descriptionInt(QStringLiteral("ledDisable")) == 0)
        m_pMainMenu->addAction(actionFor(54));
    m_pMainMenu->addAction(actionFor(FUN_BUTTON_OFF));

    for (int code : kWheelCodes)
        m_pWheelMenu->addAction(actionFor(code));
}

// ----------------------------------------------------------------- assign --

void ZelBtnWindow::assign(ZelAction *action)
{
    const int e = selectedEntry();
    ZelPushButton *button = selectedButton();
    if (!action || !m_pProfile || e < 0 || !button)
        return;
    const int code = action->data().toInt();
    QPointer<ZelPushButton> guard(button);
    emit SelBtnControl(button, true);

    ButtonEntry &entry = m_pProfile->buttons[e];
    if (entry.Fun == FUN_LEFT && code != FUN_LEFT) {
        bool another = false;
        for (int i = 0; i < BUTTON_COUNT; ++i) {
            if (i != e && m_pProfile->buttons[i].Fun == FUN_LEFT)
                another = true;
        }
        if (!another) {
            emit PopOneClickBox();
            if (guard)
                emit SelBtnControl(button, false);
            clearSelection();
            return;
        }
    }

    switch (code) {
    case FUN_MACRO:
        assignMacro(entry, FUN_MACRO, tr("MACRO SELECT"));
        break;
    case FUN_GUN_FILE:
        if (e == 0) {
            ZelMessageBox box(2, QString(), tr("Warning"), tr("Left Button Can not be Gun Function."), this);
            box.exec();
        } else {
            assignMacro(entry, FUN_GUN_FILE, tr("GUNFILE SELECT"));
        }
        break;
    case FUN_SINGLE_KEY:
        assignSingleKey(entry);
        break;
    case FUN_COMBO_KEY:
        assignComboKey(entry);
        break;
    case FUN_FIRE_KEY:
        assignFireKey(entry);
        break;
    case FUN_SNIPER:
        assignSniper(entry);
        break;
    default:
        entry.Fun = code;
        break;
    }
    if (guard) {
        showEntry(e);
        emit SelBtnControl(guard, false);
    }
    clearSelection();
}

void ZelBtnWindow::assignSingleKey(ButtonEntry &entry)
{
    ZelSingleKeyWindow dialog(this);
    if (entry.Fun == FUN_SINGLE_KEY)
        dialog.preset(entry.Res1);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.keyCode()) {
        qCDebug(lcUi, "Single key: no key was pressed, the button keeps its function");
        return;
    }
    entry.Res1 = dialog.keyCode();
    entry.Fun = FUN_SINGLE_KEY;
    qCDebug(lcUi, "%d", int(entry.Res1));
}

void ZelBtnWindow::assignComboKey(ButtonEntry &entry)
{
    ZelComboKeyWindow dialog(this);
    if (entry.Fun == FUN_COMBO_KEY)
        dialog.preset(entry);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ComboKeys combo = dialog.combo();
    bool any = false;
    for (quint8 flag : combo.flags)
        any = any || flag;
    if (!any) {
        qCDebug(lcUi, "Combo key: no key was pressed, the button keeps its function");
        return;
    }
    writeComboEvents(entry, combo);
    entry.Fun = FUN_COMBO_KEY;
}

void ZelBtnWindow::assignFireKey(ButtonEntry &entry)
{
    ZelFireKeyWindow dialog(this);
    if (entry.Fun == FUN_FIRE_KEY)
        dialog.preset(entry);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.mode() == FIRE_KEYBOARD && !dialog.res1()) {
        qCDebug(lcUi, "Fire key: no key was pressed, the button keeps its function");
        return;
    }
    entry.Res1 = dialog.res1();
    entry.KeyNumber = dialog.delay();
    entry.LoopNumber = dialog.times();
    entry.Fun = FUN_FIRE_KEY;
}

void ZelBtnWindow::assignSniper(ButtonEntry &entry)
{
    ZelSniperWindow dialog(this);
    if (entry.Fun == FUN_SNIPER)
        dialog.preset(entry.Res1);
    if (dialog.exec() != QDialog::Accepted)
        return;
    entry.Res1 = dialog.step();
    entry.Fun = FUN_SNIPER;
}

void ZelBtnWindow::assignMacro(ButtonEntry &entry, int code, const QString &title)
{
    if (countMacros() < 1) {
        emit GotoMacroTab(3);
        return;
    }
    QString name;
    int loops = 1;
    int mode = 0;
    if (entry.Fun == code) {
        name = entry.macroname;
        loops = entry.LoopNumber;
        mode = entry.Res1;
    }
    ZelMacroSelect dialog(QString(), title, name, loops, mode, this);
    if (dialog.exec() != QDialog::Accepted) {
        if (!name.isEmpty()) {
            entry.macroname = name;
            entry.LoopNumber = loops;
            entry.Res1 = quint8(mode);
        }
        return;
    }
    if (dialog.name().isEmpty()) {
        // Nothing was chosen: a button playing no file would do nothing.
        qCDebug(lcUi, "Macro selection accepted without a name, the button keeps its function");
        return;
    }
    entry.Fun = code;
    entry.LoopNumber = dialog.loopCount();
    entry.Res1 = quint8(dialog.loopMode());
    entry.macroname = dialog.name();
    // The button keeps its own copy of the macro's events (at most 63).
    const QVector<KeyInfo> events = loadMacroEvents(entry.macroname);
    entry.KeyNumber = events.size();
    for (int j = 0; j < events.size() && j < KEYINFO_COUNT; ++j)
        entry.KeyInfo[j] = events[j];
}
