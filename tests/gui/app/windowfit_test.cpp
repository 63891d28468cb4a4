// Every window on a small and a large screen at the scalings desktops use (run once per screen
// and scaling by CTest, since Qt takes both when it starts): each lies wholly inside the free
// area of its screen, its buttons can be reached without scrolling, and the windows with grids
// give a larger window to their grid.
#include "core/results/resultmodel.h"
#include "gui/app/mainmenu.h"
#include "gui/app/windowfactory.h"
#include "gui/result/resultchart.h"
#include "gui/result/resultgrid.h"
#include "gui/result/resultwindow.h"
#include "gui/shared/screenfit.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"
#include "samplehome.h"
#include "testsupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Window = WindowHub::Window;

// Whether the window lies inside the free area of its screen, frame included.
bool fitsItsScreen(const QWidget *w) {
    const QScreen *s = w->screen();
    return s &&
           s->availableGeometry().contains(w->geometry().marginsAdded(ScreenFit::frameMargins(w)));
}

struct Session {
    TempHome home;
    std::unique_ptr<MainMenu> menu;

    Session() {
        copySampleFiles(home);
        menu = std::make_unique<MainMenu>(home.directory(), makeWindow);
        menu->showWindow();
    }
    // Opens the window as a user does; the result window through a calculation.
    WorkWindow *open(Window which) {
        if (which == Window::MainMenu)
            return menu.get();
        menu->hide();
        if (which == Window::Result)
            menu->calculate();
        else
            menu->open(which);
        WorkWindow *w = menu->existingWindow(which);
        settle();
        return w;
    }
};

const Window everyWindow[] = {Window::MainMenu, Window::StandParameters, Window::TreeParameters,
                              Window::PriceList, Window::Result};

QString describe(const QWidget *w) {
    const QRect g = w->geometry();
    const QRect a = w->screen()->availableGeometry();
    return QStringLiteral("%1 at %2,%3 %4x%5 on a free area of %6x%7 (scale %8)")
        .arg(w->objectName())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(a.width())
        .arg(a.height())
        .arg(qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")));
}

} // namespace

TEST(WindowFit, EveryWindowLiesInsideTheFreeAreaOfItsScreen) {
    Session s;
    ModalHand hand;
    for (Window which : everyWindow) {
        WorkWindow *w = s.open(which);
        ASSERT_TRUE(w && w->isVisible());
        EXPECT_TRUE(fitsItsScreen(w)) << describe(w).toStdString();
        EXPECT_LE(w->width(), w->screen()->availableGeometry().width());
        EXPECT_LE(w->height(), w->screen()->availableGeometry().height());
    }
    EXPECT_EQ(hand.count(), 0);
}

TEST(WindowFit, EveryButtonOfEveryWindowIsInViewWithoutScrolling) {
    // A window larger than the screen must not hide its way back (Avbryt, Återgå, the close
    // box) behind a scroll bar: where a grid is too large, the grid scrolls, not the window.
    Session s;
    ModalHand hand;
    for (Window which : everyWindow) {
        WorkWindow *w = s.open(which);
        ASSERT_TRUE(w);
        for (QPushButton *b : w->findChildren<QPushButton *>()) {
            if (!b->isVisibleTo(w))
                continue;
            const QRect inWindow(b->mapTo(w, QPoint(0, 0)), b->size());
            // Inside the window and inside any scrolled area's visible part.
            bool shown = w->rect().contains(inWindow);
            if (auto *area = w->findChild<QScrollArea *>(QStringLiteral("rullyta"));
                area && area->isAncestorOf(b)) {
                const QRect inView(b->mapTo(area->viewport(), QPoint(0, 0)), b->size());
                shown = shown && area->viewport()->rect().contains(inView);
            }
            EXPECT_TRUE(shown) << b->objectName().toStdString() << " of "
                               << describe(w).toStdString();
        }
    }
}

