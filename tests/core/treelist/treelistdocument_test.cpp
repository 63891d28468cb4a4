// A list file's round trip: read with its dialect and stand, edited, saved back byte for byte,
// and never saved over a change made elsewhere without being told to.
#include "core/files/cp1252.h"
#include "core/parameters/fieldcheck.h"
#include "core/treelist/treelistdocument.h"
#include "testsupport.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// The texts of "trad.sty" that a key without a column of its own holds.
const std::array<QString, treeKeyCount> homeTexts{"t",   "30", "0", "24", "y", "3",
                                                  "0.8", "60", "1", "2",  "3"};

struct ListFile {
    TempHome home;
    TreeListDocument document;

    // A list file of `bytes`, read into the document.
    explicit ListFile(const QByteArray &bytes) {
        home.write("lista.csv", bytes);
        const Outcome read = document.load(home.path("lista.csv"), homeTexts);
        EXPECT_TRUE(read) << read.message().toStdString();
    }
};

// Every cell the document holds, row by row, the carried columns' headings first.
QList<QStringList> heldCells(const TreeListDocument &d) {
    QList<QStringList> cells{d.otherHeadings()};
    for (int r = 0; r < d.rowCount(); ++r) {
        const TreeRow row = d.tree(r);
        QStringList held{row.id, d.fault(r).message()};
        // A number read holds the file's mark, one typed a point: both are the same number.
        for (int k = 0; k < treeKeyCount; ++k)
            held << withDecimalPoint(row.values[std::size_t(k)])
                 << (row.given[std::size_t(k)] ? "given" : "home");
        cells << held + d.otherCells(r) + d.beyondCells(r);
    }
    return cells;
}

} // namespace

TEST(TreeListDocument, AListSavedAndReadAgainHoldsTheSameCells) {
    const struct {
        const char *what;
        QByteArray file;
        bool sameBytes;    // the file is written back byte for byte
        const char *typed; // a diameter of 27,5 typed into the second tree, as saved
    } cases[] = {
        {"Swedish spreadsheet",
         encodeCp1252(u"id;art;bdm;site;ring5;plats\r\nA1;Tall;30,5;24;3;Norrängen\r\n"
                      u"A2;g;22;26;2,5;\r\nA3;t;;24;x;Ö\r\n"),
         true, "A2;g;27,5;"},
        {"UTF-8 with a point",
         QByteArray("\xEF\xBB\xBF") +
             QByteArray("bdm,art,dkvot,kronst,bkv,akv,tkv,note\r\n"
                        "31.5,t,0.8,60,1,2,3,\"a, b\"\r\n12,g,1,100,2,2,4,\xE2\x80\x93\r\n"),
         true, "27.5,g,"},
        {"ends in LF, no id column", QByteArray("art;bdm;plant\nt;18;nej\ng;40;y\n"), false,
         "g;27,5;y"},
        {"stand named before the heading, headings kept as typed",
         encodeCp1252(u"Fastighet;Storskogen 1:4\r\nÄgare;Anna Berg\r\n"
                      u"Nr;Trädslag;Diam, cm;Anm.;Okänd kolumn\r\n1;Tall;30,5;Rotröta;x\r\n"
                      u"2;g;22;;\r\n"),
         true, "2;g;27,5;;"},
    };
    for (const auto &c : cases) {
        ListFile first(c.file);
        const QByteArray saved = first.document.listBytes();
        if (c.sameBytes) {
            EXPECT_EQ(saved, c.file) << c.what;
        }
        ListFile again(saved);
        EXPECT_EQ(heldCells(again.document), heldCells(first.document)) << c.what;
        EXPECT_EQ(again.document.listBytes(), saved) << c.what;
        EXPECT_FALSE(again.document.isModified()) << c.what;
        EXPECT_EQ(again.document.stand().owner, first.document.stand().owner) << c.what;

        // A value typed into a tree is kept by the save, in the list's own decimal mark.
        ASSERT_TRUE(first.document.setKeyText(1, BreastDiameter, QStringLiteral("27,5"))) << c.what;
        EXPECT_TRUE(first.document.isModified());
        const QByteArray withEdit = first.document.listBytes();
        EXPECT_TRUE(withEdit.contains(c.typed)) << c.what << ": " << withEdit.toStdString();
        ListFile edited(withEdit);
        EXPECT_EQ(heldCells(edited.document), heldCells(first.document)) << c.what;
    }
}

