#include "macrodialog.h"

#include "widgets/logging.h"
#include "zelgunsetdialog.h"
#include "zellistitem.h"
#include "zelmacroitemdelegate.h"

#include "platform/clock.h"
#include "profile/description.h"
#include "profile/inifile.h"
#include "profile/keys.h"
#include "profile/paths.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

using namespace macro;

namespace {

const char *const kFilter = "Macro File(*.MSMACRO)";

QString skinPath(const QString &file)
{
    return appFilePath(QStringLiteral("/skin/") + file);
}

QStringList looks(const QString &stem, int count)
{
    QStringList images;
    for (int i = 1; i <= count; ++i)
        images << skinPath(stem + QString::number(i) + QStringLiteral(".png"));
    return images;
}

const QString kFieldStyle = QStringLiteral("border:1px solid rgb(70,74,82);background:rgb(30,30,30);color:white");

} // namespace

MacroDialog::MacroDialog(QWidget *parent)
    : QWidget(parent)
{
    const int unit = minDelay();
    m_iUnit = unit > 0 ? unit : 10;
    m_Background.load(skinPath(QStringLiteral("macro_back.png")));
    setFocusPolicy(Qt::ClickFocus);
    buildControls();
    retranslate();
    rebuildMacroList(QString());
    relayout();
}

MacroDialog::~MacroDialog()
{
    m_pHook.reset();
}

// ------------------------------------------------------------------ building --

void MacroDialog::place(QWidget *widget, int x, int y, int w, int h)
{
    m_DesignRects.insert(widget, QRect(x, y, w, h));
    widget->setGeometry(scaled(QRect(x, y, w, h)));
}

ZelPushButton *MacroDialog::makeButton(const QString &objectName, int x, int y, int w, int h,
                                       const QStringList &images)
{
    const QStringList pictures = images.isEmpty()
        ? QStringList{skinPath(QStringLiteral("tabbutton-1.png")), skinPath(QStringLiteral("tabbutton-3.png")),
                      skinPath(QStringLiteral("tabbutton-2.png"))}
        : images;
    auto *button = new ZelPushButton(pictures, this);
    button->setObjectName(objectName);
    button->setFocusPolicy(Qt::NoFocus);
    place(button, x, y, w, h);
    return button;
}

QCheckBox *MacroDialog::makeCheckBox(const QString &objectName, int x, int y, int w, int h)
{
    auto *box = new QCheckBox(this);
    box->setObjectName(objectName);
    box->setFocusPolicy(Qt::NoFocus);
    place(box, x, y, w, h);
    return box;
}

