#include "gui/app/startup.h"
#include "gui/shared/helpwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTranslator>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

// A script of answers for the question loop, recording what was asked.
struct Asker {
    QStringList answers;
    int asked = 0;
    int toldWrong = 0;
    QStringList reasons;
    std::optional<HomeDirectory> run(const QString &cwd, const QString &defaultPath) {
        return settleHomeDirectory(
            cwd, defaultPath,
            [this] { return asked < answers.size() ? answers[asked++] : (++asked, QString()); },
            [this](const QString &why) {
                ++toldWrong;
                reasons << why;
            });
    }
};

} // namespace

TEST(StartUp, ControlFileInTheCurrentDirectoryIsTakenWithoutAQuestion) {
    TempHome cwd, other;
    cwd.write("trad.sty", "");
    other.write("trad.sty", "x");
    Asker asker;
    EXPECT_EQ(asker.run(cwd.withSlash().chopped(1), other.withSlash()), cwd.directory());
    EXPECT_EQ(asker.asked, 0);
}

TEST(StartUp, TheDefaultPathIsTriedSecondWithASlashAppended) {
    TempHome cwd, def;
    def.write("trad.sty", "x");
    Asker asker;
    EXPECT_EQ(asker.run(cwd.withSlash(), def.withSlash().chopped(1)), def.directory());
    EXPECT_EQ(asker.asked, 0);
}

TEST(StartUp, TheHomeDirectoryUsedLastOpensWithoutAQuestionAndIsRememberedAgain) {
    TempHome cwd, last, config;
    last.write("trad.sty", "");
    QSettings settings(config.path("Kvistel.conf"), QSettings::IniFormat);
    EXPECT_EQ(rememberedHome(settings), QString());
    rememberHome(settings, last.directory());
    const QStringList candidates =
        homeCandidates(cwd.withSlash(), rememberedHome(settings), "n:\\arb/cprog/kvistel/swe");
    Asker asker;
    EXPECT_EQ(
        settleHomeDirectory(
            candidates, [&] { return asker.answers.value(asker.asked++); }, [](const QString &) {}),
        last.directory());
    EXPECT_EQ(asker.asked, 0);
    EXPECT_EQ(firstHomeAmong(candidates), last.directory());
    // The current directory still comes first.
    cwd.write("trad.sty", "");
    EXPECT_EQ(settleHomeDirectory(
                  candidates, [] { return QString(); }, [](const QString &) {}),
              cwd.directory());
    EXPECT_EQ(firstHomeAmong(candidates), cwd.directory());
    EXPECT_EQ(firstHomeAmong({config.withSlash()}), std::nullopt);
}

TEST(StartUp, TheSameHomeDirectoryIsNotWrittenAgainAtEveryStart) {
    TempHome home, config;
    const QString file = config.path("Kvistel.conf");
    const auto fileId = [&] {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_ino : 0;
    };
    QSettings settings(file, QSettings::IniFormat);
    rememberHome(settings, home.directory());
    settings.sync();
    ASSERT_TRUE(QFile::exists(file));
    const auto written = fileId();
    if (written == 0)
        GTEST_SKIP() << "the system gives its files no numbers to tell a rewritten file by";
    rememberHome(settings, home.directory());
    settings.sync();
    EXPECT_EQ(fileId(), written); // a rewrite replaces the file by a new one
    rememberHome(settings, config.directory());
    settings.sync();
    EXPECT_NE(fileId(), written);
    EXPECT_EQ(rememberedHome(settings), config.directory().path());
}

TEST(StartUp, WithNoHomeDirectoryAnywhereTheUserIsAsked) {
    TempHome cwd, gone;
    const QStringList candidates = homeCandidates(cwd.withSlash(), gone.path("borttagen"), "");
    Asker asker;
    asker.answers = {""};
    EXPECT_EQ(
        settleHomeDirectory(
            candidates, [&] { return asker.answers.value(asker.asked++); }, [](const QString &) {}),
        std::nullopt);
    EXPECT_EQ(asker.asked, 1);
}

TEST(StartUp, TheQuestionOffersAFolderDialogAndANewHomeFromTheExample) {
    TempHome cwd;
    QStringList offered;
    QTimer::singleShot(50, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (QPushButton *b : dialog->findChildren<QPushButton *>())
            offered << b->text();
        dialog->reject();
    });
    EXPECT_EQ(settleHomeDirectory(QStringList{cwd.withSlash()}), std::nullopt);
    EXPECT_TRUE(offered.contains("&Bläddra...")) << offered.join('|').toStdString();
    EXPECT_TRUE(offered.contains("&Skapa en ny hemkatalog med exemplet"));
    EXPECT_TRUE(offered.contains("&Avbryt"));
}