// A save over the file the list was read from stops when someone else changed it since; told
// to, it overwrites; a list saved under another name is not held to the first file's bytes.
TEST(TreeListDocument, NeverSavesOverAChangeMadeElsewhereUnlessTold) {
    const QByteArray file = "id;bdm\r\n1;30\r\n2;31\r\n";
    const QByteArray changed = "id;bdm\r\n1;30\r\n2;31\r\n3;32\r\n";
    const struct {
        const char *what;
        bool changeOnDisk;
        const char *saveTo;
        IfChangedSinceRead ifChanged;
        bool saved;
    } cases[] = {
        {"unchanged", false, "lista.csv", IfChangedSinceRead::Stop, true},
        {"changed elsewhere", true, "lista.csv", IfChangedSinceRead::Stop, false},
        {"changed, told to overwrite", true, "lista.csv", IfChangedSinceRead::Overwrite, true},
        {"changed, saved elsewhere", true, "kopia.csv", IfChangedSinceRead::Stop, true},
    };
    for (const auto &c : cases) {
        ListFile list(file);
        ASSERT_TRUE(list.document.setKeyText(0, BreastDiameter, "29"));
        if (c.changeOnDisk)
            list.home.write("lista.csv", changed);
        const SaveOutcome saved =
            list.document.save(list.home.path(QString::fromLatin1(c.saveTo)), c.ifChanged);
        EXPECT_EQ(saved.ok(), c.saved) << c.what;
        EXPECT_EQ(saved.changedOnDisk(), !c.saved) << c.what;
        EXPECT_EQ(list.document.isModified(), !c.saved) << c.what;
        if (!c.saved) {
            EXPECT_EQ(list.home.read("lista.csv"), changed) << c.what;
            continue;
        }
        EXPECT_EQ(list.home.read(QString::fromLatin1(c.saveTo)), "id;bdm\r\n1;29\r\n2;31\r\n")
            << c.what;
        EXPECT_EQ(list.document.path(), list.home.path(QString::fromLatin1(c.saveTo))) << c.what;
        // What was saved is what the next save is measured against.
        ASSERT_TRUE(list.document.setKeyText(1, BreastDiameter, "33"));
        EXPECT_TRUE(list.document.save(list.document.path(), IfChangedSinceRead::Stop).ok())
            << c.what;
    }
}

// A list that cannot be read leaves the document as it was.
TEST(TreeListDocument, KeepsItsListWhenAFileCannotBeRead) {
    ListFile list(QByteArray("id;bdm\r\n1;30\r\n"));
    ASSERT_TRUE(list.document.setKeyText(0, BreastDiameter, "29"));
    list.home.write("utan.csv", "id;art\r\n1;t\r\n");
    EXPECT_FALSE(list.document.load(list.home.path("utan.csv"), homeTexts).ok());
    EXPECT_FALSE(list.document.load(list.home.path("saknas.csv"), homeTexts).ok());
    EXPECT_EQ(list.document.rowCount(), 1);
    EXPECT_EQ(list.document.tree(0).values[BreastDiameter], "29");
    EXPECT_TRUE(list.document.isModified());
    EXPECT_EQ(list.document.path(), list.home.path("lista.csv"));
}