void MacroDialog::buildControls()
{
    // Left column: the macros.
    m_pMacroTitle = new ZelLabel(this);
    m_pMacroTitle->setObjectName(QStringLiteral("macroTitle"));
    place(m_pMacroTitle, 10, 8, 100, 24);
    ZelPushButton *add = makeButton(QStringLiteral("macroNewButton"), 114, 6, 26, 26,
                                    looks(QStringLiteral("macro_new"), 3));
    connect(add, &QPushButton::clicked, this, &MacroDialog::newMacro);
    ZelPushButton *del = makeButton(QStringLiteral("macroDeleteButton"), 144, 6, 26, 26,
                                    looks(QStringLiteral("macro_del"), 3));
    connect(del, &QPushButton::clicked, this, &MacroDialog::deleteMacro);

    m_pMacroList = new QListWidget(this);
    m_pMacroList->setObjectName(QStringLiteral("macroList"));
    m_pMacroList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    place(m_pMacroList, 10, 36, 160, 292);
    connect(m_pMacroList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (ZelListItem *item = listItem(row))
            selectMacro(item->name());
    });

    m_pNameLabel = new ZelLabel(this);
    place(m_pNameLabel, 10, 334, 160, 20);
    m_pNameEdit = new QLineEdit(this);
    m_pNameEdit->setObjectName(QStringLiteral("macroNameEdit"));
    m_pNameEdit->setMaxLength(100);
    m_pNameEdit->setStyleSheet(kFieldStyle);
    place(m_pNameEdit, 10, 356, 160, 24);
    connect(m_pNameEdit, &QLineEdit::returnPressed, this, [this] { renameCurrent(m_pNameEdit->text()); });
    ZelPushButton *rename = makeButton(QStringLiteral("changeNameButton"), 10, 384, 160, 24);
    connect(rename, &QPushButton::clicked, this, [this] { renameCurrent(m_pNameEdit->text()); });
    ZelPushButton *import = makeButton(QStringLiteral("importButton"), 10, 412, 78, 24);
    connect(import, &QPushButton::clicked, this, &MacroDialog::importMacros);
    ZelPushButton *exportBtn = makeButton(QStringLiteral("exportButton"), 92, 412, 78, 24);
    connect(exportBtn, &QPushButton::clicked, this, &MacroDialog::exportMacro);
    ZelPushButton *gun = makeButton(QStringLiteral("gunSetButton"), 10, 440, 160, 24);
    connect(gun, &QPushButton::clicked, this, &MacroDialog::gunSet);

    // Middle: the action list and its tools.
    m_pModel = new QStandardItemModel(0, 3, this);
    m_pActionView = new QTreeView(this);
    m_pActionView->setObjectName(QStringLiteral("actionView"));
    m_pActionView->setModel(m_pModel);
    m_pActionView->setRootIsDecorated(false);
    m_pActionView->setItemsExpandable(false);
    m_pActionView->setUniformRowHeights(true);
    m_pActionView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pActionView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pActionView->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_pActionView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pActionView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pDelegate = new ZelMacroItemDelegate(m_iUnit, this);
    m_pActionView->setItemDelegate(m_pDelegate);
    place(m_pActionView, 180, 8, 224, 300);
    resetModel();
    connect(m_pActionView, &QTreeView::clicked, this, &MacroDialog::itemClicked);
    connect(m_pActionView, &QWidget::customContextMenuRequested, this, &MacroDialog::showContextMenu);

    ZelPushButton *top = makeButton(QStringLiteral("rowTopButton"), 180, 312, 28, 28, looks(QStringLiteral("top"), 4));
    connect(top, &QPushButton::clicked, this, &MacroDialog::moveRowTop);
    ZelPushButton *up = makeButton(QStringLiteral("rowUpButton"), 212, 312, 28, 28, looks(QStringLiteral("row_up"), 4));
    connect(up, &QPushButton::clicked, this, &MacroDialog::moveRowUp);
    ZelPushButton *down = makeButton(QStringLiteral("rowDownButton"), 244, 312, 28, 28,
                                     looks(QStringLiteral("row_down"), 4));
    connect(down, &QPushButton::clicked, this, &MacroDialog::moveRowDown);
    ZelPushButton *bottom = makeButton(QStringLiteral("rowBottomButton"), 276, 312, 28, 28,
                                       looks(QStringLiteral("row_bottom"), 4));
    connect(bottom, &QPushButton::clicked, this, &MacroDialog::moveRowBottom);
    ZelPushButton *rowDel = makeButton(QStringLiteral("rowDeleteButton"), 308, 312, 28, 28,
                                       looks(QStringLiteral("macro_del"), 3));
    connect(rowDel, &QPushButton::clicked, this, &MacroDialog::deleteRow);
    ZelPushButton *edit = makeButton(QStringLiteral("rowEditButton"), 340, 312, 64, 28);
    connect(edit, &QPushButton::clicked, this, &MacroDialog::editRow);

    m_pDelayLabel = new ZelLabel(this);
    place(m_pDelayLabel, 180, 346, 62, 22);
    m_pDelayEdit = new QLineEdit(this);
    m_pDelayEdit->setObjectName(QStringLiteral("delayEdit"));
    m_pDelayEdit->setMaxLength(5);
    m_pDelayEdit->setValidator(new QIntValidator(qMax(10, m_iUnit), 65535, m_pDelayEdit));
    m_pDelayEdit->setAlignment(Qt::AlignCenter);
    m_pDelayEdit->setStyleSheet(kFieldStyle);
    place(m_pDelayEdit, 244, 346, 52, 22);
    connect(m_pDelayEdit, &QLineEdit::textEdited, this, &MacroDialog::EditDelayChanged);
    m_pMoveLabel = new ZelLabel(this);
    place(m_pMoveLabel, 300, 346, 50, 22);
    m_pMoveEdit = new QLineEdit(this);
    m_pMoveEdit->setObjectName(QStringLiteral("moveEdit"));
    m_pMoveEdit->setMaxLength(3);
    m_pMoveEdit->setValidator(new QIntValidator(1, 120, m_pMoveEdit));
    m_pMoveEdit->setAlignment(Qt::AlignCenter);
    m_pMoveEdit->setStyleSheet(kFieldStyle);
    place(m_pMoveEdit, 352, 346, 52, 22);
    connect(m_pMoveEdit, &QLineEdit::textEdited, this, &MacroDialog::EditMoveChanged);

    ZelPushButton *clear = makeButton(QStringLiteral("clearButton"), 180, 374, 108, 26);
    connect(clear, &QPushButton::clicked, this, &MacroDialog::clearRows);
    ZelPushButton *delay = makeButton(QStringLiteral("insertDelayButton"), 294, 374, 110, 26);
    connect(delay, &QPushButton::clicked, this, &MacroDialog::insertDelay);
    ZelPushButton *save = makeButton(QStringLiteral("saveButton"), 180, 406, 108, 28);
    connect(save, &QPushButton::clicked, this, &MacroDialog::saveMacro);
    ZelPushButton *cancel = makeButton(QStringLiteral("cancelButton"), 294, 406, 110, 28);
    connect(cancel, &QPushButton::clicked, this, &MacroDialog::cancelEdit);

    // Right column: recording, delays, mouse commands, loops.
    ZelPushButton *start = makeButton(QStringLiteral("startButton"), 416, 6, 110, 28,
                                      looks(QStringLiteral("record_start"), 4));
    connect(start, &QPushButton::clicked, this, &MacroDialog::startRecording);
    ZelPushButton *stop = makeButton(QStringLiteral("stopButton"), 416, 6, 110, 28,
                                     looks(QStringLiteral("record_stop"), 4));
    connect(stop, &QPushButton::clicked, this, &MacroDialog::stopRecording);
    stop->hide();
    m_pRecordAfterBox = makeCheckBox(QStringLiteral("recordAfterBox"), 532, 8, 125, 24);
    m_pRecordDelayBox = makeCheckBox(QStringLiteral("recordDelayBox"), 416, 40, 241, 22);
    m_pDefaultDelayBox = makeCheckBox(QStringLiteral("defaultDelayBox"), 416, 64, 241, 22);
    connect(m_pRecordDelayBox, &QCheckBox::clicked, this, &MacroDialog::checkbtn_clicked);
    connect(m_pDefaultDelayBox, &QCheckBox::clicked, this, &MacroDialog::checkbtn_clicked);

    m_pDefDelayEdit = new QLineEdit(QStringLiteral("10"), this);
    m_pDefDelayEdit->setObjectName(QStringLiteral("defaultDelayEdit"));
    m_pDefDelayEdit->setMaxLength(5);
    m_pDefDelayEdit->setValidator(new QIntValidator(qMax(10, m_iUnit), 65535, m_pDefDelayEdit));
    m_pDefDelayEdit->setAlignment(Qt::AlignCenter);
    m_pDefDelayEdit->setStyleSheet(kFieldStyle);
    place(m_pDefDelayEdit, 436, 90, 60, 22);
    connect(m_pDefDelayEdit, &QLineEdit::textEdited, this, &MacroDialog::DefDelayChanged);
    m_pDefDelayLabel = new ZelLabel(this);
    place(m_pDefDelayLabel, 500, 90, 36, 22);
    ZelPushButton *batch = makeButton(QStringLiteral("batchButton"), 540, 88, 117, 26);
    connect(batch, &QPushButton::clicked, this, &MacroDialog::batchDelays);

    m_pTree = new QTreeWidget(this);
    m_pTree->setObjectName(QStringLiteral("commandTree"));
    m_pTree->setColumnCount(1);
    m_pTree->setFocusPolicy(Qt::NoFocus);
    place(m_pTree, 416, 120, 241, 210);
    for (int c = 0; c < MOUSE_COMMAND_COUNT; ++c) {
        auto *item = new QTreeWidgetItem(m_pTree);
        item->setData(0, Qt::UserRole, c);
        item->setData(0, Qt::UserRole + 1, 0);
        if (c <= CMD_BACKWARD) {
            for (int part = 1; part <= 2; ++part) {
                auto *child = new QTreeWidgetItem(item);
                child->setData(0, Qt::UserRole, c);
                child->setData(0, Qt::UserRole + 1, part);
            }
        }
    }
    connect(m_pTree, &QTreeWidget::itemClicked, this, &MacroDialog::TreeitemClick);
    connect(m_pTree, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem *item) {
        m_pTree->setCurrentItem(item);
        ZelItemPressed();
    });

    for (int i = 0; i < 3; ++i) {
        m_pLoopOptions[i] = makeButton(QStringLiteral("loopOption%1").arg(i + 1), 416, 336 + 26 * i, i ? 241 : 180, 22,
                                       {skinPath(QStringLiteral("checkbox2-1.png")),
                                        skinPath(QStringLiteral("checkbox2-2.png")),
                                        skinPath(QStringLiteral("checkbox2-2.png"))});
        // The text stands beside the round indicator, not over it.
        m_pLoopLabels[i] = new ZelLabel(this);
        m_pLoopLabels[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        place(m_pLoopLabels[i], 440, 336 + 26 * i, (i ? 241 : 180) - 26, 22);
        // The page keeps the choice; the buttons only show it.
        m_pLoopOptions[i]->setCheckable(true);
        m_pLoopOptions[i]->setInteractive(false);
        connect(m_pLoopOptions[i], &QPushButton::clicked, this, [this, i] {
            setLoopType(m_iLoopType == i + 1 ? 0 : i + 1);
        });
    }
    m_pLoopEdit = new QLineEdit(QStringLiteral("1"), this);
    m_pLoopEdit->setObjectName(QStringLiteral("loopTimeEdit"));
    m_pLoopEdit->setMaxLength(3);
    m_pLoopEdit->setValidator(new QIntValidator(1, 255, m_pLoopEdit));
    m_pLoopEdit->setAlignment(Qt::AlignCenter);
    m_pLoopEdit->setStyleSheet(kFieldStyle);
    place(m_pLoopEdit, 600, 336, 57, 22);
    connect(m_pLoopEdit, &QLineEdit::textEdited, this, &MacroDialog::LoopTimeChanged);

    // The context menu of the action list.
    m_pContextMenu = new QMenu(this);
    m_pContextMenu->setStyleSheet(menuStyleSheet());
    const auto action = [this](const QString &name, void (MacroDialog::*slot)(), const QKeySequence &keys = {}) {
        auto *a = new ZelAction(m_pContextMenu);
        a->setObjectName(name);
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            a->setShortcutContext(Qt::WidgetShortcut);
            m_pActionView->addAction(a);
        }
        connect(a, &QAction::triggered, this, slot);
        m_pContextMenu->addAction(a);
        return a;
    };
    action(QStringLiteral("copyAction"), &MacroDialog::copyRows, QKeySequence::Copy);
    action(QStringLiteral("cutAction"), &MacroDialog::cutRows, QKeySequence::Cut);
    action(QStringLiteral("pasteAction"), &MacroDialog::pasteRows, QKeySequence::Paste);
    m_pContextMenu->addSeparator();
    m_pMouseMenu = new QMenu(m_pContextMenu);
    m_pMouseMenu->setStyleSheet(menuStyleSheet());
    for (int c = 0; c < MOUSE_COMMAND_COUNT; ++c) {
        auto *a = new ZelAction(m_pMouseMenu);
        a->setObjectName(QStringLiteral("mouseAction%1").arg(c));
        a->setData(c);
        connect(a, &QAction::triggered, this, &MacroDialog::mousemove_test);
        m_pMouseMenu->addAction(a);
    }
    auto *mouse = new ZelAction(m_pContextMenu);
    mouse->setObjectName(QStringLiteral("mouseAction"));
    mouse->setMenu(m_pMouseMenu);
    m_pContextMenu->addAction(mouse);
    auto *press = new ZelAction(m_pContextMenu);
    press->setObjectName(QStringLiteral("pressDownAction"));
    connect(press, &QAction::triggered, this, [this] { setPressState(true); });
    m_pContextMenu->addAction(press);
    auto *release = new ZelAction(m_pContextMenu);
    release->setObjectName(QStringLiteral("bounceUpAction"));
    connect(release, &QAction::triggered, this, [this] { setPressState(false); });
    m_pContextMenu->addAction(release);
    action(QStringLiteral("insertDelayAction"), &MacroDialog::insertDelay);
    auto *remove = new ZelAction(m_pContextMenu);
    remove->setObjectName(QStringLiteral("deleteRowAction"));
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    m_pActionView->addAction(remove);
    connect(remove, &QAction::triggered, this, &MacroDialog::deleteRow);
    m_pContextMenu->addAction(remove);

    // Looks.
    QPalette text = palette();
    text.setColor(QPalette::WindowText, QColor(200, 200, 200));
    for (ZelLabel *label : {m_pMacroTitle, m_pNameLabel, m_pDelayLabel, m_pMoveLabel, m_pDefDelayLabel,
                            m_pLoopLabels[0], m_pLoopLabels[1], m_pLoopLabels[2]})
        label->setPalette(text);
    m_pMacroTitle->setPalette([&] {
        QPalette p = text;
        p.setColor(QPalette::WindowText, Qt::white);
        return p;
    }());
    const QString accent = themeColor().name();
    const QString list = QStringLiteral(
        "QListWidget,QTreeView,QTreeWidget{background:rgb(20,22,27);border:1px solid rgb(50,54,62);"
        "color:rgb(205,205,205);}"
        "QListWidget::item{border:none;}"
        "QListWidget::item:selected{background:rgba(%1,%2,%3,60);}"
        "QTreeWidget::item:hover{color:white;}"
        "QTreeWidget::item:selected{background:rgba(%1,%2,%3,60);color:white;}"
        "QHeaderView::section{background:rgb(35,38,45);color:rgb(210,210,210);border:none;"
        "border-bottom:1px solid rgb(60,64,72);padding-left:6px;}"
        "QScrollBar:vertical{background:rgb(20,22,27);width:8px;margin:0;}"
        "QScrollBar::handle:vertical{background:rgb(70,74,82);min-height:20px;border-radius:3px;}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0;}")
                             .arg(themeColor().red())
                             .arg(themeColor().green())
                             .arg(themeColor().blue());
    Q_UNUSED(accent);
    for (QWidget *w : {static_cast<QWidget *>(m_pMacroList), static_cast<QWidget *>(m_pActionView),
                       static_cast<QWidget *>(m_pTree)})
        w->setStyleSheet(list);
    const QString box = QStringLiteral(
        "QCheckBox{color:rgb(200,200,200);background:transparent;spacing:6px;}"
        "QCheckBox:disabled{color:rgb(110,110,110);}"
        "QCheckBox::indicator{width:%1px;height:%1px;}"
        "QCheckBox::indicator:unchecked{image:url(\"%2\");}"
        "QCheckBox::indicator:checked{image:url(\"%3\");}")
                            .arg(scaled(16))
                            .arg(skinPath(QStringLiteral("checkbox1-1.png")), skinPath(QStringLiteral("checkbox1-2.png")));
    for (QCheckBox *b : {m_pRecordAfterBox, m_pRecordDelayBox, m_pDefaultDelayBox})
        b->setStyleSheet(box);
    updateRowFields();
}

