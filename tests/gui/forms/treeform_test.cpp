#include "core/files/textfile.h"
#include "formtesting.h"
#include "gui/forms/treeform.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

// The tree keys among the stand form's lines, with a duplicate, a missing key ("dkvot:") and
// foreign lines.
QStringList treeFile() {
    return {"Styrfil för Kvistel",
            "sv:/S/",
            "plantcost:/8.50/ kr per planta",
            "art:/g/ trädart",
            "bdm:/30/ cm",
            "hojdjust:/-2/",
            "site:/24/",
            "gammal: /x/ en rad som inget program läser",
            "plant:/y/",
            "ring5:/3/",
            "kronst:/60/",
            "bdm:/34/ sista raden vinner",
            "bkv:/1/",
            "akv:/2/",
            "tkv:/3/",
            "mt:/250/",
            "Slut"};
}

// The sample control file with some values replaced.
QStringList sampleWith(const QList<std::pair<QString, QString>> &values) {
    QStringList lines = sampleControlLines();
    for (const auto &[key, value] : values)
        for (QString &line : lines)
            if (line.startsWith(key))
                line = key + '/' + value + '/';
    return lines;
}

struct OpenTreeForm {
    TempHome home;
    RecordingHub hub;
    std::unique_ptr<TreeForm> form;

    explicit OpenTreeForm(const QStringList &lines = treeFile()) {
        home.writeLines("trad.sty", lines);
        form = std::make_unique<TreeForm>(hub, home.directory());
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(*form, name); }
    QComboBox *box(const char *name) const { return child<QComboBox>(*form, name); }
    QRadioButton *option(const char *name) const { return child<QRadioButton>(*form, name); }
    void click(const char *name) const {
        QTest::mouseClick(child<QPushButton>(*form, name), Qt::LeftButton);
    }
    QString line(int n) const { return home.readLines("trad.sty").value(n); }
};

} // namespace

TEST(TreeForm, ShowsEveryCaptionUnitAndButtonAsWritten) {
    OpenTreeForm f;
    EXPECT_EQ(f.form->windowTitle(), "Kvistel");
    EXPECT_EQ(f.form->objectName(), "forParam2");
    EXPECT_EQ(child<QGroupBox>(*f.form, "frmParam2")->title(), "Sätt parametrar i skogen");
    EXPECT_EQ(child<QLabel>(*f.form, "Label1")->text(), "Kvalitet");
    EXPECT_EQ(f.option("optYes")->text(), "Ja");
    EXPECT_EQ(f.option("optNo")->text(), "Nej");
    EXPECT_EQ(child<QPushButton>(*f.form, "btnBerakna")->text(), "Beräkna");
    EXPECT_EQ(child<QPushButton>(*f.form, "btnAvsluta")->text(), "Avsluta");
    // Last: laying the form out gives its captions their underlined letters.
    expectParameterRows(*f.form, Parameter::Form::Tree);
}

TEST(TreeForm, RowsStandInTheirOrderAndTheButtonsBesideTheQualities) {
    OpenTreeForm f;
    f.form->showWindow();
    auto at = [&](const char *name) {
        return child<QWidget>(*f.form, name)->mapTo(f.form.get(), QPoint());
    };
    const char *rows[] = {"cmbArt",    "txtHojdjust", "txtSite", "optYes", "txtRing5", "txtDkvot",
                          "txtKronst", "Label1",      "cmbBkv",  "cmbAkv", "cmbTkv"};
    int previous = -1;
    for (const char *name : rows) {
        EXPECT_GT(at(name).y(), previous) << name;
        previous = at(name).y();
    }
    // The diameter in the right half of the first row.
    EXPECT_GT(at("txtBdm").x(), at("cmbArt").x() + f.box("cmbArt")->width());
    EXPECT_LT(at("txtBdm").y(), at("txtHojdjust").y());
    // "Beräkna" above "Avsluta", right of the quality boxes and beside them.
    EXPECT_LT(at("btnBerakna").y(), at("btnAvsluta").y());
    EXPECT_GT(at("btnBerakna").x(), at("cmbBkv").x() + f.box("cmbBkv")->width());
    EXPECT_GE(at("btnBerakna").y() + 8, at("cmbBkv").y());
    EXPECT_LE(at("btnAvsluta").y(), at("cmbTkv").y() + 8);
}

