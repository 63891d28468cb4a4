#pragma once

#include <QPointer>
#include <QPushButton>
#include <QWidget>

class QScreen;

// What every window of the program is: titled "Kvistel", created once and afterwards only
// hidden and shown, never modal. Its load action runs the first time it is shown, its
// activation every time. The close box does what the window's return button does, so the
// hidden main menu always comes back.
//
// Every window also behaves alike as a desktop window, without each window doing it itself:
// - it fits the screen it opens on (a window that would not fit scrolls its contents) and
//   opens where it was last closed, but always on a screen that is there;
// - Escape does what the return button does (`closeBox`), Return presses the default button;
// - every button and field caption has a mnemonic of its own, every caption names its field
//   for screen readers, and the window opens with the focus in its first field;
// - F1 and the "Hjälp" button open the guide at the window's section.
class WorkWindow : public QWidget {
    Q_OBJECT
public:
    explicit WorkWindow(QWidget *parent = nullptr);

    // Shows the window, running the load action first on the first showing.
    void showWindow();
    // Does the work of the first showing ahead of need, the window staying hidden: loads,
    // polishes and lays it out, so that showing it later only paints.
    void prepare();

    // The button that Return presses wherever the focus is in the window (a focused button
    // presses itself). Shown with the default button's frame.
    void setDefaultButton(QPushButton *button);
    // Return in `control` is the control's own (a typed species is confirmed, not saved).
    void keepReturnIn(QWidget *control);

    // A "Hjälp" button for the window's button row, opening the guide at this window's section.
    QPushButton *helpButton();
    // Opens the guide at this window's section (F1).
    void showHelp();
    // The section of the guide about this window: its name unless a window says otherwise.
    virtual QString helpSection() const { return objectName(); }

    // Asked before the program ends: a window with unsaved work asks the user, and returns
    // false when the program is to go on.
    virtual bool mayClose() { return true; }

protected:
    virtual void formLoad() {}
    virtual void formActivate() {}
    // The window's return button; the close box calls it.
    virtual void closeBox() { hide(); }

    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void prepareOnce();
    void placeOnScreen(bool restore);
    void scrollContents();
    void rememberPlacement() const;
    QString settingsGroup() const;
    bool isResizable() const;
    void load();

    bool m_loaded = false;
    bool m_shown = false;      // a window may be loaded ahead of need, before it is first shown
    bool m_sizedAhead = false; // prepared, and its controls' sizes measured since
    bool m_scrolls = false;
    QPointer<QPushButton> m_defaultButton;
    QList<QPointer<QWidget>> m_ownReturn;
    const QEvent *m_ownReturnEvent = nullptr; // a Return that a kept control has seen
};

// The window that runs the calculation (the result window) offers it through this.
class CalculationWindow {
public:
    virtual ~CalculationWindow() = default;
    // Values the tree and shows the window with the result.
    virtual void calculateAndSave() = 0;
};

// How the work windows reach each other without knowing each other's classes: the main menu
// owns every window and carries out these moves.
class WindowHub {
public:
    enum class Window { MainMenu, StandParameters, TreeParameters, PriceList, Result, TreeList };

    virtual ~WindowHub() = default;
    // Shows the window (creating it on first use), not modally.
    virtual void open(Window window) = 0;
    // Runs the calculation on the result window, which shows itself with the result.
    virtual void calculate() = 0;
};
