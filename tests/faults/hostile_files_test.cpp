// Files the user did not make with this program, or that someone planted: a control file or a
// price list in UTF-16, with NUL bytes or with a UTF-8 byte order mark, a named pipe in place of
// a file, links under names a temporary file of a save could have, a file that a second copy of
// the program changed while a window had it open. Nothing hangs, no file is rewritten that the
// program cannot read whole, nothing outside the home directory is touched, and no one's change
// is overwritten without asking.

#include "core/files/textfile.h"
#include "faultsupport.h"
#include "gui/app/mainmenu.h"
#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "gui/pricelist/pricelisteditor.h"
#include "gui/result/resultwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringEncoder>
#include <QTimer>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QByteArray utf16(const QByteArray &cp1252) {
    QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encoder.encode(decodeCp1252(cp1252));
}

void makePipe(const TempHome &home, const QString &name) {
    QFile::remove(home.path(name));
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.path(name)).constData(), 0644), 0);
}

// ---- A control file the program did not write.

struct HostileControlFile {
    const char *name;
    std::function<void(Program &, const TempHome &elsewhere)> plant;
    const char *openSays; // the message as the form opens; nullptr: none, the form shows "3"
                          // (only for a file that is saved or cannot be saved for another cause)
    const char *saveSays; // the message at OK; nullptr: saved
};

void PrintTo(const HostileControlFile &c, std::ostream *os) {
    *os << c.name;
}

const QByteArray sampleBytes = joinLinesCrLf(sampleControlLines());

const HostileControlFile hostileControlFiles[] = {
    {"Utf16", [](Program &p, const TempHome &) { p.home.write("trad.sty", utf16(sampleBytes)); },
     "UTF-16", "UTF-16"},
    {"NulBytes",
     [](Program &p, const TempHome &) {
         p.home.write("trad.sty", sampleBytes + QByteArray("\0\0skräp\r\n", 10));
     },
     "nolltecken", "nolltecken"},
    {"NamedPipe", [](Program &p, const TempHome &) { makePipe(p.home, "trad.sty"); },
     "ingen vanlig fil", "ingen vanlig fil"},
    {"Utf8WithByteOrderMark",
     [](Program &p, const TempHome &) {
         p.home.write("trad.sty", "\xef\xbb\xbf" + decodeCp1252(sampleBytes).toUtf8());
     },
     nullptr, nullptr},
    {"LinkToAFileElsewhere",
     [](Program &p, const TempHome &elsewhere) {
         elsewhere.write("trad.sty", sampleBytes);
         QFile::remove(p.home.path("trad.sty"));
         QFile::link(elsewhere.path("trad.sty"), p.home.path("trad.sty"));
     },
     nullptr, "symbolisk länk"},
};

class ForeignControlFile : public ::testing::TestWithParam<HostileControlFile> {};

TEST_P(ForeignControlFile, IsReadRightOrRefusedAndOnlyARegularWindows1252FileIsWritten) {
    const HostileControlFile &c = GetParam();
    Program p;
    TempHome elsewhere;
    // The form is open on a sound file when the file is replaced behind its back.
    StandForm &form = p.standForm();
    Program::field(form, "txtRant").setText("4.5");
    c.plant(p, elsewhere);
    const auto before = snapshot(p.home);
    const auto outside = snapshot(elsewhere);
    {
        ModalHand saving;
        Program::press(form, "btnOK");
        settle();
        EXPECT_EQ(snapshot(elsewhere), outside);
        if (c.saveSays) {
            const SeenBox box = theOnlyMessage(saving);
            EXPECT_TRUE(box.text.contains(QString::fromUtf8(c.saveSays))) << box.text.toStdString();
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(snapshot(p.home), before);
            Program::press(form, "btnAvbryt");
        } else {
            EXPECT_EQ(saving.count(), 0);
            QStringList expected = sampleControlLines();
            expected.replace(expected.indexOf("rant:/3/"), "rant:/4.5/");
            EXPECT_EQ(p.home.read("trad.sty"), joinLinesCrLf(expected)); // Windows-1252, no mark
            return;
        }
    }
    // Opened again, the form says why at once (or reads the file right) and rewrites nothing.
    ModalHand opening;
    StandForm &again = p.standForm();
    settle();
    if (c.openSays) {
        const SeenBox box = theOnlyMessage(opening);
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(c.openSays))) << box.text.toStdString();
    } else {
        EXPECT_EQ(opening.count(), 0);
        EXPECT_EQ(Program::field(again, "txtRant").text(), "3");
    }
    EXPECT_EQ(snapshot(p.home), before);
    EXPECT_EQ(snapshot(elsewhere), outside);
}

