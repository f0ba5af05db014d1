#pragma once
// A borderless, click-through text bubble near the bottom of the screen.

#include "platform/osdchannel.h"
#include <QTimer>
#include <QWidget>

class QVariantAnimation;

class OsdWindow : public QWidget {
    Q_OBJECT
public:
    explicit OsdWindow(QWidget *parent = nullptr);
    void showMessage(const platform::OsdMessage &message);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    platform::OsdMessage m_message;
    QTimer m_hideTimer;
    QVariantAnimation *m_fade = nullptr;
};
