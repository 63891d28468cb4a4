#include "gui/app/mainmenu.h"
#include "gui/app/sessionend.h"
#include "gui/app/windowfactory.h"
#include "samplehome.h"
#include "testsupport.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// The end of the desktop session (log-off, shutdown) as the session manager asks for it: Wine
// and the test machines have no log-off, so the program's own answer is driven directly.
namespace {

// An "Avsluta" of an earlier test (QCoreApplication::exit outside the program's event loop)
// would make every modal box of this one return at once; the application's own loop, run once,
// clears it.
void clearEarlierQuit() {
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

struct Program {
    std::unique_ptr<MainMenu> menu;
    std::unique_ptr<SessionEnd> sessionEnd;
    Program(const TempHome &home, const TempHome &recovery) {
        clearEarlierQuit();
        menu = std::make_unique<MainMenu>(home.directory(), makeWindow);
        sessionEnd = std::make_unique<SessionEnd>(*menu, QDir::cleanPath(recovery.withSlash()));
        menu->showWindow();
    }
    TreeListWindow *treeList() const {
        return qobject_cast<TreeListWindow *>(menu->existingWindow(WindowHub::Window::TreeList));
    }
    // The tree list opened on the sample stand, with one tree added and not saved.
    void editTreeList(const TempHome &home) {
        menu->open(WindowHub::Window::TreeList);
        ASSERT_TRUE(treeList()->openList(home.path("bestand.csv")));
        std::array<QString, treeKeyCount> texts;
        treeList()->model()->addTree(texts);
        ASSERT_TRUE(treeList()->model()->isModified());
    }
};

// Clicks the button captioned `caption` in the next message box that opens.
void answerNextBox(const QString &caption, QString *question = nullptr) {
    QTimer::singleShot(50, [caption, question] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (question)
            *question = box->text();
        for (QAbstractButton *b : box->buttons())
            if (b->text() == caption)
                return b->click();
        ADD_FAILURE() << "no button " << caption.toStdString();
        box->reject();
    });
}

void copyStand(TempHome &home) {
    copySampleFiles(home);
    QFile::copy(QStringLiteral(KVISTEL_SOURCE_DIR "/sample/bestand.csv"), home.path("bestand.csv"));
}

} // namespace

TEST(SessionEnd, WithNoQuestionAllowedTheEditsAreKeptAndOfferedBackAtTheNextStart) {
    TempHome home, recovery;
    copyStand(home);
    const QByteArray onDisk = home.read("bestand.csv");
    QByteArray edited;
    int rows = 0;
    {
        Program first(home, recovery);
        first.editTreeList(home);
        edited = first.treeList()->model()->document().listBytes();
        rows = first.treeList()->model()->rowCount();
        EXPECT_TRUE(first.sessionEnd->end(false));
    }
    EXPECT_EQ(home.read("bestand.csv"), onDisk) << "the list itself is never written unasked";

    Program next(home, recovery);
    ASSERT_TRUE(next.sessionEnd->hasKeptEdits());
    QString question;
    answerNextBox("&Ja", &question);
    next.sessionEnd->offerKeptEdits();
    EXPECT_EQ(question, "Återställ osparade ändringar i trädlistan?");
    ASSERT_NE(next.treeList(), nullptr);
    EXPECT_TRUE(next.treeList()->isVisible());
    EXPECT_EQ(next.treeList()->model()->rowCount(), rows);
    EXPECT_EQ(next.treeList()->model()->document().listBytes(), edited);
    EXPECT_TRUE(next.treeList()->model()->isModified()) << "restored edits are still unsaved";
    EXPECT_EQ(QDir(next.treeList()->listPath()), QDir(home.path("bestand.csv")));
    EXPECT_FALSE(next.sessionEnd->hasKeptEdits()) << "offered once";
}

TEST(SessionEnd, KeptEditsDeclinedAreGoneAndBelongToTheirOwnHomeOnly) {
    TempHome home, other, recovery;
    copyStand(home);
    copyStand(other);
    {
        Program first(home, recovery);
        first.editTreeList(home);
        EXPECT_TRUE(first.sessionEnd->end(false));
    }
    {
        Program elsewhere(other, recovery);
        EXPECT_FALSE(elsewhere.sessionEnd->hasKeptEdits());
    }
    Program next(home, recovery);
    ASSERT_TRUE(next.sessionEnd->hasKeptEdits());
    answerNextBox("&Nej");
    next.sessionEnd->offerKeptEdits();
    EXPECT_FALSE(next.sessionEnd->hasKeptEdits());
    EXPECT_TRUE(QDir(recovery.withSlash()).isEmpty());
}

TEST(SessionEnd, ASessionThatGoesOnAfterAllAndEndsWithAvslutaKeepsNothing) {
    TempHome home, recovery;
    copyStand(home);
    Program run(home, recovery);
    run.editTreeList(home);
    EXPECT_TRUE(run.sessionEnd->end(false));
    ASSERT_TRUE(run.sessionEnd->hasKeptEdits());
    answerNextBox("&Nej"); // "Spara ändringarna i trädlistan?" at Avsluta
    QTest::mouseClick(run.menu->findChild<QPushButton *>("btnAvsluta"), Qt::LeftButton);
    EXPECT_FALSE(run.sessionEnd->hasKeptEdits());
}

TEST(SessionEnd, WhereTheUserMayBeAskedItIsAskedAsAtAvsluta) {
    struct Case {
        const char *answer;
        bool sessionEnds;
    };
    for (const Case c : {Case{"&Avbryt", false}, Case{"&Nej", true}}) {
        TempHome home, recovery;
        copyStand(home);
        Program run(home, recovery);
        run.editTreeList(home);
        QString question;
        answerNextBox(c.answer, &question);
        EXPECT_EQ(run.sessionEnd->end(true), c.sessionEnds) << c.answer;
        EXPECT_EQ(question, "Spara ändringarna i trädlistan?");
        EXPECT_TRUE(QDir(recovery.withSlash()).isEmpty()) << "nothing kept when asked";
    }
    // Nothing unsaved: no question, the session ends.
    TempHome home, recovery;
    copyStand(home);
    Program run(home, recovery);
    EXPECT_TRUE(run.sessionEnd->end(true));
    EXPECT_TRUE(run.sessionEnd->end(false));
    EXPECT_TRUE(QDir(recovery.withSlash()).isEmpty());
}
