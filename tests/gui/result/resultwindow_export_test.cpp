#include "gui/result/reportviewer.h"
#include "gui/result/resultexport.h"
#include "gui/result/resultwindow.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class QuietHub : public WindowHub {
public:
    void open(Window) override {}
    void calculate() override {}
};

// The result window after a calculation of the sample tree.
struct CalculatedWindow {
    TempHome home;
    QuietHub hub;
    std::unique_ptr<ResultWindow> window;
    QString chosen; // the path the file dialog answers

    CalculatedWindow() {
        home.writeLines("trad.sty", sampleControlLines());
        home.write("priser_ac.txt", samplePriceList());
        window = std::make_unique<ResultWindow>(hub, home.directory());
        window->showWindow();
        window->calculateAndSave();
        window->resultExport().chooseFile = [this](const QString &, const QString &) {
            return chosen;
        };
    }
    QPushButton *button(const char *name) const {
        return window->findChild<QPushButton *>(QLatin1String(name));
    }
    void click(const char *name) const {
        QPushButton *b = button(name);
        ASSERT_TRUE(b) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QAbstractItemView *grid() const {
        return window->findChild<QAbstractItemView *>(QStringLiteral("flgResult"));
    }
    QString cell(int row, int column) const {
        const QAbstractItemModel *m = grid()->model();
        return m->data(m->index(row, column)).toString();
    }
};

} // namespace

TEST(ResultWindowExport, OffersEveryWayOutWithASwedishCaptionAndMnemonic) {
    CalculatedWindow w;
    const struct {
        const char *name, *caption;
    } buttons[] = {
        {"btnKopiera", "&Kopiera"},          {"btnCsv", "Exportera &CSV..."},
        {"btnPdf", "Spara &PDF..."},         {"btnSkrivUt", "Skri&v ut..."},
        {"btnVisaRapport", "Visa &rapport"},
    };
    for (const auto &b : buttons) {
        QPushButton *button = w.button(b.name);
        ASSERT_TRUE(button) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_TRUE(button->isVisible()) << b.name;
    }
}

TEST(ResultWindowExport, CopiesTheWholeGridOrTheSelectedCells) {
    CalculatedWindow w;
    w.click("btnKopiera");
    const QStringList lines = QApplication::clipboard()->text().split(u'\n');
    ASSERT_EQ(lines.size(), 14);
    EXPECT_TRUE(
        lines[0].startsWith(QStringLiteral("År\tRänta, %\tNuvärde kr/träd\tNetto kr/träd")));
    EXPECT_TRUE(lines[12].startsWith(QStringLiteral("110\t") + w.cell(11, 0) + u'\t'));

    w.grid()->setFocus();
    w.grid()->selectionModel()->select(
        QItemSelection(w.grid()->model()->index(2, 1), w.grid()->model()->index(3, 2)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keySequence(w.grid(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("År\tNuvärde kr/träd\tNetto kr/träd\n20\t%1\t%2\n30\t%3\t%4\n")
                  .arg(w.cell(2, 1), w.cell(2, 2), w.cell(3, 1), w.cell(3, 2)));
}

TEST(ResultWindowExport, WritesTheSummaryAndGridToCsvAndPdf) {
    LocaleScope swedish{QLocale(QLocale::Swedish, QLocale::Sweden)};
    CalculatedWindow w;
    w.chosen = w.home.path("tall_30cm.csv");
    w.click("btnCsv");
    const QByteArray bytes = w.home.read("tall_30cm.csv");
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString csv = QString::fromUtf8(bytes.mid(3));
    // A cell with a comma is quoted, or LibreOffice Calc's default import would split it.
    auto quoted = [](const QString &cell) {
        return cell.contains(u',') ? u'"' + cell + u'"' : cell;
    };
    // The region and the planting cost with the rest, the cost with the decimal comma.
    EXPECT_TRUE(csv.startsWith(QStringLiteral("Landsdel;Södra\r\nArt;Tall\r\nDiam bh;30;cm\r\n"
                                              "Plantkostnad;\"5,00\";Kr\r\nRäntekrav;3;%\r\n")))
        << qPrintable(csv);
    // Harvest now: its present value is its net value, not an empty cell.
    const qsizetype now = csv.indexOf(QStringLiteral("\r\n0;"));
    ASSERT_GE(now, 0) << qPrintable(csv);
    const QStringList cells = csv.mid(now + 2).section(QStringLiteral("\r\n"), 0, 0).split(u';');
    ASSERT_GT(cells.size(), 3);
    EXPECT_FALSE(cells[2].trimmed().isEmpty());
    EXPECT_EQ(cells[2], cells[3]) << qPrintable(cells.join(u';'));
    EXPECT_EQ(w.cell(0, 1), w.cell(0, 2)); // and so does the grid
    EXPECT_TRUE(csv.contains(QStringLiteral("Massapris Björk;240\r\n")));
    EXPECT_TRUE(
        csv.contains(QStringLiteral("Potent. kvalitet Tredjestock;3\r\n\r\nÅr;\"Ränta, %\";")));
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\n20;") + quoted(w.cell(2, 0)) + u';' +
                             w.cell(2, 1) + u';'));

    w.chosen = w.home.path("tall_30cm.pdf");
    w.click("btnPdf");
    EXPECT_TRUE(w.home.read("tall_30cm.pdf").startsWith("%PDF-"));
}

TEST(ResultWindowExport, ShowsTheReportOfTheLatestCalculation) {
    CalculatedWindow w;
    w.click("btnVisaRapport");
    ReportViewer *viewer = w.window->resultExport().reportViewer();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->text().contains(QStringLiteral("RÄNTABILITETEN HOS TRÄD")));
    EXPECT_TRUE(viewer->text().contains(QStringLiteral("AVVERKNING OM 110 ÅR")));
}
