// Where a window opens when the screen it was last on is gone or smaller: on a screen that is
// there, wholly inside its free area, with room kept for the title bar before the window
// manager has said how large its frame is.
#include "gui/shared/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(ScreenFit, ARememberedPlaceOnAScreenThatIsGoneOpensOnOneThatIsThere) {
    QScreen *primary = QGuiApplication::primaryScreen();
    ASSERT_TRUE(primary);
    const QRect area = primary->availableGeometry();
    QWidget window; // never shown: the frame is a guess
    const QMargins frame = ScreenFit::frameMargins(&window);
    EXPECT_GE(frame.top(), 24); // a title bar
    EXPECT_GE(frame.left(), 0);
    const struct {
        const char *what;
        QRect remembered; // the window's inside
    } cases[] = {
        {"on the screen", QRect(area.topLeft() + QPoint(50, 50), QSize(600, 400))},
        {"on a second screen unplugged since", QRect(area.right() + 300, 200, 800, 500)},
        {"above and left of every screen", QRect(-2000, -1500, 700, 500)},
        {"larger than the screen", QRect(0, 0, area.width() * 2, area.height() * 2)},
        {"title bar above the screen", QRect(area.left() + 10, area.top() - 5, 600, 400)},
    };
    for (const auto &c : cases) {
        const QRect withFrame = c.remembered.marginsAdded(frame);
        const QScreen *screen = ScreenFit::screenShowing(withFrame);
        ASSERT_TRUE(screen) << c.what;
        const QRect placed = ScreenFit::fitIntoArea(withFrame, screen->availableGeometry());
        EXPECT_TRUE(primary->availableGeometry().contains(placed)) << c.what;
        // The title bar can be taken hold of.
        EXPECT_GE(placed.marginsRemoved(frame).top() - frame.top(), area.top()) << c.what;
        if (withFrame.size().boundedTo(area.size()) == withFrame.size()) {
            EXPECT_EQ(placed.size(), withFrame.size()) << c.what << ": shrunk needlessly";
        }
    }
}

} // namespace
