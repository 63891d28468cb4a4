#include "core/files/pricelistfile.h"
#include "core/files/textfile.h"
#include "gui/pricelist/pricelisteditor.h"
#include "gui/pricelist/priceview.h"
#include "namedtexts.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cerrno>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

class RecordingHub : public WindowHub {
public:
    QList<Window> opened;
    void open(Window window) override { opened << window; }
    void calculate() override {}
};

// The tables of samplePriceList(): every price well above 0.1, so every cell shows it.
PriceTable sampleTable(int base) {
    PriceTable t{};
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j)
            t[q][j] = base + 30 * j - 60 * q;
    return t;
}
const PriceTable samplePine = sampleTable(560);
const PriceTable sampleSpruce = sampleTable(540);

QByteArray priceListFile(const QString &county, const PriceTable &pine, const PriceTable &spruce) {
    TempHome scratch;
    PriceList list;
    list.county = county;
    list.pine = pine;
    list.spruce = spruce;
    EXPECT_TRUE(writePriceList(scratch.path("p.txt"), list).ok());
    return scratch.read("p.txt");
}

// Answers the boxes the editor opens like ModalHand, but a question with the button named next
// in `answers` (OK, or the first button, when none is left).
class AnsweringHand {
public:
    explicit AnsweringHand(QStringList answers = {}) : m_answers(std::move(answers)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    const QList<SeenBox> &seen() const { return m_seen; }
    int count() const { return int(m_seen.size()); }

private:
    void poll() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("kvistelSeen").toBool())
            return;
        box->setProperty("kvistelSeen", true);
        SeenBox seen{
            "QMessageBox", box->windowTitle(), box->text(), box->icon() != QMessageBox::NoIcon, {}};
        QAbstractButton *answer = box->buttons().value(0);
        const QString wanted = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        // Recorded and chosen as the user reads them; a question's answers each carry their
        // underlined letter.
        for (QAbstractButton *b : box->buttons()) {
            seen.buttons << shownText(b->text());
            if (box->buttons().size() > 1) {
                EXPECT_TRUE(b->text().contains(u'&')) << b->text().toStdString();
            }
            if (shownText(b->text()) == wanted)
                answer = b;
        }
        m_seen << seen;
        QMetaObject::invokeMethod(
            box, [answer] { answer->click(); }, Qt::QueuedConnection);
    }

    QStringList m_answers;
    QList<SeenBox> m_seen;
    QTimer m_timer;
};

struct Saved {
    QString county;
    PriceTable pine{}, spruce{};
};

// The editor on a home directory of its own, driven as the user drives it.
class Editor {
public:
    explicit Editor(const QByteArray &file = samplePriceList()) {
        if (!file.isNull())
            home.write("priser_ac.txt", file);
        window = std::make_unique<PriceListEditor>(hub, home.directory());
    }

    TempHome home;
    RecordingHub hub;
    std::unique_ptr<PriceListEditor> window;

    PriceView &grid() const { return *window->findChild<PriceView *>("flgPrislista"); }
    QLineEdit &edit() const { return *window->findChild<QLineEdit *>("txtEdit"); }
    QComboBox &art() const { return *window->findChild<QComboBox *>("cmbArt"); }
    QPushButton &button(const char *name) const {
        return *window->findChild<QPushButton *>(QLatin1String(name));
    }