TEST(TreeForm, StartsWithItsInitialContentsBeforeLoading) {
    OpenTreeForm f;
    for (const char *name : {"txtBdm", "txtSite", "txtRing5", "txtDkvot", "txtKronst"})
        EXPECT_TRUE(f.field(name)->text().isEmpty()) << name;
    EXPECT_EQ(f.field("txtHojdjust")->text(), "0");
    EXPECT_EQ(f.box("cmbArt")->currentText(), "Tall");
    QStringList species;
    for (int i = 0; i < f.box("cmbArt")->count(); ++i)
        species << f.box("cmbArt")->itemText(i);
    EXPECT_EQ(species, QStringList({"Tall", "Gran"}));
    for (const char *name : {"cmbBkv", "cmbAkv", "cmbTkv"}) {
        QComboBox *b = f.box(name);
        EXPECT_TRUE(b->isEditable()) << name;
        EXPECT_EQ(b->currentText(), "1") << name;
        QStringList classes;
        for (int i = 0; i < b->count(); ++i)
            classes << b->itemText(i);
        EXPECT_EQ(classes, QStringList({"1", "2", "3", "4", "5"})) << name;
    }
    EXPECT_TRUE(f.box("cmbArt")->isEditable());
    EXPECT_FALSE(f.option("optYes")->isChecked());
    EXPECT_FALSE(f.option("optNo")->isChecked());
}

TEST(TreeForm, ShowsEachKeyInItsOwnControlWithTheLastOfDuplicateLinesWinning) {
    OpenTreeForm f;
    f.form->showWindow();
    EXPECT_EQ(f.box("cmbArt")->currentText(), "Gran");
    EXPECT_EQ(f.field("txtBdm")->text(), "34");
    EXPECT_EQ(f.field("txtHojdjust")->text(), "-2");
    EXPECT_EQ(f.field("txtSite")->text(), "24");
    EXPECT_EQ(f.field("txtRing5")->text(), "3");
    EXPECT_EQ(f.field("txtDkvot")->text(), ""); // no line: as it was
    EXPECT_EQ(f.field("txtKronst")->text(), "60");
    EXPECT_TRUE(f.option("optYes")->isChecked());
    EXPECT_EQ(f.box("cmbBkv")->currentText(), "1");
    EXPECT_EQ(f.box("cmbAkv")->currentText(), "2");
    EXPECT_EQ(f.box("cmbTkv")->currentText(), "3");
}

TEST(TreeForm, SpeciesLettersShowTheirNamesAndSaveBackOnlyForTallAndGran) {
    const struct {
        const char *letter, *shown, *saved;
    } cases[] = {
        {"t", "Tall", "t"},
        {"g", "Gran", "g"},
        {"b", "Björk", "b"},
        {"l", "Löv", "l"},
    };
    for (const auto &c : cases) {
        OpenTreeForm f(sampleWith({{"art:", c.letter}}));
        f.form->showWindow();
        EXPECT_EQ(f.box("cmbArt")->currentText(), QString::fromUtf8(c.shown)) << c.letter;
        f.click("btnBerakna");
        EXPECT_EQ(f.line(10), QString("art:/%1/").arg(c.saved)) << c.letter;
        EXPECT_EQ(f.hub.calculations, 1) << c.letter;
    }
}

