#pragma once
// A label that paints its own text in the current language's font.

#include <QLabel>

class ZelLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ZelLabel(QWidget *parent = nullptr);
    explicit ZelLabel(const QString &text, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return m_strText; }
    void setNumber(int number);            // the text becomes "%d"

    void setWordWrap(bool on);
    bool wordWrap() const { return m_bWordWrap; }
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return m_Alignment; }

    // Pixel size used instead of the language's size while the flag is on.
    void setFixedFont(bool on);
    void setFixedPixelSize(int px);
    // Pixels taken off the font size while the flag is on.
    void setShrink(bool on);
    void setShrinkSize(int px);
    // Fill the label with rgb(30,30,30) under the text.
    void setDarkBackground(bool on);

    // The font the text is painted with, built from the language font, the
    // size flags, the widget's own font (weight, style) and the scale factor.
    QFont paintFont() const;

signals:
    void EnterSignal(ZelLabel *label);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void init();
    void refreshFont();

    QString m_strText;
    bool m_bWordWrap = false;
    bool m_bFixedSize = false;
    int m_iFixedPixelSize = 0;
    bool m_bShrink = false;
    int m_iShrinkSize = 0;
    Qt::Alignment m_Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_bDarkBackground = false;
};