    void show() { window->showWindow(); }
    void showActive() {
        show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // A click on price cell (row, col) of the grid.
    void click(int row, int col) {
        const QRect cell = grid().visualRect(grid().model()->index(row - 1, col - 1));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    }
    void type(const QString &text) {
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(&edit(), QString(c));
            } else { // a key QTest cannot name, such as the euro sign of a Swedish keyboard
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(&edit(), &press);
            }
        }
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(&edit(), key, mods); }
    void choose(const QString &species) { art().setCurrentIndex(art().findText(species)); }
    void save() { QTest::mouseClick(&button("btnSpara"), Qt::LeftButton); }
    QPair<int, int> at() const {
        const QModelIndex current = grid().currentIndex();
        return {current.row() + 1, current.column() + 1};
    }
    // The text of grid cell (row, col) as the user sees it, the headings in row 0 and column 0.
    QString textAt(int row, int col) const {
        const PriceView &g = grid();
        if (row == 0 && col == 0)
            return g.cornerText();
        if (row == 0)
            return g.model()->headerData(col - 1, Qt::Horizontal).toString();
        if (col == 0)
            return g.model()->headerData(row - 1, Qt::Vertical).toString();
        return g.model()->index(row - 1, col - 1).data().toString();
    }
    Qt::Alignment alignmentAt(int row, int col) const {
        const PriceView &g = grid();
        if (row == 0 && col == 0)
            return g.cornerAlignment();
        const QVariant a =
            row == 0   ? g.model()->headerData(col - 1, Qt::Horizontal, Qt::TextAlignmentRole)
            : col == 0 ? g.model()->headerData(row - 1, Qt::Vertical, Qt::TextAlignmentRole)
                       : g.model()->index(row - 1, col - 1).data(Qt::TextAlignmentRole);
        return a.value<Qt::Alignment>();
    }
    // Widths and heights in twips, the header column and row included.
    int colWidth(int col) const {
        const PriceView &g = grid();
        return g.pixelsToTwips(col == 0 ? g.verticalHeader()->width() : g.columnWidth(col - 1));
    }
    int rowHeight(int row) const {
        const PriceView &g = grid();
        return g.pixelsToTwips(row == 0 ? g.horizontalHeader()->height() : g.rowHeight(row - 1));
    }
    int gridWidth() const { return grid().pixelsToTwips(grid().width()); }

    QByteArray file() const { return home.read("priser_ac.txt"); }
    Saved saved() const {
        Saved s;
        PriceList list;
        EXPECT_EQ(take(readPriceList(home.path("priser_ac.txt")), list), QString());
        s.county = list.county;
        s.pine = list.pine;
        s.spruce = list.spruce;
        return s;
    }
    // The cell's rectangle where the editor lies over it, grid line included.
    QRect cellRect(int row, int col) const {
        PriceView &g = grid();
        EXPECT_EQ(edit().parentWidget(), g.viewport());
        return {QPoint(g.columnViewportPosition(col - 1), g.rowViewportPosition(row - 1)),
                QSize(g.columnWidth(col - 1), g.rowHeight(row - 1))};
    }
};

void expectTablesEqual(const PriceTable &actual, const PriceTable &expected, const char *what) {
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j)
            EXPECT_EQ(actual[q][j], expected[q][j]) << what << " " << q << "," << j;
}

} // namespace

TEST(PriceListEditor, CarriesItsCaptionsAndControlNames) {
    Editor e;
    e.show();
    PriceListEditor &w = *e.window;
    EXPECT_EQ(w.objectName(), "forPrislista");
    EXPECT_EQ(w.windowTitle(), "Kvistel");
    expectNamedTexts(w, PriceListEditor::texts());
    EXPECT_TRUE(e.art().isEditable());
    ASSERT_EQ(e.art().count(), 2);
    EXPECT_EQ(e.art().itemText(0), "Tall");
    EXPECT_EQ(e.art().itemText(1), "Gran");
    EXPECT_EQ(e.art().currentText(), "Tall");
    auto *county = w.findChild<QLineEdit *>("txtLan");
    EXPECT_TRUE(county->isReadOnly());
    EXPECT_EQ(county->text(), "Jönköpings län");
    EXPECT_TRUE(e.edit().alignment() & Qt::AlignRight);
    EXPECT_NEAR(e.grid().pixelsToTwips(e.edit().height()), 288, 15);
}

TEST(PriceListEditor, GridHasTheDiameterAndQualityHeadersWithTheirAlignment) {
    Editor e;
    e.show();
    // The headings are row 0 and column 0 of the grid; the prices are rows 1 to 5, columns 1 to 10.
    EXPECT_EQ(e.grid().model()->rowCount() + 1, 6);
    EXPECT_EQ(e.grid().model()->columnCount() + 1, 11);
    EXPECT_EQ(e.textAt(0, 0), "Diam");
    EXPECT_EQ(e.textAt(1, 0), "Class        1");
    for (int r = 2; r <= 5; ++r)
        EXPECT_EQ(e.textAt(r, 0), QString::number(r));
    for (int j = 1; j <= 10; ++j)
        EXPECT_EQ(e.textAt(0, j), QString::number(10 + 2 * j));

    auto alignmentOf = [&](int r, int c) { return e.alignmentAt(r, c); };
    const Qt::Alignment rightCentred = Qt::AlignRight | Qt::AlignVCenter;
    EXPECT_EQ(alignmentOf(0, 0), rightCentred);
    EXPECT_EQ(alignmentOf(1, 0), rightCentred);
    EXPECT_NE(alignmentOf(2, 0), rightCentred);
    EXPECT_NE(alignmentOf(0, 1), rightCentred);
}

