// What a form does when the user confirms it or leaves it: every field is checked before
// anything is saved, a cancelled edit is dropped, and a value whose key has no line is kept.
#include "core/files/textfile.h"
#include "core/parameters/treeinputs.h"
#include "formtesting.h"
#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using KeyValues = QList<std::pair<QString, QString>>;

// The sample control file with some values replaced; a null value removes the key's line.
QStringList sampleWith(const KeyValues &values) {
    QStringList lines = sampleControlLines();
    for (const auto &[key, value] : values)
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(key)) {
                if (value.isNull())
                    lines.removeAt(i--);
                else
                    lines[i] = key + '/' + value + '/';
            }
    return lines;
}

// Either form, on its own home directory, shown and active.
struct AnyForm {
    TempHome home;
    RecordingHub hub;
    std::unique_ptr<ParameterForm> form;
    bool tree;

    AnyForm(bool tree, const QStringList &lines) : tree(tree) {
        home.writeLines("trad.sty", lines);
        if (tree)
            form = std::make_unique<TreeForm>(hub, home.directory());
        else
            form = std::make_unique<StandForm>(hub, home.directory());
        showActive(*form);
    }
    QWidget *control(const char *name) const { return child<QWidget>(*form, name); }
    // Puts `text` into a field or a list box as the user would leave it there.
    void enter(const char *name, const QString &text) const {
        QWidget *c = control(name);
        c->setFocus(Qt::OtherFocusReason);
        if (auto *f = qobject_cast<QLineEdit *>(c))
            f->setText(text);
        else if (auto *box = qobject_cast<QComboBox *>(c))
            box->setEditText(text);
    }
    // A click whose press and release come together, straight from the field being edited.
    void confirm() const {
        QTest::mouseClick(child<QPushButton>(*form, tree ? "btnBerakna" : "btnOK"), Qt::LeftButton);
        settle(60);
    }
    void leave() const {
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
        settle(60);
    }
    bool focusIn(const char *name) const {
        QWidget *c = control(name);
        QWidget *focus = form->focusWidget();
        return focus && (focus == c || c->isAncestorOf(focus));
    }
};

struct Refusal {
    const char *name;
    bool tree;
    KeyValues file;      // values of the control file that differ from the sample
    const char *control; // where the user types, or nullptr
    const char *typed;
    const char *focus; // the control the message is about
    const char *message;
};

void PrintTo(const Refusal &r, std::ostream *os) {
    *os << r.name;
}

class ConfirmingAForm : public ::testing::TestWithParam<Refusal> {};

