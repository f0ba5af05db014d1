#pragma once
// Paints one row of the macro's action list: its number, the picture of its
// kind and what it does ("A", "Press"; "LEFT CLICK", "Release"; "MOVE UP : 5";
// "120 ms"). The rows come from a model with the three columns code, high
// byte, low byte.

#include "profile/records.h"

#include <QPixmap>
#include <QStyledItemDelegate>

class ZelMacroItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ZelMacroItemDelegate(int delayUnitMs, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The text and the state word a row is shown with.
    QString rowText(const KeyInfo &row) const;
    QString stateText(const KeyInfo &row) const;
    static QString commandName(int command);
    static KeyInfo rowAt(const QModelIndex &index);

private:
    const QPixmap &pictureFor(const KeyInfo &row, bool second) const;

    int m_iUnit;
    QPixmap m_Delay, m_KeyDown, m_KeyUp, m_Keyboard, m_Mouse, m_None;
};
