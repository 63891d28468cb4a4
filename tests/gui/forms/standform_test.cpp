#include "core/files/textfile.h"
#include "core/parameters/fieldcheck.h"
#include "formtesting.h"
#include "gui/forms/standform.h"
#include "testsupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

// A control file with a duplicate key, a missing key ("avvjust:"), foreign lines and the tree
// form's lines in between.
QStringList standFile() {
    return {"Styrfil för Kvistel",
            "sv:/S/ del av Sverige",
            "plantcost:/5/ kr per planta",
            "rant:/3/",
            "tall: en rad som inget program läser",
            "harvpr:/50/",
            "rant:/4/ sista raden vinner",
            "avvandel:/30/",
            "art:/g/ trädart",
            "mt:/250/",
            "mg:/270/",
            "  mb:/999/ inledande blanktecken: ingen nyckel",
            "mb:/240/",
            "bdm:/30/",
            "kronst:/60 en ofullständig rad",
            "",
            "Slut"};
}

struct OpenStandForm {
    TempHome home;
    RecordingHub hub;
    std::unique_ptr<StandForm> form;

    explicit OpenStandForm(const QStringList &lines = standFile()) {
        home.writeLines("trad.sty", lines);
        form = std::make_unique<StandForm>(hub, home.directory());
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(*form, name); }
    QRadioButton *option(const char *name) const { return child<QRadioButton>(*form, name); }
    void click(const char *name) const {
        QTest::mouseClick(child<QPushButton>(*form, name), Qt::LeftButton);
    }
};

} // namespace

TEST(StandForm, ShowsEveryCaptionUnitAndButtonAsWritten) {
    OpenStandForm f;
    EXPECT_EQ(f.form->windowTitle(), "Kvistel");
    EXPECT_EQ(f.form->objectName(), "forParam1");
    EXPECT_EQ(child<QGroupBox>(*f.form, "frmParam1")->title(),
              "Sätt parametrar före besök i skogen");
    EXPECT_EQ(child<QLabel>(*f.form, "Label4")->text(), "Norra");
    EXPECT_EQ(child<QLabel>(*f.form, "Label5")->text(), "Södra");
    EXPECT_EQ(child<QPushButton>(*f.form, "btnOK")->text(), "OK");
    EXPECT_EQ(child<QPushButton>(*f.form, "btnAvbryt")->text(), "Avbryt");
    EXPECT_TRUE(f.option("optSvN")->text().isEmpty());
    EXPECT_TRUE(f.option("optSvS")->text().isEmpty());
    // Last: laying the form out gives its captions their underlined letters.
    expectParameterRows(*f.form, Parameter::Form::Stand);
}

TEST(StandForm, RowsStandInTheirOrderFromTopToBottom) {
    OpenStandForm f;
    f.form->showWindow();
    const char *rows[] = {"optSvN",     "txtPlantcost", "txtRant",     "txtHarvpr",   "txtAvvandel",
                          "txtAvvjust", "txtTallpris",  "txtGranpris", "txtBjorkpris"};
    int previous = -1;
    for (const char *name : rows) {
        const int y = child<QWidget>(*f.form, name)->mapTo(f.form.get(), QPoint()).y();
        EXPECT_GT(y, previous) << name;
        previous = y;
    }
    // "Norra" above "Södra", and the buttons beside the price rows.
    EXPECT_LT(f.option("optSvN")->y(), f.option("optSvS")->y());
    auto top = [&](const char *name) {
        return child<QWidget>(*f.form, name)->mapTo(f.form.get(), QPoint()).y();
    };
    EXPECT_LT(top("btnOK"), top("btnAvbryt"));
    EXPECT_GE(top("btnOK") + 8, top("txtTallpris"));
    EXPECT_LE(top("btnAvbryt"), top("txtBjorkpris") + 8);
}

TEST(StandForm, IsEmptyWithNoRegionChosenBeforeLoading) {
    OpenStandForm f;
    for (const char *name : {"txtPlantcost", "txtRant", "txtHarvpr", "txtAvvandel", "txtAvvjust",
                             "txtTallpris", "txtGranpris", "txtBjorkpris"})
        EXPECT_TRUE(f.field(name)->text().isEmpty()) << name;
    EXPECT_FALSE(f.option("optSvN")->isChecked());
    EXPECT_FALSE(f.option("optSvS")->isChecked());
}

TEST(StandForm, ShowsEachKeyInItsOwnFieldWithTheLastOfDuplicateLinesWinning) {
    OpenStandForm f;
    f.form->showWindow();
    EXPECT_TRUE(f.option("optSvS")->isChecked());
    EXPECT_FALSE(f.option("optSvN")->isChecked());
    const struct {
        const char *name, *text;
    } shown[] = {
        {"txtPlantcost", "5.00"}, {"txtRant", "4"},        {"txtHarvpr", "50"},
        {"txtAvvandel", "30"},    {"txtAvvjust", ""},      {"txtTallpris", "250"},
        {"txtGranpris", "270"},   {"txtBjorkpris", "240"},
    };
    for (const auto &s : shown)
        EXPECT_EQ(f.field(s.name)->text(), QString::fromUtf8(s.text)) << s.name;
}