void MacroDialog::retranslate()
{
    control(QStringLiteral("startButton"))->setText(tr("START"));
    control(QStringLiteral("stopButton"))->setText(tr("STOP"));
    control(QStringLiteral("macroNewButton"))->setToolTip(tr("NEW"));
    control(QStringLiteral("macroDeleteButton"))->setToolTip(tr("DELETE"));
    control(QStringLiteral("rowDeleteButton"))->setToolTip(tr("DELETE"));
    control(QStringLiteral("rowTopButton"))->setToolTip(tr("TOP"));
    control(QStringLiteral("rowUpButton"))->setToolTip(tr("MOVE UP"));
    control(QStringLiteral("rowDownButton"))->setToolTip(tr("MOVE DOWN"));
    control(QStringLiteral("rowBottomButton"))->setToolTip(tr("BOTTOM"));
    m_pRecordDelayBox->setText(tr("RECORD DELAYS BETWEEN ACTION"));
    m_pDefaultDelayBox->setText(tr("INSERT DEFAULT DELAY"));
    m_pRecordAfterBox->setText(tr("RECORD AFTER"));
    m_pRecordAfterBox->setToolTip(tr("Record after the selected row instead of starting a new list"));
    const QString loops[3] = {tr("LOOPS TIME(1-255)"), tr("REPEAT RUN WHEN KEY DOWN"),
                              tr("REPEAT RUN UNTIL THE KEY DOWN")};
    for (int i = 0; i < 3; ++i) {
        m_pLoopLabels[i]->setText(loops[i]);
        m_pLoopOptions[i]->setToolTip(loops[i]);
    }
    control(QStringLiteral("clearButton"))->setText(tr("CLEAR"));
    if (!m_bKeyEdit)
        control(QStringLiteral("rowEditButton"))->setText(tr("EDIT"));
    m_pMacroTitle->setText(tr("MACRO"));
    m_pNameLabel->setText(tr("MACRO NAME"));
    control(QStringLiteral("changeNameButton"))->setText(tr("CHANGE NAME"));
    control(QStringLiteral("saveButton"))->setText(tr("SAVE"));
    control(QStringLiteral("cancelButton"))->setText(tr("CANCEL"));
    control(QStringLiteral("importButton"))->setText(tr("IMPORT"));
    control(QStringLiteral("exportButton"))->setText(tr("EXPORT"));
    control(QStringLiteral("batchButton"))->setText(tr("BATCH"));
    control(QStringLiteral("batchButton"))->setToolTip(tr("Give every delay of the list the default delay"));
    control(QStringLiteral("insertDelayButton"))->setText(tr("INSERT DELAY"));
    control(QStringLiteral("gunSetButton"))->setText(tr("GUN SET"));
    m_pDelayLabel->setText(tr("DELAY"));
    m_pMoveLabel->setText(tr("MOVE"));
    m_pDefDelayLabel->setText(tr("ms"));
    m_pTree->setHeaderLabel(tr("MOUSE COMMAND"));
    const QString commands[MOUSE_COMMAND_COUNT] = {tr("LEFT CLICK"), tr("MIDDLE CLICK"), tr("RIGHT CLICK"),
                                                   tr("FORWARD"),    tr("BACKWARD"),     tr("MOVE LEFT"),
                                                   tr("MOVE RIGHT"), tr("MOVE UP"),      tr("MOVE DOWN")};
    for (int c = 0; c < MOUSE_COMMAND_COUNT; ++c) {
        QTreeWidgetItem *item = m_pTree->topLevelItem(c);
        item->setText(0, commands[c]);
        if (item->childCount() == 2) {
            item->child(0)->setText(0, tr("PRESS DOWN"));
            item->child(1)->setText(0, tr("BOUNCE UP"));
        }
        if (auto *a = qobject_cast<ZelAction *>(m_pMouseMenu->actions().at(c)))
            a->setText(commands[c]);
    }
    contextAction(QStringLiteral("copyAction"))->setText(tr("COPY"));
    contextAction(QStringLiteral("cutAction"))->setText(tr("CUT"));
    contextAction(QStringLiteral("pasteAction"))->setText(tr("PASTE"));
    contextAction(QStringLiteral("mouseAction"))->setText(tr("MOUSE ACTION"));
    contextAction(QStringLiteral("pressDownAction"))->setText(tr("PRESS DOWN"));
    contextAction(QStringLiteral("bounceUpAction"))->setText(tr("BOUNCE UP"));
    contextAction(QStringLiteral("insertDelayAction"))->setText(tr("INSERT DELAY"));
    contextAction(QStringLiteral("deleteRowAction"))->setText(tr("DELETE"));
    m_pModel->setHorizontalHeaderLabels({tr("KEY"), QString(), QString()});
}

