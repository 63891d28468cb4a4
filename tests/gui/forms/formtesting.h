#pragma once

#include "core/parameters/parameters.h"
#include "gui/shared/parameterfields.h"
#include "gui/shared/workwindow.h"
#include "testsupport.h"

#include <QLabel>
#include <QList>
#include <QRect>
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

// Every row of the parameters of `form`: the controls the window names for it are there, its
// caption and unit labels show the table's texts, the caption stands on the line of its control
// and left of it, the unit right of it.
inline void expectParameterRows(WorkWindow &window, Parameter::Form form) {
    window.prepare();
    auto place = [&](const QWidget *w) { return QRect(w->mapTo(&window, QPoint()), w->size()); };
    auto onLineOf = [](const QRect &label, const QRect &control) {
        return label.top() <= control.bottom() && label.bottom() >= control.top();
    };
    for (const Parameter *p : parametersOf(form)) {
        const ParameterFields &names = fieldsOf(*p);
        const std::string key = p->keyText().toStdString();
        const auto *control = window.findChild<QWidget *>(names.control.toString());
        ASSERT_TRUE(control) << key;
        if (!names.otherOption.isEmpty()) {
            EXPECT_TRUE(window.findChild<QWidget *>(names.otherOption.toString())) << key;
        }
        const auto *caption = window.findChild<QLabel *>(names.caption.toString());
        ASSERT_TRUE(caption) << key;
        EXPECT_EQ(shownText(caption->text()), p->caption.toString()) << key;
        EXPECT_TRUE(onLineOf(place(caption), place(control))) << key;
        EXPECT_LT(place(caption).right(), place(control).left()) << key;
        if (names.unit.isEmpty())
            continue;
        const auto *unit = window.findChild<QLabel *>(names.unit.toString());
        ASSERT_TRUE(unit) << key;
        EXPECT_EQ(shownText(unit->text()), p->unit.toString()) << key;
        EXPECT_TRUE(onLineOf(place(unit), place(control))) << key;
        EXPECT_GT(place(unit).left(), place(control).right()) << key;
    }
}
