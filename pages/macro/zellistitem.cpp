#include "zellistitem.h"

#include "widgets/uistate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

ZelLineEdit::ZelLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void ZelLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    emit zelLostFocus();
}

void ZelLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        emit zelCancelled();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit zelLostFocus();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

ZelListItem::ZelListItem(const QString &name, QWidget *parent)
    : QWidget(parent)
    , m_strName(name)
{
    m_pLabel = new QLabel(name, this);
    m_pLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pEdit = new ZelLineEdit(this);
    m_pEdit->setMaxLength(100);
    m_pEdit->setStyleSheet(QStringLiteral("border:1px solid rgb(90,90,90);background:rgb(30,30,30);color:white"));
    m_pEdit->hide();
    connect(m_pEdit, &ZelLineEdit::zelLostFocus, this, &ZelListItem::lostFocusSlot);
    connect(m_pEdit, &ZelLineEdit::zelCancelled, this, &ZelListItem::cancelEdit);
    setSelected(false);
}

void ZelListItem::setName(const QString &name)
{
    m_strName = name;
    m_pLabel->setText(name);
}

bool ZelListItem::isEditing() const
{
    return !m_pEdit->isHidden();
}

void ZelListItem::setSelected(bool on)
{
    m_bSelected = on;
    const QColor c = on ? themeColor() : QColor(200, 200, 200);
    m_pLabel->setStyleSheet(QStringLiteral("color:%1;background:transparent").arg(c.name()));
}

void ZelListItem::editPressSlot()
{
    if (isEditing() || !isEnabled())
        return;
    m_pEdit->setText(m_strName);
    m_pEdit->selectAll();
    m_pLabel->hide();
    m_pEdit->show();
    m_pEdit->setFocus(Qt::OtherFocusReason);
}

void ZelListItem::lostFocusSlot()
{
    if (!isEditing())
        return;
    const QString typed = m_pEdit->text().trimmed();
    m_pEdit->hide();
    m_pLabel->show();
    if (!typed.isEmpty() && typed != m_strName)
        emit renameRequested(this, typed);
}

void ZelListItem::cancelEdit()
{
    m_pEdit->hide();
    m_pLabel->show();
}

void ZelListItem::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        editPressSlot();
}

void ZelListItem::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(this);
    QWidget::mousePressEvent(event);
}

void ZelListItem::resizeEvent(QResizeEvent *)
{
    const QRect r = rect().adjusted(scaled(6), 0, -scaled(2), 0);
    m_pLabel->setGeometry(r);
    m_pEdit->setGeometry(r.adjusted(-scaled(3), scaled(1), 0, -scaled(1)));
}

void ZelListItem::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_pLabel->setFont(font());
        m_pEdit->setFont(font());
    }
    QWidget::changeEvent(event);
}
