#include "core/files/numberformat.h"
#include "core/parameters/parameters.h"
#include "gui/result/reportviewer.h"
#include "gui/result/resultexport.h"
#include "gui/result/resultprintout.h"
#include "sampleresult.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString verdict = QStringLiteral(
    "Låt trädet stå: avverkat om 40 år är det värt 300 kr i dag, mot 174 kr om det avverkas nu.");

// The sample tree's summary and the verdict above, as the result shown.
ResultSheet sampleSheet() {
    ResultSheet sheet;
    const QList<SummaryItem> items = sampleSummary();
    for (qsizetype i = 0; i < items.size(); ++i)
        sheet.summary.setText(InputSummary::lines()[i].key, items[i].value);
    sheet.verdict = verdict;
    sheet.decimalSeparator = localeDecimalSeparator();
    return sheet;
}

// A result window in small: the sample grid in a table view, the result shown, and the export.
struct ExportWindow {
    TempHome home;
    QWidget window;
    std::unique_ptr<QStandardItemModel> model = sampleResultModel(u'.');
    QTableView *view = new QTableView(&window);
    ResultSheet sheet = sampleSheet();
    QStringList asked; // the paths offered by the file dialog
    QString answer;    // the path the user chooses; empty cancels
    ResultExport exporter{&window, home.directory(), sources()};

    ExportWindow() {
        view->setModel(model.get());
        exporter.chooseFile = [this](const QString &suggested, const QString &) {
            asked.append(suggested);
            return answer;
        };
    }
    ResultExport::Sources sources() {
        ResultExport::Sources s;
        s.grid = view;
        s.rowHeading = QStringLiteral("År");
        s.sheet = &sheet;
        return s;
    }
};