TEST(StandForm, ShowsTheFilesValuesEachTimeItIsOpened) {
    OpenStandForm f;
    f.form->showWindow();
    f.home.writeLines("trad.sty", {"x", "rant:/9/", "Slut"});
    f.click("btnAvbryt");
    f.form->showWindow();
    EXPECT_EQ(f.field("txtRant")->text(), "9");
    EXPECT_EQ(f.field("txtHarvpr")->text(), "") << "a key without a line shows an empty field";
    EXPECT_FALSE(f.option("optSvS")->isChecked());
}

TEST(StandForm, PlantingCostShowsTwoDecimalsWithTheRegionalDecimalSeparator) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    const struct {
        const char *value, *shown, *saved;
    } cases[] = {
        {"5", "5,00", "5.00"},
        {"8.5", "8,50", "8.50"},
        {" 7 ", "7,00", "7.00"},
        {"2.125", "2,13", "2.13"},
        {"9.999", "10,00", "10.00"},
        {"8,50", "8,50", "8.50"}, // a comma in the file is read as the decimal point it means
    };
    for (const auto &c : cases) {
        OpenStandForm f({"x", QString("plantcost:/%1/").arg(QString::fromUtf8(c.value)), "Slut"});
        f.form->showWindow();
        EXPECT_EQ(f.field("txtPlantcost")->text(), QString::fromUtf8(c.shown)) << c.value;
        // What a save writes: the file's point.
        EXPECT_EQ(withDecimalPoint(f.field("txtPlantcost")->text()), QString::fromUtf8(c.saved));
    }
    for (const char *text : {"", "abc"}) {
        OpenStandForm f({"x", QString("plantcost:/%1/").arg(QString::fromUtf8(text)), "Slut"});
        f.form->showWindow();
        EXPECT_EQ(f.field("txtPlantcost")->text(), QString::fromUtf8(text));
    }
}

TEST(StandForm, OkSavesTheNineKeysAndLeavesEveryOtherLineByteForByte) {
    OpenStandForm f;
    f.form->showWindow();
    f.option("optSvN")->click();
    f.field("txtBjorkpris")->setText("260");
    f.field("txtAvvjust")->setText("80"); // its line is missing: it is added before the last
    f.click("btnOK");

    QStringList expected = standFile();
    expected[1] = "sv:/N/ del av Sverige";
    expected[2] = "plantcost:/5.00/ kr per planta";
    expected[3] = "rant:/4/";
    expected[12] = "mb:/260/";
    expected.insert(expected.size() - 1, "avvjust:/80/");
    EXPECT_EQ(f.home.read("trad.sty"), joinLinesCrLf(expected));
    EXPECT_FALSE(f.home.exists("tmp.sty"));
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
}

TEST(StandForm, AnUnknownRegionChoosesNeitherOptionAndIsSavedUnchanged) {
    QStringList lines = sampleControlLines();
    lines[1] = "sv:/n/";
    OpenStandForm f(lines);
    f.form->showWindow();
    EXPECT_FALSE(f.option("optSvN")->isChecked());
    EXPECT_FALSE(f.option("optSvS")->isChecked());
    f.click("btnOK");
    EXPECT_EQ(f.home.read("trad.sty"), joinLinesCrLf(lines));
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
}

TEST(StandForm, AvbrytDropsTheEditsSavesNothingAndTheNextOpeningShowsTheFile) {
    OpenStandForm f;
    const QByteArray before = joinLinesCrLf(standFile());
    f.form->showWindow();
    f.field("txtRant")->setText("6");
    f.option("optSvN")->click();
    f.click("btnAvbryt");
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
    EXPECT_EQ(f.home.read("trad.sty"), before);

    f.form->showWindow();
    EXPECT_EQ(f.field("txtRant")->text(), "4");
    EXPECT_TRUE(f.option("optSvS")->isChecked());
    EXPECT_FALSE(f.option("optSvN")->isChecked());
}

TEST(StandForm, CloseBoxReturnsToTheMenuWithoutSaving) {
    OpenStandForm f;
    f.form->showWindow();
    f.field("txtRant")->setText("6");
    f.form->close();
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
    EXPECT_EQ(f.home.read("trad.sty"), joinLinesCrLf(standFile()));
}

TEST(StandForm, AMissingControlFileIsReportedAndTheFormStaysUsable) {
    TempHome home;
    RecordingHub hub;
    StandForm form(hub, home.directory());
    ModalHand hand;
    form.showWindow();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_TRUE(hand.seen()[0].text.contains("trad.sty")) << hand.seen()[0].text.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(child<QLineEdit>(form, "txtRant")->isEnabled());
}

TEST(StandForm, ASaveThatFailsIsReportedAndTheFormStaysOpenWithTheEdits) {
    OpenStandForm f;
    f.form->showWindow();
    f.field("txtRant")->setText("6");
    f.field("txtAvvjust")->setText("100"); // the file has no line for it
    QFile::remove(f.home.path("trad.sty"));
    ModalHand hand;
    f.click("btnOK");
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_TRUE(f.hub.opened.isEmpty());
    EXPECT_EQ(f.field("txtRant")->text(), "6");
    EXPECT_FALSE(f.home.exists("tmp.sty"));
}