TEST(WindowFit, GridsGrowWithTheirWindowAndFormsKeepTheirSize) {
    Session s;
    ModalHand hand;
    struct Case {
        Window window;
        const char *grid; // nullptr: a form or the menu, which keep their size
    };
    const Case cases[] = {{Window::MainMenu, nullptr},
                          {Window::StandParameters, nullptr},
                          {Window::TreeParameters, nullptr},
                          {Window::PriceList, "flgPrislista"},
                          {Window::Result, "flgResult"}};
    for (const Case &c : cases) {
        WorkWindow *w = s.open(c.window);
        ASSERT_TRUE(w);
        const QSize before = w->size();
        if (!c.grid) {
            // Only a window too large for the screen may be made larger, up to its whole form.
            if (!w->findChild<QScrollArea *>(QStringLiteral("rullyta"))) {
                EXPECT_EQ(w->minimumSize(), w->maximumSize()) << describe(w).toStdString();
            }
            continue;
        }
        // A window with a grid never scrolls as a whole: its grid scrolls.
        ASSERT_FALSE(w->findChild<QScrollArea *>(QStringLiteral("rullyta")))
            << describe(w).toStdString();
        auto *grid = w->findChild<QWidget *>(QLatin1String(c.grid));
        ASSERT_TRUE(grid);
        const QSize gridBefore = grid->size();
        w->resize(before.width() - 60, before.height());
        settle();
        EXPECT_LT(grid->width(), gridBefore.width()) << describe(w).toStdString();
        w->resize(before);
        settle();
        EXPECT_EQ(grid->size(), gridBefore) << describe(w).toStdString();
    }
}

TEST(WindowFit, AWindowOpensWhereItWasClosedButNeverOffTheScreen) {
    // The program's own settings, kept in a directory of the test's own.
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QCoreApplication::setOrganizationName(QStringLiteral("KvistelTest"));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        QPoint closedAt;
        bool kept; // false: moved back inside the screen
    } cases[] = {
        {{area.left() + 40, area.top() + 60}, true},
        {{area.right() + 2000, area.bottom() + 900}, false}, // a screen since unplugged
        {{-3000, area.top() + 10}, false},
    };
    for (const auto &c : cases) {
        {
            Session s;
            WorkWindow *form = s.open(Window::StandParameters);
            form->move(c.closedAt);
            form->findChild<QPushButton *>(QStringLiteral("btnAvbryt"))->click();
        }
        Session s;
        WorkWindow *form = s.open(Window::StandParameters);
        if (c.kept) {
            EXPECT_EQ(form->pos(), c.closedAt);
        } else {
            EXPECT_NE(form->pos(), c.closedAt);
        }
        EXPECT_TRUE(fitsItsScreen(form)) << describe(form).toStdString();
    }
    QCoreApplication::setOrganizationName(QString());
}

TEST(WindowFit, TheResultWindowShowsSixYearsTheBestOneWholeAndEveryLegendEntryAndWhatIf) {
    Session s;
    ModalHand hand;
    auto *r = static_cast<ResultWindow *>(s.open(Window::Result));
    auto *chart = r->findChild<ResultChart *>(QStringLiteral("chtResultat"));
    ASSERT_TRUE(chart);
    ASSERT_TRUE(QTest::qWaitFor([&] { return chart->updatesEnabled(); }));
    settle();
    const std::string where = describe(r).toStdString();
    // Wholly inside the window: a widget cut off by the window's edge cannot be read either.
    auto wholeIn = [](const QWidget *outer, const QWidget *inner, const QRect &part) {
        return outer->rect().contains(QRect(inner->mapTo(outer, part.topLeft()), part.size()));
    };

    ResultGrid *grid = r->grid();
    EXPECT_GE(grid->viewport()->height(), 6 * grid->verticalHeader()->defaultSectionSize())
        << where;
    const int best = r->model()->bestRow();
    ASSERT_GE(best, 0);
    const QRect bestRow = grid->visualRect(r->model()->index(best, 0));
    EXPECT_TRUE(grid->viewport()->rect().contains(bestRow)) << where;

    auto *whatIfs = r->findChild<QTableWidget *>(QStringLiteral("flgKanslighet"));
    ASSERT_TRUE(whatIfs);
    for (int row = 0; row < whatIfs->rowCount(); ++row) {
        for (int col = 0; col < whatIfs->columnCount(); ++col) {
            const QRect cell = whatIfs->visualItemRect(whatIfs->item(row, col));
            EXPECT_TRUE(whatIfs->viewport()->rect().contains(cell))
                << "what-if " << row << "," << col << " of " << where;
        }
        EXPECT_GE(whatIfs->verticalHeader()->width(), whatIfs->fontMetrics().horizontalAdvance(
                                                          whatIfs->verticalHeaderItem(row)->text()))
            << where;
    }
    EXPECT_TRUE(wholeIn(r, whatIfs, whatIfs->rect())) << where;

    EXPECT_TRUE(wholeIn(r, chart, chart->rect())) << where;
    const ResultChart::Layout layout = chart->layout();
    for (int i = 0; i < layout.legendEntries.size(); ++i) {
        EXPECT_TRUE(QRectF(chart->rect()).contains(layout.legendEntries[i]))
            << chart->curves()[i].name.toStdString() << " of " << where;
    }
    for (const auto &label : layout.labels) {
        EXPECT_FALSE(label.text.contains(u'…'));
        EXPECT_TRUE(QRectF(chart->rect()).contains(label.rect))
            << label.text.toStdString() << " of " << where;
    }
    EXPECT_GE(layout.plot.height(), 2 * chart->fontMetrics().height()) << where;
    // Both sides keep their titles, turned along the axis or level above it.
    for (const ResultChart::Axis &axis : {layout.values, layout.rates}) {
        const bool titled =
            std::any_of(layout.labels.begin(), layout.labels.end(), [&](const auto &l) {
                return l.title && l.text == axis.title && QRectF(chart->rect()).contains(l.rect);
            });
        EXPECT_TRUE(titled) << axis.title.toStdString() << " of " << where;
    }
}