TEST_P(ConfirmingAForm, ShowsTheFirstFaultPutsTheFocusThereAndNeitherSavesNorCalculates) {
    const Refusal &r = GetParam();
    AnyForm f(r.tree, sampleWith(r.file));
    if (r.control)
        f.enter(r.control, QString::fromUtf8(r.typed));
    const QByteArray before = f.home.read("trad.sty");
    ModalHand hand;
    for (int press = 1; press <= 2; ++press) {
        f.confirm();
        ASSERT_EQ(hand.count(), press) << "one message per press";
        EXPECT_EQ(hand.seen().last().title, "Error");
        EXPECT_EQ(hand.seen().last().text, QString::fromUtf8(r.message));
        EXPECT_TRUE(f.focusIn(r.focus)) << f.form->focusWidget()->objectName().toStdString();
        EXPECT_TRUE(f.form->isVisible());
        EXPECT_EQ(f.hub.calculations, 0);
        EXPECT_TRUE(f.hub.opened.isEmpty());
        EXPECT_EQ(f.home.read("trad.sty"), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryField, ConfirmingAForm,
    ::testing::Values(
        Refusal{"TypedRateThatIsNoNumber",
                false,
                {},
                "txtRant",
                "abc",
                "txtRant",
                "Värdet måste vara numeriskt"},
        Refusal{"PlantingCostOutOfRangeInTheFile",
                false,
                {{"plantcost:", "0.5"}},
                nullptr,
                nullptr,
                "txtPlantcost",
                "Värdet måste ligga mellan 1 och 10"},
        Refusal{"EmptyBirchPriceInTheFile",
                false,
                {{"mb:", ""}},
                nullptr,
                nullptr,
                "txtBjorkpris",
                "Fältet får ej lämnas tomt"},
        Refusal{"TypedDiameterOutOfRange",
                true,
                {},
                "txtBdm",
                "999",
                "txtBdm",
                "Värdet måste ligga mellan 0 och 300"},
        Refusal{"SiteIndexOutOfRangeInTheFile",
                true,
                {{"site:", "50"}},
                nullptr,
                nullptr,
                "txtSite",
                "Värdet måste ligga mellan 10 och 36"},
        Refusal{"TheUpperOfTwoFaultyRowsFirst",
                true,
                {{"kronst:", ""}},
                "txtHojdjust",
                "x",
                "txtHojdjust",
                "Värdet måste vara numeriskt"},
        Refusal{"RingWidthThatIsNoNumberInTheFile",
                true,
                {{"ring5:", "0x10"}},
                nullptr,
                nullptr,
                "txtRing5",
                "Värdet måste vara numeriskt"},
        Refusal{"QualityOutsideTheListInTheFile",
                true,
                {{"tkv:", "7"}},
                nullptr,
                nullptr,
                "cmbTkv",
                "Kvalitetsklassen \"7\" finns inte i listan. Välj en klass från 1 "
                "till 5."},
        Refusal{"HalfAQualityClassInTheFile",
                true,
                {{"akv:", "2.5"}},
                nullptr,
                nullptr,
                "cmbAkv",
                "Kvalitetsklassen \"2.5\" finns inte i listan. Välj en klass från 1 "
                "till 5."},
        Refusal{"TypedSpeciesNotInTheList",
                true,
                {},
                "cmbArt",
                "Ek",
                "cmbArt",
                "Trädarten \"Ek\" finns inte i listan. Välj Tall eller Gran."},
        Refusal{"UnknownSpeciesLetterInTheFile",
                true,
                {{"art:", "x"}},
                nullptr,
                nullptr,
                "cmbArt",
                "Trädarten \"x\" i styrfilen känner programmet inte till, så trädet kan inte "
                "värderas. Välj Tall eller Gran i listan."},
        Refusal{"CapitalSpeciesLetterInTheFile",
                true,
                {{"art:", "T"}},
                nullptr,
                nullptr,
                "cmbArt",
                "Trädarten \"T\" i styrfilen känner programmet inte till, så trädet kan inte "
                "värderas. Välj Tall eller Gran i listan."},
        Refusal{"SpeciesBoxEmptiedByTheUser",
                true,
                {{"art:", QString()}},
                "cmbArt",
                "",
                "cmbArt",
                "Trädarten \"\" finns inte i listan. Välj Tall eller Gran."},
        Refusal{"EmptySpeciesInTheFile",
                true,
                {{"art:", ""}},
                nullptr,
                nullptr,
                "cmbArt",
                "Trädarten \"\" i styrfilen känner programmet inte till, så trädet kan inte "
                "värderas. Välj Tall eller Gran i listan."}),
    [](const auto &info) { return std::string(info.param.name); });

// Characters Windows-1252 cannot hold would reach the file as a stray substitute byte.
INSTANTIATE_TEST_SUITE_P(
    CharactersTheFileCannotHold, ConfirmingAForm,
    ::testing::Values(Refusal{"PolishLInADiameter",
                              true,
                              {},
                              "txtBdm",
                              "3ł",
                              "txtBdm",
                              "Tecknet \"ł\" kan inte sparas i styrfilen. Ta bort det."},
                      Refusal{"EmojiInTheRate",
                              false,
                              {},
                              "txtRant",
                              "3😀",
                              "txtRant",
                              "Tecknet \"😀\" kan inte sparas i styrfilen. Ta bort det."},
                      Refusal{"PolishLInTheSpecies",
                              true,
                              {},
                              "cmbArt",
                              "Łoś",
                              "cmbArt",
                              "Tecknet \"Ł\" kan inte sparas i styrfilen. Ta bort det."}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CharactersTheFileCannotHold, LeavingTheFieldSaysSoAtOnce) {
    for (const char *text : {"ł", "5😀"}) {
        AnyForm f(true, sampleControlLines());
        ModalHand hand;
        f.enter("txtKronst", QString::fromUtf8(text));
        f.leave();
        ASSERT_EQ(hand.count(), 1) << text;
        EXPECT_TRUE(hand.seen()[0].text.startsWith("Tecknet")) << text;
        EXPECT_TRUE(f.focusIn("txtKronst"));
    }
}

TEST(ConfirmingAForm, ADecimalCommaInTheFileIsSavedAsAPointAndAQualityBoxTakesOnlyAClass) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    AnyForm f(true, sampleWith({{"ring5:", "2,5"}}));
    EXPECT_EQ(child<QLineEdit>(*f.form, "txtRing5")->text(), "2,5") << "shown as the file has it";
    auto *box = child<QComboBox>(*f.form, "cmbBkv");
    box->setFocus(Qt::OtherFocusReason);
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "7x");
    EXPECT_FALSE(box->currentText().contains('7') || box->currentText().contains('x'))
        << "a class outside the list cannot be typed";
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "4");
    EXPECT_EQ(box->currentText(), "4");
    ModalHand hand;
    f.confirm();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_EQ(f.hub.calculations, 1);
    const QStringList lines = f.home.readLines("trad.sty");
    EXPECT_EQ(lines[14], "ring5:/2.5/");
    EXPECT_EQ(lines[18], "bkv:/4/");
}