TEST(StartUp, TheExampleIsFoundBesideTheProgramOrInTheSourceTree) {
    const QString example = exampleDirectory();
    ASSERT_FALSE(example.isEmpty());
    EXPECT_TRUE(checkPath(HomeDirectory(example + "/")));
}

TEST(StartUp, WrongAnswersAreToldAndAskedAgainUntilOneHoldsAControlFile) {
    TempHome cwd, home;
    home.write("trad.sty", "");
    Asker asker;
    asker.answers = {"/finns/inte", cwd.withSlash(), home.withSlash().chopped(1)};
    EXPECT_EQ(asker.run(cwd.withSlash(), "n:\\arb/cprog/kvistel/swe"), home.directory());
    EXPECT_EQ(asker.asked, 3);
    EXPECT_EQ(asker.toldWrong, 2);
}

TEST(StartUp, AnAnswerEndingWithASlashIsUsedUnchanged) {
    TempHome cwd, home;
    home.write("trad.sty", "");
    Asker asker;
    asker.answers = {home.withSlash()};
    EXPECT_EQ(asker.run(cwd.withSlash(), "n:\\x"), home.directory());
}

TEST(StartUp, AnEmptyAnswerEndsTheProgram) {
    TempHome cwd;
    Asker asker;
    asker.answers = {"/fel", ""};
    EXPECT_EQ(asker.run(cwd.withSlash(), "n:\\x"), std::nullopt);
    EXPECT_EQ(asker.toldWrong, 1);
}

TEST(StartUp, ADirectoryNamedTradStyIsNoControlFile) {
    TempHome home;
    QDir(home.withSlash()).mkdir("trad.sty");
    EXPECT_FALSE(checkPath(home.directory()));
    home.write("x", "");
    EXPECT_FALSE(checkPath(HomeDirectory(home.withSlash() + "x/")));
}

TEST(StartUp, TheRealQuestionBoxIsAskedAndAnsweredWithFelaktigSokvag) {
    TempHome cwd, home;
    home.write("trad.sty", "");
    ModalHand hand;
    hand.queueInput("/finns/inte");
    hand.queueInput(home.withSlash());
    EXPECT_EQ(settleHomeDirectory(cwd.withSlash(), "n:\\arb/cprog/kvistel/swe"), home.directory());
    ASSERT_EQ(hand.count(), 3);
    EXPECT_EQ(hand.seen()[0].className, "QInputDialog");
    EXPECT_EQ(hand.seen()[0].title, "Sökväg");
    EXPECT_EQ(hand.seen()[0].text, "Ange sökväg till hemkatalogen");
    EXPECT_EQ(hand.seen()[1].title, "Kvistel");
    EXPECT_TRUE(hand.seen()[1].text.startsWith("Felaktig sökväg: katalogen \"/finns/inte\" finns "
                                               "inte."))
        << hand.seen()[1].text.toStdString();
    EXPECT_TRUE(hand.seen()[1].text.contains("trad.sty"));
    EXPECT_FALSE(hand.seen()[1].hasIcon);
    EXPECT_EQ(hand.seen()[1].buttons, QStringList{"OK"});
}

TEST(StartUp, CancellingTheRealQuestionBoxEndsTheProgram) {
    TempHome cwd;
    ModalHand hand;
    EXPECT_EQ(settleHomeDirectory(cwd.withSlash(), "n:\\arb/cprog/kvistel/swe"), std::nullopt);
    EXPECT_EQ(hand.count(), 1);
}

// What the user is told about a wrong answer, and how an answer is understood.
struct WrongHome {
    const char *name;
    std::function<QString(const TempHome &)> answer; // the directory, without a trailing slash
    const char *says;
};

void PrintTo(const WrongHome &w, std::ostream *os) {
    *os << w.name;
}

class WrongHomeDirectory : public ::testing::TestWithParam<WrongHome> {};

