// A window made usable from the keyboard and by a screen reader: each label names the field
// beside it, every caption gets a letter of its own, the spoken names carry no markers, and the
// first field is one the user types into.
#include "gui/shared/keyboardaccess.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

TEST(KeyboardAccess, AFieldIsAControlTheUserTypesIntoOrChoosesIn) {
    const struct {
        const char *what;
        std::function<QWidget *()> make;
        bool field;
    } cases[] = {
        {"line edit", [] { return new QLineEdit; }, true},
        {"combo box", [] { return new QComboBox; }, true},
        {"spin box", [] { return new QSpinBox; }, true},
        {"text box", [] { return new QPlainTextEdit; }, true},
        {"read-only box",
         [] {
             auto *e = new QLineEdit;
             e->setReadOnly(true);
             return e;
         },
         false},
        {"disabled box",
         [] {
             auto *e = new QLineEdit;
             e->setEnabled(false);
             return e;
         },
         false},
        {"box without focus",
         [] {
             auto *e = new QLineEdit;
             e->setFocusPolicy(Qt::NoFocus);
             return e;
         },
         false},
        {"button", [] { return new QPushButton("OK"); }, false},
        {"option", [] { return new QRadioButton("Norra"); }, false},
        {"label", [] { return new QLabel("Bonitet"); }, false},
    };
    for (const auto &c : cases) {
        const std::unique_ptr<QWidget> w(c.make());
        EXPECT_EQ(KeyboardAccess::isField(w.get()), c.field) << c.what;
    }
    EXPECT_FALSE(KeyboardAccess::isField(nullptr));
}

TEST(KeyboardAccess, ASpokenNameHasNoMarkersDotsOrColon) {
    const struct {
        const char *caption, *spoken;
    } cases[] = {
        {"&Trädart:", "Trädart"},
        {"Spara &som...", "Spara som"},
        {"  Diameter,\n cm : ", "Diameter, cm"},
        {"Pris && kostnad:", "Pris & kostnad"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeyboardAccess::spokenName(QString::fromUtf8(c.caption)),
                  QString::fromUtf8(c.spoken))
            << c.caption;
}

// A form as the program lays them out: the options of the region first in the tab order, a
// read-only sum, a species and a diameter, and the buttons.
struct Form {
    QWidget window;
    QLabel *region = new QLabel("Region:");
    QRadioButton *north = new QRadioButton("Norra");
    QRadioButton *south = new QRadioButton("Södra");
    QLabel *sum = new QLabel("Summa");
    QLineEdit *sumBox = new QLineEdit;
    QLabel *species = new QLabel("Trädart:");
    QComboBox *speciesBox = new QComboBox;
    QLabel *diameter = new QLabel("Diameter, cm");
    QLineEdit *diameterBox = new QLineEdit;
    QList<QPushButton *> buttons{new QPushButton("Avbryt"), new QPushButton("Avsluta"),
                                 new QPushButton("&Beräkna"), new QPushButton("Spara")};

    Form() {
        auto *grid = new QGridLayout(&window);
        auto *options = new QHBoxLayout;
        options->addWidget(north);
        options->addWidget(south);
        grid->addWidget(region, 0, 0);
        grid->addLayout(options, 0, 1);
        grid->addWidget(sum, 1, 0);
        grid->addWidget(sumBox, 1, 1);
        sumBox->setReadOnly(true);
        grid->addWidget(species, 2, 0);
        grid->addWidget(speciesBox, 2, 1);
        grid->addWidget(diameter, 3, 0);
        grid->addWidget(diameterBox, 3, 1);
        auto *row = new QHBoxLayout;
        for (QPushButton *b : buttons)
            row->addWidget(b);
        grid->addLayout(row, 4, 0, 1, 2);
        KeyboardAccess::pairLabelsWithFields(&window);
        KeyboardAccess::assignMnemonics(&window);
    }
};

TEST(KeyboardAccess, EachLabelNamesItsFieldWithALetterOfItsOwn) {
    Form f;
    EXPECT_EQ(f.region->buddy(), f.north);
    EXPECT_EQ(f.sum->buddy(), nullptr); // a read-only box is not entered
    EXPECT_EQ(f.species->buddy(), f.speciesBox);
    EXPECT_EQ(f.diameter->buddy(), f.diameterBox);
    EXPECT_EQ(f.speciesBox->accessibleName(), "Trädart");
    EXPECT_EQ(f.diameterBox->accessibleName(), "Diameter, cm");
    EXPECT_EQ(f.buttons[2]->text(), "&Beräkna"); // the window's own choice is kept

    // Every button and every label that names a field has a letter no other control has.
    QStringList captions;
    for (QPushButton *b : f.buttons)
        captions << b->text();
    for (QLabel *l : {f.region, f.species, f.diameter})
        captions << l->text();
    captions << f.north->text() << f.south->text();
    QSet<QChar> letters;
    for (const QString &caption : captions) {
        const qsizetype at = caption.indexOf(u'&');
        ASSERT_GE(at, 0) << caption.toStdString();
        const QChar letter = caption[at + 1].toLower();
        EXPECT_FALSE(letters.contains(letter)) << caption.toStdString();
        letters.insert(letter);
    }
    EXPECT_EQ(f.sum->text(), "Summa"); // it names nothing the user can go to
}

TEST(KeyboardAccess, TheFirstFieldIsOneTheUserTypesInto) {
    Form f;
    f.window.show();
    EXPECT_EQ(KeyboardAccess::firstControl(&f.window), f.north);
    EXPECT_EQ(KeyboardAccess::firstField(&f.window), f.speciesBox);
    f.speciesBox->setEnabled(false);
    EXPECT_EQ(KeyboardAccess::firstField(&f.window), f.diameterBox);
    f.diameterBox->hide();
    EXPECT_EQ(KeyboardAccess::firstField(&f.window), nullptr);
}

} // namespace
