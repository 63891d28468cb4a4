// The tree list window as a forest owner uses it: trees added and corrected, valued, sorted by
// diameter, one opened for its twelve harvest years, the list saved.
#include "core/files/cp1252.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/treelist/harvestplanmodel.h"
#include "core/treelist/treelistbatch.h"
#include "core/treelist/treelistcsv.h"
#include "gui/treelist/harvestplanview.h"
#include "gui/treelist/markinglist.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class MenuHub : public WindowHub {
public:
    void open(Window window) override { opened.append(window); }
    void calculate() override {}
    QList<Window> opened;
};

// Types into the current cell as a user does: the first key opens the editor, Return commits.
void typeIntoCell(QTableView *view, const QString &text) {
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view->window()));
    view->setFocus();
    QTest::keyClick(view, text.at(0).toLatin1());
    QWidget *editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && editor != view);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
}

TEST(TreeListWindow, AddsValuesSortsAndOpensTreesAndSavesTheList) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTableView *view = w.view();
    TreeListModel *model = w.model();

    // Two new trees take the tree of "trad.sty" (a 30 cm pine).
    auto *btnLaggTill = w.findChild<QPushButton *>("btnLaggTill");
    QTest::mouseClick(btnLaggTill, Qt::LeftButton);
    QTest::mouseClick(btnLaggTill, Qt::LeftButton);
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->tree(1).values[BreastDiameter], "30");
    EXPECT_EQ(model->index(0, TreeListModel::FirstKeyColumn + TreeSpecies).data().toString(),
              "Tall");

    // A diameter the tree form refuses is kept as typed, with the form's message; then
    // corrected to 9 cm, typed with a decimal comma.
    const QModelIndex diameter =
        view->model()->index(1, TreeListModel::FirstKeyColumn + BreastDiameter);
    ModalHand hand;
    view->setCurrentIndex(diameter);
    typeIntoCell(view, "400");
    settle(60);
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Error");
    EXPECT_EQ(hand.seen()[0].text, "Värdet måste ligga mellan 0 och 300");
    EXPECT_EQ(model->tree(1).values[BreastDiameter], "400");
    view->setCurrentIndex(diameter);
    typeIntoCell(view, "9,0");
    settle(60);
    EXPECT_EQ(hand.count(), 1);
    EXPECT_EQ(model->tree(1).values[BreastDiameter], "9.0");

    // Both trees valued; the footer sums those to cut now.
    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    QTest::mouseClick(w.findChild<QPushButton *>("btnVardera"), Qt::LeftButton);
    ASSERT_TRUE(done.count() > 0 || done.wait(10000));
    int cutNow = 0;
    for (int r = 0; r < 2; ++r) {
        const auto &summary = model->summary(r);
        ASSERT_TRUE(summary && summary->valued()) << r;
        const QString decision =
            model->index(r, TreeListModel::FirstSummaryColumn + CutOrWait).data().toString();
        EXPECT_TRUE(decision == "Avverka nu" || decision == QStringLiteral("Låt stå"));
        cutNow += summary->decision.cutNow() ? 1 : 0;
    }
    EXPECT_TRUE(w.findChild<QLabel *>("lblSumma")
                    ->text()
                    .startsWith(QStringLiteral("Avverka nu: %1 av 2 träd").arg(cutNow)));

    // Sorted by diameter, 9 cm comes before 30 cm: numbers sort as numbers.
    view->horizontalHeader()->setSortIndicator(TreeListModel::FirstKeyColumn + BreastDiameter,
                                               Qt::AscendingOrder);
    EXPECT_EQ(view->model()->index(0, TreeListModel::IdColumn).data().toString(), "2");
    view->horizontalHeader()->setSortIndicator(TreeListModel::FirstSummaryColumn + NetNow,
                                               Qt::DescendingOrder);
    EXPECT_GE(view->model()
                  ->index(0, TreeListModel::FirstSummaryColumn + NetNow)
                  .data(TreeListModel::SortRole)
                  .toDouble(),
              view->model()
                  ->index(1, TreeListModel::FirstSummaryColumn + NetNow)
                  .data(TreeListModel::SortRole)
                  .toDouble());

    // Return on a row shows that tree's twelve harvest years; "trad.sty" stays as it was.
    const QByteArray control = home.read("trad.sty");
    QStringList years;
    QString netNow, shownNetNow;
    QTimer::singleShot(100, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->objectName(), "dlgTradresultat");
        auto *table = dialog->findChild<QTableWidget *>("flgTradresultat");
        ASSERT_TRUE(table);
        for (int r = 0; r < table->rowCount(); ++r)
            years << table->verticalHeaderItem(r)->text();
        shownNetNow = table->item(0, NetValue)->text();
        static_cast<QDialog *>(dialog)->reject();
    });
    view->setCurrentIndex(view->model()->index(0, TreeListModel::IdColumn));
    netNow = view->model()->index(0, TreeListModel::FirstSummaryColumn + NetNow).data().toString();
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(years, (QStringList{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100",
                                  "110"}));
    EXPECT_EQ(shownNetNow, netNow);
    EXPECT_EQ(home.read("trad.sty"), control);

    // Saved, the list reads back as it stands.
    ASSERT_TRUE(w.saveList(home.path("lista.csv")));
    TreeListReader reader;
    ASSERT_TRUE(reader.open(home.path("lista.csv")).ok());
    QList<TreeListLine> lines;
    reader.read(10, lines);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].tree.values[BreastDiameter], "9.0");
    EXPECT_EQ(lines[1].tree.values[Site], "24");
    EXPECT_EQ(home.read("lista.csv").left(13), "id,art,bdm,ho");

    QTest::mouseClick(w.findChild<QPushButton *>("btnAvbryt"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
}

// A long inventory shows its progress, keeps the list from being changed meanwhile, and a
// cancelled valuation leaves no half list of figures behind.
TEST(TreeListWindow, ALongListShowsItsProgressAndCanBeCancelled) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    QByteArray list = "id;bdm\r\n";
    for (int i = 0; i < 20000; ++i)
        list += QByteArray::number(i) + ";" + QByteArray::number(20 + i % 30) + "\r\n";
    home.write("lista.csv", list);
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));

    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    auto *progress = w.findChild<QProgressDialog *>("dlgVarderar");
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->maximum(), 20000);
    auto *btnVardera = w.findChild<QPushButton *>("btnVardera");
    EXPECT_FALSE(btnVardera->isEnabled());
    auto *cancel = progress->findChild<QPushButton *>();
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->text(), "Avbryt");
    cancel->click();
    ASSERT_TRUE(done.count() > 0 || done.wait(10000));
    EXPECT_TRUE(btnVardera->isEnabled());
    for (int r : {0, 9999, 19999})
        EXPECT_FALSE(w.model()->summary(r).has_value()) << r;
}

