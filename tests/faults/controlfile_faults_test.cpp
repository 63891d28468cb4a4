// The control file "trad.sty" holds every parameter the forest owner has set. When it cannot be
// read, each window that needs it says so in one "Kvistel" box and stays usable; a form that
// cannot save keeps the user's entries on screen; and no failed operation creates, empties or
// rewrites the file.

#include "faultsupport.h"
#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "gui/result/resultgrid.h"
#include "gui/result/resultwindow.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct UnreadableCase {
    const char *name;
    FileFault fault;
    const char *says; // what the message must tell the user
};

const UnreadableCase unreadableCases[] = {
    {"Missing", FileFault::Missing, "finns inte"},
    {"Unreadable", FileFault::Unreadable, "kunde inte öppnas för läsning"},
    {"Directory", FileFault::Directory, "är en katalog och inte en fil"},
};

void PrintTo(const UnreadableCase &c, std::ostream *os) {
    *os << c.name;
}

class UnreadableControlFile : public ::testing::TestWithParam<UnreadableCase> {
protected:
    void SetUp() override {
        if (GetParam().fault == FileFault::Unreadable && !permissionsHold())
            GTEST_SKIP() << "root reads every file; run through asuser.sh";
    }

    static void expectExplained(const ModalHand &hand) {
        const SeenBox box = theOnlyMessage(hand);
        EXPECT_TRUE(box.text.contains("trad.sty")) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(GetParam().says)))
            << box.text.toStdString();
        EXPECT_FALSE(box.hasIcon);
    }
};

TEST_P(UnreadableControlFile, OpeningEitherFormSaysWhyOnceAndTheFormStillOpens) {
    for (const bool stand : {true, false}) {
        SCOPED_TRACE(stand ? "stand and economy form" : "tree form");
        Program p;
        applyFault(p.home, "trad.sty", GetParam().fault);
        const auto before = snapshot(p.home);
        ModalHand hand;
        QWidget &form = stand ? static_cast<QWidget &>(p.standForm()) : p.treeForm();
        settle();
        expectExplained(hand);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(snapshot(p.home), before);
    }
}

TEST_P(UnreadableControlFile, OkInTheStandFormSaysWhyKeepsTheEntriesAndCreatesNoFile) {
    Program p;
    StandForm &form = p.standForm();
    Program::field(form, "txtRant").setText("4.5");
    applyFault(p.home, "trad.sty", GetParam().fault);
    const auto before = snapshot(p.home);
    ModalHand hand;
    Program::press(form, "btnOK");
    settle();
    expectExplained(hand);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Program::field(form, "txtRant").text(), "4.5");
    EXPECT_EQ(snapshot(p.home), before);
}

TEST_P(UnreadableControlFile, BeraknaSaysWhyAndCalculatesNothing) {
    Program p;
    TreeForm &form = p.treeForm();
    Program::field(form, "txtBdm").setText("41");
    applyFault(p.home, "trad.sty", GetParam().fault);
    const auto before = snapshot(p.home);
    ModalHand hand;
    Program::press(form, "btnBerakna");
    settle();
    expectExplained(hand);
    // The tree form stays with the user's tree; no result of an old file is shown as this one's.
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Program::field(form, "txtBdm").text(), "41");
    EXPECT_FALSE(p.calculationShown());
    EXPECT_EQ(snapshot(p.home), before);
}

INSTANTIATE_TEST_SUITE_P(Faults, UnreadableControlFile, ::testing::ValuesIn(unreadableCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(EmptyControlFile, FormsOpenBlankAndBeraknaAsksForTheFirstEmptyFieldInsteadOfCalculating) {
    Program p;
    applyFault(p.home, "trad.sty", FileFault::Empty);
    ModalHand hand;
    TreeForm &form = p.treeForm();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_EQ(Program::field(form, "txtBdm").text(), "");

    // Every field is checked before anything is saved or calculated.
    Program::press(form, "btnBerakna");
    settle();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Error");
    EXPECT_EQ(hand.seen()[0].text, "Fältet får ej lämnas tomt");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(p.calculationShown());
    EXPECT_EQ(p.home.read("trad.sty"), QByteArray());
}

TEST(TruncatedControlFile, ASaveKeepsEveryLineThatIsLeftAndAddsNone) {
    Program p;
    applyFault(p.home, "trad.sty", FileFault::Truncated);
    const QByteArray cut = p.home.read("trad.sty");
    const QList<QByteArray> linesBefore = cut.split('\n');
    ModalHand hand;
    StandForm &form = p.standForm();
    Program::press(form, "btnOK");
    settle();
    EXPECT_EQ(hand.count(), 0);
    // The line cut in the middle is the file's last now: it is copied as it stands, and the
    // parameters that were lost are not written back as empty lines.
    const QByteArray saved = p.home.read("trad.sty");
    EXPECT_EQ(saved.count("\r\n"), cut.count("\r\n") + 1);
    EXPECT_TRUE(saved.endsWith(linesBefore.last() + "\r\n"));
    EXPECT_FALSE(p.home.exists("tmp.sty"));
}

// Every save writes a new temporary file of its own; whatever stands under the fixed name
// "tmp.sty" (a crash's leftover, or a user's own file) is neither in the way nor touched.
TEST(LeftoverTemporaryFile, ATmpStyLeftByACrashNeitherStopsTheSaveNorIsTouched) {
    Program p;
    p.home.write("tmp.sty", "halvskriven styrfil från en krasch");
    StandForm &form = p.standForm();
    Program::field(form, "txtRant").setText("4");
    ModalHand hand;
    Program::press(form, "btnOK");
    settle();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_TRUE(p.home.readLines("trad.sty").contains("rant:/4/"));
    EXPECT_EQ(p.home.read("tmp.sty"), "halvskriven styrfil från en krasch");
}

TEST(LeftoverTemporaryFile, ADirectoryNamedTmpStyNeitherStopsTheSaveNorIsTouched) {
    Program p;
    StandForm &form = p.standForm();
    Program::field(form, "txtRant").setText("4");
    applyFault(p.home, "tmp.sty", FileFault::Directory);
    ModalHand hand;
    Program::press(form, "btnOK");
    settle();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_TRUE(p.home.readLines("trad.sty").contains("rant:/4/"));
    EXPECT_TRUE(QFileInfo(p.home.path("tmp.sty")).isDir());
    EXPECT_FALSE(form.isVisible());
}

} // namespace
