#pragma once

#include "gui/shared/formlayout.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <span>

#include <gtest/gtest.h>

// Each text of a window's table stands, as the user reads it, on the control the table names.
inline void expectNamedTexts(const QWidget &window, std::span<const FormLayout::NamedText> texts) {
    for (const FormLayout::NamedText &t : texts) {
        const auto *w = window.findChild<QWidget *>(QLatin1String(t.name));
        ASSERT_TRUE(w) << t.name;
        QString shown;
        if (const auto *label = qobject_cast<const QLabel *>(w))
            shown = label->text();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            shown = button->text();
        else if (const auto *frame = qobject_cast<const QGroupBox *>(w))
            shown = frame->title();
        else
            ADD_FAILURE() << t.name << " shows no text of its own";
        EXPECT_EQ(shownText(shown), t.string()) << t.name;
    }
}
