#include "core/engine/resultrow.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/parameters/parameters.h"
#include "core/results/resultmodel.h"
#include "core/results/treecalculation.h"
#include "core/results/verdict.h"
#include "gui/forms/treeform.h"
#include "gui/result/resultchart.h"
#include "gui/result/resultgrid.h"
#include "gui/result/resultwindow.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

template <class T> T *child(const QWidget &window, const char *name) {
    T *found = window.findChild<T *>(QLatin1String(name));
    EXPECT_TRUE(found) << "no control " << name;
    return found;
}

// The chart and the what-if table come right after the window with its grid is on screen.
void awaitChartAndWhatIfs(const ResultWindow &r) {
    const auto *chart = child<QWidget>(r, "chtResultat");
    EXPECT_TRUE(QTest::qWaitFor([&] { return chart->updatesEnabled(); }));
}

// The main menu's part in a calculation: the tree form and the result window, each made on
// first use and then only hidden and shown.
class CalculatingHub : public WindowHub {
public:
    explicit CalculatingHub(HomeDirectory home) : m_home(std::move(home)) {}

    void open(Window window) override {
        opened.append(window);
        if (window == Window::TreeParameters)
            tree().showWindow();
    }
    void calculate() override { result().calculateAndSave(); }
    TreeForm &tree() {
        if (!m_tree)
            m_tree = std::make_unique<TreeForm>(*this, m_home);
        return *m_tree;
    }
    ResultWindow &result() {
        if (!m_result)
            m_result = std::make_unique<ResultWindow>(*this, m_home);
        return *m_result;
    }
    bool hasResult() const { return bool(m_result); }

    QList<Window> opened;

private:
    HomeDirectory m_home;
    std::unique_ptr<TreeForm> m_tree;
    std::unique_ptr<ResultWindow> m_result;
};

struct ShownResult {
    TempHome home;
    CalculatingHub hub{home.directory()};

    ShownResult() {
        home.writeLines("trad.sty", sampleControlLines());
        home.write("priser_ac.txt", samplePriceList());
    }
    ResultWindow &window() { return hub.result(); }
    QString box(const char *name) { return child<QLineEdit>(window(), name)->text(); }
    void click(const char *name) {
        QTest::mouseClick(child<QPushButton>(window(), name), Qt::LeftButton);
    }
};

const int resultRows = 13, resultCols = 18;

QStringList controlWithBdm(int diameter) {
    QStringList lines = sampleControlLines();
    lines.replaceInStrings(QRegularExpression("^bdm:/[^/]*/"), QString("bdm:/%1/").arg(diameter));
    return lines;
}

const struct {
    int width;
    const char *header;
} columns[resultCols] = {
    {500, "År"},
    {1000, "Ränta,          %"},
    {1000, "Nuvärde kr/träd"},
    {1000, "Netto   kr/träd"},
    {1000, "Netto   kr/m3"},
    {1000, "Gagnvirke volym m3"},
    {1000, "Trädhöjd     m"},
    {1000, "Diameter     cm"},
    {1200, "Toppdiam. för 1:a stock. cm"},
    {1200, "Toppdiam. för 2:a stock. cm"},
    {1200, "Toppdiam. för 3:e stock. cm"},
    {1200, "Värde för 1:a stock. kr"},
    {1200, "Värde för 2:a stock. kr"},
    {1200, "Värde för 3:e stock. kr"},
    {1400, "Värde för massaveden. kr"},
    {1200, "Virkesvärde. kr/m3"},
    {1200, "Avverknings- kostnad. kr/m3"},
    {1200, "Planterings- kostnad. kr/m3"},
};

// The text of the engine's own valuation in grid row `r`, column `c`: empty in a row it did not
// reach.
QString engineText(const TreeValuation &engine, int r, int c) {
    if (r - 1 >= engine.yearsValued)
        return {};
    return resultText(engine.rows[std::size_t(r - 1)], c - 1, localeDecimalSeparator());
}

// Every data cell of the window's grid equals the engine's own valuation for the same files.
void expectSameResults(const ResultGrid &shown, const TreeValuation &engine) {
    for (int r = 1; r < resultRows; ++r)
        for (int c = 1; c < resultCols; ++c)
            EXPECT_EQ(shown.textAt(r, c), engineText(engine, r, c)) << "row " << r << " col " << c;
}

} // namespace

