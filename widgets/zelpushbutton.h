#pragma once
// An image button with four looks (normal, hover or checked, pressed,
// disabled), its own text, a number badge and hover signals.
//
// The checked, checkable and enabled setters are this class's own: the
// checked state lives here, not in QAbstractButton, so they must be called
// on a ZelPushButton (enabling through a QWidget pointer is followed too).

#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QVector>
#include <QPushButton>
#include <QStringList>

class ZelPushButton : public QPushButton
{
    Q_OBJECT
public:
    enum State { StateNormal = 0, StateHover = 1, StatePressed = 2, StateDisabled = 3 };
    enum Badge : quint8 { BadgeNone = 0, BadgeUp = 253, BadgeDown = 254 };

    // images: file paths of the normal, hover and pressed pictures (any of
    // them may be missing; a picture that cannot be loaded stays empty).
    // icon: optional picture drawn in the middle of the button.
    explicit ZelPushButton(const QStringList &images = QStringList(), QWidget *parent = nullptr,
                           const QString &icon = QString());

    void setText(const QString &text);     // also the tool tip
    QString text() const { return m_strText; }
    void setBadge(quint8 badge);
    quint8 badge() const { return m_iBadge; }
    void setGradient(bool on);
    bool isGradient() const { return m_bGradient; }
    void setRound(bool on);
    bool isRound() const { return m_bRound; }
    void setVertical(bool on);
    bool isVertical() const { return m_bVertical; }
    void setCheckable(bool on);
    bool isCheckable() const { return m_bCheckable; }
    void setChecked(bool on);
    bool isChecked() const { return m_bChecked; }
    void setEnabled(bool on);
    // Off: hover and press leave the look and the signals alone.
    void setInteractive(bool on) { m_bInteractive = on; }
    bool isInteractive() const { return m_bInteractive; }

    int state() const { return m_iState; }
    int imageCount() const { return m_Images.size(); }
    bool hasIcon() const { return !m_Icon.isNull(); }

    QSize sizeHint() const override;

    // What the button shows: the badge text ("  ↑", "  ↓", "  %d", or empty
    // for 0), the text as cut to the button's width, and the text colour of
    // a state in the current palette.
    static QString badgeText(quint8 badge);
    QString displayText() const;
    static QColor textColor(int state);
    QFont paintFont() const;

signals:
    void EnterSignal(ZelPushButton *button);
    void OverSignal(ZelPushButton *button, bool bType);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int restingState() const;
    const QPixmap &stateImage() const;
    const QPixmap &image(int index) const;
    void updateMask();

    QString m_strText;
    bool m_bGradient = false;
    bool m_bRound = false;
    bool m_bVertical = false;
    quint8 m_iBadge = 0;
    bool m_bCheckable = false;
    bool m_bChecked = false;
    bool m_bEnabled = true;
    QPixmap m_Icon;
    QStringList m_ImagePaths;
    mutable QVector<QPixmap> m_Images;
    mutable QVector<bool> m_ImageRead;
    int m_iState = StateNormal;
    bool m_bInteractive = true;
    bool m_bReportLeave = true;
};
