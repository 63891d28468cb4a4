#pragma once

#include "core/parameters/parameters.h"
#include "shared/parameterfields.h"
#include "shared/workwindow.h"

#include <QLabel>
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

// Every row of the parameters of `form`: the controls the window names for it are there, and
// its caption and unit labels show the table's texts.
inline void expectParameterRows(const QWidget &window, Parameter::Form form) {
    for (const Parameter *p : parametersOf(form)) {
        const ParameterFields &names = fieldsOf(*p);
        const std::string key = p->keyText().toStdString();
        EXPECT_TRUE(window.findChild<QWidget *>(names.control.toString())) << key;
        if (!names.otherOption.isEmpty())
            EXPECT_TRUE(window.findChild<QWidget *>(names.otherOption.toString())) << key;
        const auto *caption = window.findChild<QLabel *>(names.caption.toString());
        ASSERT_TRUE(caption) << key;
        EXPECT_EQ(caption->text(), p->caption.toString()) << key;
        if (names.unit.isEmpty())
            continue;
        const auto *unit = window.findChild<QLabel *>(names.unit.toString());
        ASSERT_TRUE(unit) << key;
        EXPECT_EQ(unit->text(), p->unit.toString()) << key;
    }
}
