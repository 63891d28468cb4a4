// Faults that strike in the middle of a session, after the windows have been opened on sound
// files: the home directory turns read-only, the disk fills, the home directory disappears (a
// network share or memory stick that went away). Each of the three saves (the stand form's OK,
// the tree form's Beräkna, the editor's Spara) then tells the user in one "Kvistel" box, keeps
// the user's edits on screen and the file on disk exactly as it was, and succeeds once the fault
// is gone: nothing was lost, and the program never needed a restart.

#include "gui/app/mainmenu.h"
#include "faultsupport.h"
#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "gui/pricelist/pricelisteditor.h"
#include "gui/result/resultwindow.h"

#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

// One of the program's saves: how the user gets there and edits, how the save is started, and
// how to see that it went through.
struct Save {
    const char *name;
    const char *file; // the file the save replaces
    std::function<QWidget &(Program &)> openAndEdit;
    const char *button;
    std::function<void(Program &, QWidget &)> expectSaved;
    std::function<void(QWidget &)> expectEditKept;
};

const Save saves[] = {
    {"StandFormOk", "trad.sty",
     [](Program &p) -> QWidget & {
         StandForm &form = p.standForm();
         Program::field(form, "txtRant").setText("4.5");
         return form;
     },
     "btnOK",
     [](Program &p, QWidget &form) {
         EXPECT_TRUE(p.home.readLines("trad.sty").contains("rant:/4.5/"));
         EXPECT_FALSE(form.isVisible());
         EXPECT_TRUE(p.menu().isVisible());
     },
     [](QWidget &form) { EXPECT_EQ(Program::field(form, "txtRant").text(), "4.5"); }},
    {"TreeFormBerakna", "trad.sty",
     [](Program &p) -> QWidget & {
         TreeForm &form = p.treeForm();
         Program::field(form, "txtBdm").setText("41");
         return form;
     },
     "btnBerakna",
     [](Program &p, QWidget &form) {
         EXPECT_TRUE(p.home.readLines("trad.sty").contains("bdm:/41/"));
         EXPECT_FALSE(form.isVisible());
         ASSERT_NE(p.resultWindow(), nullptr);
         EXPECT_TRUE(p.resultWindow()->isVisible());
     },
     [](QWidget &form) { EXPECT_EQ(Program::field(form, "txtBdm").text(), "41"); }},
    {"PriceEditorSpara", "priser_ac.txt",
     [](Program &p) -> QWidget & {
         PriceListEditor &editor = p.priceEditor();
         // The box over the first price: pine, quality 1, 12 cm.
         Program::field(editor, "txtEdit").setText("999");
         return editor;
     },
     "btnSpara",
     [](Program &p, QWidget &editor) {
         EXPECT_TRUE(p.home.readLines("priser_ac.txt").value(2).startsWith("999,"));
         EXPECT_TRUE(editor.isVisible());
     },
     [](QWidget &editor) { EXPECT_EQ(Program::field(editor, "txtEdit").text(), "999"); }},
};

// A fault that strikes while the window is open, and is mended again by the user.
struct Fault {
    const char *name;
    std::function<std::shared_ptr<void>(Program &, const Save &)> strike; // mended on release
    const char *says;
    bool needsPermissions = false;
};

const Fault faults[] = {
    {"HomeTurnsReadOnly",
     [](Program &p, const Save &) {
         return std::static_pointer_cast<void>(std::make_shared<ReadOnlyHome>(p.home));
     },
     "kunde inte sparas, eftersom katalogen .* är skrivskyddad", true},
    {"DiskFills",
     [](Program &, const Save &) {
         return std::static_pointer_cast<void>(std::make_shared<FullDisk>());
     },
     "kunde inte sparas, eftersom disken är full"},
    {"HomeDisappears",
     [](Program &p, const Save &) {
         // The share is unmounted: the directory is gone until it comes back.
         const QString home = QDir::cleanPath(p.home.withSlash());
         const QString away = home + QStringLiteral(".borta");
         EXPECT_TRUE(QDir().rename(home, away));
         return std::shared_ptr<void>(nullptr, [home, away](void *) { QDir().rename(away, home); });
     },
     // No save can even take the directory's lock: the directory is named as gone.
     "kunde inte sparas, eftersom katalogen .* inte finns längre"},
};

// Readable names in the test list.
void PrintTo(const Save &save, std::ostream *os) {
    *os << save.name;
}
void PrintTo(const Fault &fault, std::ostream *os) {
    *os << fault.name;
}

class FaultDuringSave : public ::testing::TestWithParam<std::tuple<Save, Fault>> {};

TEST_P(FaultDuringSave, TheUserIsToldTheEditStaysTheFileStaysAndTheNextSaveWorks) {
    const auto &[save, fault] = GetParam();
    if (fault.needsPermissions && !permissionsHold())
        GTEST_SKIP() << "root writes into read-only directories; run through asuser.sh";
    Program p;
    QWidget &window = save.openAndEdit(p);
    ASSERT_TRUE(window.isVisible());
    const auto before = snapshot(p.home);
    {
        const auto struck = fault.strike(p, save);
        ModalHand hand;
        Program::press(window, save.button);
        settle();
        const SeenBox box = theOnlyMessage(hand);
        EXPECT_TRUE(box.text.contains(QString::fromLatin1(save.file))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QRegularExpression(QString::fromUtf8(fault.says))))
            << box.text.toStdString();
        EXPECT_FALSE(box.hasIcon);
        EXPECT_TRUE(window.isVisible());
        save.expectEditKept(window);
        EXPECT_FALSE(p.calculationShown()) << "a calculation ran on the unsaved tree";
    }
    EXPECT_EQ(snapshot(p.home), before);

    ModalHand hand;
    Program::press(window, save.button);
    settle();
    for (const SeenBox &box : hand.seen())
        EXPECT_NE(box.title, "Kvistel") << box.text.toStdString();
    save.expectSaved(p, window);
    EXPECT_EQ(withoutTemporaries(snapshot(p.home)).keys(), snapshot(p.home).keys());
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultDuringSave,
                         ::testing::Combine(::testing::ValuesIn(saves),
                                            ::testing::ValuesIn(faults)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST(ReadOnlyHome, EveryWindowStillOpensAndShowsTheFiles) {
    if (!permissionsHold())
        GTEST_SKIP() << "root writes into read-only directories; run through asuser.sh";
    Program p;
    ReadOnlyHome readOnly(p.home);
    ModalHand hand;
    EXPECT_EQ(Program::field(p.standForm(), "txtRant").text(), "3");
    EXPECT_EQ(Program::field(p.treeForm(), "txtBdm").text(), "30");
    PriceListEditor &editor = p.priceEditor();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(Program::field(editor, "txtEdit").text(), "530");
    EXPECT_EQ(hand.count(), 0);
}

} // namespace
