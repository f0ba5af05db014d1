#pragma once
// The slider pair of a DPI stage: an X and a Y slider for unlinked stages and
// one combined slider for linked ones, sharing one range. While a slider is
// dragged, or for a moment after a key or the wheel moved it, a bubble beside
// its handle shows the value as the user reads it (the DPI).

#include "widgets/zelslider.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class ZelLabel;

// A slider that steps exactly one value per wheel notch, so a user can aim
// for one DPI with the wheel as with the arrow keys.
class ZelStepSlider : public ZelSlider
{
    Q_OBJECT
public:
    explicit ZelStepSlider(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    int m_iWheelRest = 0;
};

class ZelTwoBarSlider : public QWidget
{
    Q_OBJECT
public:
    explicit ZelTwoBarSlider(QWidget *parent = nullptr);

    // Applied to all three sliders (maximum first).
    void setRange(int max, int min);
    // Linked: only the combined slider is shown; unlinked: only X and Y.
    void setLinked(bool linked);
    bool isLinked() const { return m_bLinked; }
    // Moves the sliders without a signal: the combined one and X take x, Y y.
    void setValues(int x, int y);
    // How the bubble shows a slider value (the plain number by default).
    void setValueText(std::function<QString(int)> text);
    void setScale(double scale);

    ZelStepSlider *xSlider() const { return m_pX; }
    ZelStepSlider *ySlider() const { return m_pY; }
    ZelStepSlider *combinedSlider() const { return m_pXY; }
    ZelLabel *bubble() const { return m_pBubble; }

signals:
    // (X, Y) after the X or the Y slider moved; (v, v) after the combined one.
    void SliderChangedSignal(int x, int y);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutSliders();
    void restyle();
    void showBubble(ZelStepSlider *slider);
    void hideBubbleUnlessDragged();

    ZelStepSlider *m_pX = nullptr;
    ZelStepSlider *m_pY = nullptr;
    ZelStepSlider *m_pXY = nullptr;
    ZelLabel *m_pBubble = nullptr;
    ZelStepSlider *m_pBubbleOwner = nullptr;
    QTimer m_BubbleTimer;
    std::function<QString(int)> m_ValueText;
    bool m_bLinked = true;
    double m_dScale = 1.0;
};