INSTANTIATE_TEST_SUITE_P(Faults, ForeignControlFile, ::testing::ValuesIn(hostileControlFiles),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- A price list the program did not write.

struct HostilePriceList {
    const char *name;
    std::function<void(const TempHome &)> plant;
    const char *says; // nullptr: the editor opens on the prices
};

void PrintTo(const HostilePriceList &c, std::ostream *os) {
    *os << c.name;
}

class ForeignPriceList : public ::testing::TestWithParam<HostilePriceList> {};

TEST_P(ForeignPriceList, OpensAtOnceOnThePricesOrSaysWhyAndLeavesTheFile) {
    const HostilePriceList &c = GetParam();
    Program p;
    c.plant(p.home);
    const auto before = snapshot(p.home);
    ModalHand hand;
    PriceListEditor &editor = p.priceEditor(); // a pipe must not make this wait
    settle();
    if (c.says) {
        const SeenBox box = theOnlyMessage(hand);
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(c.says))) << box.text.toStdString();
        EXPECT_FALSE(editor.isVisible());
        EXPECT_TRUE(p.menu().isVisible());
        EXPECT_EQ(snapshot(p.home), before);
        return;
    }
    EXPECT_EQ(hand.count(), 0);
    EXPECT_EQ(Program::field(editor, "txtEdit").text(), "530");
    EXPECT_EQ(Program::field(editor, "txtLan").text(), "Jönköpings län");
    Program::press(editor, "btnSpara");
    settle();
    EXPECT_EQ(p.home.read("priser_ac.txt"), samplePriceList()); // back in Windows-1252
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ForeignPriceList,
    ::testing::Values(
        HostilePriceList{"NamedPipe", [](const TempHome &h) { makePipe(h, "priser_ac.txt"); },
                         "ingen vanlig fil"},
        HostilePriceList{
            "Utf16", [](const TempHome &h) { h.write("priser_ac.txt", utf16(samplePriceList())); },
            "UTF-16"},
        HostilePriceList{"Utf8WithByteOrderMark",
                         [](const TempHome &h) {
                             h.write("priser_ac.txt",
                                     "\xef\xbb\xbf" + decodeCp1252(samplePriceList()).toUtf8());
                         },
                         nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Links planted where the saves once put their temporary files.

TEST(PlantedTemporaryNames, NoSaveFollowsThemAndTheirTargetsStayUntouched) {
    Program p;
    TempHome elsewhere;
    const QStringList planted{"tmp.sty", "priser_ac.txt.tmp", "resultat.txt.tmp"};
    for (const QString &name : planted) {
        elsewhere.write(name, "someone else's " + name.toLatin1());
        ASSERT_TRUE(QFile::link(elsewhere.path(name), p.home.path(name)));
    }
    const auto outside = snapshot(elsewhere);
    ModalHand hand;

    StandForm &stand = p.standForm();
    Program::field(stand, "txtRant").setText("4.5");
    Program::press(stand, "btnOK");
    TreeForm &tree = p.treeForm();
    Program::field(tree, "txtBdm").setText("41");
    Program::press(tree, "btnBerakna"); // saves trad.sty, then writes resultat.txt
    PriceListEditor &editor = p.priceEditor();
    Program::field(editor, "txtEdit").setText("999");
    Program::press(editor, "btnSpara");
    settle();

    EXPECT_EQ(snapshot(elsewhere), outside);
    for (const QString &name : planted)
        EXPECT_EQ(QFileInfo(p.home.path(name)).symLinkTarget(), elsewhere.path(name));
    for (const char *file : {"trad.sty", "priser_ac.txt", "resultat.txt"}) {
        const QFileInfo info(p.home.path(file));
        EXPECT_TRUE(info.isFile() && !info.isSymLink()) << file;
    }
    EXPECT_TRUE(p.home.readLines("trad.sty").contains("rant:/4.5/"));
    EXPECT_TRUE(p.home.readLines("trad.sty").contains("bdm:/41/"));
    EXPECT_TRUE(p.home.readLines("priser_ac.txt").value(2).startsWith("999,"));
    EXPECT_TRUE(p.home.read("resultat.txt").contains("AVVERKNING OM 110 "));
}

// ---- A second copy of the program changed the file while the window had it open.

// Answers the question about a changed file with one button, and every other box with OK.
class ChangedFileAnswer {
public:
    explicit ChangedFileAnswer(const char *buttonName) : m_button(buttonName) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    int asked() const { return m_asked; }

private:
    void poll() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        if (box->objectName() == u"msgAndradFil") {
            ++m_asked;
            EXPECT_EQ(box->windowTitle(), "Kvistel");
            QStringList texts;
            for (QAbstractButton *b : box->buttons())
                texts << b->text();
            texts.sort();
            EXPECT_EQ(texts, (QStringList{"&Avbryt", "&Läs om", "&Skriv över"}));
            auto *button = box->findChild<QAbstractButton *>(QLatin1String(m_button));
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(box, &QDialog::accept, Qt::QueuedConnection);
        }
    }

    const char *m_button;
    QTimer m_timer;
    int m_asked = 0;
};

struct ChangedSave {
    const char *name;
    const char *file;
    std::function<QWidget &(Program &)> open;
    const char *field, *mine, *theirs;
    const char *button;
    // The other copy's change to the very value the user edits.
    std::function<void(Program &)> change;
};

void PrintTo(const ChangedSave &s, std::ostream *os) {
    *os << s.name;
}

void replaceLine(Program &p, const QString &from, const QString &to) {
    QStringList lines = p.home.readLines("trad.sty");
    lines.replace(lines.indexOf(from), to);
    p.home.writeLines("trad.sty", lines);
}

const ChangedSave changedSaves[] = {
    {"StandFormOk", "trad.sty", [](Program &p) -> QWidget & { return p.standForm(); }, "txtRant",
     "4.5", "9", "btnOK", [](Program &p) { replaceLine(p, "rant:/3/", "rant:/9/"); }},
    {"TreeFormBerakna", "trad.sty", [](Program &p) -> QWidget & { return p.treeForm(); }, "txtBdm",
     "41", "77", "btnBerakna", [](Program &p) { replaceLine(p, "bdm:/30/", "bdm:/77/"); }},
    {"PriceEditorSpara", "priser_ac.txt", [](Program &p) -> QWidget & { return p.priceEditor(); },
     "txtEdit", "999", "777", "btnSpara",
     [](Program &p) {
         QByteArray list = samplePriceList();
         p.home.write("priser_ac.txt", list.replace("\r\n530,", "\r\n777,"));
     }},
};

struct Choice {
    const char *button;
    bool mineSaved;      // the file holds the user's value afterwards
    const char *fieldIs; // "mine" or "theirs"
};

class ChangedOnDisk : public ::testing::TestWithParam<std::tuple<ChangedSave, Choice>> {};

TEST_P(ChangedOnDisk, TheUserIsAskedAndNothingIsOverwrittenUnlessHeSaysSo) {
    const auto &[save, choice] = GetParam();
    Program p;
    QWidget &window = save.open(p);
    Program::field(window, save.field).setText(save.mine);
    save.change(p);
    const QByteArray theirs = p.home.read(save.file);

    ChangedFileAnswer answer(choice.button);
    Program::press(window, save.button);
    settle(50);
    EXPECT_EQ(answer.asked(), 1);
    if (choice.mineSaved) {
        EXPECT_NE(p.home.read(save.file), theirs);
        EXPECT_TRUE(decodeCp1252(p.home.read(save.file)).contains(save.mine));
    } else {
        EXPECT_EQ(p.home.read(save.file), theirs);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(
            Program::field(window, save.field).text(),
            QString::fromLatin1(choice.fieldIs == std::string("mine") ? save.mine : save.theirs));
        EXPECT_FALSE(p.calculationShown()) << "a calculation ran on a tree not saved";
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ChangedOnDisk,
                         ::testing::Combine(::testing::ValuesIn(changedSaves),
                                            ::testing::Values(Choice{"btnSkrivOver", true, "mine"},
                                                              Choice{"btnLasOm", false, "theirs"},
                                                              Choice{"btnAvbryt", false, "mine"})),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).button;
                         });

} // namespace
