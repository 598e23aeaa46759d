#pragma once
// What every page of the main window's wizard has: its controls and their places, the
// order Tab visits them, the field the focus starts in, its texts in the active
// language and the controls that take the colour scheme. A page asks the window to
// move on or back, or to quit, by its signals; the window keeps the tab frame around
// the pages.
#include "platform/gui/FontUnits.h"

#include <QList>
#include <QWidget>

#include <functional>

struct Client;
class QCheckBox;
class QPushButton;
class QVBoxLayout;

class WizardPage : public QWidget {
    Q_OBJECT
public:
    // name: the page's objectName (TabSheet1 to TabSheet4).
    WizardPage(Client& client, const QString& name, QWidget* parent);

    // Puts the form's values into the page's controls (once start-up filled the form).
    virtual void showFormValues() = 0;
    // The active language's texts on the page's controls, and the names assistive
    // tools read out; the language tables are loaded already.
    virtual void applyLanguage() = 0;
    // Places the bottom panel and the controls for a window windowWidth pixels wide
    // (without a frame), in the page's face.
    void place(int windowWidth);
    // The page's controls in the order Tab visits them.
    virtual QList<QWidget*> tabChain() const = 0;
    // The field the focus starts in when the page shows.
    virtual QWidget* firstField() const = 0;
    // The controls that take the colour scheme's background and text colour.
    virtual QList<QWidget*> schemeControls() const = 0;

Q_SIGNALS:
    void nextRequested();
    void previousRequested();
    // The quit question (Quit on the Send page, Bprev1 on the Welcome page).
    void quitRequested();

protected:
    // Runs body as every handler does: an error is shown, the program's end taken.
    void guarded(const std::function<void()>& body);
    // The page's own layout: it only stacks the panels, without margins.
    QVBoxLayout* stack() const { return m_stack; }

    // A button; Enter presses it when it has the focus.
    static QPushButton* button(const QString& name, const QString& caption, QWidget* parent);
    // The page's bottom panel: 41 pixels high, across the page.
    QWidget* bottomPanel(const QString& name);
    // Places the page's own controls; place() has set the panel's height.
    virtual void placeControls(int windowWidth) = 0;

    // Every number below is in the design face's pixels (FontUnits.h).
    FontUnits units() const { return FontUnits::of(this); }
    // The wizard buttons' three slots, counted from the window's right edge, 120 pixels
    // wide with 16 between them. w is the window's width without a frame (in screen
    // pixels): the minimum size is measured the same way, so the numbers hold whatever
    // a window manager draws around.
    int slotA(int w) const { return w - units().x(158); }
    int slotB(int w) const { return w - units().x(286); }
    int slotC(int w) const { return w - units().x(422); }
    static constexpr int kButtonHeight = 25;
    static constexpr int kFieldHeight = 21;
    // A wizard button, 120 x 25, 8 pixels below its panel's top unless told; left is
    // in screen pixels (a slot) or, with designLeft, in the design face's.
    void placeButton(QPushButton* button, int left, int top = 8) const;
    void placeButtonAt(QPushButton* button, int designLeft) const { placeButton(button, units().x(designLeft)); }
    // A check box is as wide as its caption; left and top in the design face's pixels.
    void placeCheckBox(QCheckBox* box, int left, int top) const;

    Client& m_client;

private:
    QVBoxLayout* m_stack;
    QWidget* m_panel = nullptr;
};
