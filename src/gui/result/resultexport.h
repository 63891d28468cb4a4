#pragma once

#include "core/files/homedirectory.h"
#include "core/results/resultsheet.h"
#include "gui/result/resultprintout.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractItemView;
class ReportViewer;

// What leaves the result window and how: the grid onto the clipboard (Ctrl+C on the grid, or
// the whole table), a CSV file for a spreadsheet, a one-page PDF, a print-out, and the
// calculation report "resultat.txt" in a viewer. Everything is made from the result the window
// shows (ResultSheet); this class asks for file names, writes and reports any failure in a
// "Kvistel" box.
class ResultExport : public QObject {
    Q_OBJECT
public:
    struct Sources {
        // The result grid: Ctrl+C copies its selected cells, the print-out draws its model.
        QAbstractItemView *grid = nullptr;
        QString rowHeading;     // heading of the grid's row labels, "År"
        int markedRowRole = -1; // a role true in the row the print-out marks, the best year
        const ResultSheet *sheet = nullptr; // the result shown; it outlives this object
    };

    // `window` is the result window, parent of the dialogs; `home` the home directory, where
    // files are offered first and where "resultat.txt" lies.
    ResultExport(QWidget *window, HomeDirectory home, Sources sources);

    // Asks for the path to save to, starting from `suggested`; an empty answer cancels. Set by
    // tests; a file dialog by default.
    std::function<QString(const QString &suggested, const QString &filter)> chooseFile;

    void copySelection(); // the selected cells, or the whole table when none is selected
    void copyAll();
    void exportCsv();
    void savePdf();
    void print();
    // What the print dialog's "print to file" does with the name it gives.
    void printToFile(const QString &outputFileName);
    void showReport();
    // After a calculation: an open report viewer shows the new report.
    void reportChanged();

    // What is written and printed, as the window stands now.
    QByteArray csv() const;
    ResultPrintout printout() const;
    QString suggestedPath(const QString &extension) const;
    ReportViewer *reportViewer() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString askPath(const QString &extension, const QString &filter);
    void copy(const QModelIndexList &selection);
    void failed(const QString &message);

    QWidget *m_window;
    HomeDirectory m_home;
    Sources m_sources;
    QString m_lastDirectory; // the user's last choice, offered again this session
    QPointer<ReportViewer> m_viewer;
};
