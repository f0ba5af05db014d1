#pragma once
// "MACRO SELECT" / "GUNFILE SELECT": the user picks one of the listed macro
// files and how the button plays it (a number of times, while held, or until
// pressed again).

#include <QDialog>
#include <QPixmap>

class QLineEdit;
class QMenu;
class QToolButton;
class ZelAction;
class ZelLabel;
class ZelPushButton;

class ZelMacroSelect : public QDialog
{
    Q_OBJECT
public:
    ZelMacroSelect(const QString &title, const QString &info, const QString &name, int loopCount,
                   int loopMode, QWidget *parent = nullptr);

    QString name() const { return m_strName; }
    // The loop field as a number (0 when empty).
    int loopCount() const;
    // 0, 1 or 2: the first option that is on (0 if none).
    int loopMode() const;

    ZelPushButton *nameSelector() const { return m_pNameBtn; }
    QMenu *nameMenu() const { return m_pMenu; }
    QLineEdit *loopEdit() const { return m_pLoopEdit; }
    ZelPushButton *optionButton(int mode) const { return m_pOptions[mode]; }
    QToolButton *yesButton() const { return m_pYesBtn; }
    QToolButton *noButton() const { return m_pNoBtn; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void chooseOption(int mode);
    QToolButton *makeButton(const QString &icon, const QString &objectName);

    QString m_strName;
    QPixmap m_Background;
    ZelLabel *m_pInfoLabel1 = nullptr;
    ZelLabel *m_pInfoLabel2 = nullptr;
    ZelPushButton *m_pNameBtn = nullptr;
    QMenu *m_pMenu = nullptr;
    QList<ZelAction *> m_Actions;
    QLineEdit *m_pLoopEdit = nullptr;
    ZelPushButton *m_pOptions[3] = {};
    QToolButton *m_pYesBtn = nullptr;
    QToolButton *m_pNoBtn = nullptr;
};
