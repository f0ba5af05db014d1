#pragma once
// The MACRO page: the list of the user's macros (files of the macro store),
// the action list of the macro being edited, recording from the keyboard,
// row tools, mouse commands, delays, loop options, import, export and the
// gun set. The page edits macro files only; buttons take macros by name on
// the CUSTOMIZE page.

#include "macrorows.h"
#include "platform/keyboardhook.h"
#include "profile/macrostore.h"

#include <QHash>
#include <QModelIndex>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QStandardItemModel;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class ZelAction;
class ZelGunsetDialog;
class ZelLabel;
class ZelListItem;
class ZelMacroItemDelegate;
class ZelPushButton;

class MacroDialog : public QWidget
{
    Q_OBJECT
public:
    enum { DESIGN_WIDTH = 665, DESIGN_HEIGHT = 467, DEFAULT_MOVE = 10 };
    enum DelayMode { DELAY_NONE = 0, DELAY_RECORDED = 1, DELAY_DEFAULT = 2 };

    // What the page asks of the world; unset members fall back to the real
    // message box and file dialogs.
    struct Services {
        // Shows a ZelMessageBox of the type; returns what exec() returned.
        std::function<int(int type, const QString &heading, const QString &text)> message;
        // Files chosen in an open (several) or save dialog; empty when cancelled.
        std::function<QStringList(const QString &title, const QString &filter, bool save)> chooseFiles;
        // Runs the gun-set dialog; true when it was accepted.
        std::function<bool(ZelGunsetDialog &dialog)> runGunSet;
    };

    explicit MacroDialog(QWidget *parent = nullptr);
    ~MacroDialog() override;

    void setServices(const Services &services) { m_Services = services; }

    // Takes names added or removed elsewhere into the list; the macro being
    // edited and its unsaved rows stay as they are while it still exists.
    void refresh();

    // --- state, for the window and tests -------------------------------------
    QString currentMacro() const { return m_strCurrent; }
    QStringList macroNames() const;
    QVector<KeyInfo> rows() const;
    void setRows(const QVector<KeyInfo> &rows);
    int currentRow() const;
    int delayMode() const { return m_iDelayMode; }
    int loopType() const { return m_iLoopType; }   // 0 none, 1..3 the three options
    void setLoopType(int type);
    int delayUnit() const { return m_iUnit; }
    bool isRecording() const { return m_bRecording; }
    bool isKeyEditing() const { return m_bKeyEdit; }
    bool isHooked() const { return bool(m_pHook); }
    QStandardItemModel *actionModel() const { return m_pModel; }
    QTreeView *actionView() const { return m_pActionView; }
    QListWidget *macroList() const { return m_pMacroList; }
    QTreeWidget *commandTree() const { return m_pTree; }
    QLineEdit *nameEdit() const { return m_pNameEdit; }
    QLineEdit *delayEdit() const { return m_pDelayEdit; }
    QLineEdit *moveEdit() const { return m_pMoveEdit; }
    QLineEdit *defaultDelayEdit() const { return m_pDefDelayEdit; }
    QLineEdit *loopTimeEdit() const { return m_pLoopEdit; }
    QCheckBox *recordDelayBox() const { return m_pRecordDelayBox; }
    QCheckBox *defaultDelayBox() const { return m_pDefaultDelayBox; }
    QCheckBox *recordAfterBox() const { return m_pRecordAfterBox; }
    ZelPushButton *loopOption(int i) const { return m_pLoopOptions[i]; }
    ZelPushButton *control(const QString &objectName) const;
    ZelListItem *listItem(int row) const;
    QMenu *contextMenu() const { return m_pContextMenu; }
    ZelAction *contextAction(const QString &objectName) const;

