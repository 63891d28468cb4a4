#pragma once

#include <QWidget>

// What every window of the program is: titled "Kvistel", created once and afterwards only
// hidden and shown, never modal. Its load action runs the first time it is shown, its
// activation every time. The close box does what the window's return button does, so the
// hidden main menu always comes back.
class WorkWindow : public QWidget {
    Q_OBJECT
public:
    explicit WorkWindow(QWidget *parent = nullptr);

    // Shows the window, running the load action first on the first showing.
    void showWindow();
    bool isLoaded() const { return m_loaded; }

protected:
    virtual void formLoad() {}
    virtual void formActivate() {}
    // The window's return button; the close box calls it.
    virtual void closeBox() { hide(); }

    void closeEvent(QCloseEvent *event) override;

private:
    bool m_loaded = false;
};

// The window that runs the calculation (the result window) offers it through this.
class CalculationWindow {
public:
    virtual ~CalculationWindow() = default;
    virtual void berakna() = 0;
};

// How the work windows reach each other without knowing each other's classes: the main menu
// owns every window and carries out these moves.
class WindowHub {
public:
    enum class Window { MainMenu, StandParameters, TreeParameters, PriceList, Result, TreeList };

    virtual ~WindowHub() = default;
    // Shows the window (creating it on first use), not modally.
    virtual void open(Window window) = 0;
    // Shows the result window and runs the calculation on it.
    virtual void calculate() = 0;
};
