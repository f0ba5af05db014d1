#pragma once
// The frame every dialog of the CUSTOMIZE page shares: no window frame, the
// skin's dialog picture stretched over the dialog with a theme-coloured
// border, a title at the top and the "OK" and "Cancel" tool buttons at the
// bottom right. Subclasses place their own widgets between them.

#include <QDialog>
#include <QPixmap>

class QHBoxLayout;
class QToolButton;
class ZelLabel;
class ZelPushButton;

// The key display of the key dialogs (design size, one look, no hover or
// press effects).
ZelPushButton *makeKeyDialogDisplay(QWidget *parent, const QSize &size);

class ZelKeyDialog : public QDialog
{
    Q_OBJECT
public:
    // size: design size, multiplied by the scale factor.
    ZelKeyDialog(const QSize &size, QWidget *parent = nullptr);

    ZelLabel *titleLabel() const { return m_pTitleLabel; }
    QToolButton *yesButton() const { return m_pYesBtn; }
    QToolButton *noButton() const { return m_pNoBtn; }

protected:
    void paintEvent(QPaintEvent *event) override;
    // The row of the two tool buttons, right-aligned, for the subclass's layout.
    QHBoxLayout *buttonRow() const { return m_pButtonRow; }
    // Shows the dialog centred over the window it belongs to.
    void centreOverParent();
    // The single- and combo-key layout: the title, a key display centred
    // below it, the tool buttons at the bottom. Returns the display.
    ZelPushButton *layOutKeyDisplay();
    void showEvent(QShowEvent *event) override;

    QPixmap m_Background;
    double m_fScale = 1.0;
    ZelLabel *m_pTitleLabel = nullptr;
    QToolButton *m_pYesBtn = nullptr;
    QToolButton *m_pNoBtn = nullptr;

private:
    QToolButton *makeButton(const QString &icon, const QString &objectName);
    QHBoxLayout *m_pButtonRow = nullptr;
};
