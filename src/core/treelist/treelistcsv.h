#pragma once

#include "core/files/outcome.h"
#include "core/files/textfile.h"
#include "core/treelist/columnheadings.h"
#include "core/treelist/treelist.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <vector>

class QIODevice;

// Tree lists as CSV files, the way calliper software and spreadsheet programs write them: a
// heading line naming the columns (by control-file key "bdm", the window's heading "Diam, cm" or
// another name of headingNames()), in any order, then one tree a line. Cells are separated by ";"
// or ",", numbers carry a decimal comma or point, the text is UTF-8 (with or without a byte order
// mark) or Windows-1252, lines end in CR LF or LF. Cells may be quoted ("a;b", "" for a quote) but
// not span lines.

struct CsvDialect {
    enum class Encoding { Cp1252, Utf8, Utf8Bom };
    QChar separator = u';';
    QChar decimalMark = u',';
    Encoding encoding = Encoding::Cp1252;
    // Every cell holding a comma is quoted: LibreOffice Calc's default import splits at ","
    // as well as ";", which would cut a decimal comma or a heading like "Diam, cm" in two.
    bool quoteCommas = false;

    // A new list follows the user's regional settings: ";" with a decimal comma (a Swedish
    // spreadsheet reads that), "," with a point.
    static CsvDialect forLocale();
};

// The stand a list is of, named on the list's own first lines, before the heading, one a line:
// "Fastighet;Storskogen 1:4", "Avdelning;12", "Ägare;Anna Berg". Each may be missing.
struct StandName {
    QString property;    // "Fastighet"
    QString compartment; // "Avdelning"
    QString owner;       // "Ägare"
};
// The lines that name the stand, each its name and value; none for a field left empty.
QList<QStringList> standLines(const StandName &stand);

QStringList splitCsvLine(QStringView line, QChar separator);
QString joinCsvLine(const QStringList &cells, QChar separator, bool quoteCommas = false);

// One tree line of a list file.
struct TreeListLine {
    qint64 lineNumber = 0; // in the file, from 1 for the heading
    QStringList cells;     // as read, one per heading
    TreeRow tree;          // its id (the running number when the file has no "id" column)
    QString fault;         // a fault of the line itself, before any value is looked at
};

// Where a list may come from: a window reads regular files only (a named pipe would hang it);
// the command line also reads a stream, such as standard input ("-" or /dev/stdin).
enum class ListSource { RegularFile, FileOrStream };

// Reads a list file a chunk of lines at a time, so that an inventory of any size reads in the
// same memory. The file is only ever opened for reading.
class TreeListReader {
public:
    // No list has lines this long or this many cells: a file that does is refused with a
    // message before it takes the memory.
    static constexpr qsizetype maxLineLength = 65536;
    static constexpr qsizetype maxFields = 1024;

    // Opens the file ("-": standard input), settles its encoding and reads the heading line.
    // A stream's encoding is judged by its first megabyte (or, when that is plain ASCII, by its
    // first other bytes); a later byte that contradicts it stops the reading with a message.
    Outcome open(const QString &path, ListSource source = ListSource::RegularFile);

    const QStringList &headings() const { return m_headings; }
    // The stand as the lines before the heading name it.
    const StandName &stand() const { return m_stand; }
    // Per heading: a TreeKey, idColumn, remarkColumn or otherColumn.
    const std::vector<int> &columnKinds() const { return m_kinds; }
    // Settled by the first read: the decimal mark follows the first chunk's numbers.
    const CsvDialect &dialect() const { return m_dialect; }

    // Reads up to `count` more tree lines into `lines` (replacing what it held), fewer when
    // the lines are long. Blank lines are skipped. Returns false when nothing was left to read;
    // status() then tells whether the file was read to its end.
    bool read(int count, QList<TreeListLine> &lines);
    const Outcome &status() const { return m_status; }
    // The file's bytes as read, for a save to tell whether someone else changed the file since;
    // of a failed read when the list was not read to its end.
    FileStamp stamp() const;

private:
    Outcome settleEncodingAndHeading();
    Outcome readHeading();
    bool readStandLine(const QString &line);
    Outcome checkFieldCount(QStringView line) const;
    bool nextLine(QString &line);
    bool lineTooLong();
    void settleDecimalMark(const QList<TreeListLine> &lines);
    TreeListLine parse(QString line) const;
    QString decode(const QByteArray &bytes);

    QString m_path;
    QFile m_file;
    bool m_stream = false;
    QByteArray m_pending; // bytes of a stream read ahead to judge its encoding
    QStringDecoder m_decoder;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    bool m_encodingOpen = false;   // a stream read as plain ASCII so far
    bool m_encodingBroken = false; // a byte that is no UTF-8 in a list read as UTF-8
    QString m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    bool m_lastWasCr = false;
    qint64 m_lineNumber = 0;
    qint64 m_treeNumber = 0;
    bool m_decimalSettled = false;
    QStringList m_headings;
    StandName m_stand;
    std::vector<int> m_kinds;
    CsvDialect m_dialect;
    Outcome m_status;
};

// Writes CSV lines in a dialect: CR LF line ends, the dialect's encoding (a byte order mark
// first for Utf8Bom). Lines are gathered and written in large pieces.
class CsvWriter {
public:
    CsvWriter(QIODevice &out, const CsvDialect &dialect);
    void writeLine(const QStringList &cells);
    // Lines already joined, each ended by CR LF.
    void writeText(const QString &lines);
    // Writes what is gathered; false when the device refused it (or any earlier write).
    bool flush();
    // The errno of the write that failed, or 0.
    int error() const { return m_error; }

private:
    QIODevice &m_out;
    CsvDialect m_dialect;
    QStringEncoder m_encoder;
    QString m_pending;
    bool m_ok = true;
    int m_error = 0;
    bool m_firstLine = true;
};

// Text of a number cell in the list's decimal mark (the program holds numbers with a point).
QString withDecimalMark(const QString &text, QChar decimalMark);

// True when Windows-1252 can hold the text; a list that cannot is saved as UTF-8.
bool fitsCp1252(const QString &text);