TEST(ResultWindow, CarriesItsCaptionsHeadingsAndButtons) {
    ShownResult w;
    ResultWindow &r = w.window();
    EXPECT_EQ(r.windowTitle(), "Kvistel");
    EXPECT_EQ(r.objectName(), "forResultat");
    EXPECT_EQ(child<QGroupBox>(r, "frmResult1")->title(), "Resultat");
    EXPECT_TRUE(child<QGroupBox>(r, "frmResult2")->title().isEmpty());
    // A box that shows a unit shows its parameter's, as the forms do.
    const struct {
        const char *box, *label;
        QStringView unitOf; // the parameter whose unit stands after the box, or none
    } boxes[] = {
        {"txtArt", "Art", {}},
        {"txtDbh", "Diam bh", Keys::bdm},
        {"txtRant", "Räntekrav", Keys::rant},
        {"txtHarvpr", "Avv.intens.vol", Keys::harvpr},
        {"txtSite", "Bonitet, 100 år", Keys::site},
        {"txtPlant", "Plantering", {}},
        {"txtTallpris", "Tall", {}},
        {"txtGranpris", "Gran", {}},
        {"txtBjorkpris", "Björk", {}},
        {"txtBkv", "Förstastock", {}},
        {"txtAkv", "Andrastock", {}},
        {"txtTkv", "Tredjestock", {}},
    };
    for (const auto &b : boxes) {
        auto *box = child<QLineEdit>(r, b.box);
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isReadOnly()) << b.box;
        EXPECT_TRUE(box->text().isEmpty()) << b.box;
        const bool quality = QByteArray(b.box).endsWith("kv");
        EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask,
                  quality ? Qt::AlignHCenter : Qt::AlignRight)
            << b.box;
        // The caption is the label that names this box; the unit stands right of the box.
        QLabel *caption = nullptr;
        for (QLabel *l : r.findChildren<QLabel *>())
            if (l->buddy() == box)
                caption = l;
        ASSERT_TRUE(caption) << b.box;
        EXPECT_EQ(caption->text(), QString::fromUtf8(b.label));
        const QByteArray unitName = "lblUnit" + QByteArray(b.box).mid(3);
        auto *unit = r.findChild<QLabel *>(QString::fromLatin1(unitName));
        EXPECT_EQ(unit != nullptr, !b.unitOf.isEmpty()) << b.box;
        if (unit && !b.unitOf.isEmpty()) {
            EXPECT_EQ(unit->text(), findParameter(b.unitOf)->unit.toString());
            r.showWindow();
            EXPECT_GT(unit->x(), box->x() + box->width() - 1) << b.box;
            EXPECT_EQ(unit->geometry().center().y() / 4, box->geometry().center().y() / 4);
        }
    }
    for (const auto &[name, text] :
         {std::pair{"lblMassapris", "Massapris"}, std::pair{"lblKvalitet", "Potent. kvalitet"}}) {
        auto *heading = child<QLabel>(r, name);
        ASSERT_TRUE(heading);
        EXPECT_EQ(heading->text(), text);
        EXPECT_TRUE(heading->font().bold());
    }
    EXPECT_EQ(shownText(child<QPushButton>(r, "btnAvbryt")->text()), "Avbryt");
    EXPECT_EQ(shownText(child<QPushButton>(r, "btnAterga")->text()), "Återgå");
}

TEST(ResultWindow, SummaryStandsInFourColumnsOnTheirLinesAboveTheGridAndButtonsBelowIt) {
    ShownResult w;
    ResultWindow &r = w.window();
    r.showWindow();
    auto at = [&](const char *name) { return child<QWidget>(r, name)->mapTo(&r, QPoint()); };
    // Lines: column 2 uses all four, column 1 lines two and three, columns 3 and 4 two to four.
    const char *lines[3][4] = {{"txtArt", "txtHarvpr", "txtTallpris", "txtBkv"},
                               {"txtDbh", "txtSite", "txtGranpris", "txtAkv"},
                               {nullptr, "txtPlant", "txtBjorkpris", "txtTkv"}};
    for (const auto &line : lines) {
        const int y = at(line[1]).y();
        for (const char *name : line) {
            if (name) {
                EXPECT_EQ(at(name).y(), y) << name;
            }
        }
        for (int c = 1; c < 4; ++c)
            EXPECT_GT(at(line[c]).x(), at(line[c - 1] ? line[c - 1] : lines[0][0]).x());
    }
    EXPECT_LT(at("txtRant").y(), at("txtHarvpr").y());
    EXPECT_LT(at("lblMassapris").y(), at("txtTallpris").y());
    EXPECT_LT(at("lblKvalitet").y(), at("txtBkv").y());
    EXPECT_LT(at("txtPlant").y(), at("flgResult").y());
    EXPECT_GT(at("btnAvbryt").y(), at("flgResult").y() + r.grid()->height() - 1);
    EXPECT_LT(at("btnAvbryt").x(), at("btnAterga").x());
    EXPECT_EQ(at("btnAvbryt").y(), at("btnAterga").y());
}