TEST(PriceListEditor, ColumnsAndRowsHaveTheirSizesAndEveryPriceIsInView) {
    Editor e;
    e.show();
    PriceView &g = e.grid();
    EXPECT_NEAR(e.colWidth(0), 900, 15);
    const int expected = priceColumnWidth(e.gridWidth());
    EXPECT_GT(expected, 400);
    for (int c = 1; c <= 10; ++c)
        EXPECT_NEAR(e.colWidth(c), expected, 15) << c;
    for (int r = 1; r <= 5; ++r)
        EXPECT_NEAR(e.rowHeight(r), 288, 15) << r;
    const QRect last = g.visualRect(g.model()->index(4, 9));
    EXPECT_TRUE(g.viewport()->rect().contains(last)) << "the last price needs scrolling";

    // A wider window gives wider price columns, and they still fit.
    e.window->resize(e.window->width() + 300, e.window->height());
    settle();
    EXPECT_NEAR(e.colWidth(1), priceColumnWidth(e.gridWidth()), 15);
    EXPECT_GT(e.colWidth(1), expected + 200);
    EXPECT_TRUE(g.viewport()->rect().contains(g.visualRect(g.model()->index(4, 9))));
    EXPECT_EQ(e.edit().geometry(), e.cellRect(1, 1));
}

TEST(PriceListEditor, OpensOnPineWithTheEditorOnTheFirstPriceReadyForTyping) {
    Editor e;
    e.showActive();
    for (int q = 1; q <= 5; ++q)
        for (int j = 1; j <= 10; ++j)
            EXPECT_EQ(e.textAt(q, j), QString::number(samplePine[q][j])) << q << "," << j;
    EXPECT_EQ(e.at(), qMakePair(1, 1));
    EXPECT_EQ(e.edit().text(), "530");
    EXPECT_EQ(e.edit().geometry(), e.cellRect(1, 1));
    EXPECT_TRUE(e.edit().hasFocus());
    EXPECT_EQ(e.edit().selectedText(), "530");
    EXPECT_TRUE(e.button("btnSpara").isEnabled());
}

TEST(PriceListEditor, FractionalPricesShowWithTheDecimalCommaAndPricesOfATenthOrLessShowEmpty) {
    LocaleScope swedish{QLocale(QLocale::Swedish, QLocale::Sweden)};
    PriceTable pine = samplePine;
    pine[1][2] = 452.5;
    pine[2][3] = 0.05;
    pine[3][3] = -40;
    pine[4][4] = 0;
    pine[5][5] = 0.1;
    Editor e(priceListFile("Västerbotten", pine, sampleSpruce));
    e.show();
    EXPECT_EQ(e.textAt(1, 2), "452,5");
    for (auto [q, j] : {QPair{2, 3}, {3, 3}, {4, 4}, {5, 5}})
        EXPECT_EQ(e.textAt(q, j), "") << q << "," << j;
    EXPECT_EQ(e.window->findChild<QLineEdit *>("txtLan")->text(), "Västerbotten");
}

TEST(PriceListEditor, AHiddenTokenPriceIsSavedBackUntilItsCellIsEntered) {
    PriceTable pine = samplePine;
    pine[2][3] = 0.05;
    const QByteArray file = priceListFile("Västerbotten", pine, sampleSpruce);
    {
        Editor e(file);
        ModalHand hand;
        e.show();
        e.save();
        EXPECT_EQ(e.saved().pine[2][3], 0.05);
        EXPECT_EQ(e.file(), file);
    }
    {
        Editor e(file);
        ModalHand hand;
        e.show();
        e.click(2, 2); // a cell that shows a price
        e.click(2, 3);
        EXPECT_EQ(e.at(), qMakePair(2, 3));
        EXPECT_EQ(e.edit().text(), "");
        e.save();
        const Saved s = e.saved();
        EXPECT_EQ(s.pine[2][3], 0);
        EXPECT_EQ(s.pine[2][2], pine[2][2]);
        EXPECT_EQ(s.county, "Västerbotten");
    }
}

