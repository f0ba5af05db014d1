#pragma once
// One row of the macro list: the macro's name, which turns into a text field
// for an in-place rename (double click, or F2). The new name is handed on
// when the field loses the focus or Enter is pressed; Esc gives up.

#include <QLineEdit>
#include <QWidget>

class QLabel;

class ZelLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ZelLineEdit(QWidget *parent = nullptr);

signals:
    void zelLostFocus();
    void zelCancelled();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

class ZelListItem : public QWidget
{
    Q_OBJECT
public:
    explicit ZelListItem(const QString &name, QWidget *parent = nullptr);

    QString name() const { return m_strName; }
    void setName(const QString &name);
    bool isEditing() const;
    ZelLineEdit *editor() const { return m_pEdit; }
    QLabel *label() const { return m_pLabel; }
    void setSelected(bool on);

signals:
    // The user finished an in-place edit with a different text.
    void renameRequested(ZelListItem *item, const QString &newName);
    void clicked(ZelListItem *item);

public slots:
    void editPressSlot();
    void lostFocusSlot();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void cancelEdit();

    QString m_strName;
    QLabel *m_pLabel = nullptr;
    ZelLineEdit *m_pEdit = nullptr;
    bool m_bSelected = false;
};