TEST(ResultWindow, GridIsSetUpWithItsYearsHeadersAndWidthsWhenFirstShown) {
    ShownResult w;
    ResultWindow &r = w.window();
    r.showWindow();
    ResultGrid *g = r.grid();
    EXPECT_EQ(g->objectName(), "flgResult");
    EXPECT_EQ(g->rows(), resultRows);
    EXPECT_EQ(g->cols(), resultCols);
    for (int c = 0; c < resultCols; ++c) {
        EXPECT_EQ(g->textAt(0, c), QString::fromUtf8(columns[c].header)) << c;
        EXPECT_EQ(g->twipsToPixels(g->colWidth(c)), g->twipsToPixels(columns[c].width)) << c;
    }
    for (int i = 1; i < resultRows; ++i)
        EXPECT_EQ(g->textAt(i, 0), QString::number((i - 1) * 10));
    for (int r1 = 1; r1 < resultRows; ++r1)
        for (int c = 1; c < resultCols; ++c)
            EXPECT_TRUE(g->textAt(r1, c).isEmpty());
    EXPECT_GE(g->rowHeight(0), 500 - 15);
    EXPECT_EQ(g->rowHeight(1), g->rowHeight(12));
    EXPECT_LT(g->rowHeight(1), g->rowHeight(0));
    EXPECT_TRUE(g->wordWrap());
}

TEST(ResultWindow, EveryHeaderIsReadableInFullWrappedInItsColumn) {
    ShownResult w;
    ResultWindow &r = w.window();
    r.showWindow();
    ResultGrid *g = r.grid();
    const QHeaderView *header = g->horizontalHeader();
    const QFontMetrics metrics(header->font());
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 1; c < resultCols; ++c) {
        const int width = header->sectionSize(c - 1) - 2 * margin;
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, width, 1000), Qt::AlignCenter | Qt::TextWordWrap,
                                 QString::fromUtf8(columns[c].header));
        EXPECT_LE(needed.width(), width) << columns[c].header;
        EXPECT_LE(needed.height() + 2 * margin, header->height()) << columns[c].header;
    }
}

// With the chart below it the grid may not show every row at once on a laptop: the window keeps
// to the screen, and every cell can still be scrolled into view.
TEST(ResultWindow, FitsALaptopScreenAndEveryCellCanBeScrolledTo) {
    ShownResult w;
    ResultWindow &r = w.window();
    r.showWindow();
    EXPECT_LE(r.frameGeometry().width(), 1366);
    EXPECT_LE(r.frameGeometry().height(), 768);
    if (const QScreen *screen = r.screen()) {
        EXPECT_LE(r.width(), screen->availableSize().width());
        EXPECT_LE(r.height(), screen->availableSize().height());
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&r));
    settle();
    ResultGrid *g = r.grid();
    const QSize table = g->fullTableSize();
    const QSize shown = g->viewport()->size() +
                        QSize(g->verticalHeader()->width(), g->horizontalHeader()->height());
    EXPECT_GE(shown.width() + g->horizontalScrollBar()->maximum(),
              table.width() - 2 * g->frameWidth());
    EXPECT_GE(shown.height() + g->verticalScrollBar()->maximum(),
              table.height() - 2 * g->frameWidth());
    // Headings, years and at least four harvest years stay in view; the chart keeps its place.
    EXPECT_GE(g->viewport()->height(), 4 * g->verticalHeader()->defaultSectionSize());
    EXPECT_GE(child<QWidget>(r, "chtResultat")->height(), 100);
}

