// On a Swedish computer the C library reads and writes numbers with a decimal comma once the
// program has started; nothing the user sees or the program writes may change with it. Each
// scenario runs twice in the same process, under the C library's C.UTF-8 and sv_SE.UTF-8, with
// Qt's locale Swedish both times, and must give the same bytes and texts both times; the command
// line runs as a program of its own under each LC_ALL.
#include "gui/app/mainmenu.h"
#include "gui/app/windowfactory.h"
#include "core/files/textfile.h"
#include "samplehome.h"
#include "testsupport.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <clocale>
#include <cstring>
#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace {

using Outputs = std::map<std::string, QByteArray>;

// A stand list as Swedish Excel saves it: ";" between cells, decimal commas, Windows-1252; the
// second list leaves the diameter quotient to the control file.
const QStringList standList{"id;art;bdm;hojdjust;site;ring5;dkvot", "1;Tall;32,9;0;24,9;2,5;0,8",
                            "2;Gran;27,4;-1,5;26;1,8;0,75", "3;Tall;18,2;0;22,5;1,2;0,6",
                            "Å4;Gran;41;0,5;28;3,1;0,85"};
const QStringList listWithoutQuotient{"id;art;bdm;site", "1;Tall;24;24,9", "2;Gran;35,5;26"};

class CLibraryLocale {
public:
    explicit CLibraryLocale(const char *name) : m_before(std::setlocale(LC_ALL, nullptr)) {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~CLibraryLocale() { std::setlocale(LC_ALL, m_before.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_before;
    bool m_ok = false;
};

QString allTexts(const QAbstractItemModel &m) {
    QString text;
    for (int r = 0; r < m.rowCount(); ++r)
        for (int c = 0; c < m.columnCount(); ++c)
            text += m.index(r, c).data().toString() + u'|';
    return text;
}

void click(QWidget *owner, const char *name) {
    auto *b = owner->findChild<QPushButton *>(QLatin1String(name));
    ASSERT_TRUE(b) << name;
    QTest::mouseClick(b, Qt::LeftButton);
}

struct Menu {
    TempHome home;
    std::unique_ptr<MainMenu> menu;
    Menu() {
        copySampleFiles(home);
        menu = std::make_unique<MainMenu>(home.directory(), makeWindow);
        menu->showWindow();
    }
    WorkWindow *window(WindowHub::Window w) const { return menu->existingWindow(w); }
};

// The sample tree through the tree form's Beräkna: the saved control file, the report, the
// grid and the verdict.
Outputs sampleTreeCalculated() {
    Menu m;
    ModalHand hand;
    click(m.menu.get(), "btnParam2");
    click(m.window(WindowHub::Window::TreeParameters), "btnBerakna");
    Outputs out;
    WorkWindow *result = m.window(WindowHub::Window::Result);
    if (!result || !result->isVisible()) {
        ADD_FAILURE() << "no result window";
        return out;
    }
    out["trad.sty"] = m.home.read("trad.sty");
    out["resultat.txt"] = m.home.read("resultat.txt");
    out["grid"] = allTexts(*result->findChild<QTableView *>("flgResult")->model()).toUtf8();
    out["verdict"] = result->findChild<QLabel *>("lblSlutsats")->text().toUtf8();
    out["messages"] = QByteArray::number(hand.count());
    return out;
}

// The stand form's OK with nothing edited leaves the control file as it was, byte for byte.
Outputs standFormConfirmed() {
    Menu m;
    ModalHand hand;
    const QByteArray before = m.home.read("trad.sty");
    click(m.menu.get(), "btnParam1");
    click(m.window(WindowHub::Window::StandParameters), "btnOK");
    EXPECT_EQ(m.home.read("trad.sty"), before);
    return {{"trad.sty", m.home.read("trad.sty")}, {"messages", QByteArray::number(hand.count())}};
}

Outputs priceListSaved() {
    Menu m;
    ModalHand hand;
    click(m.menu.get(), "btnPrislista");
    click(m.window(WindowHub::Window::PriceList), "btnSpara");
    return {{"priser_ac.txt", m.home.read("priser_ac.txt")},
            {"messages", QByteArray::number(hand.count())}};
}

// A Swedish stand list opened, valued and saved in the tree list window.
Outputs treeListValuedAndSaved() {
    TempHome home;
    copySampleFiles(home);
    home.write("bestand.csv", encodeCp1252(standList.join(QStringLiteral("\r\n")) + "\r\n"));
    struct : WindowHub {
        void open(Window) override {}
        void calculate() override {}
    } hub;
    TreeListWindow w(hub, home.directory());
    w.showWindow();
    ModalHand hand;
    Outputs out;
    if (!w.openList(home.path("bestand.csv"))) {
        ADD_FAILURE() << "the list was not opened";
        return out;
    }
    QSignalSpy done(&w, &TreeListWindow::valuationDone);
    w.valueTrees();
    EXPECT_TRUE(done.count() > 0 || done.wait(10000));
    EXPECT_TRUE(w.saveList(home.path("sparad.csv")));
    out["list"] = allTexts(*w.model()).toUtf8();
    out["saved"] = home.read("sparad.csv");
    out["footer"] = w.findChild<QLabel *>("lblSumma")->text().toUtf8();
    out["messages"] = QByteArray::number(hand.count());
    return out;
}

struct Scenario {
    const char *name;
    std::function<Outputs()> run;
};

class OnASwedishComputer : public ::testing::TestWithParam<Scenario> {};

TEST_P(OnASwedishComputer, EverythingIsAsInTheCLocale) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    Outputs plain, inSwedish;
    {
        CLibraryLocale c("C.UTF-8");
        ASSERT_TRUE(c.ok());
        plain = GetParam().run();
    }
    {
        CLibraryLocale sv("sv_SE.UTF-8");
        if (!sv.ok())
            GTEST_SKIP() << "sv_SE.UTF-8 is not generated on this machine: run "
                            "localedef -i sv_SE -f UTF-8 sv_SE.UTF-8";
        ASSERT_STREQ(std::localeconv()->decimal_point, ","); // the world this test is about
        inSwedish = GetParam().run();
    }
    ASSERT_FALSE(plain.empty());
    for (const auto &[what, bytes] : plain) {
        EXPECT_FALSE(bytes.isEmpty()) << what;
        EXPECT_EQ(inSwedish[what].toStdString(), bytes.toStdString()) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, OnASwedishComputer,
                         ::testing::Values(Scenario{"SampleTreeCalculated", sampleTreeCalculated},
                                           Scenario{"StandFormConfirmed", standFormConfirmed},
                                           Scenario{"PriceListSaved", priceListSaved},
                                           Scenario{"TreeListValuedAndSaved",
                                                    treeListValuedAndSaved}),
                         [](const auto &info) { return std::string(info.param.name); });

// The command line as a program of its own, started in each locale: the same list gives the
// same bytes, plain and with every harvest year.
TEST(OnASwedishComputerTheCommandLine, GivesTheSameBytesAsInTheCLocale) {
    TempHome home;
    copySampleFiles(home);
    home.write("bestand.csv", encodeCp1252(standList.join(QStringLiteral("\r\n")) + "\r\n"));
    home.write("utan.csv", encodeCp1252(listWithoutQuotient.join(QStringLiteral("\r\n")) + "\r\n"));
    auto run = [&](const char *locale, const QStringList &arguments) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", QString::fromLatin1(locale));
        env.insert("LANG", QString::fromLatin1(locale));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KVISTEL_PROGRAM),
                QStringList{"--batch"} + arguments + QStringList{"--home", home.withSlash()});
        EXPECT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput();
    };
    for (const QStringList &arguments :
         {QStringList{home.path("bestand.csv")}, QStringList{home.path("bestand.csv"), "--full"},
          QStringList{home.path("utan.csv")}, QStringList{home.path("utan.csv"), "--full"}}) {
        const QByteArray plain = run("C.UTF-8", arguments);
        EXPECT_FALSE(plain.isEmpty());
        EXPECT_EQ(run("sv_SE.UTF-8", arguments).toStdString(), plain.toStdString())
            << arguments.join(u' ').toStdString();
    }
}

} // namespace