TEST(PriceListEditor, SavingConfirmsWithItsOwnBoxAndKeepsTheEditorAsItWas) {
    Editor e;
    ModalHand hand;
    e.show();
    e.click(1, 2);
    e.type("611");
    e.save();
    ASSERT_EQ(hand.count(), 1);
    const SeenBox &box = hand.seen().first();
    EXPECT_EQ(box.title, "Spara prislistan");
    EXPECT_EQ(box.text, "Förändringen i prislistan har sparats");
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.buttons.size(), 1);
    EXPECT_TRUE(e.window->isVisible());
    EXPECT_EQ(e.textAt(1, 2), "611");
    PriceTable expected = samplePine;
    expected[1][2] = 611;
    expectTablesEqual(e.saved().pine, expected, "pine");
    expectTablesEqual(e.saved().spruce, sampleSpruce, "spruce");
}

TEST(PriceListEditor, ATypedTextIsShownAsTypedAndAPriceWithItsUnitIsSavedAsTheNumber) {
    Editor e;
    ModalHand hand;
    e.show();
    e.click(3, 4);
    e.type("12a");
    EXPECT_EQ(e.textAt(3, 4), "12a");
    e.click(3, 5);
    e.type("452.5 kr");
    EXPECT_EQ(e.textAt(3, 5), "452.5 kr");
    e.click(3, 4);
    e.type("12");
    e.save();
    EXPECT_EQ(e.saved().pine[3][4], 12);
    EXPECT_EQ(e.saved().pine[3][5], 452.5);
    e.show(); // the next showing reads the file again
    EXPECT_EQ(e.textAt(3, 4), "12");
    EXPECT_EQ(e.textAt(3, 5), "452.5");
}

TEST(PriceListEditor, AClearedCellIsEmptyAndSavedAsZero) {
    Editor e;
    ModalHand hand;
    e.show();
    e.click(4, 5);
    e.key(Qt::Key_Backspace); // the whole price is selected when the cell is entered
    EXPECT_EQ(e.textAt(4, 5), "");
    e.save();
    EXPECT_EQ(e.saved().pine[4][5], 0);
}

TEST(PriceListEditor, EditsToBothSpeciesAreSavedTogether) {
    Editor e;
    ModalHand hand;
    e.show();
    e.click(1, 2);
    e.type("999");
    e.choose("Gran");
    EXPECT_EQ(e.textAt(1, 2), QString::number(sampleSpruce[1][2]));
    EXPECT_EQ(e.at(), qMakePair(1, 1));
    EXPECT_EQ(e.edit().text(), QString::number(sampleSpruce[1][1]));
    e.click(5, 10);
    e.type("42.5");
    e.choose("Tall");
    EXPECT_EQ(e.textAt(1, 2), "999"); // pine's edit stayed while spruce was shown
    e.save();
    PriceTable pine = samplePine, spruce = sampleSpruce;
    pine[1][2] = 999;
    spruce[5][10] = 42.5;
    const Saved s = e.saved();
    expectTablesEqual(s.pine, pine, "pine");
    expectTablesEqual(s.spruce, spruce, "spruce");
}

TEST(PriceListEditor, AvslutaDropsUnsavedEditsAndTheNextShowingOpensOnPine) {
    Editor e;
    AnsweringHand hand({"Nej"});
    e.show();
    const QByteArray before = e.file();
    e.click(2, 2);
    e.type("1");
    e.choose("Gran");
    e.click(3, 3);
    e.type("2");
    QTest::mouseClick(&e.button("btnAvsluta"), Qt::LeftButton);
    EXPECT_FALSE(e.window->isVisible());
    EXPECT_EQ(e.hub.opened, QList{WindowHub::Window::MainMenu});
    EXPECT_EQ(e.file(), before);

    e.show();
    EXPECT_EQ(e.art().currentText(), "Tall");
    EXPECT_EQ(e.art().currentIndex(), 0);
    EXPECT_EQ(e.textAt(2, 2), QString::number(samplePine[2][2]));
    EXPECT_EQ(e.textAt(3, 3), QString::number(samplePine[3][3]));
    e.choose("Gran");
    EXPECT_EQ(e.textAt(3, 3), QString::number(sampleSpruce[3][3]));
}

TEST(PriceListEditor, TheCloseBoxLeavesLikeAvsluta) {
    Editor e;
    AnsweringHand hand({"Nej"});
    e.show();
    e.click(2, 2);
    e.type("1");
    e.window->close();
    EXPECT_FALSE(e.window->isVisible());
    EXPECT_EQ(e.hub.opened, QList{WindowHub::Window::MainMenu});
    e.show();
    EXPECT_EQ(e.textAt(2, 2), QString::number(samplePine[2][2]));
}