TEST(ResultWindow, SummaryShowsEachKeyAsStored) {
    const struct {
        QStringList lines;
        const char *box, *shown;
    } cases[] = {
        {{"x", "art:/l/", "Slut"}, "txtArt", "Löv"},
        {{"x", "art:/b/", "Slut"}, "txtArt", "Björk"},
        {{"x", "art:/t/", "Slut"}, "txtArt", "Tall"},
        {{"x", "art:/g/", "Slut"}, "txtArt", "Gran"},
        {{"x", "art:/G/", "Slut"}, "txtArt", ""},
        {{"x", "plant:/y/", "Slut"}, "txtPlant", "Ja"},
        {{"x", "plant:/n/", "Slut"}, "txtPlant", "Nej"},
        {{"x", "plant://", "Slut"}, "txtPlant", "Nej"},
        {{"x", "plant:/Y/", "Slut"}, "txtPlant", "Nej"},
        {{"x", "ranta/9/", "rant:/5/", "Slut"}, "txtRant", "5"},
        {{"x", "ranta/9/", "Slut"}, "txtRant", ""},
        {{"x", "rant:/3/ procent", "rant:/3.5/", "Slut"}, "txtRant", "3.5"},
        {{"rant:/7/", "Slut"}, "txtRant", "7"},          // the first line is examined
        {{"x", "bdm:/32/", "bdm:/99/"}, "txtDbh", "32"}, // the last line never is
        {{"x", "harvpr:/ 40 /", "Slut"}, "txtHarvpr", " 40 "},
        {{"x", "site:/24/", "Slut"}, "txtSite", "24"},
        {{"x", "mt:/250/", "Slut"}, "txtTallpris", "250"},
        {{"x", "mg:/2,5/", "Slut"}, "txtGranpris", "2,5"},
        {{"x", "mb:/240/", "Slut"}, "txtBjorkpris", "240"},
        {{"x", "bkv:/1/", "Slut"}, "txtBkv", "1"},
        {{"x", "akv:/7/", "Slut"}, "txtAkv", "7"},
        {{"x", "tkv:/3/", "Slut"}, "txtTkv", "3"},
    };
    for (const auto &c : cases) {
        ShownResult w;
        w.home.writeLines("trad.sty", c.lines);
        EXPECT_TRUE(w.window().showInputSummary().ok());
        EXPECT_EQ(w.box(c.box), QString::fromUtf8(c.shown)) << c.lines.join('|').toStdString();
    }
}

TEST(ResultWindow, ABoxWhoseKeyIsMissingKeepsWhatItShowed) {
    ShownResult w;
    w.home.writeLines("trad.sty", {"x", "art:/g/", "mt:/250/", "rant:/3/", "Slut"});
    (void)w.window().showInputSummary();
    w.home.writeLines("trad.sty", {"x", "art:/q/", "rant:/4/", "Slut"});
    (void)w.window().showInputSummary();
    EXPECT_EQ(w.box("txtArt"), "Gran");
    EXPECT_EQ(w.box("txtTallpris"), "250");
    EXPECT_EQ(w.box("txtRant"), "4");
}

TEST(ResultWindow, AtergaAndAvbrytOnlyMoveOnAndKeepTheResults) {
    ShownResult w;
    ResultWindow &r = w.window();
    w.hub.calculate();
    const QString shownBefore = r.grid()->textAt(5, 3);
    ASSERT_FALSE(shownBefore.isEmpty());
    const QByteArray control = w.home.read("trad.sty");
    const QByteArray prices = w.home.read("priser_ac.txt");
    const QByteArray report = w.home.read("resultat.txt");

    w.click("btnAterga");
    EXPECT_FALSE(r.isVisible());
    EXPECT_EQ(w.hub.opened.value(0), WindowHub::Window::TreeParameters);
    r.showWindow();
    w.click("btnAvbryt");
    EXPECT_FALSE(r.isVisible());
    EXPECT_EQ(w.hub.opened.value(1), WindowHub::Window::MainMenu);
    r.showWindow();
    r.close(); // the close box does what "Avbryt" does
    EXPECT_FALSE(r.isVisible());
    EXPECT_EQ(w.hub.opened.value(2), WindowHub::Window::MainMenu);

    r.showWindow();
    EXPECT_EQ(r.grid()->textAt(5, 3), shownBefore);
    EXPECT_EQ(r.grid()->textAt(0, 1), "Ränta,          %");
    EXPECT_EQ(w.home.read("trad.sty"), control);
    EXPECT_EQ(w.home.read("priser_ac.txt"), prices);
    EXPECT_EQ(w.home.read("resultat.txt"), report);
}