namespace {

// Every number a person reads in `window`: the texts of its fields, labels, buttons and frames,
// every tooltip, and every cell, heading and tooltip of its tables. Gives each text holding a
// digit, a point and a digit ("0.2", "2.5 %"), with where it stands.
QStringList numbersWithAPoint(QWidget *window) {
    static const QRegularExpression pointNumber(QStringLiteral("\\d\\.\\d"));
    QStringList found;
    const auto look = [&](const QObject *where, const char *what, const QString &text) {
        if (text.contains(pointNumber))
            found << where->objectName() + u' ' + QLatin1String(what) + QStringLiteral(": ") + text;
    };
    const auto lookAtModel = [&](const QObject *view, const QAbstractItemModel *m) {
        for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)}) {
            for (int c = 0; c < m->columnCount(); ++c)
                look(view, "heading", m->headerData(c, Qt::Horizontal, role).toString());
            for (int r = 0; r < m->rowCount(); ++r) {
                look(view, "row heading", m->headerData(r, Qt::Vertical, role).toString());
                for (int c = 0; c < m->columnCount(); ++c)
                    look(view, "cell", m->index(r, c).data(role).toString());
            }
        }
    };
    QList<QWidget *> all = window->findChildren<QWidget *>();
    all.prepend(window);
    for (QWidget *w : std::as_const(all)) {
        look(w, "tooltip", w->toolTip());
        if (auto *e = qobject_cast<QLineEdit *>(w))
            look(w, "text", e->text());
        else if (auto *l = qobject_cast<QLabel *>(w))
            look(w, "text", l->text());
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            look(w, "text", b->text());
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            look(w, "title", g->title());
        else if (auto *box = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < box->count(); ++i)
                look(w, "entry", box->itemText(i));
        else if (auto *view = qobject_cast<QAbstractItemView *>(w); view && view->model())
            lookAtModel(view, view->model());
    }
    return found;
}

