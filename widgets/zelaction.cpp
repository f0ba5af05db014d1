#include "zelaction.h"

#include "uistate.h"

ZelAction::ZelAction(QObject *parent)
    : QAction(parent)
{
    applyFont();
}

ZelAction::ZelAction(const QString &text, QObject *parent)
    : QAction(text, parent)
    , m_strText(text)
{
    applyFont();
}

void ZelAction::setText(const QString &text)
{
    m_strText = text;
    QAction::setText(text);
    applyFont();
}

void ZelAction::applyFont()
{
    setFont(scaledPageFont(font()));
}