// The sample stand, repeated so that every core gets trees, valued and its what-if worked out
// on the other threads: every tree counted once under every change. Run under ThreadSanitizer,
// this is where two threads sharing the window's lists would show.
TEST(TreeListWindow, ValuesARepeatedStandAndItsWhatIfOnEveryCore) {
    TempHome home;
    for (const char *name : {"trad.sty", "priser_ac.txt"}) {
        QFile sample(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        home.write(QLatin1String(name), sample.readAll());
    }
    QFile sample(QStringLiteral(KVISTEL_SAMPLE_DIR "bestand.csv"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = sample.readAll().split('\n');
    QByteArray list = lines.takeFirst() + '\n';
    lines.removeAll(QByteArray());
    lines.removeAll(QByteArray("\r"));
    constexpr int copies = 10;
    for (int c = 0; c < copies; ++c)
        for (const QByteArray &line : lines)
            list += QByteArray::number(c) + '-' + line + '\n';
    home.write("lista.csv", list);
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    const int trees = w.model()->rowCount();
    ASSERT_EQ(trees, copies * lines.size());
    auto *plan = w.findChild<HarvestPlanView *>();
    ASSERT_TRUE(plan);
    QSignalSpy planned(plan, &HarvestPlanView::whatIfDone);
    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    ASSERT_TRUE(done.count() > 0 || done.wait(60000));
    ASSERT_TRUE(planned.count() > 0 || planned.wait(120000));
    int valued = 0;
    for (int r = 0; r < trees; ++r)
        valued += w.model()->summary(r) && w.model()->summary(r)->valued() ? 1 : 0;
    EXPECT_GT(valued, trees / 2);
    ASSERT_EQ(plan->whatIfs().size(), standWhatIfCount);
    for (const StandWhatIf &change : plan->whatIfs()) {
        EXPECT_GT(change.valued, 0) << change.change.toStdString();
        EXPECT_LE(change.valued, trees) << change.change.toStdString();
        EXPECT_LE(change.switched, valued) << change.change.toStdString();
    }
}

// The plan's what-if works on its own copy of the trees: a caller that keeps its lists while the
// what-if runs (as the window may) shares nothing the threads change, and the sums are those of
// the same what-if worked out in one go.
TEST(HarvestPlanView, WorksOutTheWhatIfWhileTheCallerKeepsItsLists) {
    TempHome home;
    for (const char *name : {"trad.sty", "priser_ac.txt", "bestand.csv"}) {
        QFile sample(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
        home.write(QLatin1String(name), sample.readAll());
    }
    Expected<TreeListHome> parametersRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(parametersRead) << parametersRead.message().toStdString();
    const TreeListHome parameters = std::move(parametersRead).value();
    TreeListReader reader;
    ASSERT_TRUE(reader.open(home.path("bestand.csv")));
    QList<TreeRow> trees;
    QList<TreeSummary> asGiven;
    QList<TreeListLine> lines;
    for (bool more = true; more;) {
        more = reader.read(4096, lines);
        for (int copy = 0; copy < 10; ++copy)
            for (const TreeListLine &l : lines) {
                trees << l.tree;
                asGiven << valueTreeRow(parameters.base, l.tree, parameters.prices);
            }
    }
    ASSERT_GT(trees.size(), 100);

    HarvestPlanView view;
    QSignalSpy done(&view, &HarvestPlanView::whatIfDone);
    view.showPlan(parameters, trees, asGiven);
    ASSERT_TRUE(done.wait(120000));
    const QList<StandWhatIf> expected =
        StandWhatIfs(parameters, localeDecimalSeparator()).valueAll(trees, asGiven);
    ASSERT_EQ(view.whatIfs().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const StandWhatIf &got = view.whatIfs()[i];
        EXPECT_EQ(got.change, expected[i].change);
        EXPECT_EQ(got.valued, expected[i].valued) << got.change.toStdString();
        EXPECT_EQ(got.switched, expected[i].switched) << got.change.toStdString();
        EXPECT_NEAR(got.presentValue, expected[i].presentValue,
                    1e-9 * std::abs(expected[i].presentValue))
            << got.change.toStdString();
    }
}

// While a long list is valued the window still answers: a click on the plan's tab is handled
// before the valuation has ended.
TEST(TreeListWindow, AnswersAClickWhileItValues) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    QByteArray list = "id;bdm\r\n";
    for (int i = 0; i < 30000; ++i)
        list += QByteArray::number(i) + ";" + QByteArray::number(20 + i % 30) + "\r\n";
    home.write("lista.csv", list);
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    auto *tabs = w.findChild<QTabWidget *>("tabTradlista");
    ASSERT_TRUE(tabs);
    bool clickedWhileValuing = false;
    QObject::connect(tabs, &QTabWidget::currentChanged, &w,
                     [&] { clickedWhileValuing = w.isValuing(); });

    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    QTimer::singleShot(20, &w, [&] {
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    });
    ASSERT_TRUE(done.wait(600000));
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(clickedWhileValuing);
}

// Opened and saved, a list is what it was: its cells as read, its columns and no others, a
// column the program does not know shown; an edit changes its own cell alone.
TEST(TreeListWindow, SavesBackWhatTheListHeldAndOnlyWhatTheUserChanged) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    const QByteArray list = encodeCp1252(QStringLiteral("id;bdm;Anmärkning;art\r\n"
                                                        "01;32.5;'=1+1;Tall\r\n"
                                                        " 2;28.0;kant;g;utanför\r\n"
                                                        "3;30;;Gran\r\n"));
    home.write("lista.csv", list);
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    TreeListModel *model = w.model();
    EXPECT_EQ(model->headerData(TreeListModel::FirstOtherColumn, Qt::Horizontal, Qt::DisplayRole),
              QStringLiteral("Anmärkning"));
    EXPECT_EQ(model->index(0, TreeListModel::FirstOtherColumn).data().toString(), "=1+1");
    EXPECT_EQ(model->index(0, TreeListModel::FirstKeyColumn + Site).data().toString(), "24");
    EXPECT_TRUE(model->rowFault(1).startsWith("Rad 3 har 5 fält"));

    ASSERT_TRUE(w.saveList(home.path("kopia.csv")));
    EXPECT_EQ(home.read("kopia.csv"), list);

    ASSERT_TRUE(model->setData(model->index(2, TreeListModel::FirstKeyColumn + BreastDiameter),
                               "31,5", Qt::EditRole));
    ASSERT_TRUE(w.saveList(home.path("kopia.csv")));
    EXPECT_EQ(home.read("kopia.csv"), QByteArray(list).replace("3;30;", "3;31.5;"));
}

// New ids follow the highest, typing replaces a cell, unvalued trees sort last either way, and
// the footer says how many trees could not be valued; leaving with edits asks first.
TEST(TreeListWindow, BehavesAsASpreadsheetUserExpects) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id;bdm\r\n3;30\r\n1;31\r\n5;400\r\n");
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    TreeListModel *model = w.model();
    QTableView *view = w.view();

    ModalHand hand;
    view->setCurrentIndex(view->model()->index(0, TreeListModel::FirstKeyColumn + TreeSpecies));
    typeIntoCell(view, "Gran");
    settle(60);
    EXPECT_EQ(model->tree(0).values[TreeSpecies], "Gran");
    EXPECT_EQ(hand.count(), 0);

    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    ASSERT_TRUE(done.count() > 0 || done.wait(10000));
    EXPECT_TRUE(w.findChild<QLabel *>("lblSumma")
                    ->text()
                    .endsWith(QStringLiteral("1 träd kunde inte värderas (se kolumnen Fel).")));
    QTest::mouseClick(w.findChild<QPushButton *>("btnLaggTill"), Qt::LeftButton);
    EXPECT_EQ(model->tree(3).id, "6");

    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        view->horizontalHeader()->setSortIndicator(TreeListModel::FirstSummaryColumn + NetNow,
                                                   order);
        EXPECT_TRUE(
            view->model()->index(0, TreeListModel::FirstSummaryColumn + NetNow).data().isValid());
        EXPECT_FALSE(
            view->model()->index(3, TreeListModel::FirstSummaryColumn + NetNow).data().isValid());
    }

    QTest::mouseClick(w.findChild<QPushButton *>("btnAvbryt"), Qt::LeftButton);
    settle(60);
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].text, QStringLiteral("Spara ändringarna i trädlistan?"));
    EXPECT_TRUE(w.isVisible()); // the box was closed without an answer: the user stays
    EXPECT_TRUE(hub.opened.isEmpty());
}

