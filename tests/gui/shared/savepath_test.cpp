// Where a file is saved: a name typed without its ending gets it before anyone asks about
// replacing a file, so that the one question asked concerns the file really written, and
// nothing is replaced unless the user says so.
#include "gui/shared/savepath.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Answers each question box the program asks with `answer` ("Ja", "Nej", or a key), and types
// `typed` into a save dialog; records what the boxes said.
class Answerer {
public:
    Answerer(QString answer, QString typed = {}) : m_answer(std::move(answer)), m_typed(typed) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    QStringList asked;

private:
    void poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            if (!name || m_typed.isNull()) {
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
                return;
            }
            name->setText(m_typed);
            QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
            return;
        }
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        asked << box->text();
        QMetaObject::invokeMethod(
            box,
            [box, answer = m_answer] {
                if (answer == "Return" || answer == "Escape") {
                    QTest::keyClick(box, answer == "Return" ? Qt::Key_Return : Qt::Key_Escape);
                    return;
                }
                // "Ja" and "Nej" by their role: Qt's own boxes may say "Yes" and "No".
                QAbstractButton *chosen =
                    box->button(answer == "Ja" ? QMessageBox::Yes : QMessageBox::No);
                if (chosen)
                    chosen->click();
                else
                    box->reject();
            },
            Qt::QueuedConnection);
    }
    QString m_answer, m_typed;
    QTimer m_timer;
};

struct EndingCase {
    const char *name;
    const char *typed;    // relative to the test's directory; "" for none
    const char *existing; // a file there already, or ""
    const char *answer;   // to the question, if one is asked
    const char *result;   // relative to the test's directory; "" for nothing
    bool asked;
};

class Ending : public ::testing::TestWithParam<EndingCase> {};

TEST_P(Ending, IsAddedAndAFileItNamesIsReplacedOnlyWhenTheUserSaysSo) {
    const EndingCase &c = GetParam();
    TempHome dir;
    QDir().mkpath(dir.path("mapp.v2"));
    if (*c.existing)
        dir.write(QString::fromUtf8(c.existing), "tidigare");
    Answerer answerer(QString::fromUtf8(c.answer));
    const QString typed = *c.typed ? dir.path(QString::fromUtf8(c.typed)) : QString();
    const QString result = withEndingConfirmed(nullptr, typed, QStringLiteral("pdf"));
    EXPECT_EQ(result, *c.result ? dir.path(QString::fromUtf8(c.result)) : QString());
    ASSERT_EQ(answerer.asked.size(), c.asked ? 1 : 0);
    if (c.asked) {
        EXPECT_EQ(answerer.asked[0],
                  QStringLiteral("Filen \"%1\" finns redan. Vill du ersätta den?")
                      .arg(QDir(QString::fromUtf8(c.existing)).dirName()));
    }
    if (*c.existing) {
        EXPECT_EQ(dir.read(QString::fromUtf8(c.existing)), "tidigare"); // only ever asked about
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, Ending,
    ::testing::Values(EndingCase{"WithItsEnding", "plan.pdf", "plan.pdf", "Ja", "plan.pdf", false},
                      EndingCase{"AnotherEnding", "plan.txt", "", "Ja", "plan.txt", false},
                      EndingCase{"NewFile", "plan", "", "Ja", "plan.pdf", false},
                      EndingCase{"DotInTheFolderOnly", "mapp.v2/plan", "", "Ja", "mapp.v2/plan.pdf",
                                 false},
                      EndingCase{"ExistingReplaced", "plan", "plan.pdf", "Ja", "plan.pdf", true},
                      EndingCase{"ExistingKept", "plan", "plan.pdf", "Nej", "", true},
                      EndingCase{"ReturnKeepsIt", "plan", "plan.pdf", "Return", "", true},
                      EndingCase{"EscapeKeepsIt", "plan", "plan.pdf", "Escape", "", true},
                      EndingCase{"NothingTyped", "", "", "Ja", "", false}),
    [](const auto &info) { return std::string(info.param.name); });

// A link under the name is a file to be asked about too, even when it leads nowhere.
TEST(Ending, ALinkUnderTheNameIsAskedAbout) {
    TempHome dir;
    ASSERT_TRUE(makeSymbolicLink(dir.path("borta.pdf"), dir.path("plan.pdf")));
    Answerer answerer(QStringLiteral("Nej"));
    EXPECT_EQ(withEndingConfirmed(nullptr, dir.path("plan"), QStringLiteral("pdf")), QString());
    EXPECT_EQ(answerer.asked.size(), 1);
}

// Through the save dialog: a name typed without its ending over an existing file is asked about
// once, whoever adds the ending; cancelled, nothing is chosen.
TEST(SaveDialog, AsksOnceAboutTheFileReallyWritten) {
    TempHome dir;
    dir.write("plan.pdf", "tidigare");
    {
        Answerer answerer(QStringLiteral("Ja"), QStringLiteral("plan"));
        EXPECT_EQ(QDir::cleanPath(chooseSavePath(nullptr, "Spara", dir.path("utsyning.pdf"),
                                                 "PDF (*.pdf)", "pdf")),
                  QDir::cleanPath(dir.path("plan.pdf")));
        EXPECT_EQ(answerer.asked.size(), 1) << answerer.asked.join(u'|').toStdString();
    }
    {
        Answerer answerer(QStringLiteral("Ja"));
        EXPECT_EQ(chooseSavePath(nullptr, "Spara", dir.path("utsyning.pdf"), "PDF (*.pdf)", "pdf"),
                  QString());
        EXPECT_TRUE(answerer.asked.isEmpty());
    }
    EXPECT_EQ(dir.read("plan.pdf"), "tidigare");
}

} // namespace
