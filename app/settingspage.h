#pragma once
// One tab of the window's settings area (LIGHTING, CUSTOMIZE, DPI, MACRO), as
// the window sees it. The window keeps one per tab in a list and loops over
// it: load after the working set changed, collect before Apply and OK, show
// the one whose tab is chosen, scale and retranslate with the window.
//
// The rule for edits, the same for every page:
// - load(set) shows the set's values and drops whatever the user changed on
//   the page and was not collected yet. It never emits changed().
// - collect(set) is the moment the set holds every edit the user made on the
//   page since the last load() or collect(), and only those: a value the set
//   took meanwhile from elsewhere (the mouse's own report, another page, a bus
//   caller) stays as it is.
// - Between load() and collect() a page either writes an edit into the set
//   as it is made (the key table, the light, the scroll speed: the picture
//   shows them at once, and a slot switch saves them with the set) or keeps
//   it in its widgets (the DPI stages, the rate, the sensor options: a slot
//   switch drops them, as load() drops any edit not collected). Which one is
//   said at the page; the window does the same for every page either way:
//   collect() on Apply and OK only, load() after every change of the set.
// - reset(set) is load(set): the page shows the set again. Reverting the set
//   itself is the window's (Cancel reads the slot's file back first).
// - changed() says only that the user changed something on the page.
// A page is built the first time its tab is shown (or it is asked for), and
// loaded then; until that every call is a no-op.

#include <QObject>
#include <QSignalBlocker>
#include <QRect>
#include <functional>

class QWidget;
struct ProfileSet;

// What a page needs of the window: the widget its widgets live in and the
// window's placing (design units, rescaled with the window).
struct PageSite {
    QWidget *window = nullptr;
    std::function<void(QWidget *, const QRect &)> place;
};

class SettingsPage : public QObject {
    Q_OBJECT
public:
    explicit SettingsPage(const PageSite &site, QObject *parent = nullptr)
        : QObject(parent), m_Site(site) {}

    bool isBuilt() const { return m_bBuilt; }
    // Builds the page (shown or hidden as `shown` says) and loads it.
    void ensureBuilt(ProfileSet &set, bool shown)
    {
        if (m_bBuilt)
            return;
        m_bBuilt = true;
        build(shown);
        load(set);
    }

    // Shows the set; whatever the page's widgets say meanwhile is not an edit.
    void load(ProfileSet &set)
    {
        const QSignalBlocker quiet(this);
        loadFrom(set);
    }
    virtual void collect(ProfileSet &set) { Q_UNUSED(set) }
    void reset(ProfileSet &set) { load(set); }
    // Its tab chosen or left.
    virtual void setShown(bool shown) = 0;
    // The window took another scale; the page's widgets already have their
    // new places.
    virtual void scale() {}
    // The window's texts were changed to another language.
    virtual void retranslate() {}

signals:
    void changed();

protected:
    virtual void build(bool shown) = 0;
    virtual void loadFrom(ProfileSet &set) = 0;
    void place(QWidget *widget, int x, int y, int w, int h) { m_Site.place(widget, QRect(x, y, w, h)); }
    QWidget *window() const { return m_Site.window; }

private:
    PageSite m_Site;
    bool m_bBuilt = false;
};