// A tree's id that looks like markup is shown as the text it is.
TEST(TreeListWindow, ShowsAnIdThatLooksLikeMarkupAsText) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id;bdm\r\n<img src=\"/dev/zero\"><h1>x</h1>;30\r\n");
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    Qt::TextFormat format = Qt::RichText;
    QString text;
    QTimer::singleShot(100, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        auto *label = dialog->findChild<QLabel *>("lblTradslutsats");
        ASSERT_TRUE(label);
        format = label->textFormat();
        text = label->text();
        static_cast<QDialog *>(dialog)->reject();
    });
    w.openRow(0);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(text.contains("<h1>x</h1>"));
    EXPECT_TRUE(w.findChild<QLabel *>("lblFil")->textFormat() == Qt::PlainText);
}

} // namespace

// After a valuation the plan tab sums the list's own figures, names the tree it could not value
// and works out the stand's what-if; an edit to the list takes the plan away until the next one.
TEST(TreeListWindow, PlansTheStandFromItsFiguresAndForgetsThePlanWhenTheListChanges) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id;bdm\r\n1;12\r\n2;30\r\n3;46\r\nX;400\r\n");
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("lista.csv")));
    auto *plan = w.findChild<HarvestPlanView *>();
    ASSERT_TRUE(plan);
    QSignalSpy planned(plan, &HarvestPlanView::whatIfDone);
    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    ASSERT_TRUE(done.count() > 0 || done.wait(10000));
    ASSERT_TRUE(planned.count() > 0 || planned.wait(10000));

    double net = 0;
    int trees = 0;
    for (int r = 0; r < 4; ++r)
        if (const auto &s = w.model()->summary(r); s && s->valued()) {
            net += s->netBest;
            ++trees;
        }
    EXPECT_EQ(trees, 3);
    const HarvestPlan &p = plan->model()->plan();
    EXPECT_EQ(p.total().trees, 3);
    EXPECT_DOUBLE_EQ(p.total().netValue, net);
    EXPECT_EQ(p.unvaluedIds(), QStringList{"X"});
    const QString statement = w.findChild<QLabel *>("lblPlanSlutsats")->text();
    EXPECT_TRUE(statement.contains(QStringLiteral("av 3 träd")) ||
                statement.startsWith(QStringLiteral("Inget av de 3 träden")))
        << statement.toStdString();
    EXPECT_TRUE(statement.endsWith(QStringLiteral("ingår inte i summorna: X.")));
    EXPECT_EQ(plan->model()->rowCount(), int(p.yearsWithTrees().size()) + 1);
    ASSERT_EQ(plan->whatIfs().size(), standWhatIfCount);
    EXPECT_EQ(plan->whatIfs()[0].valued, 3);

    // Out of the window: the list with its figures and the plan for a spreadsheet, and a marking
    // list whose text holds the statement and every tree.
    ASSERT_TRUE(w.writePlanCsv(home.path("plan.csv")));
    const QByteArray csvBytes = home.read("plan.csv");
    // For a spreadsheet's defaults: UTF-8 with a byte order mark.
    ASSERT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF"));
    const QStringList csv = splitLines(QString::fromUtf8(csvBytes.mid(3)));
    EXPECT_EQ(csv.value(0), QStringLiteral("id;bdm;beslut;bästa år;netto nu;nuvärde bästa;"
                                           "ränta 10 år;fel;avverkas år"));
    EXPECT_TRUE(csv.contains(QStringLiteral("år;träd;volym m3;netto kr;nuvärde kr")));
    EXPECT_TRUE(csv.contains(QStringLiteral("1 träd kunde inte värderas och ingår inte i "
                                            "summorna: X.")));
    EXPECT_EQ(csv.mid(csv.size() - 3, 2),
              (QStringList{QStringLiteral("Träd som inte kunde värderas (1)"), "id;fel"}));
    EXPECT_TRUE(csv.last().startsWith("X;")) << csv.last().toStdString();
    ASSERT_TRUE(w.writePlanPdf(home.path("plan.pdf")));
    QProcess pdftotext;
    pdftotext.start("pdftotext", {home.path("plan.pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput())
                             .replace(QChar(0x00A0), u' ')
                             .simplified();
    EXPECT_TRUE(text.contains(QString(statement).replace(QChar(0x00A0), u' ').simplified()))
        << text.toStdString();
    for (const char *id : {"1", "2", "3"})
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(id))));
    EXPECT_TRUE(text.contains(QStringLiteral("Räntenivå")));

    w.model()->setData(w.model()->index(0, TreeListModel::FirstKeyColumn + BreastDiameter), "14",
                       Qt::EditRole);
    EXPECT_EQ(plan->model()->rowCount(), 0);
    EXPECT_TRUE(plan->whatIfs().isEmpty());
}