// The text of a PDF file as a reader extracts it, or a null text when poppler's tools are
// missing on this machine.
QString pdfTool(const QString &tool, const QStringList &arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {};
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("(%1 failed)").arg(tool);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What every reader of the page must find on it.
void expectResultPage(const QString &path) {
    const QString info = pdfTool(QStringLiteral("pdfinfo"), {path});
    if (info.isNull())
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed to read the PDF";
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << qPrintable(info);
    // A4 with the long side across.
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Page size:\\s+84[12](\\.\\d+)? x 595"))))
        << qPrintable(info);

    const QString text = pdfTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const char *expected :
         {"Kvistel – resultat", "Räntekrav", "Bonitet, 100 år", "Massapris", "Potent. kvalitet",
          "Förstastock", "Björk", "Låt trädet stå: avverkat om 40 år", "Nuvärde", "massaveden.",
          "kostnad.", "3775", "7.20", "0.45", "110"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << qPrintable(text);
    // Every year's row is there, in order.
    qsizetype at = 0;
    for (const char *row : {"174", "303", "491", "720", "980", "1270", "1596", "1959", "2358",
                            "2794", "3266", "3775"}) {
        const qsizetype next = text.indexOf(QLatin1String(row), at);
        EXPECT_GE(next, at) << "net value " << row;
        at = std::max(at, next);
    }
}

} // namespace

TEST(ResultPdf, IsOneA4PageWithSummaryVerdictAndGrid) {
    ExportWindow w;
    w.answer = w.home.path("tall_30cm.pdf");
    w.exporter.savePdf();
    ASSERT_TRUE(w.home.exists("tall_30cm.pdf"));
    const QByteArray pdf = w.home.read("tall_30cm.pdf");
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    expectResultPage(w.home.path("tall_30cm.pdf"));
}

TEST(ResultPdf, ThePrinterGetsTheSamePage) {
    ExportWindow w;
    QPrinter printer(QPrinter::HighResolution);
    ResultPrintout::setUpPage(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(w.home.path("utskrift.pdf"));
    ASSERT_TRUE(w.exporter.printout().print(printer).ok());
    expectResultPage(w.home.path("utskrift.pdf"));
}

TEST(ResultExport, OffersFilesNamedAfterTheTreeInTheHomeDirectory) {
    ExportWindow w;
    w.answer.clear(); // the user cancels: nothing written, nothing said
    ModalHand hand;
    w.exporter.exportCsv();
    w.exporter.savePdf();
    w.sheet.summary.setText(Keys::art, QStringLiteral("Björk"));
    w.exporter.exportCsv();
    EXPECT_EQ(w.asked, (QStringList{w.home.path("tall_30cm.csv"), w.home.path("tall_30cm.pdf"),
                                    w.home.path("bjork_30cm.csv")}));
    EXPECT_EQ(hand.count(), 0);
    EXPECT_TRUE(QDir(w.home.withSlash()).entryList(QDir::Files).isEmpty());
}

TEST(ResultExport, WritesTheCsvWhereTheUserChoseAndOffersThatDirectoryAgain) {
    LocaleScope swedish{QLocale(QLocale::Swedish, QLocale::Sweden)};
    ExportWindow w;
    QDir(w.home.withSlash()).mkdir(QStringLiteral("ut"));
    w.answer = w.home.path("ut/min tall"); // typed without ".csv"
    w.exporter.exportCsv();
    const QByteArray csv = w.home.read("ut/min tall.csv");
    EXPECT_EQ(csv, w.exporter.csv());
    EXPECT_TRUE(csv.contains("Räntekrav;3;%\r\n"));
    ModalHand hand; // the same name again: replacing the file is asked about
    w.exporter.exportCsv();
    EXPECT_EQ(w.asked.last(), w.home.path("ut/tall_30cm.csv"));
}

// "lista" typed for an existing "lista.csv": the question is about that file, and a box
// closed without a yes leaves it as it was.
TEST(ResultExport, ANameWithoutItsEndingIsAskedAboutAsTheFileReallyWritten) {
    ExportWindow w;
    w.home.write("lista.csv", "earlier");
    ModalHand hand;
    w.answer = w.home.path("lista");
    w.exporter.exportCsv();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].text,
              QStringLiteral("Filen \"lista.csv\" finns redan. Vill du ersätta den?"));
    EXPECT_EQ(w.home.read("lista.csv"), QByteArray("earlier"));
}

// Print to file: a directory given as the name gets the offered file in it; a link to a place
// outside is never written through.
TEST(ResultExport, PrintToFileSavesSafelyAndNamesAFileInADirectory) {
    ExportWindow w;
    TempHome elsewhere;
    ModalHand hand;
    w.exporter.printToFile(w.home.withSlash());
    EXPECT_TRUE(w.home.read("tall_30cm.pdf").startsWith("%PDF"));
    ASSERT_TRUE(QFile::link(elsewhere.path("nothing.pdf"), w.home.path("lank.pdf")));
    w.exporter.printToFile(w.home.path("lank.pdf"));
    ASSERT_EQ(hand.count(), 1);
    EXPECT_TRUE(hand.seen()[0].text.contains("symbolisk länk")) << qPrintable(hand.seen()[0].text);
    EXPECT_FALSE(elsewhere.exists("nothing.pdf"));
    EXPECT_TRUE(QFileInfo(w.home.path("lank.pdf")).isSymLink());
}

TEST(ResultExport, AFailedWriteSaysWhyAndKeepsTheEarlierFile) {
    ExportWindow w;
    w.home.write("tall_30cm.csv", "earlier");
    QFile::setPermissions(w.home.path("tall_30cm.csv"), QFileDevice::ReadOwner);
    ModalHand hand;
    w.answer = w.home.path("tall_30cm.csv");
    w.exporter.exportCsv();
    w.answer = w.home.path("saknas/tall_30cm.pdf");
    w.exporter.savePdf();
    ASSERT_EQ(hand.count(), 2);
    EXPECT_EQ(hand.seen()[0].title, "Kvistel");
    EXPECT_TRUE(hand.seen()[0].text.contains("skrivskyddad")) << qPrintable(hand.seen()[0].text);
    EXPECT_TRUE(hand.seen()[1].text.contains("kunde inte sparas"))
        << qPrintable(hand.seen()[1].text);
    EXPECT_EQ(w.home.read("tall_30cm.csv"), QByteArray("earlier"));
    EXPECT_FALSE(w.home.exists("saknas"));
}