// Leaving a form by its return button or its close box, then opening it again.
struct Reopening {
    const char *name;
    bool tree;
    const char *control;
    const char *edit;
    bool closeBox;
    const char *shown; // what the control shows when the form is opened again
};

void PrintTo(const Reopening &r, std::ostream *os) {
    *os << r.name;
}

class OpeningAFormAgain : public ::testing::TestWithParam<Reopening> {};

TEST_P(OpeningAFormAgain, ShowsTheFilesValuesNotTheCancelledEdits) {
    const Reopening &r = GetParam();
    AnyForm f(r.tree, sampleControlLines());
    const QByteArray before = f.home.read("trad.sty");
    f.enter(r.control, QString::fromUtf8(r.edit));
    ModalHand hand;
    if (r.closeBox)
        f.form->close();
    else
        QTest::mouseClick(child<QPushButton>(*f.form, r.tree ? "btnAvsluta" : "btnAvbryt"),
                          Qt::LeftButton);
    settle(60);
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(hand.count(), 0);
    EXPECT_EQ(f.home.read("trad.sty"), before);

    showActive(*f.form);
    QWidget *c = f.control(r.control);
    const QString shown = qobject_cast<QLineEdit *>(c) ? static_cast<QLineEdit *>(c)->text()
                                                       : static_cast<QComboBox *>(c)->currentText();
    EXPECT_EQ(shown, QString::fromUtf8(r.shown));
    // The next confirmation saves the file's values, not the cancelled ones.
    f.confirm();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_EQ(f.home.read("trad.sty"), before);
}

INSTANTIATE_TEST_SUITE_P(
    ReturnButtonsAndCloseBox, OpeningAFormAgain,
    ::testing::Values(Reopening{"AvbrytDropsARate", false, "txtRant", "6", false, "3"},
                      Reopening{"CloseBoxDropsAPulpwoodPrice", false, "txtGranpris", "999", true,
                                "270"},
                      Reopening{"AvslutaDropsADiameter", true, "txtBdm", "41", false, "30"},
                      Reopening{"AvslutaDropsASpecies", true, "cmbArt", "Gran", false, "Tall"},
                      Reopening{"CloseBoxDropsAQuality", true, "cmbTkv", "5", true, "3"}),
    [](const auto &info) { return std::string(info.param.name); });

// A value typed into a field whose key has no line in the file.
struct MissingLine {
    const char *name;
    bool tree;
    QStringList lines;
    const char *control;
    const char *typed;
    QStringList saved;
};

void PrintTo(const MissingLine &m, std::ostream *os) {
    *os << m.name;
}

class AValueWithoutALine : public ::testing::TestWithParam<MissingLine> {};

TEST_P(AValueWithoutALine, IsAddedWhereEveryReaderFindsIt) {
    const MissingLine &m = GetParam();
    AnyForm f(m.tree, m.lines);
    f.enter(m.control, QString::fromUtf8(m.typed));
    ModalHand hand;
    f.confirm();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_EQ(f.home.read("trad.sty"), joinLinesCrLf(m.saved));

    // The form shows it when opened again, and the engine calculates with it.
    f.form->hide();
    showActive(*f.form);
    EXPECT_EQ(qobject_cast<QLineEdit *>(f.control(m.control))->text(), QString::fromUtf8(m.typed));
    TreeInputs inputs;
    ASSERT_EQ(take(loadTreeInputs(f.home.directory(), inputs), inputs), QString());
    EXPECT_TRUE(inputs.requiredRate == 0.03 || inputs.diameterQuotient == 0.75);
}

QStringList without(const QString &key, const QString &replacement = {}) {
    QStringList lines = sampleControlLines();
    for (QString &line : lines)
        if (line.startsWith(key))
            line = replacement;
    lines.removeAll(QString());
    return lines;
}

QStringList addedBeforeTheEnd(QStringList lines, const QString &line) {
    lines.insert(lines.size() - 1, line);
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Saving, AValueWithoutALine,
    ::testing::Values(MissingLine{"NoRateLine", false, without("rant:"), "txtRant", "3",
                                  addedBeforeTheEnd(without("rant:"), "rant:/3/")},
                      MissingLine{"RateKeyInCapitals", false, without("rant:", "Rant:/3/"),
                                  "txtRant", "3",
                                  addedBeforeTheEnd(without("rant:", "Rant:/3/"), "rant:/3/")},
                      MissingLine{"RateLineWithoutSlashes", false, without("rant:", "rant: 3"),
                                  "txtRant", "3",
                                  addedBeforeTheEnd(without("rant:", "rant: 3"), "rant:/3/")},
                      MissingLine{"NoDiameterQuotientLine", true, without("dkvot:"), "txtDkvot",
                                  "0.75", addedBeforeTheEnd(without("dkvot:"), "dkvot:/0.75/")}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