TEST(PriceListEditor, AnUnreadablePriceListIsReportedAndNeverOfferedForSaving) {
    const QString county = QStringLiteral("\"Jönköpings län\"");
    QStringList pineBlock{"\"t\""};
    for (int q = 1; q <= 5; ++q)
        pineBlock << "1,2,3,4,5,6,7,8,9,10";
    QStringList spruceBlock = pineBlock;
    spruceBlock[0] = "\"g\"";
    QStringList withText = QStringList{county} + pineBlock + spruceBlock + QStringList{""};
    withText[4] = "1,2,3,fyra,5,6,7,8,9,10";
    QStringList truncated = QStringList{county} + pineBlock + spruceBlock.mid(0, 3);
    truncated.last() = "1,2,3";
    const struct {
        const char *what;
        QByteArray file; // null: no file at all
    } cases[] = {
        {"missing", QByteArray()},
        {"only one block", joinLinesCrLf(QStringList{county} + pineBlock + QStringList{""})},
        {"a text where a price is due", joinLinesCrLf(withText)},
        {"an early end", joinLinesCrLf(truncated)},
        {"empty", QByteArray("")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Editor e(c.file);
        ModalHand hand;
        e.show();
        ASSERT_EQ(hand.count(), 1);
        EXPECT_EQ(hand.seen().first().title, "Kvistel");
        EXPECT_TRUE(hand.seen().first().text.contains(e.home.path("priser_ac.txt")))
            << hand.seen().first().text.toStdString();
        EXPECT_FALSE(e.window->isVisible());
        EXPECT_EQ(e.hub.opened, QList{WindowHub::Window::MainMenu});
        EXPECT_FALSE(e.button("btnSpara").isEnabled());
        EXPECT_EQ(e.home.exists("priser_ac.txt"), !c.file.isNull());
        EXPECT_EQ(e.file(), c.file.isNull() ? QByteArray() : c.file);
        EXPECT_EQ(QDir(e.home.withSlash()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
                  c.file.isNull() ? 0 : 1);
    }
}

TEST(PriceListEditor, SavingIsOfferedAgainOnlyOnceTheFileReadsAgain) {
    Editor e;
    e.show();
    e.click(2, 2);
    e.type("777");
    {
        AnsweringHand leaving({"Nej"});
        QTest::mouseClick(&e.button("btnAvsluta"), Qt::LeftButton);
        ASSERT_EQ(leaving.count(), 1);
    }
    ModalHand hand;

    const QByteArray broken = "\"Jönköpings län\"\r\n\"t\"\r\n1,2,3\r\n";
    e.home.write("priser_ac.txt", broken);
    e.show();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_FALSE(e.button("btnSpara").isEnabled());
    e.save(); // a click on the disabled button does nothing
    EXPECT_EQ(hand.count(), 1);
    EXPECT_EQ(e.file(), broken);

    e.home.write("priser_ac.txt", samplePriceList());
    e.show();
    EXPECT_EQ(hand.count(), 1);
    EXPECT_TRUE(e.button("btnSpara").isEnabled());
    EXPECT_TRUE(e.window->isVisible());
    EXPECT_EQ(e.textAt(2, 2), QString::number(samplePine[2][2]));
}

TEST(PriceListEditor, AFailedSaveIsReportedAndLeavesTheFileAsItWas) {
    Editor e;
    ModalHand hand;
    e.show();
    const QByteArray before = e.file();
    e.click(2, 2);
    e.type("777");
    // The disk fails while the new price list is written.
    simulateWriteFailure(EIO);
    e.save();
    simulateWriteFailure(0);
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen().first().title, "Kvistel");
    EXPECT_TRUE(hand.seen().first().text.contains("priser_ac.txt"));
    EXPECT_EQ(e.file(), before);
    EXPECT_EQ(e.textAt(2, 2), "777");

    // The edit is still there to be saved once the way is clear.
    e.save();
    ASSERT_EQ(hand.count(), 2);
    EXPECT_EQ(hand.seen().last().title, "Spara prislistan");
    EXPECT_EQ(e.saved().pine[2][2], 777);
}

TEST(PriceListEditor, ACountyTextWithAQuoteIsNotSavedAndTheUserIsTold) {
    QByteArray file = samplePriceList();
    file.replace("\"J\xf6nk\xf6pings l\xe4n\"", "J\xf6nk\"\xf6pings l\xe4n");
    Editor e(file);
    ModalHand hand;
    e.show();
    ASSERT_EQ(hand.count(), 0);
    EXPECT_EQ(e.window->findChild<QLineEdit *>("txtLan")->text(), "Jönk\"öpings län");
    e.click(2, 2);
    e.type("777");
    e.save();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen().first().title, "Kvistel");
    EXPECT_FALSE(hand.seen().first().text.isEmpty());
    EXPECT_EQ(e.file(), file);
}

