#pragma once

#include "shared/workwindow.h"

#include <QList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// A hub that only records where the forms send the user.
class RecordingHub : public WindowHub {
public:
    void open(Window window) override { opened.append(window); }
    void calculate() override { ++calculations; }

    QList<Window> opened;
    int calculations = 0;
};

// The named control of a window; fails the test when it is missing.
template <class T> T *child(const QWidget &window, const char *name) {
    T *found = window.findChild<T *>(QLatin1String(name));
    EXPECT_TRUE(found) << "no control " << name;
    return found;
}

// Shows a work window and waits until it has the keyboard, so that leaving a field is a real
// change of focus.
inline void showActive(WorkWindow &window) {
    window.showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}
