#include "startup.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// A script of answers for the question loop, recording what was asked.
struct Asker {
    QStringList answers;
    int asked = 0;
    int toldWrong = 0;
    std::optional<QString> run(const QString &cwd, const QString &defaultPath) {
        return settleHomeDirectory(
            cwd, defaultPath,
            [this] { return asked < answers.size() ? answers[asked++] : (++asked, QString()); },
            [this] { ++toldWrong; });
    }
};

} // namespace

TEST(StartUp, ControlFileInTheCurrentDirectoryIsTakenWithoutAQuestion) {
    TempHome cwd, other;
    cwd.write("trad.sty", "");
    other.write("trad.sty", "x");
    Asker asker;
    EXPECT_EQ(asker.run(cwd.sokvag().chopped(1), other.sokvag()), cwd.sokvag());
    EXPECT_EQ(asker.asked, 0);
}

TEST(StartUp, TheDefaultPathIsTriedSecondWithASlashAppended) {
    TempHome cwd, def;
    def.write("trad.sty", "x");
    Asker asker;
    EXPECT_EQ(asker.run(cwd.sokvag(), def.sokvag().chopped(1)), def.sokvag());
    EXPECT_EQ(asker.asked, 0);
}

TEST(StartUp, WrongAnswersAreToldAndAskedAgainUntilOneHoldsAControlFile) {
    TempHome cwd, home;
    home.write("trad.sty", "");
    Asker asker;
    asker.answers = {"/finns/inte", cwd.sokvag(), home.sokvag().chopped(1)};
    EXPECT_EQ(asker.run(cwd.sokvag(), "n:\\arb/cprog/kvistel/swe"), home.sokvag());
    EXPECT_EQ(asker.asked, 3);
    EXPECT_EQ(asker.toldWrong, 2);
}

TEST(StartUp, AnAnswerEndingWithASlashIsUsedUnchanged) {
    TempHome cwd, home;
    home.write("trad.sty", "");
    Asker asker;
    asker.answers = {home.sokvag()};
    EXPECT_EQ(asker.run(cwd.sokvag(), "n:\\x"), home.sokvag());
}

TEST(StartUp, AnEmptyAnswerEndsTheProgram) {
    TempHome cwd;
    Asker asker;
    asker.answers = {"/fel", ""};
    EXPECT_EQ(asker.run(cwd.sokvag(), "n:\\x"), std::nullopt);
    EXPECT_EQ(asker.toldWrong, 1);
}

TEST(StartUp, ADirectoryNamedTradStyIsNoControlFile) {
    TempHome home;
    QDir(home.sokvag()).mkdir("trad.sty");
    EXPECT_FALSE(checkPath(home.sokvag()));
    home.write("x", "");
    EXPECT_FALSE(checkPath(home.sokvag() + "x/"));
}

TEST(StartUp, TheRealQuestionBoxIsAskedAndAnsweredWithFelaktigSokvag) {
    TempHome cwd, home;
    home.write("trad.sty", "");
    ModalHand hand;
    hand.queueInput("/finns/inte");
    hand.queueInput(home.sokvag());
    EXPECT_EQ(settleHomeDirectory(cwd.sokvag(), "n:\\arb/cprog/kvistel/swe"), home.sokvag());
    ASSERT_EQ(hand.count(), 3);
    EXPECT_EQ(hand.seen()[0].className, "QInputDialog");
    EXPECT_EQ(hand.seen()[0].title, "Sökväg");
    EXPECT_EQ(hand.seen()[0].text, "Ange sökväg till hemkatalogen");
    EXPECT_EQ(hand.seen()[1].title, "Kvistel");
    EXPECT_EQ(hand.seen()[1].text, "Felaktig sökväg");
    EXPECT_FALSE(hand.seen()[1].hasIcon);
    EXPECT_EQ(hand.seen()[1].buttons, QStringList{"OK"});
}

TEST(StartUp, CancellingTheRealQuestionBoxEndsTheProgram) {
    TempHome cwd;
    ModalHand hand;
    EXPECT_EQ(settleHomeDirectory(cwd.sokvag(), "n:\\arb/cprog/kvistel/swe"), std::nullopt);
    EXPECT_EQ(hand.count(), 1);
}