// The document holds each line as the line reader reads it, whatever the line: short, long,
// padded, with an unknown owner's mark; cells equal between rows stay apart when one is edited.
TEST(TreeListDocument, HoldsEveryLineAsTheLineReaderReadsIt) {
    const struct {
        const char *what;
        QByteArray file;
        QByteArray saved; // when not the file itself: a short line is filled up to the heading
    } cases[] = {
        {"repeated cells", "id;art;bdm;anm\r\n1;g;24;x\r\n2;g;24;x\r\n3;g;24;x\r\n4;t;24;\r\n", {}},
        {"more lines than one reading holds, read in several",
         [] {
             QByteArray file = "id;art;bdm;anm;\xC3\xA5tg\xC3\xA4rd\r\n";
             for (int i = 1; i <= 9000; ++i)
                 file += QByteArray::number(i) + (i % 3 ? ";g;" : ";t;") +
                         QByteArray::number(i <= 2 ? 24 : 20 + i % 17) +
                         (i % 1000 == 0 ? ";\"a;b\";" : ";;") + (i % 7 ? "" : "avverkas") +
                         (i == 4097 ? ";beyond" : "") + "\r\n";
             return file;
         }(),
         {}},
        {"short, long and padded lines",
         "id;art;bdm;anm\r\n 1 ;g;24\r\n2;g;24;x;extra;mer\r\n;g;;\r\n4\r\n",
         "id;art;bdm;anm\r\n 1 ;g;24;\r\n2;g;24;x;extra;mer\r\n;g;;\r\n4;;;\r\n"},
        {"no id column, an owner's mark",
         "art;bdm;\xC3\xA5tg\xC3\xA4rd\r\ng;24;avverkas\r\ng;24;l\xC3\xA4mnas\r\ng;24;kanske\r\n"
         "g;24;\r\n",
         {}},
    };
    for (const auto &c : cases) {
        ListFile list(c.file);
        TreeListReader reader;
        ASSERT_TRUE(reader.open(list.home.path("lista.csv"))) << c.what;
        QList<TreeListLine> lines;
        int row = 0;
        while (reader.read(2, lines))
            for (const TreeListLine &line : lines) {
                ASSERT_LT(row, list.document.rowCount()) << c.what;
                const TreeRow held = list.document.tree(row);
                const QString heldFault = list.document.row(row).lineFault.message();
                const QStringList heldOthers = list.document.otherCells(row);
                const QStringList heldBeyond = list.document.beyondCells(row);
                ++row;
                EXPECT_EQ(held.id, line.tree.id) << c.what << row;
                EXPECT_EQ(held.mark, line.tree.mark) << c.what << row;
                EXPECT_EQ(heldFault, line.fault.message()) << c.what << row;
                for (int k = 0; k < treeKeyCount; ++k) {
                    EXPECT_EQ(held.given[std::size_t(k)], line.tree.given[std::size_t(k)]);
                    if (line.tree.given[std::size_t(k)]) {
                        EXPECT_EQ(held.values[std::size_t(k)], line.tree.values[std::size_t(k)])
                            << c.what << row << k;
                    }
                }
                QStringList carried;
                for (qsizetype i = 0; i < reader.headings().size(); ++i)
                    if (isCarriedColumn(reader.columnKinds()[std::size_t(i)]))
                        carried << line.cells[i];
                EXPECT_EQ(heldOthers, carried) << c.what << row;
                EXPECT_EQ(heldBeyond, line.cells.mid(reader.headings().size())) << c.what << row;
            }
        EXPECT_EQ(row, list.document.rowCount()) << c.what;
        EXPECT_EQ(list.document.listBytes(), c.saved.isEmpty() ? c.file : c.saved) << c.what;

        // An edit of the first tree leaves the others' equal cells as they were.
        ASSERT_TRUE(list.document.setKeyText(0, BreastDiameter, "25")) << c.what;
        EXPECT_EQ(list.document.tree(1).values[BreastDiameter], "24") << c.what;
        EXPECT_EQ(list.document.tree(0).values[BreastDiameter], "25") << c.what;
    }
}

TEST(TreeListDocument, SharesAValuationsFiguresUntilARowChanges) {
    // The second line has a cell beyond the heading: it is not valued, whatever its figures.
    ListFile list("id;art;bdm\r\n1;g;24\r\n2;g;24;x\r\n3;t;30\r\n");
    QList<TreeSummary> figures(3);
    for (int i = 0; i < 3; ++i)
        figures[i].decision.valueNow = 100 + i;
    list.document.setSummaries(figures);

    QList<TreeSummary> held = list.document.summaries();
    ASSERT_EQ(held.size(), 3);
    // One list for the rows and the plan, not a copy of it a row.
    EXPECT_EQ(held.constData(), list.document.row(0).summary.block().constData());
    EXPECT_EQ(held[0].decision.valueNow, 100);
    EXPECT_EQ(held[1].fault.message(), list.document.row(1).lineFault.message());
    EXPECT_FALSE(held[1].fault.ok());
    EXPECT_EQ(held[2].decision.valueNow, 102);

    // A changed value drops that tree's figures; a row without them gives its own fault.
    ASSERT_TRUE(list.document.setKeyText(2, BreastDiameter, "tjock"));
    held = list.document.summaries();
    ASSERT_EQ(held.size(), 3);
    EXPECT_EQ(held[0].decision.valueNow, 100);
    EXPECT_EQ(held[2].fault.message(), list.document.fault(2).message());
    EXPECT_FALSE(held[2].valued());
}