QString sourceFile(const char *name) {
    return QStringLiteral(KVISTEL_SOURCE_DIR "/") + QString::fromUtf8(name);
}

// A line's cells as LibreOffice Calc's default import splits them: at "," as well as ";",
// keeping what stands within quotes whole.
QStringList cellsAsCalcReadsThem(const QString &line) {
    QStringList cells{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' && quoted && i + 1 < line.size() && line[i + 1] == u'"')
            cells.last() += line[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u';' || c == u','))
            cells << QString();
        else
            cells.last() += c;
    }
    return cells;
}

QString pdfText(const QString &path) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", path, "-"});
    pdftotext.waitForFinished(30000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).replace(QChar(0x00A0), u' ');
}

// A stand typed in a spreadsheet under the window's own headings, with remarks and an oak the
// program cannot value: every tree valued with its own figures, and a marking list an owner can
// walk the stand with.
TEST(TreeListWindow, ValuesASpreadsheetStandAndPrintsAMarkingListToActOn) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    QFile list(sourceFile("tests/core/treelist/data/bestand-60.csv"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    // The stand named on the list's first lines, as a spreadsheet user types them.
    const QByteArray bytes =
        encodeCp1252(QStringLiteral("Fastighet;Storskogen 1:4\r\nÄgare;Anna Berg\r\n")) +
        list.readAll();
    home.write("bestand.csv", bytes);
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ASSERT_TRUE(w.openList(home.path("bestand.csv")));
    EXPECT_EQ(w.findChild<QLabel *>("lblFranTradSty")->text(),
              QStringLiteral("Från trad.sty: Bonitet, Plantering"));
    auto *plan = w.findChild<HarvestPlanView *>();
    QSignalSpy planned(plan, &HarvestPlanView::whatIfDone);
    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    ASSERT_TRUE(done.count() > 0 || done.wait(20000));
    ASSERT_TRUE(planned.count() > 0 || planned.wait(20000));

    // Each tree its own: the diameters as the list has them.
    QSet<QString> decisions;
    for (int r = 0; r < w.model()->rowCount(); ++r)
        if (const auto &s = w.model()->summary(r); s && s->valued())
            decisions.insert(QString::number(s->netBest));
    EXPECT_GT(decisions.size(), 20);
    EXPECT_EQ(plan->model()->plan().unvaluedIds(), QStringList{"22"});
    // The stand's what-if sums the trees the plan sums.
    EXPECT_EQ(plan->whatIfs().value(0).valued, plan->model()->plan().valuedTrees());

    // The window's results are the command line's answer, cell by cell, in the spreadsheet's
    // UTF-8 after the stand's lines: one writer for both. For LibreOffice Calc, whose import
    // also splits at commas, a cell with a comma is quoted.
    ASSERT_TRUE(w.writePlanCsv(home.path("plan.csv")));
    Expected<TreeListHome> listHomeRead = loadTreeListHome(home.directory());
    ASSERT_TRUE(listHomeRead) << listHomeRead.message().toStdString();
    const TreeListHome listHome = std::move(listHomeRead).value();
    TreeListBatch batch;
    batch.input = home.path("bestand.csv");
    QBuffer answer;
    answer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(valueTreeListFile(batch, listHome, answer));
    const QStringList answered = splitLines(decodeCp1252(answer.data()));
    const QByteArray exported = home.read("plan.csv");
    ASSERT_TRUE(exported.startsWith("\xEF\xBB\xBF"));
    const QStringList exportedLines = splitLines(QString::fromUtf8(exported.mid(3)));
    ASSERT_EQ(answered.size(), 61);
    EXPECT_EQ(exportedLines.mid(0, 2),
              (QStringList{"Fastighet;Storskogen 1:4", QStringLiteral("Ägare;Anna Berg")}));
    // The plan's file adds one last cell a tree: the year the plan cuts it.
    for (qsizetype i = 0; i < answered.size(); ++i) {
        const QStringList cells = splitCsvLine(answered[i], u';');
        const QStringList exportedCells = splitCsvLine(exportedLines.value(i + 2), u';');
        ASSERT_EQ(exportedCells.size(), cells.size() + 1) << answered[i].toStdString();
        EXPECT_EQ(exportedCells.mid(0, cells.size()), cells) << answered[i].toStdString();
        EXPECT_EQ(cellsAsCalcReadsThem(exportedLines.value(i + 2)).mid(0, cells.size()), cells)
            << answered[i].toStdString();
    }
    EXPECT_TRUE(exportedLines.value(2).endsWith(QStringLiteral(";avverkas år")));
    EXPECT_TRUE(exportedLines.value(2).startsWith(QStringLiteral("Id;Art;\"Diam, cm\";")));
    EXPECT_TRUE(exportedLines.value(3).startsWith(QStringLiteral("1;g;46;\"0,8\";")));

    ASSERT_TRUE(w.writePlanPdf(home.path("utsyning.pdf")));
    const QString text = pdfText(home.path("utsyning.pdf"));
    const QString flat = QString(text).simplified();
    for (const char *remark :
         {"Misstänkt rotröta", "Fröträd, lämnas", "Grov, kvistren", "Toppbrott", "Spärrgrenig",
          "Hänsynsträd – märkt med band", "Barkskada vid basen", "Dubbeltopp"})
        EXPECT_TRUE(flat.contains(QString::fromUtf8(remark))) << remark;
    EXPECT_TRUE(flat.contains(QStringLiteral("Från trad.sty: Bonitet, Plantering")));
    EXPECT_TRUE(flat.contains(QStringLiteral("Fastighet: Storskogen 1:4 Ägare: Anna Berg")));
    EXPECT_TRUE(flat.contains(QStringLiteral("Träd som inte kunde värderas (1)")));
    static const QRegularExpression pages(QStringLiteral("Sida (\\d+) av (\\d+)"));
    int count = 0, of = 0;
    for (const auto &m : pages.globalMatch(text)) {
        ++count;
        EXPECT_EQ(m.captured(1).toInt(), count);
        of = m.captured(2).toInt();
    }
    EXPECT_GE(count, 2);
    EXPECT_EQ(count, of);
    // Every valued tree's line holds its id, its volume, its net value and its own remark.
    const StandSheet sheet = w.standSheet();
    int remarked = 0;
    for (const QList<QStringList> &table : {sheet.cutNowTable(), sheet.leftStandingTable()})
        for (qsizetype r = 1; r < table.size(); ++r) {
            const QString remark = table[r][6];
            remarked += remark.isEmpty() ? 0 : 1;
            const QRegularExpression line(
                QStringLiteral("^\\s*%1\\s.*\\s%2\\s+%3\\b%4")
                    .arg(QRegularExpression::escape(table[r][0]),
                         QRegularExpression::escape(table[r][4]),
                         QRegularExpression::escape(table[r][5]),
                         remark.isEmpty()
                             ? QStringLiteral("\\s*$")
                             : QStringLiteral("\\s+") + QRegularExpression::escape(remark)),
                QRegularExpression::MultilineOption);
            EXPECT_TRUE(line.match(text).hasMatch()) << table[r].join(u' ').toStdString();
        }
    EXPECT_EQ(remarked, 9); // the oak, left out, has none
    // The headings of the list stay as the file had them.
    ASSERT_TRUE(w.saveList(home.path("sparad.csv")));
    EXPECT_EQ(home.read("sparad.csv"), bytes);
    // A compartment typed in the window is saved among the stand's lines.
    auto *compartment = w.findChild<QLineEdit *>("txtAvdelning");
    ASSERT_TRUE(compartment);
    compartment->setFocus();
    QTest::keyClicks(compartment, "12");
    EXPECT_TRUE(w.model()->isModified());
    ASSERT_TRUE(w.saveList(home.path("sparad.csv")));
    EXPECT_TRUE(home.read("sparad.csv")
                    .startsWith(encodeCp1252(QStringLiteral(
                        "Fastighet;Storskogen 1:4\r\nAvdelning;12\r\nÄgare;Anna Berg\r\n"
                        "Id;Art;Diam, cm;"))));
}

// A list without diameters is refused with the headings it has, never valued as copies of the
// control file's tree.
TEST(TreeListWindow, RefusesAListWithoutDiameters) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "Id;Art;Kval 1\r\n1;t;2\r\n");
    MenuHub hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ModalHand hand;
    EXPECT_FALSE(w.openList(home.path("lista.csv")));
    ASSERT_EQ(hand.count(), 1);
    EXPECT_TRUE(
        hand.seen()[0].text.contains(QStringLiteral("har ingen kolumn för trädens diameter")))
        << hand.seen()[0].text.toStdString();
    EXPECT_TRUE(hand.seen()[0].text.contains(QStringLiteral("\"Id\", \"Art\", \"Kval 1\"")));
    EXPECT_EQ(w.model()->rowCount(), 0);
}