void MacroDialog::relayout()
{
    for (auto it = m_DesignRects.constBegin(); it != m_DesignRects.constEnd(); ++it)
        it.key()->setGeometry(scaled(it.value()));
    const QFont font = scaledPageFont(QFont(), 0, 1);
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setFont(font);
    QFont heading = scaledPageFont(QFont(), 0, 0);
    heading.setBold(true);
    m_pMacroTitle->setFont(heading);
    m_pTree->setIndentation(scaled(14));
    m_pTree->header()->setFont(font);
    m_pActionView->header()->setFont(font);
    for (int i = 0; i < m_pMacroList->count(); ++i) {
        m_pMacroList->item(i)->setSizeHint(QSize(0, scaled(26)));
        listItem(i)->setFont(font);
    }
}

void MacroDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        relayout();   // the language brings its own font
    }
    QWidget::changeEvent(event);
}

void MacroDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_Background.isNull())
        painter.drawPixmap(rect(), m_Background);
}

void MacroDialog::resizeEvent(QResizeEvent *)
{
    relayout();
}

void MacroDialog::keyPressEvent(QKeyEvent *event)
{
    // While keys are being recorded or captured they belong to the recorder.
    if (m_bRecording || m_bKeyEdit) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MacroDialog::keyReleaseEvent(QKeyEvent *event)
{
    if (m_bRecording || m_bKeyEdit) {
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

// --------------------------------------------------------------- accessors --

ZelPushButton *MacroDialog::control(const QString &objectName) const
{
    return findChild<ZelPushButton *>(objectName, Qt::FindDirectChildrenOnly);
}

ZelAction *MacroDialog::contextAction(const QString &objectName) const
{
    return m_pContextMenu->findChild<ZelAction *>(objectName);
}

ZelListItem *MacroDialog::listItem(int row) const
{
    if (row < 0 || row >= m_pMacroList->count())
        return nullptr;
    return qobject_cast<ZelListItem *>(m_pMacroList->itemWidget(m_pMacroList->item(row)));
}

QStringList MacroDialog::macroNames() const
{
    QStringList names;
    for (int i = 0; i < m_pMacroList->count(); ++i)
        names << listItem(i)->name();
    return names;
}

void MacroDialog::setLoopType(int type)
{
    m_iLoopType = type >= 1 && type <= 3 ? type : 0;
    for (int k = 0; k < 3; ++k)
        m_pLoopOptions[k]->setChecked(m_iLoopType == k + 1);
}

int MacroDialog::showMessage(int type, const QString &heading, const QString &text)
{
    if (m_Services.message)
        return m_Services.message(type, heading, text);
    ZelMessageBox box(type, QString(), heading, text, this);
    return box.exec();
}

QStringList MacroDialog::chooseFiles(const QString &title, const QString &filter, bool save)
{
    if (m_Services.chooseFiles)
        return m_Services.chooseFiles(title, filter, save);
    if (save) {
        const QString file = QFileDialog::getSaveFileName(this, title, QString(), filter);
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    return QFileDialog::getOpenFileNames(this, title, QString(), filter);
}

// ------------------------------------------------------------- macro list --

void MacroDialog::refresh()
{
    if (m_bRecording)
        return;
    const QStringList names = listMacros();
    if (names == macroNames())
        return;
    rebuildMacroList(names.contains(m_strCurrent) ? m_strCurrent : QString());
}

void MacroDialog::rebuildMacroList(const QString &select)
{
    const QStringList names = listMacros();
    {
        const QSignalBlocker blocker(m_pMacroList);
        m_pMacroList->clear();
        for (const QString &name : names) {
            auto *item = new QListWidgetItem(m_pMacroList);
            item->setSizeHint(QSize(0, scaled(26)));
            auto *row = new ZelListItem(name);
            row->setFont(scaledPageFont(QFont(), 0, 1));
            connect(row, &ZelListItem::clicked, this, [this](ZelListItem *clicked) {
                for (int i = 0; i < m_pMacroList->count(); ++i) {
                    if (listItem(i) == clicked)
                        m_pMacroList->setCurrentRow(i);
                }
                selectMacro(clicked->name());
            });
            connect(row, &ZelListItem::renameRequested, this, &MacroDialog::onListItemRename);
            m_pMacroList->setItemWidget(item, row);
        }
    }
    QString target = select;
    if (!names.contains(target))
        target = names.isEmpty() ? QString() : names.first();
    if (target != m_strCurrent || target.isEmpty()) {
        leaveKeyEdit();
        m_strCurrent = target;
        if (target.isEmpty()) {
            resetModel();
            m_pNameEdit->clear();
        } else {
            loadMacro(target);
        }
    }
    markCurrentInList();
    updateRowFields();
}

void MacroDialog::markCurrentInList()
{
    const QSignalBlocker blocker(m_pMacroList);
    for (int i = 0; i < m_pMacroList->count(); ++i) {
        ZelListItem *item = listItem(i);
        const bool current = item->name() == m_strCurrent;
        item->setSelected(current);
        if (current)
            m_pMacroList->setCurrentRow(i);
    }
    m_pNameEdit->setText(m_strCurrent);
    const bool any = !m_strCurrent.isEmpty();
    for (const char *name : {"startButton", "saveButton", "cancelButton", "exportButton", "changeNameButton",
                             "macroDeleteButton", "clearButton", "insertDelayButton", "batchButton"}) {
        if (ZelPushButton *b = control(QLatin1String(name)))
            b->setEnabled(any && !m_bRecording && !m_bKeyEdit);
    }
    m_pNameEdit->setEnabled(any && !m_bRecording && !m_bKeyEdit);
}

void MacroDialog::selectMacro(const QString &name)
{
    if (name == m_strCurrent || m_bRecording)
        return;
    leaveKeyEdit();
    m_strCurrent = name;
    loadMacro(name);
    markCurrentInList();
}

void MacroDialog::loadMacro(const QString &name)
{
    setRows(loadMacroEvents(name));
    applySettings(loadMacroSettings(name));
    m_pNameEdit->setText(name);
}

MacroSettings MacroDialog::editorSettings() const
{
    MacroSettings settings;
    bool ok = false;
    const int delay = m_pDefDelayEdit->text().toInt(&ok);
    settings.DefaultDelay = ok && delay > 0 ? delay : 10;
    settings.DelayType = m_iDelayMode;
    settings.LoopType = loopType();
    const int loops = m_pLoopEdit->text().toInt(&ok);
    settings.LoopTime = ok ? qBound(1, loops, 255) : 1;
    return settings;
}

void MacroDialog::applySettings(const MacroSettings &settings)
{
    const QSignalBlocker b1(m_pDefDelayEdit);
    const QSignalBlocker b2(m_pLoopEdit);
    m_pDefDelayEdit->setText(QString::number(settings.DefaultDelay > 0 ? settings.DefaultDelay : 10));
    m_pLoopEdit->setText(QString::number(qBound(1, settings.LoopTime, 255)));
    m_iDelayMode = settings.DelayType == DELAY_RECORDED || settings.DelayType == DELAY_DEFAULT ? settings.DelayType
                                                                                               : DELAY_NONE;
    m_pRecordDelayBox->setChecked(m_iDelayMode == DELAY_RECORDED);
    m_pDefaultDelayBox->setChecked(m_iDelayMode == DELAY_DEFAULT);
    setLoopType(settings.LoopType);
}

bool MacroDialog::storeRows(const QString &name)
{
    if (name.isEmpty())
        return false;
    if (!::saveMacro(name, editorSettings(), rows())) {
        qCDebug(lcUi, "Macro %s could not be saved", qPrintable(name));
        showMessage(2, tr("Warning"), tr("The file could not be read or written."));
        return false;
    }
    return true;
}

QString MacroDialog::freeName(const QString &wanted) const
{
    const QStringList listed = listMacros();
    const auto taken = [&](const QString &name) {
        return listed.contains(name) || QFile::exists(macroPath(name));
    };
    if (!taken(wanted))
        return wanted;
    for (int n = 1;; ++n) {
        const QString name = wanted + QStringLiteral("_%1").arg(n);
        if (!taken(name))
            return name;
    }
}

void MacroDialog::newMacro()
{
    if (m_bRecording)
        return;
    if (countMacros() > MACRO_LIST_SIZE - 1) {
        showMessage(1, tr("WARNING"), tr("TOO MANY MACROS TO BE CREATE!"));
        return;
    }
    const QString name = nextMacroName();
    qCDebug(lcUi, "New macro %s", qPrintable(name));
    leaveKeyEdit();
    resetModel();
    applySettings(MacroSettings());
    if (!::saveMacro(name, MacroSettings(), {}) || !addMacroName(name)) {
        showMessage(2, tr("Warning"), tr("The file could not be read or written."));
        return;
    }
    m_strCurrent = name;
    rebuildMacroList(name);
}

void MacroDialog::onListItemRename(ZelListItem *item, const QString &typed)
{
    if (item->name() != m_strCurrent)
        selectMacro(item->name());
    renameCurrent(typed);
}

QString MacroDialog::renameCurrent(const QString &typed)
{
    const QString oldName = m_strCurrent;
    const QString wanted = typed.trimmed();
    if (oldName.isEmpty() || m_bRecording)
        return oldName;
    if (wanted == oldName || wanted.isEmpty()) {
        m_pNameEdit->setText(oldName);
        return oldName;
    }
    if (!isSafeFileName(wanted)) {
        showMessage(2, tr("Warning"), tr("This name cannot be used for a file. Please choose another name."));
        m_pNameEdit->setText(oldName);
        return oldName;
    }
    const QString newName = freeName(wanted);
    const QString oldPath = macroPath(oldName);
    const QString newPath = macroPath(newName);
    if (QFile::exists(oldPath)) {
        if (!QFile::rename(oldPath, newPath)) {
            showMessage(2, tr("Warning"), tr("The file could not be read or written."));
            m_pNameEdit->setText(oldName);
            return oldName;
        }
        IniFile(newPath).setValue(QStringLiteral("Setting/MacroFilePath"), newPath);
    } else if (!storeRows(newName)) {
        m_pNameEdit->setText(oldName);
        return oldName;
    }
    renameMacroName(oldName, newName);
    m_strCurrent = newName;
    const QSignalBlocker blocker(m_pMacroList);
    for (int i = 0; i < m_pMacroList->count(); ++i) {
        if (listItem(i)->name() == oldName)
            listItem(i)->setName(newName);
    }
    markCurrentInList();
    emit MacroRenamedSignal(oldName, newName);
    return newName;
}

void MacroDialog::deleteMacro()
{
    if (m_strCurrent.isEmpty() || m_bRecording)
        return;
    const QStringList before = macroNames();
    const int index = before.indexOf(m_strCurrent);
    const QString path = macroPath(m_strCurrent);
    if (!path.isEmpty() && QFile::exists(path))
        QFile::remove(path);
    removeMacroName(m_strCurrent);
    leaveKeyEdit();
    const QStringList after = listMacros();
    const QString next = after.isEmpty() ? QString() : after.value(qMin(index, after.size() - 1));
    m_strCurrent.clear();
    rebuildMacroList(next);
}

void MacroDialog::saveMacro()
{
    if (m_strCurrent.isEmpty())
        return;
    leaveKeyEdit();
    removeHook();
    // A list that leaves a key down would hold it down in every game it is
    // played in: the user is told before it can reach the mouse.
    if (!rowsBalanced(rows()))
        warnHeldKeys();
    storeRows(m_strCurrent);
    markCurrentInList();
}

void MacroDialog::cancelEdit()
{
    if (m_strCurrent.isEmpty())
        return;
    leaveKeyEdit();
    loadMacro(m_strCurrent);
    markCurrentInList();
    updateRowFields();
}

void MacroDialog::importMacros()
{
    if (m_bRecording)
        return;
    const QStringList files = chooseFiles(tr("Load Macro File"), QLatin1String(kFilter), false);
    QString last;
    for (const QString &file : files) {
        const QString name = QFileInfo(file).completeBaseName();
        if (!isSafeFileName(name)) {
            showMessage(2, tr("Warning"), tr("This name cannot be used for a file. Please choose another name."));
            continue;
        }
        if (listMacros().contains(name) || QFile::exists(macroPath(name))) {
            showMessage(2, tr("Warning"), tr("Macro Exist!"));
            continue;
        }
        if (countMacros() > MACRO_LIST_SIZE - 1) {
            showMessage(1, tr("WARNING"), tr("TOO MANY MACROS TO BE CREATE!"));
            break;
        }
        MacroSettings settings;
        QVector<KeyInfo> events;
        if (!readMacroFile(file, &settings, &events)) {
            qCDebug(lcUi, "Import of %s: not a macro file", qPrintable(file));
            showMessage(2, tr("Warning"), tr("The file could not be read or written."));
            continue;
        }
        if (!::saveMacro(name, settings, events) || !addMacroName(name)) {
            showMessage(2, tr("Warning"), tr("The file could not be read or written."));
            continue;
        }
        last = name;
    }
    if (!last.isEmpty())
        rebuildMacroList(last);
}

void MacroDialog::exportMacro()
{
    if (m_strCurrent.isEmpty() || m_bRecording)
        return;
    QString target = chooseFiles(tr("Save Macro File"), QLatin1String(kFilter), true).value(0);
    if (target.isEmpty())
        return;
    if (!target.endsWith(QStringLiteral(".MSMACRO"), Qt::CaseInsensitive))
        target += QStringLiteral(".MSMACRO");
    const QString source = macroPath(m_strCurrent);
    if (!QFile::exists(source))
        storeRows(m_strCurrent);
    // The old file at the target stays until the new one is whole beside it.
    if (!exportMacroFile(m_strCurrent, target)) {
        qCDebug(lcUi, "Export of %s to %s failed", qPrintable(source), qPrintable(target));
        showMessage(2, tr("Warning"), tr("The file could not be read or written."));
    }
}

void MacroDialog::gunSet()
{
    if (m_bRecording)
        return;
    if (countMacros() > MACRO_LIST_SIZE - 1) {
        showMessage(1, tr("WARNING"), tr("TOO MANY MACROS TO BE CREATE!"));
        return;
    }
    ZelGunsetDialog dialog(this, scaleFactor());
    dialog.setMessageHandler([this](int type, const QString &text) { return showMessage(type, tr("Warning"), text); });
    const bool accepted = m_Services.runGunSet ? m_Services.runGunSet(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return;
    const QString name = freeName(dialog.resultName());
    if (!dialog.writeGunFile(macroPath(name)) || !addMacroName(name)) {
        showMessage(2, tr("Warning"), tr("The file could not be read or written."));
        return;
    }
    leaveKeyEdit();
    rebuildMacroList(name);
}

// ------------------------------------------------------------- action list --

void MacroDialog::resetModel()
{
    m_pModel->clear();
    m_pModel->setColumnCount(3);
    m_pModel->setHorizontalHeaderLabels({tr("KEY"), QString(), QString()});
    m_pActionView->setColumnHidden(1, true);
    m_pActionView->setColumnHidden(2, true);
    m_pActionView->header()->setStretchLastSection(true);
    m_pActionView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(m_pActionView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MacroDialog::CurrentChanged, Qt::UniqueConnection);
    updateRowFields();
}

KeyInfo MacroDialog::rowAt(int row) const
{
    return ZelMacroItemDelegate::rowAt(m_pModel->index(row, 0));
}

static QList<QStandardItem *> rowItems(const KeyInfo &info)
{
    QList<QStandardItem *> items;
    for (int v : {int(info.map), int(info.dataH), int(info.dataL)}) {
        auto *item = new QStandardItem(QString::number(v));
        item->setData(v, Qt::UserRole);
        item->setEditable(false);
        items << item;
    }
    return items;
}

void MacroDialog::setRowAt(int row, const KeyInfo &info)
{
    const int values[3] = {info.map, info.dataH, info.dataL};
    for (int c = 0; c < 3; ++c) {
        QStandardItem *item = m_pModel->item(row, c);
        item->setData(values[c], Qt::UserRole);
        item->setText(QString::number(values[c]));
    }
}

void MacroDialog::insertRowAt(int row, const KeyInfo &info)
{
    m_pModel->insertRow(qBound(0, row, m_pModel->rowCount()), rowItems(info));
}

QVector<KeyInfo> MacroDialog::rows() const
{
    QVector<KeyInfo> list;
    for (int r = 0; r < m_pModel->rowCount(); ++r)
        list << rowAt(r);
    return list;
}

void MacroDialog::setRows(const QVector<KeyInfo> &list)
{
    resetModel();
    for (const KeyInfo &info : list)
        m_pModel->appendRow(rowItems(info));
    updateRowFields();
}

int MacroDialog::currentRow() const
{
    const QModelIndex index = m_pActionView->currentIndex();
    return index.isValid() ? index.row() : -1;
}

int MacroDialog::insertPosition() const
{
    const int row = currentRow();
    return row >= 0 ? row + 1 : m_pModel->rowCount();
}

void MacroDialog::selectRowIndex(int row)
{
    if (row < 0 || row >= m_pModel->rowCount())
        return;
    const QModelIndex index = m_pModel->index(row, 0);
    m_pActionView->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pActionView->scrollTo(index);
}

void MacroDialog::SelectRow(int row)
{
    selectRowIndex(row);
}

void MacroDialog::moveRowTo(int from, int to)
{
    if (from == to || from < 0 || from >= m_pModel->rowCount())
        return;
    const QList<QStandardItem *> items = m_pModel->takeRow(from);
    m_pModel->insertRow(to, items);
    selectRowIndex(to);
}

void MacroDialog::moveRowTop()
{
    const int row = currentRow();
    if (m_pModel->rowCount() == 0 || row <= 0)
        return;
    moveRowTo(row, 0);
}

void MacroDialog::moveRowUp()
{
    const int row = currentRow();
    if (m_pModel->rowCount() == 0 || row <= 0)
        return;
    moveRowTo(row, row - 1);
}

void MacroDialog::moveRowDown()
{
    const int row = currentRow();
    if (m_pModel->rowCount() == 0 || row < 0 || row >= m_pModel->rowCount() - 1)
        return;
    moveRowTo(row, row + 1);
}

void MacroDialog::moveRowBottom()
{
    const int row = currentRow();
    if (m_pModel->rowCount() == 0 || row < 0 || row >= m_pModel->rowCount() - 1)
        return;
    moveRowTo(row, m_pModel->rowCount() - 1);
}

void MacroDialog::deleteRow()
{
    const int row = currentRow();
    if (m_pModel->rowCount() == 0 || row < 0 || m_bRecording)
        return;
    leaveKeyEdit();
    m_pModel->removeRow(row);
    if (m_pModel->rowCount() > 0)
        selectRowIndex(qMin(row, m_pModel->rowCount() - 1));
    updateRowFields();
}

void MacroDialog::clearRows()
{
    if (m_bRecording)
        return;
    leaveKeyEdit();
    resetModel();
}

void MacroDialog::editRow()
{
    const int row = currentRow();
    if (row < 0 || m_bRecording || m_strCurrent.isEmpty())
        return;
    if (!isKeyRow(rowAt(row)))
        return;
    m_bKeyEdit = true;
    m_bHaveLastEvent = false;
    installHook();
    selectRowIndex(row);
    setEditingEnabled(false);
    control(QStringLiteral("rowEditButton"))->setText(keyName(keyRowCode(rowAt(row))));
    m_pActionView->setFocus(Qt::OtherFocusReason);
}

void MacroDialog::leaveKeyEdit()
{
    if (!m_bKeyEdit)
        return;
    m_bKeyEdit = false;
    if (!m_bRecording)
        removeHook();
    control(QStringLiteral("rowEditButton"))->setText(tr("EDIT"));
    setEditingEnabled(true);
}

bool MacroDialog::hasRoomFor(int count)
{
    if (m_pModel->rowCount() + count <= MACRO_EVENT_MAX)
        return true;
    showMessage(2, tr("Warning"), tr("A MACRO HOLDS AT MOST 63 ACTIONS."));
    return false;
}

void MacroDialog::insertDelay()
{
    if (m_strCurrent.isEmpty() || m_bRecording || !hasRoomFor(1))
        return;
    const int at = insertPosition();
    insertRowAt(at, delayRow(qMax(1, delayUnitsForMs(m_pDefDelayEdit->text().toLongLong(), m_iUnit))));
    selectRowIndex(at);
}

void MacroDialog::batchDelays()
{
    if (m_strCurrent.isEmpty() || m_bRecording || !m_pDefDelayEdit->hasAcceptableInput())
        return;
    const KeyInfo delay = delayRow(qMax(1, delayUnitsForMs(m_pDefDelayEdit->text().toLongLong(), m_iUnit)));
    for (int r = 0; r < m_pModel->rowCount(); ++r) {
        if (rowAt(r).map == CODE_DELAY)
            setRowAt(r, delay);
    }
    updateRowFields();
}

void MacroDialog::insertCommand(MouseCommand command, int part)
{
    if (m_strCurrent.isEmpty() || m_bRecording || command < 0 || command >= MOUSE_COMMAND_COUNT)
        return;
    QVector<KeyInfo> inserted;
    const quint8 bit = commandButtonBit(command);
    if (bit) {
        if (part == 0 || part == 1)
            inserted << mouseButtonRow(bit, true);
        if (part == 0 || part == 2)
            inserted << mouseButtonRow(bit, false);
    } else {
        inserted << commandMoveRow(command, DEFAULT_MOVE);
    }
    // Each command row is followed by the delay the delay mode asks for.
    QVector<KeyInfo> withDelays;
    for (const KeyInfo &row : inserted) {
        withDelays << row;
        if (m_iDelayMode == DELAY_RECORDED)
            withDelays << delayRow(qMax(1, delayUnitsForMs(10, m_iUnit)));
        else if (m_iDelayMode == DELAY_DEFAULT)
            withDelays << delayRow(qMax(1, delayUnitsForMs(m_pDefDelayEdit->text().toLongLong(), m_iUnit)));
    }
    if (!hasRoomFor(withDelays.size()))
        return;
    int at = insertPosition();
    for (const KeyInfo &row : withDelays)
        insertRowAt(at++, row);
    selectRowIndex(at - 1);
}

void MacroDialog::TreeitemClick(QTreeWidgetItem *item, int)
{
    if (!item || m_strCurrent.isEmpty())
        return;
    const auto command = MouseCommand(item->data(0, Qt::UserRole).toInt());
    const int part = item->data(0, Qt::UserRole + 1).toInt();
    if (!item->parent() && item->childCount() > 0 && !item->isExpanded()) {
        for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
            m_pTree->topLevelItem(i)->setExpanded(false);
        item->setExpanded(true);
        return;
    }
    // The movements go in on the press (ZelItemPressed).
    if (commandButtonBit(command) == 0)
        return;
    insertCommand(command, part);
}

void MacroDialog::ZelItemPressed()
{
    QTreeWidgetItem *item = m_pTree->currentItem();
    if (!item || m_strCurrent.isEmpty())
        return;
    const auto command = MouseCommand(item->data(0, Qt::UserRole).toInt());
    if (commandButtonBit(command) != 0)
        return;
    insertCommand(command);
}

void MacroDialog::mousemove_test()
{
    const auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    insertCommand(MouseCommand(action->data().toInt()));
}

void MacroDialog::copyRows()
{
    QVector<KeyInfo> copied;
    const QModelIndexList selected = m_pActionView->selectionModel()->selectedRows();
    QList<int> indexes;
    for (const QModelIndex &index : selected)
        indexes << index.row();
    if (indexes.isEmpty() && currentRow() >= 0)
        indexes << currentRow();
    std::sort(indexes.begin(), indexes.end());
    for (int r : indexes)
        copied << rowAt(r);
    if (!copied.isEmpty())
        m_Clipboard = copied;
}

void MacroDialog::cutRows()
{
    if (m_bRecording)
        return;
    const QModelIndexList selected = m_pActionView->selectionModel()->selectedRows();
    QList<int> indexes;
    for (const QModelIndex &index : selected)
        indexes << index.row();
    if (indexes.isEmpty() && currentRow() >= 0)
        indexes << currentRow();
    if (indexes.isEmpty())
        return;
    copyRows();
    leaveKeyEdit();
    std::sort(indexes.begin(), indexes.end());
    for (int i = indexes.size() - 1; i >= 0; --i)
        m_pModel->removeRow(indexes[i]);
    if (m_pModel->rowCount() > 0)
        selectRowIndex(qMin(indexes.first(), m_pModel->rowCount() - 1));
    updateRowFields();
}

void MacroDialog::pasteRows()
{
    if (m_Clipboard.isEmpty() || m_strCurrent.isEmpty() || m_bRecording || !hasRoomFor(m_Clipboard.size()))
        return;
    int at = insertPosition();
    for (const KeyInfo &row : m_Clipboard)
        insertRowAt(at++, row);
    selectRowIndex(at - 1);
}

void MacroDialog::setPressState(bool press)
{
    const int row = currentRow();
    if (row < 0 || m_bRecording)
        return;
    const KeyInfo info = rowAt(row);
    if (!isKeyRow(info) && !isMouseButtonRow(info))
        return;
    setRowAt(row, flippedRow(info, press));
}

void MacroDialog::showContextMenu(const QPoint &pos)
{
    if (m_bRecording || m_bKeyEdit || m_strCurrent.isEmpty())
        return;
    const bool row = currentRow() >= 0;
    const KeyInfo info = row ? rowAt(currentRow()) : KeyInfo();
    const bool switchable = row && (isKeyRow(info) || isMouseButtonRow(info));
    contextAction(QStringLiteral("copyAction"))->setEnabled(row);
    contextAction(QStringLiteral("cutAction"))->setEnabled(row);
    contextAction(QStringLiteral("pasteAction"))->setEnabled(!m_Clipboard.isEmpty());
    contextAction(QStringLiteral("pressDownAction"))->setEnabled(switchable && !isPressRow(info));
    contextAction(QStringLiteral("bounceUpAction"))->setEnabled(switchable && isPressRow(info));
    contextAction(QStringLiteral("deleteRowAction"))->setEnabled(row);
    m_pContextMenu->popup(m_pActionView->viewport()->mapToGlobal(pos));
}

void MacroDialog::itemClicked(const QModelIndex &index)
{
    if (index.isValid())
        updateRowFields();
}

void MacroDialog::CurrentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (current.row() != previous.row() && m_bKeyEdit)
        leaveKeyEdit();
    updateRowFields();
}

void MacroDialog::updateRowFields()
{
    if (!m_pDelayEdit || !m_pMoveEdit)
        return;   // still being built
    const int row = currentRow();
    const KeyInfo info = row >= 0 ? rowAt(row) : KeyInfo();
    const QSignalBlocker b1(m_pDelayEdit);
    const QSignalBlocker b2(m_pMoveEdit);
    const bool delay = row >= 0 && info.map == CODE_DELAY;
    const bool move = row >= 0 && info.map == CODE_MOVE;
    m_pDelayEdit->setText(delay ? QString::number(qint64(delayRowUnits(info)) * m_iUnit) : QString());
    m_pMoveEdit->setText(move ? QString::number(qMax(qAbs(moveRowX(info)), qAbs(moveRowY(info)))) : QString());
    const bool editable = !m_bRecording && !m_bKeyEdit;
    m_pDelayEdit->setEnabled(delay && editable);
    m_pMoveEdit->setEnabled(move && editable);
}

void MacroDialog::EditDelayChanged(const QString &text)
{
    const int row = currentRow();
    if (row < 0 || rowAt(row).map != CODE_DELAY || !m_pDelayEdit->hasAcceptableInput())
        return;
    setRowAt(row, delayRow(qMax(1, delayUnitsForMs(text.toLongLong(), m_iUnit))));
}

void MacroDialog::EditMoveChanged(const QString &text)
{
    const int row = currentRow();
    if (row < 0 || !m_pMoveEdit->hasAcceptableInput())
        return;
    const KeyInfo info = rowAt(row);
    if (info.map != CODE_MOVE)
        return;
    const int distance = text.toInt();
    const int x = moveRowX(info), y = moveRowY(info);
    if (x != 0 && y != 0) {
        // A diagonal step keeps its direction on both axes.
        setRowAt(row, moveRow(x < 0 ? -distance : distance, y < 0 ? -distance : distance));
        return;
    }
    setRowAt(row, commandMoveRow(MouseCommand(rowCommand(info)), distance));
}

void MacroDialog::DefDelayChanged(const QString &text)
{
    qCDebug(lcUi, "Default delay %s", qPrintable(text));
}

void MacroDialog::LoopTimeChanged(const QString &text)
{
    qCDebug(lcUi, "Loop time %s", qPrintable(text));
}

void MacroDialog::checkbtn_clicked()
{
    auto *box = qobject_cast<QCheckBox *>(sender());
    if (!box)
        return;
    if (box == m_pRecordDelayBox) {
        if (box->isChecked())
            m_pDefaultDelayBox->setChecked(false);
        m_iDelayMode = box->isChecked() ? DELAY_RECORDED : DELAY_NONE;
    } else if (box == m_pDefaultDelayBox) {
        if (box->isChecked())
            m_pRecordDelayBox->setChecked(false);
        m_iDelayMode = box->isChecked() ? DELAY_DEFAULT : DELAY_NONE;
    }
}

// ---------------------------------------------------------------- recording --

void MacroDialog::setEditingEnabled(bool on)
{
    // Recording leaves only STOP; key editing leaves SAVE, CANCEL and the key.
    QList<QWidget *> keep;
    if (m_bRecording)
        keep << control(QStringLiteral("stopButton"));
    else if (m_bKeyEdit)
        keep << control(QStringLiteral("saveButton")) << control(QStringLiteral("cancelButton"))
             << control(QStringLiteral("rowEditButton")) << m_pActionView;
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w == m_pActionView && m_bRecording)
            continue;   // it takes the focus while recording and shows the rows coming in
        if (!keep.contains(w)) {
            if (auto *button = qobject_cast<ZelPushButton *>(w))
                button->setEnabled(on);
            else
                w->setEnabled(on);
        }
    }
    if (on) {
        markCurrentInList();
        updateRowFields();
    } else {
        m_pDelayEdit->setEnabled(false);
        m_pMoveEdit->setEnabled(false);
    }
}

void MacroDialog::installHook()
{
    if (!m_pHook)
        m_pHook = std::make_unique<platform::KeyboardHook>(
            [this](const platform::KeyHookEvent &event) { return onHookedKey(event); });
}

void MacroDialog::removeHook()
{
    m_pHook.reset();
}

bool MacroDialog::onHookedKey(const platform::KeyHookEvent &event)
{
    const HookedKey key = remapHookedKey(event.scanCode, event.flags, event.virtualKey);
    if (m_bKeyEdit)
        editKey(key);
    else if (m_bRecording)
        recordKey(key);
    else
        return false;
    // Keys being recorded do not also act on the page, except in a box the
    // recorder itself opened.
    return QApplication::activeModalWidget() == nullptr;
}

void MacroDialog::startRecording()
{
    if (m_bRecording || m_strCurrent.isEmpty())
        return;
    leaveKeyEdit();
    m_iLastTime = -1;
    m_bRecording = true;
    m_bDroppedWhileHeld = false;
    m_bWarnedThisRecording = false;
    control(QStringLiteral("startButton"))->hide();
    control(QStringLiteral("stopButton"))->show();
    if (m_pRecordAfterBox->isChecked()) {
        m_iRecordAt = insertPosition();
    } else {
        m_iRecordAt = -1;
        resetModel();
    }
    setEditingEnabled(false);
    emit EnableButtonsSignal(false);
    installHook();
    m_HeldKeys.clear();
    m_pActionView->setFocus(Qt::OtherFocusReason);
}

void MacroDialog::stopRecording()
{
    if (!m_bRecording)
        return;
    m_iLastTime = -1;
    m_bRecording = false;
    control(QStringLiteral("startButton"))->show();
    control(QStringLiteral("stopButton"))->hide();
    setEditingEnabled(true);
    emit EnableButtonsSignal(true);
    removeHook();
    if (!rowsBalanced(rows()) && !m_bWarnedThisRecording)
        warnHeldKeys();
    m_HeldKeys.clear();
    storeRows(m_strCurrent);
}

void MacroDialog::warnHeldKeys()
{
    m_bWarnedThisRecording = true;
    showMessage(2, tr("Warning"), tr("ONE OR MORE KEYS HAS NOT BEEN RELEASED."));
}

void MacroDialog::recordKey(const HookedKey &key)
{
    const quint32 s = key.scanCode;
    const quint32 f = key.flags;
    if (m_HeldKeys.contains(s) && f <= 1)
        return;   // auto-repeat of a key already held
    const int n = m_pModel->rowCount();
    if (n > ROW_LIMIT_DELAYS || (m_iDelayMode == DELAY_NONE && n > ROW_LIMIT_PLAIN)) {
        // The list is full. A key still down now can no longer be released in
        // the macro: say so at once, not only at STOP.
        if (!m_HeldKeys.isEmpty() && !m_bDroppedWhileHeld) {
            m_bDroppedWhileHeld = true;
            QTimer::singleShot(0, this, [this] {
                if (m_bRecording && !m_bWarnedThisRecording)
                    warnHeldKeys();
            });
        }
        return;
    }
    m_LastEvent = key;
    m_bHaveLastEvent = true;
    m_pActionView->setFocus(Qt::OtherFocusReason);

    const qint64 now = platform::monotonicMs();
    const auto append = [this](const KeyInfo &row) {
        if (m_iRecordAt >= 0)
            insertRowAt(m_iRecordAt++, row);
        else
            m_pModel->appendRow(rowItems(row));
    };
    if (m_iLastTime >= 0) {
        const int units = now == m_iLastTime ? 1 : measuredDelayUnits(now - m_iLastTime, m_iUnit);
        if (m_iDelayMode == DELAY_RECORDED)
            append(delayRow(units));
        else if (m_iDelayMode == DELAY_DEFAULT)
            append(delayRow(qMax(1, delayUnitsForMs(m_pDefDelayEdit->text().toLongLong(), m_iUnit))));
    }
    if (isPress(f)) {
        m_HeldKeys.append(s);
        append(keyRow(int(s), true));
    } else {
        m_HeldKeys.removeOne(s);
        append(keyRow(int(s), false));
    }
    m_pActionView->scrollToBottom();
    m_iLastTime = now;
}

void MacroDialog::editKey(const HookedKey &key)
{
    if (m_bHaveLastEvent && key == m_LastEvent)
        return;
    m_LastEvent = key;
    m_bHaveLastEvent = true;
    const int row = currentRow();
    if (row < 0)
        return;
    const KeyInfo info = rowAt(row);
    if (!isKeyRow(info))
        return;
    setRowAt(row, keyRow(int(key.scanCode), isPressRow(info)));
    control(QStringLiteral("rowEditButton"))->setText(keyName(int(key.scanCode)));
}