TEST(PriceListEditor, AClickedCellGetsTheEditorOverItAndTheKeyboard) {
    Editor e;
    e.showActive();
    for (auto [r, c] : {QPair{3, 5}, {5, 10}, {1, 1}, {4, 2}}) {
        e.click(r, c);
        EXPECT_EQ(e.at(), qMakePair(r, c));
        EXPECT_EQ(e.edit().geometry(), e.cellRect(r, c)) << r << "," << c;
        EXPECT_EQ(e.edit().text(), QString::number(samplePine[r][c]));
        EXPECT_TRUE(e.edit().hasFocus());
        EXPECT_EQ(e.edit().selectedText(), e.edit().text());
    }
}

TEST(PriceListEditor, KeysMoveTheEditorFromCellToCell) {
    Editor e;
    e.showActive();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QPair<int, int> to;
    } steps[] = {
        {Qt::Key_Tab, {}, {1, 2}},
        {Qt::Key_Right, {}, {1, 3}},
        {Qt::Key_Left, {}, {1, 2}},
        {Qt::Key_Down, {}, {2, 2}},
        {Qt::Key_Up, {}, {1, 2}},
        {Qt::Key_Up, {}, {1, 2}},
        {Qt::Key_Return, {}, {2, 2}},
        {Qt::Key_Enter, Qt::KeypadModifier, {3, 2}},
        {Qt::Key_Backtab, Qt::ShiftModifier, {3, 1}},
        {Qt::Key_Backtab, Qt::ShiftModifier, {2, 10}},
        {Qt::Key_Tab, {}, {3, 1}},
    };
    for (const auto &s : steps) {
        e.key(s.key, s.mods);
        EXPECT_EQ(e.at(), s.to) << QTest::toString(s.key);
        EXPECT_EQ(e.edit().geometry(), e.cellRect(s.to.first, s.to.second));
        EXPECT_TRUE(e.edit().hasFocus());
    }

    // Within a text being edited the arrows move the cursor, not the cell.
    e.type("123");
    e.key(Qt::Key_Left);
    EXPECT_EQ(e.at(), qMakePair(3, 1));
    EXPECT_EQ(e.edit().cursorPosition(), 2);
    e.key(Qt::Key_Right);
    EXPECT_EQ(e.at(), qMakePair(3, 1));
    e.key(Qt::Key_Right);
    EXPECT_EQ(e.at(), qMakePair(3, 2));
    EXPECT_EQ(e.textAt(3, 1), "123");

    // Tab after the last price goes on to the buttons.
    e.click(5, 10);
    e.key(Qt::Key_Tab);
    EXPECT_EQ(e.at(), qMakePair(5, 10));
    EXPECT_TRUE(e.button("btnSpara").hasFocus());

    // Backtab before the first price goes to the species box, and Tab from there comes back.
    e.click(1, 1);
    e.key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(e.art().hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(e.edit().hasFocus());
    EXPECT_EQ(e.at(), qMakePair(1, 1));
}

TEST(PriceListEditor, TabbingToTheNextRowDoesNotTouchTheCellsItPassesOver) {
    PriceTable pine = samplePine;
    pine[2][10] = 0.05; // shown empty; entering it would store 0
    Editor e(priceListFile("Jönköpings län", pine, sampleSpruce));
    ModalHand hand;
    e.show();
    e.click(1, 10);
    e.key(Qt::Key_Tab);
    EXPECT_EQ(e.at(), qMakePair(2, 1));
    e.save();
    EXPECT_EQ(e.saved().pine[2][10], 0.05);
}

