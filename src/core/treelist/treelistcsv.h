#pragma once

#include "core/files/outcome.h"
#include "core/files/textfile.h"
#include "core/treelist/columnheadings.h"
#include "core/treelist/treelist.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <functional>
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
// One cell of a line as joinCsvLine writes it (guarded against formulas, quoted where it must
// be), added to the end of `line`.
void appendCsvCell(QString &line, QStringView cell, QChar separator, bool quoteCommas = false);
// The same for the cell already added to `line` from `cellStart` on, as it stands.
void finishCsvCell(QString &line, qsizetype cellStart, QChar separator, bool quoteCommas = false);

// One tree line of a list file.
struct TreeListLine {
    qint64 lineNumber = 0; // in the file, from 1 for the heading
    QStringList cells;     // as read, one per heading
    TreeRow tree;          // its id (the running number when the file has no "id" column)
    Outcome fault;         // a fault of the line itself, before any value is looked at
};

// Lines of a list as read, every cell in one text: a chunk of a large list is read, valued and
// written without a text of its own for each cell.
class ListChunk {
public:
    struct Line {
        qint64 lineNumber = 0; // in the file, from 1 for the heading
        qint64 treeNumber = 0; // among the trees of the file, from 1
        qsizetype firstCell = 0;
        qsizetype cellCount = 0; // as read: fewer or more than the headings
    };

    qsizetype size() const { return qsizetype(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    const Line &line(qsizetype i) const { return m_lines[std::size_t(i)]; }
    // Cell `c` of the line as read (a guard the program wrote against formulas removed); the
    // empty text beyond the line's cells.
    QStringView cell(const Line &line, qsizetype c) const {
        if (c >= line.cellCount)
            return {};
        const Span &s = m_cells[std::size_t(line.firstCell + c)];
        return QStringView(m_text).sliced(qsizetype(s.begin), qsizetype(s.size));
    }
    void clear();
    // The chunk, to be kept after reading: its memory handed over, not copied (only trimmed
    // when much of it is unused), and this chunk left empty with room for the next like it.
    ListChunk handOver();

private:
    friend class TreeListReader;
    // Half the size of two qsizetypes: a large list kept open holds one for each of its cells.
    // A chunk's text stays far below 4 G characters (a few MB and one line beyond).
    struct Span {
        quint32 begin = 0;
        quint32 size = 0;
    };
    void addLine(QStringView line, QChar separator, qint64 lineNumber, qint64 treeNumber);
    void addCell(qsizetype begin, qsizetype end);

    QString m_text;
    std::vector<Span> m_cells;
    std::vector<Line> m_lines;
};

// What a line of a chunk says of its tree, seen in the chunk: valid while the chunk is.
struct ChunkTree {
    TreeTexts texts;
    TreeMark mark = TreeMark::None;
    Outcome fault;      // a fault of the line itself, before any value is looked at
    QStringView idCell; // trimmed, when the list has a column for the id
    bool hasIdColumn = false;
    qint64 treeNumber = 0;

    // Its id: the id column's, else the running number.
    QString id() const { return hasIdColumn ? idCell.toString() : QString::number(treeNumber); }
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
    // The same into a chunk, each line's cells kept in place.
    bool read(int count, ListChunk &chunk);
    // The tree on line `i` of a chunk this reader read.
    void treeOf(const ListChunk &chunk, qsizetype i, ChunkTree &tree) const;
    // What line `i` of the chunk says of itself, without looking at the tree's values: the
    // owner's mark and a fault of the line (too many cells, an unknown mark), else empty.
    void markOf(const ListChunk &chunk, qsizetype i, TreeMark &mark, Outcome &fault) const;
    const Outcome &status() const { return m_status; }
    // The file's bytes as read, for a save to tell whether someone else changed the file since;
    // of a failed read when the list was not read to its end.
    FileStamp stamp() const;
    // For a caller that never asks for stamp(), such as the command line: the bytes are not
    // hashed as they are read. Before the first read.
    void skipStamp() { m_stampWanted = false; }

private:
    Outcome settleEncodingAndHeading();
    Outcome readHeading();
    bool readStandLine(const QString &line);
    Outcome checkFieldCount(QStringView line) const;
    bool nextLine(QString &line);
    // The view is valid until the next call.
    bool nextLine(QStringView &line);
    bool lineTooLong();
    // The decimal mark of the first lines read, their cells given by line and column.
    void settleDecimalMark(qsizetype lines,
                           const std::function<QStringView(qsizetype, qsizetype)> &cell);
    enum class TreeLine { Read, None, TooManyFields };
    // The next line that holds a tree (blank lines are skipped), counted; None at the end.
    TreeLine nextTreeLine(QStringView &line);
    TreeListLine lineOf(const ListChunk &chunk, qsizetype i) const;
    QString decode(const QByteArray &bytes);

    QString m_path;
    QFile m_file;
    bool m_stream = false;
    QByteArray m_pending; // bytes of a stream read ahead to judge its encoding
    QStringDecoder m_decoder;
    FileStampHasher m_hash;
    bool m_stampWanted = true;
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
    ListChunk m_chunk; // a line read() splits before it makes it a TreeListLine
};

// Writes CSV lines in a dialect: CR LF line ends, the dialect's encoding (a byte order mark
// first for Utf8Bom). Lines are gathered and written in large pieces.
class CsvWriter {
public:
    CsvWriter(QIODevice &out, const CsvDialect &dialect);
    void writeLine(const QStringList &cells);
    // Lines already joined, each ended by CR LF.
    void writeText(const QString &lines);
    void writeText(QStringView lines);
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
