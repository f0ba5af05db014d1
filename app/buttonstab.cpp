#include "app/buttonstab.h"

#include "pages/buttons/zelbtnwindow.h"
#include "profile/profileset.h"
#include "widgets/uistate.h"
#include "widgets/zelpushbutton.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// Lays the page out again whenever its scroll area changes size (the
// window's own layout pass at a new scale).
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QObject *parent, std::function<void()> onResize)
        : QObject(parent), m_OnResize(std::move(onResize)) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_OnResize();
        return false;
    }

private:
    std::function<void()> m_OnResize;
};

ProfileData *currentProfile(ProfileSet &set)
{
    return &set.profiles[set.ProfileID < SLOT_COUNT ? set.ProfileID : 0];
}

// The column beside the picture, clear of the mouse drawing and its markers.
const QRect kButtonsPageRect(660, 100, 290, 440);

} // namespace

void ButtonsTab::build(bool)
{
    m_pBtnScroll = new QScrollArea(window());
    m_pBtnScroll->setObjectName(QStringLiteral("buttonsPageScroll"));
    m_pBtnScroll->setStyleSheet(QStringLiteral("QScrollArea{background-color:transparent;margin:0px;border:0px}"));
    m_pBtnScroll->viewport()->setStyleSheet(QStringLiteral("background-color:transparent;margin:0px;"));
    m_pBtnScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pBtnScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pBtnScroll->setFrameShape(QFrame::NoFrame);
    m_pBtnScroll->setWidgetResizable(false);

    m_pBtnWindow = new ZelBtnWindow(currentProfile(workingSet()), nullptr, 1.0);
    m_pBtnWindow->setObjectName(QStringLiteral("ZelBtnWindow"));
    m_pBtnScroll->setWidget(m_pBtnWindow);
    place(m_pBtnScroll, kButtonsPageRect.x(), kButtonsPageRect.y(), kButtonsPageRect.width(),
          kButtonsPageRect.height());
    m_pBtnScroll->installEventFilter(new ResizeWatcher(m_pBtnScroll, [this] { layoutButtonsPage(); }));
    m_pBtnScroll->hide();

    connect(m_pBtnWindow, &ZelBtnWindow::SelBtnControl, this, &ButtonsTab::pageButtonOver);
    connect(m_pBtnWindow, &ZelBtnWindow::GotoMacroTab, this, &ButtonsTab::gotoTab);
    connect(m_pBtnWindow, &ZelBtnWindow::PopOneClickBox, this, &ButtonsTab::oneClickNeeded);
    // A press on a page button selects its marker on the picture.
    for (int entry = 0; entry < BUTTON_COUNT; ++entry) {
        connect(m_pBtnWindow->entryButton(entry), &ZelPushButton::EnterSignal, this,
                [this, entry] { emit entryEntered(entry); });
    }
    layoutButtonsPage();
}

void ButtonsTab::layoutButtonsPage()
{
    if (!m_pBtnWindow)
        return;
    m_pBtnWindow->setScale(scaleFactor());
    const QSize view = m_pBtnScroll->size();
    // The page is as tall as its buttons need, at least as tall as the view;
    // when it is taller the view scrolls.
    int width = view.width();
    if (m_pBtnWindow->contentHeight() > view.height())
        width -= m_pBtnScroll->verticalScrollBar()->sizeHint().width();
    m_pBtnWindow->setFixedSize(width, qMax(view.height(), m_pBtnWindow->contentHeight()));
    m_pBtnWindow->relayout();
}

void ButtonsTab::loadFrom(ProfileSet &set)
{
    if (!m_pBtnWindow)
        return;
    m_pBtnWindow->relayout();
    m_pBtnWindow->setProfile(currentProfile(set));
}

void ButtonsTab::setShown(bool visible)
{
    if (m_pBtnScroll)
        m_pBtnScroll->setVisible(visible);
}

void ButtonsTab::selectLayer(int index, bool front)
{
    if (!m_pBtnWindow)
        return;
    // The selected button of the slot stays selected on the other layer.
    m_pBtnWindow->select(quint8(index), front ? ZelBtnWindow::GroupPrimary : ZelBtnWindow::GroupSecond);
}

void ButtonsTab::selectButton(int group, int index)
{
    if (m_pBtnWindow)
        m_pBtnWindow->select(quint8(index), quint8(group));
}

void ButtonsTab::pageButtonOver(ZelPushButton *btn, bool over)
{
    const int entry = m_pBtnWindow ? m_pBtnWindow->entryOf(btn) : -1;
    if (entry >= 0)
        emit entryHovered(entry, over);
}

void ButtonsTab::highlightEntry(int entry, bool over)
{
    if (!m_pBtnWindow)
        return;
    if (ZelPushButton *button = m_pBtnWindow->entryButton(entry))
        button->setChecked(over);
}
