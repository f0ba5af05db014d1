#pragma once
// A progress bar that can print a caption over itself.

#include <QProgressBar>

class ZelProcessbar : public QProgressBar
{
    Q_OBJECT
public:
    explicit ZelProcessbar(QWidget *parent = nullptr);

    // Drawn in white, centred over the whole bar; empty draws nothing extra.
    void setCaption(const QString &caption);
    QString caption() const { return m_strCaption; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_strCaption;
};
