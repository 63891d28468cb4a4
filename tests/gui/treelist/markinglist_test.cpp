// The marking list on paper: as PDF and through a printer, every page numbered of the right
// count, every tree on it exactly once in the list's (walking) order, and a table that runs on
// to the next page repeats its headings there.
#include "gui/treelist/markinglist.h"
#include "testsupport.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Ids that stand alone in the text a PDF gives back, and fit the id column.
QString idOf(int i) {
    return QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0'));
}

// A stand of `count` trees: every third cut now, one in ten that cannot be valued.
MarkingList standOf(int count) {
    MarkingList list;
    list.sheet.date = QStringLiteral("2026-12-08");
    list.sheet.stand.property = QStringLiteral("Storskogen 1:4");
    for (int i = 0; i < count; ++i) {
        TreeRow tree;
        tree.id = idOf(i);
        tree.values[TreeSpecies] = QStringLiteral("t");
        tree.values[BreastDiameter] = i % 10 == 9 ? QStringLiteral("tjock") : QStringLiteral("30");
        tree.given[BreastDiameter] = true;
        TreeSummary s;
        if (i % 10 == 9) {
            s = valueTreeRow(TreeInputs(), tree, PriceTables()); // the diameter is refused
        } else {
            s.decision.bestRow = i % 3;
            s.volumeNow = s.volumeBest = 0.5;
        }
        list.sheet.trees << tree;
        list.sheet.remarks << QStringLiteral("rotröta");
        list.sheet.summaries << s;
        list.sheet.plan.add(tree.id, s);
    }
    return list;
}

// The text of each page, as pdftotext gives it.
QStringList pageTexts(const QString &path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, "-"});
    pdftotext.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

int pdfPageCount(const QString &path) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {path});
    pdfinfo.waitForFinished(30000);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
            .match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class MarkingListPages : public ::testing::TestWithParam<int> {};

TEST_P(MarkingListPages, NumberEveryPageAndHoldEveryTreeOnceInOrder) {
    const int trees = GetParam();
    const MarkingList list = standOf(trees);
    int told = 0, seen = 0;
    const QByteArray pdf = list.pdf([&](int page, int pages) {
        EXPECT_EQ(page, ++seen);
        EXPECT_TRUE(told == 0 || told == pages) << "the count changed while printing";
        told = pages;
        return true;
    });
    ASSERT_FALSE(pdf.isEmpty());
    TempHome home;
    home.write("lista.pdf", pdf);
    const QStringList pages = pageTexts(home.path("lista.pdf"));
    EXPECT_EQ(seen, told);
    EXPECT_EQ(pdfPageCount(home.path("lista.pdf")), told);
    ASSERT_EQ(pages.size(), told);

    const QRegularExpression id(QStringLiteral("\\bK\\d{3}\\b"));
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Sida %1 av %2").arg(p + 1).arg(told)))
            << "page " << p + 1;
        // A page that goes on with trees starts with its table's headings.
        const qsizetype firstTree = pages[p].indexOf(id);
        if (p > 0 && firstTree >= 0) {
            const qsizetype headings = pages[p].indexOf(QStringLiteral("Id"));
            EXPECT_TRUE(headings >= 0 && headings < firstTree) << "page " << p + 1;
        }
    }
    // The trees' tables begin after the statement, which names trees left out too.
    const QString text = pages.join(u'\f');
    const qsizetype tables = text.indexOf(QStringLiteral("Avverka nu ("));
    ASSERT_GE(tables, 0);
    QStringList ids;
    for (auto m = id.globalMatch(text.mid(tables)); m.hasNext();)
        ids << m.next().captured();
    // The sections in turn: cut now, left standing, not valued; each in the list's order.
    QStringList expected;
    for (const auto wanted : {0, 1, 2})
        for (int i = 0; i < trees; ++i) {
            const int section = i % 10 == 9 ? 2 : i % 3 == 0 ? 0 : 1;
            if (section == wanted)
                expected << idOf(i);
        }
    EXPECT_EQ(ids, expected);
}

INSTANTIATE_TEST_SUITE_P(Stands, MarkingListPages, ::testing::Values(0, 1, 45, 260),
                         [](const auto &info) { return "Trees" + std::to_string(info.param); });

// The trees of the list's tables, in the order printed: the tables begin after the statement,
// which names trees left out too.
QStringList printedIds(const QStringList &pages) {
    const QString text = pages.join(u'\f');
    const qsizetype tables = text.indexOf(QStringLiteral("Avverka nu ("));
    QStringList ids;
    if (tables < 0)
        return ids;
    static const QRegularExpression id(QStringLiteral("\\bK\\d{3}\\b"));
    for (auto m = id.globalMatch(text.mid(tables)); m.hasNext();)
        ids << m.next().captured();
    return ids;
}

// Printed through the print dialog's printer (its own resolution, so its own page breaks) every
// page says which of how many it is, and the trees are those of the saved PDF.
TEST(MarkingListPrinter, PrintsEveryTreeOnNumberedPages) {
    const MarkingList list = standOf(120);
    TempHome home;
    home.write("sparad.pdf", list.pdf());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(home.path("utskrift.pdf"));
    ASSERT_TRUE(list.print(printer).ok());
    ASSERT_TRUE(home.exists("utskrift.pdf"));
    const QStringList pages = pageTexts(home.path("utskrift.pdf"));
    EXPECT_GE(pages.size(), 2);
    EXPECT_EQ(pdfPageCount(home.path("utskrift.pdf")), pages.size());
    for (qsizetype p = 0; p < pages.size(); ++p)
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Sida %1 av %2").arg(p + 1).arg(pages.size())))
            << "page " << p + 1;
    EXPECT_EQ(printedIds(pages), printedIds(pageTexts(home.path("sparad.pdf"))));
    EXPECT_EQ(printedIds(pages).size(), 120);

    // Stopped before the first page: the printer is told so, with the program's message.
    QPrinter stopped(QPrinter::HighResolution);
    stopped.setOutputFormat(QPrinter::PdfFormat);
    stopped.setOutputFileName(home.path("stoppad.pdf"));
    const Outcome printed = list.print(stopped, [](int, int) { return false; });
    EXPECT_FALSE(printed.ok());
    EXPECT_EQ(printed.message(), printStoppedMessage());
}

} // namespace
