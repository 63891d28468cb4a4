#pragma once

#include "core/files/outcome.h"

#include <QDialog>

class QPlainTextEdit;

// Shows "resultat.txt", the full trace of the latest calculation, as it lies in the home
// directory: read-only, in a fixed-width font so that its columns line up, never wrapped.
class ReportViewer : public QDialog {
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);

    // Reads the report at `path` afresh. On failure the viewer keeps what it showed and the
    // message says what to do.
    Outcome load(const QString &path);

    QString text() const;

private:
    QPlainTextEdit *txtRapport;
};

// The text of the report at `path`, decoded from Windows-1252.
Expected<QString> readReport(const QString &path);
