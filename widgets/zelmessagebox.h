#pragma once
// The program's own modal message and question box.
//
//   type 0, 2, 3   warning icon, "Ok"
//   type 1         warning icon, "Yes" and "No" (a question)
//   type 4         receiver icon, "Ok"
//   other          no icon, "Ok"
//
// exec() gives QDialog::Accepted for "Yes"/"Ok" (or when the device watch
// sees the mouse connected) and QDialog::Rejected for "No".

#include <QDialog>
#include <QPixmap>

class QLabel;
class QTimer;
class QToolButton;
class ZelLabel;

class ZelMessageBox : public QDialog
{
    Q_OBJECT
public:
    // watchDevice: close with Accepted by itself as soon as the main window
    // reports the mouse connected (isDeviceConnected(), polled every 100 ms).
    ZelMessageBox(int type, const QString &title, const QString &heading, const QString &message,
                  QWidget *parent = nullptr, bool watchDevice = false,
                  Qt::WindowFlags flags = Qt::FramelessWindowHint);

    int type() const { return m_iType; }
    bool isPlugged() const { return m_bPlugged; }
    bool isWatchingDevice() const;
    ZelLabel *headingLabel() const { return m_pInfoLabel1; }
    ZelLabel *messageLabel() const { return m_pInfoLabel2; }
    QLabel *iconLabel() const { return m_pIconLabel; }
    QToolButton *yesButton() const { return m_pYesBtn; }
    QToolButton *noButton() const { return m_pNoBtn; }   // type 1 only, else nullptr

    // The icon picture of a box type ("/skin/warn.png", "/skin/dongle2.png",
    // or empty for types without one), relative to the application directory.
    static QString iconPath(int type);

public slots:
    void GetPlugInSignal();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *makeButton(const QString &text, const QString &icon, const QString &objectName);

    bool m_bPlugged = false;
    QPixmap m_Background;
    QLabel *m_pIconLabel = nullptr;
    ZelLabel *m_pInfoLabel1 = nullptr;
    ZelLabel *m_pInfoLabel2 = nullptr;
    QToolButton *m_pYesBtn = nullptr;
    QToolButton *m_pNoBtn = nullptr;
    int m_iType = 0;
    QTimer *m_pWatchTimer = nullptr;
};