// The sample home with decimals in every kind of place: the stand's rate and planting cost, the
// tree's diameter and growth, prices with decimals.
struct DecimalMenu : Menu {
    DecimalMenu() {
        QStringList lines = splitLines(decodeCp1252(home.read("trad.sty")));
        for (QString &line : lines) {
            for (const auto &[key, value] :
                 {std::pair{"rant:", "2.5"}, std::pair{"bdm:", "32.5"}, std::pair{"ring5:", "1.5"},
                  std::pair{"dkvot:", "0.8"}, std::pair{"plantcost:", "4.50"}})
                if (line.startsWith(QLatin1String(key)))
                    line = QLatin1String(key) + u'/' + QLatin1String(value) +
                           line.mid(line.indexOf(u'/', qsizetype(std::strlen(key)) + 1));
        }
        home.write("trad.sty", encodeCp1252(lines.join(QStringLiteral("\r\n")) + "\r\n"));
        QByteArray prices = home.read("priser_ac.txt");
        home.write("priser_ac.txt", prices.replace("450", "452.5"));
    }
};

} // namespace

// In Swedish, no number the user reads holds a decimal point: each window is walked field by
// field, heading by heading and tooltip by tooltip, with decimals in the files it shows.
TEST(OnASwedishComputer, NoNumberShownHoldsADecimalPoint) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    DecimalMenu m;
    ModalHand hand;
    const struct {
        const char *name;
        std::function<QWidget *()> open;
    } windows[] = {
        {"StandParameters",
         [&] {
             m.menu->open(WindowHub::Window::StandParameters);
             return m.window(WindowHub::Window::StandParameters);
         }},
        {"TreeParameters",
         [&] {
             m.menu->open(WindowHub::Window::TreeParameters);
             return m.window(WindowHub::Window::TreeParameters);
         }},
        {"PriceList",
         [&] {
             m.menu->open(WindowHub::Window::PriceList);
             return m.window(WindowHub::Window::PriceList);
         }},
        {"Result",
         [&] {
             m.menu->calculate();
             return m.window(WindowHub::Window::Result);
         }},
        {"TreeList",
         [&] {
             m.menu->open(WindowHub::Window::TreeList);
             auto *list = static_cast<TreeListWindow *>(m.window(WindowHub::Window::TreeList));
             m.home.write("bestand.csv",
                          encodeCp1252(standList.join(QStringLiteral("\r\n")) + "\r\n"));
             EXPECT_TRUE(list->openList(m.home.path("bestand.csv")));
             QSignalSpy done(list, &TreeListWindow::valuationDone);
             list->valueTrees();
             EXPECT_TRUE(done.count() > 0 || done.wait(10000));
             return list;
         }},
        {"Plan",
         [&] {
             m.menu->open(WindowHub::Window::TreeList);
             QWidget *list = m.window(WindowHub::Window::TreeList);
             list->findChild<QTabWidget *>(QStringLiteral("tabTradlista"))->setCurrentIndex(1);
             return list;
         }},
    };
    for (const auto &w : windows) {
        QWidget *window = w.open();
        ASSERT_TRUE(window) << w.name;
        settle();
        const QStringList found = numbersWithAPoint(window);
        EXPECT_TRUE(found.isEmpty()) << w.name << ": " << found.join(" | ").toStdString();
        window->hide();
    }
    // The decimals are there to be found, with a comma.
    auto *rate = m.window(WindowHub::Window::StandParameters)->findChild<QLineEdit *>("txtRant");
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->text(), "2,5");
    auto *shown = m.window(WindowHub::Window::Result)->findChild<QLineEdit *>("txtRant");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text(), "2,5");
}

// A typed point is taken like a comma and shown as one; the file keeps its point, and a form
// confirmed unchanged leaves it byte for byte.
TEST(OnASwedishComputer, ATypedPointIsShownAsACommaAndTheFileKeepsItsPoint) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    DecimalMenu m;
    ModalHand hand;
    const QByteArray before = m.home.read("trad.sty");
    m.menu->open(WindowHub::Window::StandParameters);
    WorkWindow *form = m.window(WindowHub::Window::StandParameters);
    click(form, "btnOK");
    EXPECT_EQ(m.home.read("trad.sty"), before);
    m.menu->open(WindowHub::Window::StandParameters);
    auto *rate = form->findChild<QLineEdit *>("txtRant");
    for (const char *typed : {"3.5", "3,5"}) {
        rate->setFocus();
        rate->setText(QString::fromLatin1(typed));
        click(form, "btnOK");
        EXPECT_TRUE(m.home.read("trad.sty").contains("rant:/3.5/")) << typed;
        EXPECT_EQ(rate->text(), "3,5") << typed;
        m.menu->open(WindowHub::Window::StandParameters);
        EXPECT_EQ(rate->text(), "3,5") << typed;
    }
    EXPECT_EQ(hand.count(), 0);
}
