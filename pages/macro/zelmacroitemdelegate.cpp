#include "zelmacroitemdelegate.h"

#include "macrorows.h"
#include "profile/keys.h"
#include "widgets/uistate.h"

#include <QPainter>

using namespace macro;

ZelMacroItemDelegate::ZelMacroItemDelegate(int delayUnitMs, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_iUnit(delayUnitMs > 0 ? delayUnitMs : 10)
{
    m_Delay.load(appFilePath(QStringLiteral("/skin/delay.png")));
    m_KeyDown.load(appFilePath(QStringLiteral("/skin/keydown.png")));
    m_KeyUp.load(appFilePath(QStringLiteral("/skin/keyup.png")));
    m_Keyboard.load(appFilePath(QStringLiteral("/skin/keybo.png")));
    m_Mouse.load(appFilePath(QStringLiteral("/skin/mouse_move.png")));
}

KeyInfo ZelMacroItemDelegate::rowAt(const QModelIndex &index)
{
    const QAbstractItemModel *model = index.model();
    KeyInfo row;
    if (!model)
        return row;
    const int r = index.row();
    row.map = quint8(model->index(r, 0).data(Qt::UserRole).toInt());
    row.dataH = quint8(model->index(r, 1).data(Qt::UserRole).toInt());
    row.dataL = quint8(model->index(r, 2).data(Qt::UserRole).toInt());
    return row;
}

QString ZelMacroItemDelegate::commandName(int command)
{
    switch (command) {
    case CMD_LEFT_CLICK: return tr("LEFT CLICK");
    case CMD_MIDDLE_CLICK: return tr("MIDDLE CLICK");
    case CMD_RIGHT_CLICK: return tr("RIGHT CLICK");
    case CMD_FORWARD: return tr("FORWARD");
    case CMD_BACKWARD: return tr("BACKWARD");
    case CMD_MOVE_LEFT: return tr("MOVE LEFT");
    case CMD_MOVE_RIGHT: return tr("MOVE RIGHT");
    case CMD_MOVE_UP: return tr("MOVE UP");
    case CMD_MOVE_DOWN: return tr("MOVE DOWN");
    default: return QString();
    }
}

QString ZelMacroItemDelegate::rowText(const KeyInfo &row) const
{
    if (row.map == CODE_DELAY)
        return tr("%1 ms").arg(qint64(delayRowUnits(row)) * m_iUnit);
    if (isKeyRow(row)) {
        const QString name = keyName(keyRowCode(row));
        return name.isEmpty() ? QStringLiteral("0x%1").arg(row.dataL, 2, 16, QLatin1Char('0')).toUpper() : name;
    }
    if (isMouseButtonRow(row)) {
        const int command = rowCommand(row);
        return command >= 0 ? commandName(command) : tr("BUTTON 0x%1").arg(row.dataL, 2, 16, QLatin1Char('0'));
    }
    if (row.map == CODE_MOVE) {
        // Steps are signed bytes: 253 is three steps back, not 253 forward.
        const int x = moveRowX(row), y = moveRowY(row);
        if (x != 0 && y != 0)
            return QStringLiteral("X : %1  Y : %2").arg(x).arg(y);
        return commandName(rowCommand(row)) + QStringLiteral(" : %1").arg(qAbs(x != 0 ? x : y));
    }
    return QStringLiteral("%1 %2 %3").arg(row.map).arg(row.dataH).arg(row.dataL);
}

QString ZelMacroItemDelegate::stateText(const KeyInfo &row) const
{
    if (isKeyRow(row) || isMouseButtonRow(row))
        return isPressRow(row) ? tr("Press") : tr("Release");
    return QString();
}

const QPixmap &ZelMacroItemDelegate::pictureFor(const KeyInfo &row, bool second) const
{
    if (row.map == CODE_DELAY)
        return second ? m_None : m_Delay;
    if (isKeyRow(row))
        return second ? m_Keyboard : (isPressRow(row) ? m_KeyDown : m_KeyUp);
    if (isMouseButtonRow(row))
        return second ? m_Mouse : (isPressRow(row) ? m_KeyDown : m_KeyUp);
    if (row.map == CODE_MOVE)
        return second ? m_None : m_Mouse;
    return m_None;
}

void ZelMacroItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const KeyInfo row = rowAt(index);
    const QRect r = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        QColor fill = themeColor();
        fill.setAlpha(70);
        painter->fillRect(r, fill);
        painter->fillRect(QRect(r.left(), r.top(), scaled(3), r.height()), themeColor());
    } else if (index.row() % 2) {
        painter->fillRect(r, QColor(255, 255, 255, 8));
    }

    QFont font = option.font;
    painter->setFont(font);
    const int pad = scaled(6);
    const int icon = qMin(r.height() - scaled(4), scaled(18));
    int x = r.left() + pad;
    painter->setPen(QColor(120, 126, 136));
    const QRect numberBox(x, r.top(), scaled(22), r.height());
    painter->drawText(numberBox, Qt::AlignRight | Qt::AlignVCenter, QString::number(index.row() + 1));
    x = numberBox.right() + pad;

    for (bool second : {false, true}) {
        const QPixmap &pic = pictureFor(row, second);
        if (!pic.isNull())
            painter->drawPixmap(QRect(x, r.top() + (r.height() - icon) / 2, icon, icon), pic);
        if (!pic.isNull() || !second)
            x += icon + scaled(4);
    }

    painter->setPen(selected ? Qt::white : QColor(215, 215, 215));
    const QString state = stateText(row);
    const int stateWidth = state.isEmpty() ? 0 : painter->fontMetrics().horizontalAdvance(state) + pad;
    const QRect textBox(x, r.top(), r.right() - x - stateWidth - pad, r.height());
    painter->drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(rowText(row), Qt::ElideRight, textBox.width()));
    if (!state.isEmpty()) {
        painter->setPen(isPressRow(row) ? themeColor() : QColor(150, 156, 166));
        painter->drawText(QRect(r.right() - stateWidth - pad, r.top(), stateWidth, r.height()),
                          Qt::AlignRight | Qt::AlignVCenter, state);
    }
    painter->restore();
}

QSize ZelMacroItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width(), qMax(scaled(24), option.fontMetrics.height() + scaled(6)));
}