TEST(PriceListEditor, TheSpeciesBoxAlwaysNamesTheSpeciesShown) {
    Editor e;
    e.show();
    QLineEdit *typed = e.art().lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "Ek");
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(e.art().currentText(), "Tall");
    EXPECT_EQ(e.textAt(1, 1), QString::number(samplePine[1][1]));

    typed->selectAll();
    QTest::keyClicks(typed, "Gran");
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(e.art().currentIndex(), 1);
    EXPECT_EQ(e.textAt(1, 1), QString::number(sampleSpruce[1][1]));
}

namespace {

struct TypedCase {
    const char *typed;
    std::optional<double> saved; // nothing: refused, the file stays as it was
};

class TypedPrice : public ::testing::TestWithParam<TypedCase> {};

} // namespace

TEST_P(TypedPrice, IsSavedAsItsNumberOrRefusedNamingItsCellUntilMended) {
    const TypedCase &c = GetParam();
    Editor e;
    e.showActive();
    const QByteArray before = e.file();
    // Typed into spruce, quality 3, 18 cm; saved while pine is shown.
    e.choose("Gran");
    e.click(3, 4);
    e.type(QString::fromUtf8(c.typed));
    EXPECT_EQ(e.textAt(3, 4), QString::fromUtf8(c.typed));
    e.choose("Tall");
    AnsweringHand hand;
    e.save();
    ASSERT_EQ(hand.count(), 1);
    if (c.saved) {
        EXPECT_EQ(hand.seen().first().title, "Spara prislistan");
        EXPECT_EQ(e.saved().spruce[3][4], *c.saved);
        return;
    }
    const SeenBox &box = hand.seen().first();
    EXPECT_EQ(box.title, "Kvistel");
    for (const char *part : {"gran", "kvalitet 3", "diameterklass 18 cm", c.typed})
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(part))) << box.text.toStdString();
    EXPECT_EQ(e.file(), before);
    // The editor shows the cell, ready to be mended.
    EXPECT_EQ(e.art().currentText(), "Gran");
    EXPECT_EQ(e.at(), qMakePair(3, 4));
    // The box over the cell has the keyboard once the window is active again.
    EXPECT_EQ(e.window->focusWidget(), &e.edit());
    e.type("321,5");
    e.save();
    ASSERT_EQ(hand.count(), 2);
    EXPECT_EQ(hand.seen().last().title, "Spara prislistan");
    EXPECT_EQ(e.saved().spruce[3][4], 321.5);
}

INSTANTIATE_TEST_SUITE_P(Typed, TypedPrice,
                         ::testing::Values(TypedCase{"520,5", 520.5}, TypedCase{"520.5", 520.5},
                                           TypedCase{"1 200 kr", 1200}, TypedCase{"abc", {}},
                                           TypedCase{"€", {}}, TypedCase{"0x10", {}},
                                           TypedCase{"12a", {}}, TypedCase{"1e999", {}}));

namespace {

struct LeaveCase {
    const char *name;
    bool edited;
    const char *answer; // to "Spara ändringarna i prislistan?"
    bool closeBox;      // the window's close box instead of Avsluta
    bool left;          // the menu is back
    bool saved;         // the edit is in the file
};

class LeavingTheEditor : public ::testing::TestWithParam<LeaveCase> {};

} // namespace

TEST_P(LeavingTheEditor, AsksBeforeDroppingEdits) {
    const LeaveCase &c = GetParam();
    Editor e;
    e.show();
    const QByteArray before = e.file();
    e.click(2, 3); // entering a cell is no edit
    if (c.edited) {
        e.choose("Gran");
        e.click(4, 5);
        e.type("999");
    }
    AnsweringHand hand({QString::fromUtf8(c.answer)});
    if (c.closeBox)
        e.window->close();
    else
        QTest::mouseClick(&e.button("btnAvsluta"), Qt::LeftButton);
    settle();

    if (c.edited) {
        ASSERT_GE(hand.count(), 1);
        const SeenBox &question = hand.seen().first();
        EXPECT_EQ(question.text, "Spara ändringarna i prislistan?");
        EXPECT_EQ(question.buttons.size(), 3);
        for (const char *b : {"Ja", "Nej", "Avbryt"})
            EXPECT_TRUE(question.buttons.contains(QString::fromUtf8(b))) << b;
    } else {
        EXPECT_EQ(hand.count(), 0);
    }
    EXPECT_EQ(e.window->isVisible(), !c.left);
    EXPECT_EQ(e.hub.opened.contains(WindowHub::Window::MainMenu), c.left);
    if (c.saved) {
        EXPECT_EQ(e.saved().spruce[4][5], 999);
    } else {
        EXPECT_EQ(e.file(), before);
    }
    if (!c.left) {
        EXPECT_EQ(e.art().currentText(), "Gran");
        EXPECT_EQ(e.textAt(4, 5), "999"); // the edit is still there
    }
}