TEST(ResultWindow, AMissingPriceListIsReportedOnceByTheCalculationAndTheWindowKeepsItsGrid) {
    ShownResult w;
    QFile::remove(w.home.path("priser_ac.txt"));
    ModalHand hand;
    w.window().showWindow();
    w.window().calculateAndSave();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_TRUE(hand.seen()[0].text.contains("priser_ac.txt")) << hand.seen()[0].text.toStdString();
    EXPECT_TRUE(w.window().isVisible());
    EXPECT_EQ(w.window().grid()->textAt(12, 0), "110");
}

TEST(ResultWindow, ACalculationThatStopsIsExplainedInAKvistelBox) {
    ShownResult w;
    w.window().showWindow();
    QFile::remove(w.home.path("trad.sty"));
    ModalHand hand;
    w.window().calculateAndSave();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_FALSE(hand.seen()[0].text.isEmpty());
    EXPECT_FALSE(hand.seen()[0].hasIcon);
    EXPECT_TRUE(w.window().isVisible());
}

TEST(Calculation, BeraknaInTheTreeFormShowsTheEnginesResultsForTheSavedTree) {
    ShownResult w;
    TreeForm &tree = w.hub.tree();
    tree.showWindow();
    child<QLineEdit>(tree, "txtBdm")->setText("36");
    child<QComboBox>(tree, "cmbArt")->setCurrentIndex(1);
    QTest::mouseClick(child<QPushButton>(tree, "btnBerakna"), Qt::LeftButton);

    ASSERT_TRUE(w.hub.hasResult());
    ResultWindow &r = w.window();
    EXPECT_FALSE(tree.isVisible());
    EXPECT_TRUE(r.isVisible());
    EXPECT_TRUE(w.home.readLines("trad.sty").contains("bdm:/36/"));
    EXPECT_EQ(w.box("txtDbh"), "36");
    EXPECT_EQ(w.box("txtArt"), "Gran");
    EXPECT_EQ(w.box("txtRant"), "3");
    EXPECT_EQ(w.box("txtPlant"), "Ja");

    TreeCalculation reference(w.home.directory());
    TreeValuation expected;
    ASSERT_EQ(reference.calculateAndSave(expected).message(), "");
    ASSERT_FALSE(engineText(expected, 2, 1).trimmed().isEmpty());
    expectSameResults(*r.grid(), expected);
}

TEST(Calculation, ReturningAndCalculatingAgainOverwritesEveryDataCell) {
    ShownResult w;
    TreeCalculation reference(w.home.directory());
    TreeValuation expected;

    TreeForm &tree = w.hub.tree();
    tree.showWindow();
    QTest::mouseClick(child<QPushButton>(tree, "btnBerakna"), Qt::LeftButton);
    ASSERT_EQ(reference.calculateAndSave(expected).message(), "");
    ResultWindow &r = w.window();
    expectSameResults(*r.grid(), expected);

    // Leave stale marks in every data cell; the next tree's calculation must replace them all.
    ResultGrid *g = r.grid();
    TreeValuation stale;
    stale.yearsValued = harvestYearCount;
    for (HarvestYear &year : stale.rows)
        year.values.fill(-7777);
    r.model()->setValuation(stale);
    ASSERT_EQ(g->textAt(5, 3), "-7777");

    QTest::mouseClick(child<QPushButton>(r, "btnAterga"), Qt::LeftButton);
    EXPECT_FALSE(r.isVisible());
    EXPECT_TRUE(tree.isVisible());
    child<QLineEdit>(tree, "txtBdm")->setText("44");
    child<QLineEdit>(tree, "txtSite")->setText("28");
    QTest::mouseClick(child<QPushButton>(tree, "btnBerakna"), Qt::LeftButton);
    ASSERT_EQ(reference.calculateAndSave(expected).message(), "");

    EXPECT_TRUE(r.isVisible());
    EXPECT_EQ(w.box("txtDbh"), "44");
    EXPECT_EQ(w.box("txtSite"), "28");
    expectSameResults(*g, expected);
    for (int row = 1; row < resultRows; ++row)
        for (int c = 1; c < resultCols; ++c)
            EXPECT_NE(g->textAt(row, c), "-7777") << row << "," << c;
    for (int c = 0; c < resultCols; ++c)
        EXPECT_EQ(g->textAt(0, c), QString::fromUtf8(columns[c].header));
    for (int i = 1; i < resultRows; ++i)
        EXPECT_EQ(g->textAt(i, 0), QString::number((i - 1) * 10));
}