// The sample stand valued in the tree list: the decision and the best year of each tree are in
// view without scrolling sideways, and the plan's "Totalt" row is whole and in view without
// scrolling down.
TEST(WindowFit, TheTreeListShowsEachDecisionAndThePlanItsTotal) {
    Session s;
    ModalHand hand;
    s.home.write("bestand.csv", [] {
        QFile f(QStringLiteral(KVISTEL_SOURCE_DIR "/sample/bestand.csv"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }());
    auto *list = static_cast<TreeListWindow *>(s.open(Window::TreeList));
    ASSERT_TRUE(list && list->isVisible());
    ASSERT_TRUE(list->openList(s.home.path("bestand.csv")));
    QSignalSpy done(list, &TreeListWindow::valuationDone);
    list->valueTrees();
    ASSERT_TRUE(done.count() > 0 || done.wait(20000));
    settle(50);
    const std::string where = describe(list).toStdString();

    auto *trees = list->findChild<QTableView *>(QStringLiteral("flgTradlista"));
    ASSERT_TRUE(trees);
    for (int summary : {CutOrWait, BestYear}) {
        const int column = TreeListModel::FirstSummaryColumn + summary;
        const QRect cell = trees->visualRect(trees->model()->index(0, column));
        EXPECT_TRUE(trees->viewport()->rect().contains(cell))
            << trees->model()->headerData(column, Qt::Horizontal).toString().toStdString() << " at "
            << cell.x() << "+" << cell.width() << " of a list " << trees->viewport()->width()
            << " wide, " << where;
    }

    auto *tabs = list->findChild<QTabWidget *>(QStringLiteral("tabTradlista"));
    ASSERT_TRUE(tabs);
    tabs->setCurrentIndex(1);
    settle(50);
    // The window, its buttons and the plan's total all on the screen.
    EXPECT_TRUE(fitsItsScreen(list)) << where;
    EXPECT_LE(list->frameGeometry().bottom(), list->screen()->availableGeometry().bottom())
        << where;
    auto *years = list->findChild<QTableView *>(QStringLiteral("flgPlan"));
    ASSERT_TRUE(years && years->isVisible());
    const int last = years->model()->rowCount() - 1;
    ASSERT_GT(last, 0);
    EXPECT_EQ(years->model()->index(last, 0).data().toString(), "Totalt");
    const QTableView *shown = nullptr;
    for (auto *view : list->findChildren<QTableView *>())
        if (view->model() == years->model() && view->isVisible() && !view->isRowHidden(last))
            shown = view;
    ASSERT_TRUE(shown) << where;
    const QRect total = shown->visualRect(shown->model()->index(last, 0));
    EXPECT_TRUE(shown->viewport()->rect().contains(total))
        << "Totalt at " << total.y() << "+" << total.height() << " in "
        << shown->objectName().toStdString() << " " << shown->viewport()->height() << " high, "
        << where;
    const QRect inWindow(shown->viewport()->mapTo(list, total.topLeft()), total.size());
    EXPECT_TRUE(list->rect().contains(inWindow)) << where;
    EXPECT_EQ(hand.count(), 0);
}