TEST(ReportViewer, ShowsTheReportReadOnlyInAFixedWidthFont) {
    ExportWindow w;
    w.home.writeLines("resultat.txt",
                      {"", "            RÄNTABILITETEN HOS TRÄD", "Räntekrav 3,0 %"});
    w.exporter.showReport();
    ReportViewer *viewer = w.exporter.reportViewer();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Kvistel");
    EXPECT_EQ(viewer->text(), QStringLiteral("\n            RÄNTABILITETEN HOS TRÄD\nRänte"
                                             "krav 3,0 %\n"));
    auto *text = viewer->findChild<QPlainTextEdit *>(QStringLiteral("txtRapport"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());

    // A new calculation shows in the open viewer.
    w.home.writeLines("resultat.txt", {"ny rapport"});
    w.exporter.reportChanged();
    EXPECT_EQ(viewer->text(), QStringLiteral("ny rapport\n"));
}

TEST(ReportViewer, AMissingReportIsExplainedAndNothingOpens) {
    ExportWindow w;
    ModalHand hand;
    w.exporter.showReport();
    ASSERT_EQ(hand.count(), 1);
    EXPECT_TRUE(hand.seen()[0].text.contains("finns inte")) << qPrintable(hand.seen()[0].text);
    EXPECT_TRUE(hand.seen()[0].text.contains("beräkna")) << qPrintable(hand.seen()[0].text);
    EXPECT_FALSE(w.exporter.reportViewer() && w.exporter.reportViewer()->isVisible());
}

TEST(ResultPdf, MarksTheRowTheModelMarks) {
    const auto model = sampleResultModel(u'.');
    const int markRole = Qt::UserRole + 7;
    model->item(4, 0)->setData(true, markRole); // harvest in 40 years
    auto markedPixels = [&](int role) {
        ResultPrintout printout;
        printout.grid = model.get();
        printout.rowHeading = QStringLiteral("År");
        printout.markedRowRole = role;
        QImage page(1169, 827, QImage::Format_RGB32); // A4 across at 100 dots to the inch
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        QPainter painter(&page);
        printout.paint(painter, QRectF(0, 0, page.width(), page.height()));
        painter.end();
        int count = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                count += page.pixel(x, y) == qRgb(0xd8, 0xef, 0xc8);
        return count;
    };
    EXPECT_EQ(markedPixels(-1), 0);
    // One row across the whole grid: far more than a few pixels, far less than the page.
    const int marked = markedPixels(markRole);
    EXPECT_GT(marked, 5000);
    EXPECT_LT(marked, 1169 * 827 / 10);
}

// A text from the home directory's files no page can hold (a tree species of 50 000 letters)
// prints at once, cut with "…".
TEST(ResultPdf, CutsEndlessTextsFromTheFiles) {
    ResultPrintout printout;
    printout.summary = {
        {0, QStringLiteral("Trädet"), QStringLiteral("Trädart:"), QString(50000, u'x'), QString()}};
    printout.verdict = QStringLiteral("Låt trädet stå ") + QString(50000, u'y');
    const QByteArray pdf = printout.pdf();
    ASSERT_FALSE(pdf.isEmpty());
    TempHome home;
    home.write("resultat.pdf", pdf);
    QProcess pdftotext;
    pdftotext.start("pdftotext", {home.path("resultat.pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("xxx…"))) << text.left(500).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("yyy…")));
    EXPECT_LT(text.size(), 5000);
}