TEST(TreeForm, ChoosingASpeciesInTheListSavesItsLetter) {
    OpenTreeForm f;
    f.form->showWindow();
    f.field("txtDkvot")->setText("0.8");
    f.box("cmbArt")->setCurrentIndex(0);
    f.click("btnBerakna");
    EXPECT_EQ(f.line(3), "art:/t/ trädart");
}

TEST(TreeForm, PlantingIsYesOnlyForYAndSavedAsYOrN) {
    const struct {
        const char *value;
        bool yes;
        const char *saved;
    } cases[] = {{"y", true, "y"},
                 {"n", false, "n"},
                 {"", false, "n"},
                 {"Y", false, "n"},
                 {"ja", false, "n"}};
    for (const auto &c : cases) {
        OpenTreeForm f(sampleWith({{"plant:", c.value}}));
        f.form->showWindow();
        EXPECT_EQ(f.option("optYes")->isChecked(), c.yes) << c.value;
        EXPECT_EQ(f.option("optNo")->isChecked(), !c.yes) << c.value;
        f.click("btnBerakna");
        EXPECT_EQ(f.line(13), QString("plant:/%1/").arg(c.saved)) << c.value;
    }
}

TEST(TreeForm, BeraknaSavesTheElevenKeysAndLeavesEveryOtherLineByteForByte) {
    OpenTreeForm f;
    f.form->showWindow();
    f.field("txtBdm")->setText("41");
    f.field("txtDkvot")->setText("0.7"); // its line is missing: it is added before the last
    f.option("optNo")->click();
    f.box("cmbTkv")->setEditText("5");
    f.click("btnBerakna");

    QStringList expected = treeFile();
    expected[4] = "bdm:/41/ cm";
    expected[8] = "plant:/n/";
    expected[11] = "bdm:/41/ sista raden vinner";
    expected[14] = "tkv:/5/";
    expected.insert(expected.size() - 1, "dkvot:/0.7/");
    EXPECT_EQ(f.home.read("trad.sty"), joinLinesCrLf(expected));
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.calculations, 1);
    EXPECT_TRUE(f.hub.opened.isEmpty());
}

TEST(TreeForm, AvslutaDropsTheEditsSavesNothingAndTheNextOpeningShowsTheFile) {
    OpenTreeForm f;
    f.form->showWindow();
    f.field("txtSite")->setText("28");
    f.box("cmbArt")->setCurrentIndex(0);
    f.box("cmbBkv")->setEditText("4");
    f.click("btnAvsluta");
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
    EXPECT_EQ(f.hub.calculations, 0);
    EXPECT_EQ(f.home.read("trad.sty"), joinLinesCrLf(treeFile()));

    f.form->showWindow();
    EXPECT_EQ(f.field("txtSite")->text(), "24");
    EXPECT_EQ(f.box("cmbArt")->currentText(), "Gran");
    EXPECT_EQ(f.box("cmbBkv")->currentText(), "1");
    EXPECT_EQ(f.field("txtDkvot")->text(), "") << "a key without a line: the empty field";
}

TEST(TreeForm, CloseBoxDoesWhatAvslutaDoes) {
    OpenTreeForm f;
    f.form->showWindow();
    f.form->close();
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
    EXPECT_EQ(f.hub.calculations, 0);
}

TEST(TreeForm, ASaveThatFailsStartsNoCalculationOnTheOldFile) {
    OpenTreeForm f;
    f.form->showWindow();
    f.field("txtDkvot")->setText("0.8"); // the file has no line for it
    QFile::remove(f.home.path("trad.sty"));
    ModalHand hand;
    f.click("btnBerakna");
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_EQ(f.hub.calculations, 0);
    EXPECT_TRUE(f.form->isVisible());
}

TEST(TreeForm, AMissingControlFileIsReportedAndTheFormStaysUsable) {
    TempHome home;
    RecordingHub hub;
    TreeForm form(hub, home.directory());
    ModalHand hand;
    form.showWindow();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(child<QLineEdit>(form, "txtHojdjust")->text(), "0");
}
