#pragma once

#include "shared/formlayout.h"
#include "shared/workwindow.h"

#include <QHash>

#include <functional>
#include <span>

class QLabel;
class QLineEdit;
class QPushButton;

// The main menu: the hub from which the three work windows are opened. It owns every window of
// the run and the home directory `sokvag`, which it hands to each window it makes.
class MainMenu : public WorkWindow, public WindowHub {
    Q_OBJECT
public:
    using WindowFactory =
        std::function<WorkWindow *(Window window, WindowHub &hub, const QString &sokvag)>;

    MainMenu(QString sokvag, WindowFactory factory, QWidget *parent = nullptr);
    ~MainMenu() override;

    QString sokvag() const { return m_sokvag; }

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

protected:
    void closeBox() override;
    void paintEvent(QPaintEvent *event) override;

private:
    void openStandForm();
    void openTreeForm();
    void openPriceList();
    void openTreeList();
    void quitProgram();
    WorkWindow *window(Window window);

    QString m_sokvag;
    WindowFactory m_factory;
    QHash<Window, WorkWindow *> m_windows;
    bool m_painted = false;
};
