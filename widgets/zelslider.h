#pragma once
// A slider that shows its value in a small bubble while it is dragged.

#include <QSlider>

class ZelLabel;

class ZelSlider : public QSlider
{
    Q_OBJECT
public:
    explicit ZelSlider(QWidget *parent = nullptr);
    explicit ZelSlider(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Off also hides the bubble.
    void setShowValue(bool on);
    bool showValue() const { return m_bShowValue; }
    bool isPressed() const { return m_bPressed; }
    // The bubble, for callers that style it and for inspection.
    ZelLabel *bubble() const { return m_pValueLabel; }

signals:
    // The mouse button was released over the slider: the drag is over.
    void MouseChange();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void init();
    void refreshBubble();

    ZelLabel *m_pValueLabel = nullptr;
    bool m_bPressed = false;
    bool m_bShowValue = false;
};
