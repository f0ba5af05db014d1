#pragma once
// A menu action shown in the current language's font.

#include <QAction>

class ZelAction : public QAction
{
    Q_OBJECT
public:
    explicit ZelAction(QObject *parent = nullptr);
    explicit ZelAction(const QString &text, QObject *parent = nullptr);

    // Sets the action text and applies the language font again.
    void setText(const QString &text);
    QString text() const { return m_strText; }

private:
    void applyFont();

    QString m_strText;
};
