#pragma once

#include "core/files/homedirectory.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/workwindow.h"

#include <QHash>

#include <functional>
#include <span>

class QLabel;
class QLineEdit;
class QPushButton;

// The main menu: the hub from which the three work windows are opened. It owns every window of
// the run and the home directory, which it hands to each window it makes.
class MainMenu : public WorkWindow, public WindowHub {
    Q_OBJECT
public:
    using WindowFactory =
        std::function<WorkWindow *(Window window, WindowHub &hub, const HomeDirectory &home)>;

    MainMenu(HomeDirectory home, WindowFactory factory, QWidget *parent = nullptr);
    ~MainMenu() override;

    const HomeDirectory &home() const { return m_home; }

    // The second place start-up looks for the home directory (the text of `txtPath`).
    static QString defaultHomePath() { return QStringLiteral("n:\\arb/cprog/kvistel/swe"); }
    // The menu's fixed texts, by the objectName of the control that shows each.
    static std::span<const FormLayout::NamedText> texts();

    void open(Window window) override;
    void calculate() override;

    // The window made for `window`, or nullptr before it was first opened.
    WorkWindow *existingWindow(Window window) const { return m_windows.value(window); }

signals:
    // The program is to end ("Avsluta" or the close box of the menu).
    void quitRequested();
    // The menu is being painted for the first time: what is queued from here runs once it is
    // on screen.
    void firstPainted();
    // "Byt hemkatalog..." has moved the program to another home directory.
    void homeChanged();

protected:
    void closeBox() override;
    void paintEvent(QPaintEvent *event) override;

private:
    void openStandForm();
    void openTreeForm();
    void openPriceList();
    void openTreeList();
    void quitProgram();
    // "Byt hemkatalog...": the start's question, with the homes used last; the windows are
    // made anew on the home chosen, which is remembered.
    void changeHome();
    void showHomeInTitle();
    WorkWindow *window(Window window);

    HomeDirectory m_home;
    WindowFactory m_factory;
    QHash<Window, WorkWindow *> m_windows;
    bool m_painted = false;
};
