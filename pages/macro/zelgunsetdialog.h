#pragma once
// The gun set: a recoil pattern of one to five shots, each a left click, a
// movement and a pause, composed with spin boxes and written as a gun file
// (a macro file of the macro store).

#include "profile/records.h"

#include <QDialog>
#include <QPixmap>
#include <QVector>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSpinBox;
class QToolButton;
class ZelLabel;
class ZelPushButton;

class ZelGunsetDialog : public QDialog
{
    Q_OBJECT
public:
    enum { MAX_SHOTS = 5 };
    // Shows a warning (type, text) and returns what the box returned.
    using MessageHandler = std::function<int(int type, const QString &text)>;

    ZelGunsetDialog(QWidget *parent, double scale);

    void setMessageHandler(MessageHandler handler) { m_Message = std::move(handler); }

    int shotCount() const { return m_iShots; }
    void setShotCount(int shots);   // 1..5, as the menu's actions do
    QLineEdit *nameEdit() const { return m_pNameEdit; }
    QSpinBox *delayBox(int shot) const { return m_pDelay[shot]; }
    QSpinBox *xBox(int shot) const { return m_pX[shot]; }
    QSpinBox *yBox(int shot) const { return m_pY[shot]; }
    ZelPushButton *shotSelector() const { return m_pShotSel; }
    QMenu *shotMenu() const { return m_pShotMenu; }
    QToolButton *yesButton() const { return m_pYesBtn; }
    QToolButton *noButton() const { return m_pNoBtn; }

    // After acceptance: the typed name and the rows built from the shots.
    QString resultName() const { return m_strResultName; }
    QListWidget *resultList() const { return m_pList; }
    QVector<KeyInfo> resultEvents() const;

    // Writes the rows as a gun file at path; false when it cannot be written.
    bool writeGunFile(const QString &path) const;

public slots:
    void OnYesClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    int showMessage(int type, const QString &text);
    QPoint station(int shot) const;   // centre of a shot's column, design units

    double m_dScale;
    int m_iShots = MAX_SHOTS;
    MessageHandler m_Message;
    QPixmap m_Background, m_Track, m_Bullet;
    ZelLabel *m_pTitle = nullptr;
    ZelLabel *m_pNameLabel = nullptr;
    ZelLabel *m_pShotLabel = nullptr;
    ZelLabel *m_pDelayLabel = nullptr;
    ZelLabel *m_pXLabel = nullptr;
    ZelLabel *m_pYLabel = nullptr;
    QLineEdit *m_pNameEdit = nullptr;
    ZelPushButton *m_pShotSel = nullptr;
    QMenu *m_pShotMenu = nullptr;
    QSpinBox *m_pDelay[MAX_SHOTS] = {};
    QSpinBox *m_pX[MAX_SHOTS] = {};
    QSpinBox *m_pY[MAX_SHOTS] = {};
    QListWidget *m_pList = nullptr;
    QString m_strResultName;
    QToolButton *m_pYesBtn = nullptr;
    QToolButton *m_pNoBtn = nullptr;
};
