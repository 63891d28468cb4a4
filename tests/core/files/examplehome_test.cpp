#include "core/files/examplehome.h"
#include "core/files/textfile.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <gtest/gtest.h>

namespace {

// The example as installed: read-only files.
void writeExample(const TempHome &example) {
    example.write("trad.sty", "art:/t/\r\n");
    example.write("priser_ac.txt", "\"Jönköpings län\"\r\n");
    example.write("bestand.csv", "id;art\r\n");
    for (const char *name : {"trad.sty", "priser_ac.txt", "bestand.csv"})
        QFile::setPermissions(example.path(name), QFile::ReadOwner | QFile::ReadOther);
}

} // namespace

TEST(ExampleHome, EveryFileIsCopiedIntoANewDirectoryWritableByTheUser) {
    TempHome example, parent;
    writeExample(example);
    example.write("anteckningar.txt", "någon annans\r\n");
    const QString target = parent.path("Kvistel/skog");
    ASSERT_TRUE(copyExampleHome(example.withSlash(), target).ok());
    for (const char *name : {"trad.sty", "priser_ac.txt", "bestand.csv"}) {
        QFile copy(target + "/" + name);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(copy.readAll(), example.read(name));
        EXPECT_TRUE(copy.permissions() & QFile::WriteOwner) << name;
    }
    EXPECT_FALSE(QFile::exists(target + "/anteckningar.txt")) << "no part of the example";
}

TEST(ExampleHome, AFileAlreadyThereIsKeptAsItWas) {
    TempHome example, target;
    writeExample(example);
    target.write("trad.sty", "mitt eget\r\n");
    ASSERT_TRUE(copyExampleHome(example.withSlash(), target.withSlash()).ok());
    EXPECT_EQ(target.read("trad.sty"), "mitt eget\r\n");
    EXPECT_TRUE(target.exists("priser_ac.txt"));
}

TEST(ExampleHome, AMissingExampleOrAFileInTheWayIsToldAndNothingIsMade) {
    TempHome example, parent;
    const Outcome noExample = copyExampleHome(example.path("saknas"), parent.path("ny"));
    EXPECT_TRUE(noExample.message().contains("trad.sty")) << noExample.message().toStdString();
    EXPECT_FALSE(parent.exists("ny"));

    writeExample(example);
    parent.write("fil", "x");
    const Outcome inTheWay = copyExampleHome(example.withSlash(), parent.path("fil"));
    EXPECT_TRUE(inTheWay.message().contains("ingen katalog")) << inTheWay.message().toStdString();
    EXPECT_EQ(parent.read("fil"), "x");
}

TEST(ExampleHome, AFullDiskIsNamedAndNothingIsLeftBehind) {
    TempHome example, parent;
    writeExample(example);
    simulateWriteFailure(ENOSPC);
    const Outcome full = copyExampleHome(example.withSlash(), parent.path("Kvistel/skog"));
    simulateWriteFailure(0);
    EXPECT_FALSE(full.ok());
    EXPECT_TRUE(full.message().contains("disken är full")) << full.message().toStdString();
    // Neither the files nor the two folders made for them stay.
    EXPECT_FALSE(parent.exists("Kvistel"));
}

#ifndef Q_OS_WIN
TEST(ExampleHome, ALinkToNowhereIsNamedAndNothingIsMade) {
    TempHome example, parent;
    writeExample(example);
    ASSERT_TRUE(QFile::link(parent.path("finns-inte"), parent.path("borta")));
    for (const char *name : {"borta", "borta/hem"}) {
        const Outcome dangling = copyExampleHome(example.withSlash(), parent.path(name));
        EXPECT_TRUE(dangling.message().contains("länk"))
            << name << dangling.message().toStdString();
        EXPECT_FALSE(QFileInfo::exists(parent.path("finns-inte"))) << name;
    }
}
#endif

TEST(ExampleHome, AnExistingHomeMayBeChosenAndKeepsEveryFile) {
    TempHome example, home;
    writeExample(example);
    home.write("trad.sty", "min styrfil\r\n");
    home.write("priser_ac.txt", "mina priser\r\n");
    home.write("bestand.csv", "id\r\nmitt\r\n");
    ASSERT_TRUE(copyExampleHome(example.withSlash(), home.withSlash()).ok());
    EXPECT_EQ(home.read("trad.sty"), "min styrfil\r\n");
    EXPECT_EQ(home.read("priser_ac.txt"), "mina priser\r\n");
    EXPECT_EQ(home.read("bestand.csv"), "id\r\nmitt\r\n");
}