// A marking list of texts no page can hold prints at once with the texts cut, says how far it
// has come, and stops when the user stops it.
TEST(MarkingListPrint, CutsEndlessTextsAndCanBeStopped) {
    MarkingList list;
    list.sheet.date = "2026-12-08";
    list.sheet.stand.owner = QString(50000, u'Å');
    for (int i = 0; i < 400; ++i) {
        TreeRow tree;
        tree.id = i == 0 ? QString(50000, u'7') : QString::number(i);
        tree.values[TreeSpecies] = "t";
        tree.values[BreastDiameter] = "30";
        TreeSummary s;
        s.decision.bestRow = i % 3;
        s.volumeNow = s.volumeBest = 0.5;
        list.sheet.trees << tree;
        list.sheet.remarks << (i == 1 ? QString(50000, u'r') : QString());
        list.sheet.summaries << s;
        list.sheet.plan.add(tree.id, s);
    }
    int pages = 0, seen = 0;
    const QByteArray pdf = list.pdf([&](int page, int of) {
        EXPECT_EQ(page, ++seen);
        pages = of;
        return true;
    });
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_GE(pages, 8);
    EXPECT_EQ(seen, pages);
    TempHome home;
    home.write("lista.pdf", pdf);
    const QString text = pdfText(home.path("lista.pdf"));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b7{3,}…"))))
        << text.left(2000).toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("r{10,}…"))));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Å{10,}…"))));
    EXPECT_FALSE(text.contains(QString(200, u'7')));
    EXPECT_TRUE(text.contains(QStringLiteral("Sida %1 av %1").arg(pages)));

    // Stopped on the third page: no document, and nothing more drawn.
    int asked = 0;
    EXPECT_TRUE(list.pdf([&](int page, int) {
                        ++asked;
                        return page < 3;
                    })
                    .isEmpty());
    EXPECT_EQ(asked, 3);
}

