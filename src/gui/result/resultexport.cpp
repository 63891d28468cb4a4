#include "gui/result/resultexport.h"

#include "core/results/exportname.h"
#include "core/results/resultcsv.h"
#include "gui/result/reportviewer.h"
#include "gui/shared/messages.h"
#include "gui/shared/savepath.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrinter>

ResultExport::ResultExport(QWidget *window, HomeDirectory home, Sources sources)
    : QObject(window), m_window(window), m_home(std::move(home)), m_sources(std::move(sources)) {
    chooseFile = [this](const QString &suggested, const QString &filter) {
        return chooseSavePath(m_window, QStringLiteral("Kvistel"), suggested, filter,
                              QFileInfo(suggested).suffix());
    };
    if (m_sources.grid)
        m_sources.grid->installEventFilter(this);
}

bool ResultExport::eventFilter(QObject *watched, QEvent *event) {
    // The grid would copy only its current cell; a spreadsheet wants the cells with their
    // headings. The shortcut is claimed first, so that no other action of the window takes it.
    if (watched == m_sources.grid &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            copySelection();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ResultExport::copy(const QModelIndexList &selection) {
    if (!m_sources.grid || !m_sources.grid->model())
        return;
    QApplication::clipboard()->setText(
        tabSeparatedText(resultTableOf(*m_sources.grid->model(), m_sources.rowHeading, selection)));
}

void ResultExport::copySelection() {
    const QItemSelectionModel *s = m_sources.grid ? m_sources.grid->selectionModel() : nullptr;
    const QModelIndexList selected = s ? s->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty())
        copyAll();
    else
        copy(selected);
}

void ResultExport::copyAll() {
    if (m_sources.sheet)
        QApplication::clipboard()->setText(m_sources.sheet->clipboardText());
}

QByteArray ResultExport::csv() const {
    return m_sources.sheet ? m_sources.sheet->csv() : QByteArray();
}

ResultPrintout ResultExport::printout() const {
    ResultPrintout p;
    if (const ResultSheet *sheet = m_sources.sheet) {
        p.summary = sheet->summary.items();
        p.verdict = sheet->verdict;
        p.chart = sheet->valuation;
    }
    p.grid = m_sources.grid ? m_sources.grid->model() : nullptr;
    p.rowHeading = m_sources.rowHeading;
    p.markedRowRole = m_sources.markedRowRole;
    return p;
}

QString ResultExport::suggestedPath(const QString &extension) const {
    const QString name = m_sources.sheet ? m_sources.sheet->fileName(extension)
                                         : exportFileName(QString(), QString(), extension);
    const QString directory = m_lastDirectory.isEmpty() ? m_home.path() : m_lastDirectory;
    return QDir(directory).filePath(name);
}

QString ResultExport::askPath(const QString &extension, const QString &filter) {
    QString path = chooseFile(suggestedPath(extension), filter);
    if (path.isEmpty())
        return {};
    // A name typed without its ending gets it, so that the file opens in the right program;
    // replacing a file of that name is asked about.
    path = withEndingConfirmed(m_window, path, extension);
    if (path.isEmpty())
        return {};
    m_lastDirectory = QFileInfo(path).absolutePath();
    return path;
}

void ResultExport::failed(const QString &message) {
    showKvistelMessage(m_window, message);
}

void ResultExport::exportCsv() {
    const QString path =
        askPath(QStringLiteral("csv"), QStringLiteral("CSV-filer för kalkylprogram (*.csv)"));
    if (path.isEmpty())
        return;
    if (Outcome saved = saveExportFile(path, csv()); !saved)
        failed(saved.message());
}

void ResultExport::savePdf() {
    const QString path = askPath(QStringLiteral("pdf"), QStringLiteral("PDF-dokument (*.pdf)"));
    if (path.isEmpty())
        return;
    if (Outcome saved = printout().savePdf(path); !saved)
        failed(saved.message());
}

void ResultExport::print() {
    QPrinter printer(QPrinter::HighResolution);
    ResultPrintout::setUpPage(printer);
    printer.setDocName(QStringLiteral("Kvistel – resultat"));
    QPrintDialog dialog(&printer, m_window);
    dialog.setWindowTitle(QStringLiteral("Kvistel"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // "Print to file" is a PDF like the export's: saved the safe way, never through a link.
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        printToFile(printer.outputFileName());
        return;
    }
    if (Outcome printed = printout().print(printer); !printed)
        failed(printed.message());
}

void ResultExport::printToFile(const QString &outputFileName) {
    QString path = outputFileName;
    // The print dialog may offer a directory as the file's name: the file is named there.
    if (path.isEmpty() || QFileInfo(path).isDir())
        path = QDir(path.isEmpty() ? m_home.path() : path)
                   .filePath(QFileInfo(suggestedPath(QStringLiteral("pdf"))).completeBaseName());
    path = withEndingConfirmed(m_window, path, QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (Outcome saved = printout().savePdf(path); !saved)
        failed(saved.message());
}

void ResultExport::showReport() {
    if (!m_viewer)
        m_viewer = new ReportViewer(m_window);
    if (Outcome loaded = m_viewer->load(m_home.report()); !loaded) {
        m_viewer->hide();
        failed(loaded.message());
        return;
    }
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
}

void ResultExport::reportChanged() {
    if (m_viewer && m_viewer->isVisible())
        showReport();
}

ReportViewer *ResultExport::reportViewer() const {
    return m_viewer;
}