TEST_P(WrongHomeDirectory, IsExplainedSoThatTheUserKnowsWhatToAnswer) {
    TempHome cwd, dir;
    const QString answer = GetParam().answer(dir);
    Asker asker;
    asker.answers = {answer};
    EXPECT_EQ(asker.run(cwd.withSlash(), "n:\\x"), std::nullopt);
    ASSERT_EQ(asker.reasons.size(), 1);
    EXPECT_TRUE(asker.reasons[0].contains(QString::fromUtf8(GetParam().says)))
        << asker.reasons[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WrongHomeDirectory,
    ::testing::Values(WrongHome{"NoSuchDirectory",
                                [](const TempHome &d) { return d.path("saknas"); }, "finns inte"},
                      WrongHome{"NoControlFile",
                                [](const TempHome &d) { return d.withSlash().chopped(1); },
                                "innehåller ingen styrfil trad.sty"},
                      WrongHome{"ADirectoryNamedTradSty",
                                [](const TempHome &d) {
                                    QDir(d.withSlash()).mkdir("trad.sty");
                                    return d.withSlash().chopped(1);
                                },
                                "är ingen vanlig fil"},
                      WrongHome{"APipeNamedTradSty",
                                [](const TempHome &d) {
                                    ::mkfifo(QFile::encodeName(d.path("trad.sty")).constData(),
                                             0644);
                                    return d.withSlash().chopped(1);
                                },
                                "är ingen vanlig fil"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StartUp, ATildeIsTheUsersOwnHomeDirectoryAndBlanksAroundAreDropped) {
    EXPECT_EQ(expandAnswer("~"), QDir::homePath());
    EXPECT_EQ(expandAnswer("  ~/kvistel "), QDir::homePath() + "/kvistel");
    EXPECT_EQ(expandAnswer("/data/~x"), "/data/~x");
}

TEST(StartUp, QtsOwnButtonsAreSwedish) {
    ASSERT_TRUE(installSwedishQtTexts(*QCoreApplication::instance()))
        << "Qt's Swedish translation (qt6-translations-l10n) is missing";
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                             QDialogButtonBox::No);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Avbryt");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text().remove('&'), "Ja");
    EXPECT_EQ(buttons.button(QDialogButtonBox::No)->text().remove('&'), "Nej");
    // Qt's own file dialog, where the desktop offers none.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Sök i:");
    EXPECT_EQ(QCoreApplication::translate("QFileSystemModel", "Computer"), "Dator");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Choose"), "&Välj");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), "Fil&namn:");
    // The other tests of this program see Qt as it was.
    for (QTranslator *t : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

// "Skapa en ny hemkatalog med exemplet" through the real dialogs: the folder named in the file
// dialog becomes the answer, whether new or an existing home directory (whose files stay).
TEST(StartUp, ANewHomeFromTheExampleMayBeNewOrAnExistingHome) {
    TempHome cwd, existing, parent;
    existing.write("trad.sty", "min styrfil\r\n");
    for (const QString &chosen : {parent.path("ny"), QDir::cleanPath(existing.withSlash())}) {
        QTimer::singleShot(50, [] {
            auto *question = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(question, nullptr);
            auto *create = question->findChild<QPushButton *>("btnSkapaHem");
            ASSERT_NE(create, nullptr);
            QTimer::singleShot(0, create, &QPushButton::click);
        });
        QTimer::singleShot(300, [&chosen] {
            auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->objectName(), "dlgNyHemkatalog");
            // Typed into the name field, as a user names the folder.
            auto *name = files->findChild<QLineEdit *>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText(chosen);
            static_cast<QDialog *>(files)->accept();
        });
        const std::optional<HomeDirectory> home = settleHomeDirectory(QStringList{cwd.withSlash()});
        ASSERT_TRUE(home) << chosen.toStdString();
        EXPECT_EQ(QDir(home->path()), QDir(chosen));
        EXPECT_TRUE(QFile::exists(QDir(chosen).filePath("bestand.csv")));
    }
    EXPECT_EQ(existing.read("trad.sty"), "min styrfil\r\n");
}

// The command line's way to the same home (tools/run.sh, tools/screenshots.sh): every file of
// the example, or a message and exit status 2 with nothing left behind.
TEST(StartUp, MakeHomeOnTheCommandLineCopiesTheWholeExample) {
    TempHome parent;
    struct Case {
        QString target;
        int status;
    };
    parent.write("fil", "x");
    for (const Case &c : {Case{parent.path("hem/ny"), 0}, Case{parent.path("fil/ny"), 2}}) {
        QProcess p;
        p.start(QStringLiteral(KVISTEL_PROGRAM), {QStringLiteral("--make-home"), c.target});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), c.status) << p.readAllStandardError().toStdString();
        for (const char *name : {"trad.sty", "priser_ac.txt", "bestand.csv"}) {
            QFile copy(QDir(c.target).filePath(name)),
                original(QStringLiteral(KVISTEL_SOURCE_DIR "/sample/") + name);
            if (c.status != 0) {
                EXPECT_FALSE(copy.exists()) << name;
                continue;
            }
            ASSERT_TRUE(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
            EXPECT_EQ(copy.readAll(), original.readAll()) << name;
        }
    }
    EXPECT_EQ(parent.read("fil"), "x");
}

// Return on an empty box is told what is missing and asked again; only Avbryt gives up. The
// homes used last are offered in the box's list, and "Hjälp" opens the guide at the home
// directory.
TEST(StartUp, AnEmptyAnswerIsToldWhatIsMissingAndTheHomesUsedLastAreOffered) {
    TempHome cwd, home, gone;
    home.write("trad.sty", "");
    QStringList listed;
    bool helped = false;
    QTimer::singleShot(50, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        listed = dialog->comboBoxItems();
        for (QPushButton *b : dialog->findChildren<QPushButton *>())
            if (b->objectName() == "btnHjalp") {
                b->click();
                helped = HelpWindow::instance() && HelpWindow::instance()->isVisible() &&
                         HelpWindow::instance()->browser()->source().fragment() == "hemkatalog";
            }
        ModalHand *hand = new ModalHand; // answers the message and the question asked again
        hand->queueInput(home.withSlash());
        QObject::connect(dialog, &QObject::destroyed, [hand] { delete hand; });
        dialog->setTextValue("  ");
        dialog->accept();
    });
    EXPECT_EQ(settleHomeDirectory(QStringList{cwd.withSlash()},
                                  QStringList{gone.path("a"), home.path("b")}),
              home.directory());
    EXPECT_EQ(listed, (QStringList{QDir::toNativeSeparators(gone.path("a")),
                                   QDir::toNativeSeparators(home.path("b"))}));
    EXPECT_TRUE(helped);
    if (HelpWindow *help = HelpWindow::instance())
        delete help;
}

TEST(StartUp, TheLastFiveHomesAreRememberedAndAGoneOneIsNamed) {
    TempHome config, homes;
    QSettings settings(config.path("Kvistel.conf"), QSettings::IniFormat);
    EXPECT_EQ(rememberedHomeGone(settings), QString());
    for (const char *name : {"a", "b", "c", "d", "e", "f", "c"}) {
        QDir(homes.withSlash()).mkdir(name);
        homes.write(QString(name) + "/trad.sty", "");
        rememberHome(settings, HomeDirectory(homes.path(name)));
    }
    QStringList names;
    for (const QString &p : recentHomes(settings))
        names << QFileInfo(QDir::cleanPath(p)).fileName();
    EXPECT_EQ(names, (QStringList{"c", "f", "e", "d", "b"}));
    EXPECT_EQ(rememberedHomeGone(settings), QString());
    QDir(homes.path("c")).removeRecursively();
    const QString said = rememberedHomeGone(settings);
    EXPECT_TRUE(said.contains(QDir::toNativeSeparators(homes.path("c")))) << said.toStdString();
    EXPECT_TRUE(said.contains("finns inte")) << said.toStdString();
}

namespace {

// Asked after every other translator: what reaches it, no catalogue turned into Swedish.
class UntranslatedTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *,
                      int) const override {
        const QString c = QString::fromLatin1(context), text = QString::fromUtf8(sourceText);
        // Paper names (A4, Letter), the layout direction and the designer's names of forms
        // are no words the user reads as English; units and marks are the same in Swedish.
        static const QStringList same{"Form",       "...",         "mm",      "Pica (P\u0338)",
                                      "Didot (DD)", "Cicero (CC)", "Standard"};
        if (c != "QPageSize" && c != "QGuiApplication" && !same.contains(text) &&
            !text.contains(QRegularExpression("^\\d+ \\(\\dx\\d\\)$")))
            untranslated.insert(c + u' ' + text);
        return {};
    }
    mutable QSet<QString> untranslated;
};