INSTANTIATE_TEST_SUITE_P(
    Leave, LeavingTheEditor,
    ::testing::Values(LeaveCase{"NothingEdited", false, "", false, true, false},
                      LeaveCase{"Ja", true, "Ja", false, true, true},
                      LeaveCase{"Nej", true, "Nej", false, true, false},
                      LeaveCase{"Avbryt", true, "Avbryt", false, false, false},
                      LeaveCase{"CloseBoxJa", true, "Ja", true, true, true},
                      LeaveCase{"CloseBoxAvbryt", true, "Avbryt", true, false, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PriceListEditor, AnswerJaWithAPriceThatIsNotANumberStaysToMendIt) {
    Editor e;
    e.show();
    const QByteArray before = e.file();
    e.click(2, 2);
    e.type("abc");
    AnsweringHand hand({"Ja"});
    QTest::mouseClick(&e.button("btnAvsluta"), Qt::LeftButton);
    settle();
    ASSERT_EQ(hand.count(), 2);
    EXPECT_TRUE(hand.seen().last().text.contains("\"abc\""));
    EXPECT_TRUE(e.window->isVisible());
    EXPECT_TRUE(e.hub.opened.isEmpty());
    EXPECT_EQ(e.file(), before);
}

namespace {

struct HostileFile {
    const char *name;
    std::function<QByteArray(QByteArray)> damage;
    const char *says; // empty: the editor opens it
};

class EditorOnAHostileFile : public ::testing::TestWithParam<HostileFile> {};

} // namespace

TEST_P(EditorOnAHostileFile, NeverShowsOrSavesAListItDidNotReadWhole) {
    const HostileFile &c = GetParam();
    const QByteArray file = c.damage(samplePriceList());
    Editor e(file);
    ModalHand hand;
    e.show();
    if (*c.says) {
        ASSERT_EQ(hand.count(), 1);
        EXPECT_TRUE(hand.seen().first().text.contains(QString::fromUtf8(c.says)))
            << hand.seen().first().text.toStdString();
        EXPECT_FALSE(e.window->isVisible());
        EXPECT_FALSE(e.button("btnSpara").isEnabled());
        EXPECT_EQ(e.file(), file);
        return;
    }
    // Opened: one pine price changed and saved changes that price's line and nothing else.
    ASSERT_EQ(hand.count(), 0);
    e.click(1, 2);
    e.type("575");
    e.save();
    QByteArray expected = file;
    const QByteArray line = "\r\n\"t\"\r\n530,560,";
    ASSERT_EQ(expected.count(line), 1);
    expected.replace(line, "\r\n\"t\"\r\n530,575,");
    EXPECT_EQ(e.file(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, EditorOnAHostileFile,
    ::testing::Values(
        HostileFile{"PineTaggedUpperCase", [](QByteArray f) { return f.replace("\"t\"", "\"T\""); },
                    "prisblocket för tall (\"t\") saknas"},
        HostileFile{"DecimalComma", [](QByteArray f) { return f.replace("530,560", "530,5,560"); },
                    "i prisblocket \"t\", kvalitet 1, diameterklass 12 står \"530,5\""},
        HostileFile{"BirchBlockKept",
                    [](QByteArray f) {
                        return f.chopped(2) +
                               "\"b\"\r\n1,2,3,4,5,6,7,8,9,10\r\n1,2,3,4,5,6,7,8,9,10 \r\n"
                               "1,2,3,4,5,6,7,8,9,10\r\n1,2,3,4,5,6,7,8,9,10\r\n"
                               "1,2,3,4,5,6,7,8,9,1.50\r\n\r\n";
                    },
                    ""},
        HostileFile{"RepeatedSpruceBlockKept",
                    [](QByteArray f) {
                        const qsizetype g = f.indexOf("\"g\"");
                        return f.left(g) + f.mid(g, f.size() - g - 2) + f.mid(g);
                    },
                    ""}),
    [](const auto &info) { return std::string(info.param.name); });