TEST(TreeListHeadings, EveryColumnExplainsItself) {
    TreeListModel model;
    QStringList meanings;
    for (int c = TreeListModel::FirstKeyColumn; c < TreeListModel::ColumnCount; ++c) {
        const QString tip = model.headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString();
        EXPECT_GT(tip.size(), 20) << c;
        EXPECT_FALSE(meanings.contains(tip)) << "column " << c << " explained as another";
        meanings << tip;
    }
}

// Two writers of one list: two copies of the program, or a spreadsheet and the program. The one
// that saves second is asked, as the parameter forms ask, and nothing is overwritten unless the
// user says so.
struct SecondWriter {
    const char *button;    // the answer to "har ändrats"
    const char *fileHolds; // the id the file's first tree has afterwards
    const char *windowHas; // the id the second window shows afterwards
};

class TreeListTwoWriters : public ::testing::TestWithParam<SecondWriter> {};

TEST_P(TreeListTwoWriters, TheSecondIsAskedBeforeItOverwritesTheFirst) {
    TempHome home;
    home.writeLines("trad.sty", sampleControlLines());
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", "id;bdm\r\n1;30\r\n");
    MenuHub hub;
    TreeListWindow first(hub, home.directory()), second(hub, home.directory());
    ASSERT_TRUE(first.openList(home.path("lista.csv")));
    ASSERT_TRUE(second.openList(home.path("lista.csv")));
    ASSERT_TRUE(first.model()->setData(first.model()->index(0, TreeListModel::IdColumn), "forsta",
                                       Qt::EditRole));
    ASSERT_TRUE(second.model()->setData(second.model()->index(0, TreeListModel::IdColumn), "andra",
                                        Qt::EditRole));
    ASSERT_TRUE(first.saveList(home.path("lista.csv")));

    int asked = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        if (box->objectName() == u"msgAndradFil") {
            ++asked;
            auto *button = box->findChild<QAbstractButton *>(QLatin1String(GetParam().button));
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(box, &QDialog::accept, Qt::QueuedConnection);
        }
    });
    answer.start(5);
    const bool saved = second.saveList(home.path("lista.csv"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(saved, std::string(GetParam().button) == "btnSkrivOver");
    EXPECT_EQ(home.read("lista.csv"), QByteArray("id;bdm\r\n") + GetParam().fileHolds + ";30\r\n");
    EXPECT_EQ(second.model()->tree(0).id, GetParam().windowHas);

    // Saved or read again, the second window knows the file as it is now: its next save asks
    // no more; a spreadsheet's change after it is found again.
    asked = 0;
    ASSERT_TRUE(second.model()->setData(second.model()->index(0, TreeListModel::IdColumn), "tredje",
                                        Qt::EditRole));
    if (std::string(GetParam().button) != "btnAvbryt") {
        EXPECT_TRUE(second.saveList(home.path("lista.csv")));
        EXPECT_EQ(asked, 0);
    }
    home.write("lista.csv", "id;bdm\r\ncalc;30\r\n");
    EXPECT_FALSE(second.saveList(home.path("lista.csv")) && asked == 0);
    EXPECT_EQ(asked, 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, TreeListTwoWriters,
                         ::testing::Values(SecondWriter{"btnAvbryt", "forsta", "andra"},
                                           SecondWriter{"btnSkrivOver", "andra", "andra"},
                                           SecondWriter{"btnLasOm", "forsta", "forsta"}),
                         [](const auto &info) { return std::string(info.param.button); });