QStringList textsOf(QWidget *dialog) {
    QStringList texts{dialog->windowTitle()};
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        texts << w->toolTip();
        if (auto *l = qobject_cast<QLabel *>(w))
            texts << l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            texts << b->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            texts << g->title();
        else if (auto *box = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        else if (auto *tabs = qobject_cast<QTabWidget *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
    }
    return texts;
}

} // namespace

// The print dialog Qt draws itself (on Linux), its printer properties and its page setup speak
// Swedish: no text of theirs reaches the translator asked last untranslated, and the words the
// user reads first are there in Swedish.
TEST(StartUp, QtsOwnPrintDialogIsSwedish) {
    auto *untranslated = new UntranslatedTexts(QCoreApplication::instance());
    QCoreApplication::installTranslator(untranslated);
    ASSERT_TRUE(installSwedishQtTexts(*QCoreApplication::instance()));
    QStringList texts;
    {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.show();
        settle();
        texts << textsOf(&dialog);
        for (QAbstractButton *b : dialog.findChildren<QAbstractButton *>())
            if (b->objectName() == "properties" && b->isEnabled()) {
                QTimer::singleShot(100, [&] {
                    if (QWidget *properties = QApplication::activeModalWidget()) {
                        texts << textsOf(properties);
                        properties->close();
                    }
                });
                b->click();
            }
        QPageSetupDialog setup(&printer);
        setup.show();
        settle();
        texts << textsOf(&setup);
    }
    for (const char *swedish : {"&Namn:", "&Egenskaper", "Utskrifts&fil:", "&Skriv ut"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(swedish))) << swedish;
    QStringList left = untranslated->untranslated.values();
    left.sort();
    EXPECT_TRUE(left.isEmpty()) << left.join(" | ").toStdString();
    for (QTranslator *t : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