// After a calculation the window says what to do, draws it and shows how the answer moves; the
// next tree's calculation replaces all three.
TEST(Calculation, TheVerdictChartAndWhatIfTableFollowEachCalculation) {
    ShownResult w;
    const QByteArray control = w.home.read("trad.sty");
    const QByteArray prices = w.home.read("priser_ac.txt");
    ResultWindow &r = w.window();
    w.hub.calculate();
    // The chart and the what-if table follow once the window is on screen.
    awaitChartAndWhatIfs(r);
    const ResultModel &model = *r.model();
    const int best = model.bestRow();
    ASSERT_GE(best, 0);
    const QString verdict = child<QLabel>(r, "lblSlutsats")->text();
    EXPECT_EQ(verdict, verdictText(model.valuation(), 0.03, u'.'));
    EXPECT_TRUE(verdict.startsWith(best == 0 ? "Avverka nu" : "Låt trädet stå"))
        << verdict.toStdString();
    for (int c = 0; c < resultColumnCount; ++c)
        EXPECT_TRUE(model.index(best, c).data(ResultModel::BestYearRole).toBool());
    EXPECT_FALSE(model.index(best == 0 ? 1 : 0, 0).data(ResultModel::BestYearRole).toBool());

    const auto *chart = child<ResultChart>(r, "chtResultat");
    auto series = [&](const char *name) -> const QList<QPointF> * {
        if (const ResultChart::Curve *c = chart->curve(QString::fromUtf8(name)))
            return &c->points;
        ADD_FAILURE() << "no series " << name;
        return nullptr;
    };
    ASSERT_TRUE(series("Netto kr/träd") && series("Bästa år") && series("Räntekrav % per år"));
    EXPECT_EQ(series("Netto kr/träd")->count(), harvestYearCount);
    EXPECT_EQ(series("Nuvärde kr/träd")->count(), harvestYearCount);
    EXPECT_EQ(series("Värdetillväxt % per år")->count(), harvestYearCount - 1);
    EXPECT_EQ(series("Bästa år")->at(0).x(), 10.0 * best);
    EXPECT_DOUBLE_EQ(series("Räntekrav % per år")->at(0).y(), 3);
    QStringList titles;
    for (const ResultChart::Axis &a : chart->axes())
        titles << a.title;
    EXPECT_EQ(titles, (QStringList{"År", "kr/träd", "% per år"}));

    auto *table = child<QTableWidget>(r, "flgKanslighet");
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_EQ(table->verticalHeaderItem(1)->text(), "Räntekrav 3 % (som beräknat)");
    EXPECT_EQ(table->item(1, 0)->text(),
              best == 0 ? QString("nu") : QString("om %1 år").arg(best * 10));
    EXPECT_EQ(table->item(1, 1)->text(),
              model.index(best, best == 0 ? NetValue : PresentValue).data().toString());
    // The what-if valued copies: the user's files are as they were.
    EXPECT_EQ(w.home.read("trad.sty"), control);
    EXPECT_EQ(w.home.read("priser_ac.txt"), prices);

    const double lastNet = series("Netto kr/träd")->at(11).y();
    w.home.writeLines("trad.sty", controlWithBdm(44));
    r.calculateAndSave();
    awaitChartAndWhatIfs(r);
    EXPECT_NE(series("Netto kr/träd")->at(11).y(), lastNet);
    EXPECT_EQ(series("Netto kr/träd")->at(11).y(), model.valuation().rows[11][NetValue]);
    EXPECT_EQ(child<QLabel>(r, "lblSlutsats")->text(), verdictText(model.valuation(), 0.03, u'.'));
}

TEST(Calculation, AStoppedCalculationShowsOnlyItsStopMessageAndNoWhatIf) {
    ShownResult w;
    QStringList lines = sampleControlLines();
    lines.replaceInStrings(QRegularExpression("^bkv:/1/"), "bkv:/9/");
    w.home.writeLines("trad.sty", lines);
    ModalHand hand;
    w.hub.calculate();
    ASSERT_EQ(hand.count(), 1);
    ResultWindow &r = w.window();
    ASSERT_FALSE(r.model()->valuation().complete());
    EXPECT_EQ(child<QLabel>(r, "lblSlutsats")->text(), hand.seen()[0].text);
    EXPECT_EQ(r.model()->bestRow(), -1);
    awaitChartAndWhatIfs(r);
    auto *table = child<QTableWidget>(r, "flgKanslighet");
    for (int row = 0; row < table->rowCount(); ++row)
        EXPECT_TRUE(table->item(row, 1)->text().isEmpty()) << row;
}