    // --- the buttons ------------------------------------------------------------
    void newMacro();
    // The CHANGE NAME rule: a taken name gets "_1", "_2" ... Returns the name
    // the macro now has (the old one when the rename was refused).
    QString renameCurrent(const QString &typed);
    void deleteMacro();
    void saveMacro();
    void cancelEdit();
    void importMacros();
    void exportMacro();
    void gunSet();
    void startRecording();
    void stopRecording();
    void selectMacro(const QString &name);
    void clearRows();
    void moveRowTop();
    void moveRowUp();
    void moveRowDown();
    void moveRowBottom();
    void deleteRow();
    void editRow();
    void insertDelay();
    void batchDelays();
    void insertCommand(macro::MouseCommand command, int part = 0);   // part 0 click, 1 press, 2 release
    void copyRows();
    void cutRows();
    void pasteRows();
    void setPressState(bool press);

signals:
    // False while recording: the window disables its own controls.
    void EnableButtonsSignal(bool bEnable);
    // A macro took a new name: buttons that play it follow.
    void MacroRenamedSignal(const QString &oldName, const QString &newName);

public slots:
    void TreeitemClick(QTreeWidgetItem *item, int column);
    void itemClicked(const QModelIndex &index);
    void EditMoveChanged(const QString &text);
    void EditDelayChanged(const QString &text);
    void DefDelayChanged(const QString &text);
    void LoopTimeChanged(const QString &text);
    void CurrentChanged(const QModelIndex &current, const QModelIndex &previous);
    void mousemove_test();
    void ZelItemPressed();
    void checkbtn_clicked();
    void SelectRow(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void retranslate();
    void relayout();
    void place(QWidget *widget, int x, int y, int w, int h);
    ZelPushButton *makeButton(const QString &objectName, int x, int y, int w, int h,
                              const QStringList &images = QStringList());
    QCheckBox *makeCheckBox(const QString &objectName, int x, int y, int w, int h);

    int showMessage(int type, const QString &heading, const QString &text);
    QStringList chooseFiles(const QString &title, const QString &filter, bool save);

    // The macro list.
    void rebuildMacroList(const QString &select);
    void markCurrentInList();
    void loadMacro(const QString &name);
    MacroSettings editorSettings() const;
    void applySettings(const MacroSettings &settings);
    bool storeRows(const QString &name);
    QString freeName(const QString &wanted) const;
    void onListItemRename(ZelListItem *item, const QString &typed);

    // The action list.
    void resetModel();
    KeyInfo rowAt(int row) const;
    void setRowAt(int row, const KeyInfo &info);
    void insertRowAt(int row, const KeyInfo &info);
    int insertPosition() const;   // after the selected row, else at the end
    void moveRowTo(int from, int to);
    void selectRowIndex(int row);
    void updateRowFields();
    void showContextMenu(const QPoint &pos);
    bool hasRoomFor(int count);   // a macro holds at most 63 rows

    // Recording and key editing.
    bool onHookedKey(const platform::KeyHookEvent &event);
    void recordKey(const macro::HookedKey &key);
    void editKey(const macro::HookedKey &key);
    void installHook();
    void removeHook();
    void leaveKeyEdit();
    void setEditingEnabled(bool on);
    void warnHeldKeys();

    Services m_Services;
    QPixmap m_Background;
    QHash<QWidget *, QRect> m_DesignRects;
    int m_iUnit = 10;

    // The list and the macro being edited.
    QString m_strCurrent;
    QListWidget *m_pMacroList = nullptr;
    ZelLabel *m_pMacroTitle = nullptr;
    ZelLabel *m_pNameLabel = nullptr;
    QLineEdit *m_pNameEdit = nullptr;

    // The action list.
    QStandardItemModel *m_pModel = nullptr;
    QTreeView *m_pActionView = nullptr;
    ZelMacroItemDelegate *m_pDelegate = nullptr;
    QVector<KeyInfo> m_Clipboard;

    // Fields and options.
    ZelLabel *m_pDelayLabel = nullptr;
    ZelLabel *m_pMoveLabel = nullptr;
    ZelLabel *m_pDefDelayLabel = nullptr;
    QLineEdit *m_pDelayEdit = nullptr;
    QLineEdit *m_pMoveEdit = nullptr;
    QLineEdit *m_pDefDelayEdit = nullptr;
    QLineEdit *m_pLoopEdit = nullptr;
    QCheckBox *m_pRecordDelayBox = nullptr;
    QCheckBox *m_pDefaultDelayBox = nullptr;
    QCheckBox *m_pRecordAfterBox = nullptr;
    ZelPushButton *m_pLoopOptions[3] = {};
    ZelLabel *m_pLoopLabels[3] = {};
    QTreeWidget *m_pTree = nullptr;
    QMenu *m_pContextMenu = nullptr;
    QMenu *m_pMouseMenu = nullptr;

    // Recording state.
    int m_iDelayMode = DELAY_NONE;
    int m_iLoopType = 0;
    bool m_bRecording = false;
    bool m_bKeyEdit = false;
    int m_iRecordAt = -1;                 // next row of RECORD AFTER, -1 appends
    std::unique_ptr<platform::KeyboardHook> m_pHook;
    QVector<quint32> m_HeldKeys;          // remapped scan codes, in press order
    macro::HookedKey m_LastEvent;
    bool m_bHaveLastEvent = false;
    qint64 m_iLastTime = -1;              // monotonic ms; -1 before the first event
    bool m_bDroppedWhileHeld = false;     // the row limit cut a release
    bool m_bWarnedThisRecording = false;
};
