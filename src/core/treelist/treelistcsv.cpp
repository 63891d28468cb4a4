#include "core/treelist/treelistcsv.h"

#include "core/files/diskaccess.h"

#include "core/files/cp1252.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/results/resultcsv.h"

#include <QFileInfo>
#include <QIODevice>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 chunkBytes = 1 << 18;
// What one chunk of lines may hold, so that a list of long lines reads in the same memory as
// a list of short ones.
constexpr qsizetype chunkCharacters = 1 << 22;
constexpr qsizetype chunkCells = 1 << 18;
const QByteArray utf8Bom("\xEF\xBB\xBF");

bool isNumberKey(int kind) {
    return kind >= 0 && kind < treeKeyCount && treeKeyInfo(kind).kind != TreeKeyInfo::Species &&
           treeKeyInfo(kind).kind != TreeKeyInfo::YesNo;
}

QString fileNotReadable(const QString &path) {
    return QStringLiteral("Filen \"%1\" kunde inte läsas.").arg(path);
}

// The name a list read from standard input goes by in messages.
QString shownName(const QString &path) {
    return path == u"-" ? QStringLiteral("standard in") : path;
}

bool isAscii(QByteArrayView bytes) {
    for (const char b : bytes)
        if (uchar(b) >= 0x80)
            return false;
    return true;
}

// Counts `separator` outside quoted cells, where a heading such as "Plats, avd, del" may hold it.
qsizetype countOutsideQuotes(QStringView line, QChar separator) {
    qsizetype count = 0;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            ++count;
    }
    return count;
}

} // namespace

CsvDialect CsvDialect::forLocale() {
    CsvDialect d;
    d.decimalMark = localeDecimalSeparator() == u',' ? u',' : u'.';
    d.separator = d.decimalMark == u',' ? u';' : u',';
    return d;
}

QStringList splitCsvLine(QStringView line, QChar separator) {
    if (!line.contains(u'"')) {
        QStringList cells;
        for (QStringView cell : line.tokenize(separator))
            cells << cell.toString();
        return cells;
    }
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < line.size() && line[i + 1] == u'"') {
                    cell += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == separator) {
            cells << cell;
            cell.clear();
        } else if (c == u'"' && cell.trimmed().isEmpty()) {
            cell.clear();
            quoted = true;
        } else {
            cell += c;
        }
    }
    cells << cell;
    return cells;
}

QString joinCsvLine(const QStringList &cells, QChar separator, bool quoteCommas) {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i)
            line += separator;
        appendCsvCell(line, cells[i], separator, quoteCommas);
    }
    return line;
}

namespace {

// needsSpreadsheetGuard(), asked only of a cell whose first character can call for a guard.
bool needsGuard(QStringView cell) {
    if (cell.isEmpty())
        return false;
    const char16_t c = cell.front().unicode();
    return (c == u'\'' || c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' ||
            c == u'\r') &&
           needsSpreadsheetGuard(cell);
}

bool needsQuotes(QStringView cell, QChar separator, bool quoteCommas) {
    for (const QChar c : cell)
        if (c == separator || c == u'"' || c == u'\n' || c == u'\r' || (quoteCommas && c == u','))
            return true;
    return false;
}

} // namespace

void appendCsvCell(QString &line, QStringView cell, QChar separator, bool quoteCommas) {
    // The guard (spreadsheetSafeCell) comes first; the cell with it is quoted when it must be.
    const bool guard = needsGuard(cell);
    if (!needsQuotes(cell, separator, quoteCommas) && !(guard && separator == u'\'')) {
        if (guard)
            line += u'\'';
        line += cell;
        return;
    }
    line += u'"';
    if (guard)
        line += u'\'';
    for (const QChar c : cell) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

void finishCsvCell(QString &line, qsizetype cellStart, QChar separator, bool quoteCommas) {
    const QStringView cell = QStringView(line).sliced(cellStart);
    if (!needsGuard(cell) && !needsQuotes(cell, separator, quoteCommas))
        return;
    const QString asIs = cell.toString();
    line.truncate(cellStart);
    appendCsvCell(line, asIs, separator, quoteCommas);
}

QString withDecimalMark(const QString &text, QChar decimalMark) {
    if (decimalMark == u'.')
        return text;
    QString converted = text;
    converted.replace(u'.', decimalMark);
    return converted;
}

bool fitsCp1252(const QString &text) {
    return decodeCp1252(encodeCp1252(text)) == text;
}

void ListChunk::clear() {
    // Emptied, not freed: the next chunk reads into the same memory.
    m_text.resize(0);
    m_cells.clear();
    m_lines.clear();
}

void ListChunk::addCell(qsizetype begin, qsizetype end) {
    // A cell the program wrote with a guard against spreadsheet formulas reads as it was.
    const QStringView cell = QStringView(m_text).sliced(begin, end - begin);
    if (cell.startsWith(u'\'') && needsSpreadsheetGuard(cell.sliced(1)))
        ++begin;
    m_cells.push_back({quint32(begin), quint32(end - begin)});
}

ListChunk ListChunk::handOver() {
    ListChunk kept = std::move(*this);
    *this = ListChunk();
    // The next chunk of a list is much like this one; a little more room keeps its text from
    // growing into twice the memory for a few characters.
    m_text.reserve(kept.m_text.size() + kept.m_text.size() / 16);
    m_cells.reserve(kept.m_cells.size() + kept.m_cells.size() / 16);
    m_lines.reserve(kept.m_lines.size());
    // A chunk that grew (the first, or one longer than those before it) is kept at its size.
    if (kept.m_text.capacity() - kept.m_text.size() > kept.m_text.size() / 8)
        kept.m_text.squeeze();
    if (kept.m_cells.capacity() - kept.m_cells.size() > kept.m_cells.size() / 8)
        kept.m_cells.shrink_to_fit();
    if (kept.m_lines.capacity() - kept.m_lines.size() > kept.m_lines.size() / 8)
        kept.m_lines.shrink_to_fit();
    return kept;
}

// As splitCsvLine, into the chunk.
void ListChunk::addLine(QStringView line, QChar separator, qint64 lineNumber, qint64 treeNumber) {
    Line l{lineNumber, treeNumber, qsizetype(m_cells.size()), 0};
    const qsizetype start = m_text.size();
    if (!line.contains(u'"')) {
        m_text += line;
        const char16_t *const text = line.utf16();
        const char16_t sep = separator.unicode();
        qsizetype begin = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (text[i] == sep) {
                addCell(start + begin, start + i);
                begin = i + 1;
            }
        }
        addCell(start + begin, start + line.size());
    } else {
        qsizetype cellStart = start;
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line[i];
            if (quoted) {
                if (c == u'"') {
                    if (i + 1 < line.size() && line[i + 1] == u'"') {
                        m_text += u'"';
                        ++i;
                    } else {
                        quoted = false;
                    }
                } else {
                    m_text += c;
                }
            } else if (c == separator) {
                addCell(cellStart, m_text.size());
                cellStart = m_text.size();
            } else if (c == u'"' && QStringView(m_text).sliced(cellStart).trimmed().isEmpty()) {
                m_text.truncate(cellStart);
                quoted = true;
            } else {
                m_text += c;
            }
        }
        addCell(cellStart, m_text.size());
    }
    l.cellCount = qsizetype(m_cells.size()) - l.firstCell;
    m_lines.push_back(l);
}

Outcome TreeListReader::open(const QString &path, ListSource source) {
    m_path = shownName(path);
    // A named pipe chosen in a window is refused at once; a list on standard input ("-" or
    // /dev/stdin) is read as the stream it is.
    SourceKind kind = SourceKind::RegularFile;
    DiskResult why;
    const int fd = openForReading(path, source != ListSource::RegularFile, &kind, &why);
    if (fd < 0)
        return Outcome::failure(cannotReadMessage(m_path, why));
    if (kind == SourceKind::Directory) {
        closeForReading(fd);
        return Outcome::failure(
            QStringLiteral("\"%1\" är en katalog och inte en fil.").arg(m_path));
    }
    m_stream = kind == SourceKind::Stream;
    if (m_stream && source == ListSource::RegularFile) {
        closeForReading(fd);
        return Outcome::failure(
            QStringLiteral("\"%1\" är ingen vanlig fil (utan till exempel en namngiven "
                           "rörledning eller en enhet), och Kvistel läser listor bara från vanliga "
                           "filer. Välj den riktiga filen.")
                .arg(m_path));
    }
    const int readFd = fd;
    const int fdToRead = readFd;
    if (!m_file.open(fdToRead, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        closeForReading(fdToRead);
        return Outcome::failure(cannotReadMessage(m_path, DiskResult{DiskFault::DiskError, {}}));
    }
    return settleEncodingAndHeading();
}

Outcome TreeListReader::settleEncodingAndHeading() {
    const QString &path = m_path;
    if (m_stream) {
        // A stream cannot be read twice: its encoding is judged by its first megabyte, which
        // is kept to be read again as the list.
        while (m_pending.size() < 4 * chunkBytes) {
            const QByteArray bytes = m_file.read(chunkBytes);
            if (bytes.isEmpty())
                break;
            m_pending += bytes;
        }
        if (m_file.error() != QFileDevice::NoError)
            return Outcome::failure(fileNotReadable(path));
        if (m_pending.startsWith(utf8Bom)) {
            m_dialect.encoding = CsvDialect::Encoding::Utf8Bom;
        } else {
            QStringDecoder probe(QStringDecoder::Utf8);
            const bool ascii = isAscii(m_pending);
            if (!ascii)
                QString(probe.decode(m_pending));
            m_dialect.encoding = !ascii && !probe.hasError() ? CsvDialect::Encoding::Utf8
                                                             : CsvDialect::Encoding::Cp1252;
            // Plain ASCII so far says nothing yet: the first bytes beyond it decide (see decode).
            m_encodingOpen = ascii;
        }
        return readHeading();
    }

    // The encoding: a byte order mark says UTF-8; otherwise a file that is valid UTF-8 all
    // through is taken as such, and anything else as Windows-1252 (which any bytes are).
    const QByteArray start = m_file.peek(3);
    if (start == utf8Bom) {
        m_dialect.encoding = CsvDialect::Encoding::Utf8Bom;
    } else {
        QStringDecoder probe(QStringDecoder::Utf8);
        bool ascii = true;
        while (!m_file.atEnd() && !probe.hasError()) {
            const QByteArray bytes = m_file.read(chunkBytes);
            if (bytes.isEmpty() && m_file.error() != QFileDevice::NoError)
                return Outcome::failure(fileNotReadable(path));
            for (qsizetype i = 0; ascii && i < bytes.size(); ++i)
                ascii = (bytes[i] & 0x80) == 0;
            if (!ascii)
                QString(probe.decode(bytes)); // decoded only when made a text
        }
        // Plain ASCII is written back as the program's own files are: Windows-1252.
        m_dialect.encoding =
            !ascii && !probe.hasError() ? CsvDialect::Encoding::Utf8 : CsvDialect::Encoding::Cp1252;
        m_file.seek(0);
    }
    return readHeading();
}

namespace {

QString *standField(StandName &stand, QStringView name) {
    const QString n = comparableHeading(name);
    if (n == u"fastighet")
        return &stand.property;
    if (n == u"avdelning")
        return &stand.compartment;
    if (n == u"ägare" || n == u"agare")
        return &stand.owner;
    return nullptr;
}

} // namespace

bool TreeListReader::readStandLine(const QString &line) {
    if (line.size() > 1000)
        return false;
    const QChar separator =
        countOutsideQuotes(line, u';') >= countOutsideQuotes(line, u',') ? u';' : u',';
    const QStringList cells = splitCsvLine(line, separator);
    // A name and its value, nothing else: a heading has a column for the diameter besides.
    for (qsizetype i = 2; i < cells.size(); ++i)
        if (!cells[i].trimmed().isEmpty())
            return false;
    if (cells.size() < 2 || columnNamed(cells[1]) != otherColumn)
        return false;
    QString *field = standField(m_stand, cells[0]);
    if (!field)
        return false;
    *field = cells[1].trimmed();
    return true;
}

QList<QStringList> standLines(const StandName &stand) {
    QList<QStringList> lines;
    const std::pair<const char16_t *, const QString *> fields[] = {
        {u"Fastighet", &stand.property},
        {u"Avdelning", &stand.compartment},
        {u"Ägare", &stand.owner}};
    for (const auto &[name, value] : fields)
        if (!value->trimmed().isEmpty())
            lines << QStringList{QString::fromUtf16(name), value->trimmed()};
    return lines;
}

Outcome TreeListReader::readHeading() {
    const QString &path = m_path;
    m_decoder = QStringDecoder(QStringDecoder::Utf8); // Windows-1252 needs no state

    QString heading;
    // Lines naming the stand ("Fastighet;Storskogen 1:4") may come before the heading.
    while (heading.trimmed().isEmpty() || readStandLine(heading))
        if (!nextLine(heading))
            return Outcome::failure(
                m_status.ok() ? QStringLiteral("Filen \"%1\" är tom: den första raden ska namnge "
                                               "kolumnerna (id, art, bdm, ...).")
                                    .arg(path)
                              : m_status.message());
    // The heading holds names only, so its separator is the one it has more of.
    m_dialect.separator =
        countOutsideQuotes(heading, u';') >= countOutsideQuotes(heading, u',') ? u';' : u',';
    m_dialect.decimalMark = m_dialect.separator == u',' ? u'.' : u',';
    if (const Outcome fits = checkFieldCount(heading); !fits)
        return fits;
    m_headings = splitCsvLine(heading, m_dialect.separator);
    m_kinds.clear();
    for (qsizetype i = 0; i < m_headings.size(); ++i) {
        QString &h = m_headings[i];
        if (i == 0 && h.startsWith(QChar(0xFEFF)))
            h.remove(0, 1);
        if (h.startsWith(u'\''))
            h = withoutSpreadsheetGuard(h);
        const int kind = columnNamed(h);
        if (kind == unknownTreeValue)
            return Outcome::failure(
                QStringLiteral("Kolumnen \"%1\" i \"%2\" ser ut att gälla ett värde för trädet, "
                               "men programmet vet inte vilket. Byt rubriken mot en av dem som "
                               "hjälpen räknar upp (till exempel \"Diam, cm\", \"Höjdavv, m\" "
                               "eller \"Kval 1\"), eller ta bort kolumnen, och försök igen.")
                    .arg(h.trimmed(), path));
        if (kind != otherColumn)
            for (qsizetype j = 0; j < i; ++j)
                if (m_kinds[std::size_t(j)] == kind)
                    return Outcome::failure(
                        QStringLiteral("Kolumnerna \"%1\" och \"%2\" i \"%3\" gäller båda "
                                       "%4. Ta bort den ena och försök igen.")
                            .arg(m_headings[j].trimmed(), h.trimmed(), path,
                                 columnDescription(kind)));
        m_kinds.push_back(kind);
    }
    // Without its diameter a tree would be valued as the control file's tree: every tree of
    // the stand the same.
    if (std::find(m_kinds.begin(), m_kinds.end(), int(BreastDiameter)) == m_kinds.end()) {
        QStringList found;
        for (const QString &h : std::as_const(m_headings))
            if (!h.trimmed().isEmpty())
                found << QStringLiteral("\"%1\"").arg(h.trimmed());
        return Outcome::failure(
            QStringLiteral("Listan \"%1\" har ingen kolumn för trädens diameter, och utan den "
                           "kan träden inte värderas. Den första raden har %2. Det behövs en "
                           "kolumn \"Diam, cm\" (eller \"bdm\" eller \"Diameter\"); de "
                           "andra värdena tas från trad.sty när listan saknar dem.")
                .arg(path, found.isEmpty() ? QStringLiteral("inga rubriker")
                                           : QStringLiteral("rubrikerna ") + found.join(u", ")));
    }
    return {};
}

bool TreeListReader::nextLine(QString &line) {
    QStringView view;
    if (!nextLine(view))
        return false;
    line = view.toString();
    return true;
}

bool TreeListReader::nextLine(QStringView &line) {
    for (;;) {
        // A line ends at CR, LF or CR LF; the LF of a CR LF may come in the next chunk.
        const auto *const buffer = reinterpret_cast<const char16_t *>(m_buffer.constData());
        for (qsizetype i = m_pos; i < m_buffer.size(); ++i) {
            const char16_t c = buffer[i];
            if (c > u'\r' || (c != u'\r' && c != u'\n'))
                continue;
            if (c == u'\n' && i == m_pos && m_lastWasCr) {
                m_lastWasCr = false;
                ++m_pos;
                continue;
            }
            if (i - m_pos > maxLineLength)
                return lineTooLong();
            line = QStringView(m_buffer).sliced(m_pos, i - m_pos);
            m_lastWasCr = c == u'\r';
            if (m_lastWasCr && i + 1 < m_buffer.size() && m_buffer.at(i + 1) == u'\n') {
                ++i;
                m_lastWasCr = false;
            }
            m_pos = i + 1;
            ++m_lineNumber;
            return true;
        }
        if (m_atEnd) {
            if (m_pos >= m_buffer.size()) {
                if (m_encodingBroken && m_status.ok())
                    m_status = Outcome::failure(
                        QStringLiteral("Rad %1 i \"%2\" har ett tecken som inte är UTF-8, fast "
                                       "listan före den är skriven i UTF-8 (den ser ut att blanda "
                                       "UTF-8 och Windows-1252). Ingen rad från och med den har "
                                       "lästs. Spara hela listan i en och samma teckenkodning, "
                                       "UTF-8 eller Windows-1252 (ANSI), och försök igen.")
                            .arg(m_lineNumber + 1)
                            .arg(m_path));
                return false;
            }
            if (m_buffer.size() - m_pos > maxLineLength)
                return lineTooLong();
            line = QStringView(m_buffer).sliced(m_pos);
            m_pos = m_buffer.size();
            ++m_lineNumber;
            return true;
        }
        m_buffer.remove(0, m_pos);
        m_pos = 0;
        // A line of a tree is short: one without an end in sight is no list, and is not
        // gathered into memory until the disk runs out.
        if (m_buffer.size() > maxLineLength)
            return lineTooLong();
        QByteArray bytes = std::exchange(m_pending, QByteArray());
        if (bytes.isEmpty())
            bytes = m_file.read(chunkBytes);
        if (m_stampWanted)
            m_hash.addData(bytes);
        if (bytes.isEmpty()) {
            if (m_file.error() != QFileDevice::NoError)
                m_status = Outcome::failure(fileNotReadable(m_path));
            m_atEnd = true;
            m_buffer += m_decoder.decode(QByteArray()); // a sequence cut off at the end
        } else {
            m_buffer += decode(bytes);
            if (m_encodingBroken) {
                // Only whole lines before the one with the foreign byte are read.
                qsizetype end = m_buffer.size();
                while (end > m_pos && m_buffer.at(end - 1) != u'\r' &&
                       m_buffer.at(end - 1) != u'\n')
                    --end;
                m_buffer.truncate(end);
                m_atEnd = true;
            }
        }
    }
}

bool TreeListReader::lineTooLong() {
    m_status = Outcome::failure(
        QStringLiteral("Rad %1 i \"%2\" är längre än %3 tecken, och en trädlista har en kort rad "
                       "per träd. Kontrollera att filen är en trädlista (text med en rad per "
                       "träd) och försök igen.")
            .arg(m_lineNumber + 1)
            .arg(m_path)
            .arg(maxLineLength));
    m_atEnd = true;
    m_buffer.clear();
    m_pos = 0;
    return false;
}

QString TreeListReader::decode(const QByteArray &bytes) {
    // A stream whose first megabyte was plain ASCII is decided by its first other bytes: all
    // before them reads the same in either encoding.
    if (m_encodingOpen && !isAscii(bytes)) {
        m_encodingOpen = false;
        QStringDecoder probe(QStringDecoder::Utf8);
        QString(probe.decode(bytes));
        if (!probe.hasError())
            m_dialect.encoding = CsvDialect::Encoding::Utf8;
    }
    // Windows-1252 agrees with Latin-1 but for 0x80 to 0x9F; a chunk without those bytes (an
    // inventory is mostly digits) is read the quick way.
    if (m_dialect.encoding == CsvDialect::Encoding::Cp1252) {
        bool latin1 = true;
        for (char b : bytes)
            latin1 = latin1 && (uchar(b) < 0x80 || uchar(b) >= 0xA0);
        return latin1 ? QString::fromLatin1(bytes) : decodeCp1252(bytes);
    }
    QString text = m_decoder.decode(bytes);
    if (m_decoder.hasError() && !m_encodingBroken) {
        // A byte that is no UTF-8 after the list was taken for UTF-8 (a stream judged by its
        // start, a file changed while it is read) is never replaced by a substitute: the list
        // ends before the line that holds it, and the reading stops with a message.
        m_encodingBroken = true;
        const qsizetype bad = text.indexOf(QChar(QChar::ReplacementCharacter));
        text.truncate(bad < 0 ? text.size() : bad);
    }
    return text;
}

FileStamp TreeListReader::stamp() const {
    return m_stampWanted && m_atEnd && m_status.ok() && !m_encodingBroken
               ? m_hash.result()
               : FileStamp::ofFailedRead();
}

Outcome TreeListReader::checkFieldCount(QStringView line) const {
    if (line.size() < maxFields || countOutsideQuotes(line, m_dialect.separator) < maxFields)
        return {};
    return Outcome::failure(QStringLiteral("Rad %1 i \"%2\" har fler än %3 fält. Kontrollera att "
                                           "filen är en trädlista och försök igen.")
                                .arg(m_lineNumber)
                                .arg(m_path)
                                .arg(maxFields));
}

void TreeListReader::markOf(const ListChunk &chunk, qsizetype i, TreeMark &mark,
                            Outcome &fault) const {
    const ListChunk::Line &line = chunk.line(i);
    mark = TreeMark::None;
    fault = Outcome();
    // Cells beyond the heading stay with the line, after its own; the tree is not valued, as
    // no one can tell which of its cells are misplaced.
    if (line.cellCount > m_headings.size())
        fault =
            Outcome::failure(QStringLiteral("Rad %1 har %2 fält men den första raden namnger %3.")
                                 .arg(line.lineNumber)
                                 .arg(line.cellCount)
                                 .arg(m_headings.size()));
    for (qsizetype c = 0; c < m_headings.size(); ++c) {
        if (m_kinds[std::size_t(c)] != markColumn)
            continue;
        const QStringView cell = chunk.cell(line, c);
        if (const std::optional<TreeMark> named = treeMarkNamed(cell))
            mark = *named;
        else if (fault.ok())
            fault = Outcome::failure(QStringLiteral("Åtgärden \"%1\" på rad %2 är okänd: skriv "
                                                    "\"lämnas\" eller \"avverkas\", eller lämna "
                                                    "cellen tom.")
                                         .arg(cell.trimmed())
                                         .arg(line.lineNumber));
    }
}

void TreeListReader::treeOf(const ListChunk &chunk, qsizetype i, ChunkTree &tree) const {
    const ListChunk::Line &line = chunk.line(i);
    tree = ChunkTree();
    tree.treeNumber = line.treeNumber;
    markOf(chunk, i, tree.mark, tree.fault);
    for (qsizetype c = 0; c < m_headings.size(); ++c) {
        const int kind = m_kinds[std::size_t(c)];
        const QStringView cell = chunk.cell(line, c);
        if (kind == idColumn) {
            tree.idCell = cell.trimmed();
            tree.hasIdColumn = true;
        } else if (kind >= 0 && kind < treeKeyCount) {
            tree.texts.values[std::size_t(kind)] = cell;
            tree.texts.given[std::size_t(kind)] = true;
        }
    }
}

TreeListLine TreeListReader::lineOf(const ListChunk &chunk, qsizetype i) const {
    const ListChunk::Line &line = chunk.line(i);
    TreeListLine out;
    out.lineNumber = line.lineNumber;
    out.cells.reserve(std::max(line.cellCount, m_headings.size()));
    for (qsizetype c = 0; c < line.cellCount; ++c)
        out.cells << chunk.cell(line, c).toString();
    while (out.cells.size() < m_headings.size())
        out.cells << QString();
    ChunkTree tree;
    treeOf(chunk, i, tree);
    out.fault = std::move(tree.fault);
    out.tree.mark = tree.mark;
    if (!tree.hasIdColumn)
        out.tree.id = QString::number(line.treeNumber);
    // The texts share the cells' memory.
    for (qsizetype c = 0; c < m_headings.size(); ++c) {
        const int kind = m_kinds[std::size_t(c)];
        if (kind == idColumn) {
            out.tree.id = out.cells[c].trimmed();
        } else if (kind >= 0 && kind < treeKeyCount) {
            out.tree.values[std::size_t(kind)] = out.cells[c];
            out.tree.given[std::size_t(kind)] = true;
        }
    }
    return out;
}

void TreeListReader::settleDecimalMark(
    qsizetype lines, const std::function<QStringView(qsizetype, qsizetype)> &cell) {
    m_decimalSettled = true;
    if (m_dialect.separator != u';')
        return;
    // With ";" between the cells a number may carry either mark; the list is written back
    // with the one its numbers use.
    bool point = false;
    for (qsizetype i = 0; i < lines; ++i)
        for (qsizetype c = 0; c < m_headings.size(); ++c)
            if (isNumberKey(m_kinds[std::size_t(c)])) {
                const QStringView text = cell(i, c);
                if (text.contains(u','))
                    return;
                point = point || text.contains(u'.');
            }
    if (point)
        m_dialect.decimalMark = u'.';
}

TreeListReader::TreeLine TreeListReader::nextTreeLine(QStringView &line) {
    while (nextLine(line)) {
        if (line.trimmed().isEmpty())
            continue;
        if (const Outcome fits = checkFieldCount(line); !fits) {
            m_status = fits;
            return TreeLine::TooManyFields;
        }
        ++m_treeNumber;
        return TreeLine::Read;
    }
    return TreeLine::None;
}

bool TreeListReader::read(int count, QList<TreeListLine> &lines) {
    lines.clear();
    if (!m_status)
        return false;
    QStringView line;
    qsizetype characters = 0;
    qsizetype cells = 0;
    // Each line is split and made a TreeListLine while it is fresh in the cache.
    while (lines.size() < count && characters < chunkCharacters && cells < chunkCells) {
        const TreeLine next = nextTreeLine(line);
        if (next == TreeLine::TooManyFields) {
            lines.clear();
            return false;
        }
        if (next == TreeLine::None)
            break;
        characters += line.size();
        m_chunk.clear();
        m_chunk.addLine(line, m_dialect.separator, m_lineNumber, m_treeNumber);
        lines.append(lineOf(m_chunk, 0));
        cells += lines.back().cells.size();
    }
    if (!m_decimalSettled)
        settleDecimalMark(lines.size(), [&lines, this](qsizetype i, qsizetype c) {
            const int kind = m_kinds[std::size_t(c)];
            return QStringView(lines[i].tree.values[std::size_t(kind)]);
        });
    return !lines.isEmpty();
}

bool TreeListReader::read(int count, ListChunk &chunk) {
    chunk.clear();
    if (!m_status)
        return false;
    QStringView line;
    qsizetype characters = 0;
    qsizetype cells = 0;
    while (chunk.size() < count && characters < chunkCharacters && cells < chunkCells) {
        const TreeLine next = nextTreeLine(line);
        if (next == TreeLine::TooManyFields) {
            chunk.clear();
            return false;
        }
        if (next == TreeLine::None)
            break;
        characters += line.size();
        chunk.addLine(line, m_dialect.separator, m_lineNumber, m_treeNumber);
        // A short line counts as the heading's cells, as it is filled up to them.
        cells += std::max(chunk.line(chunk.size() - 1).cellCount, m_headings.size());
    }
    if (!m_decimalSettled)
        settleDecimalMark(chunk.size(), [&chunk](qsizetype i, qsizetype c) {
            return chunk.cell(chunk.line(i), c);
        });
    return !chunk.isEmpty();
}

CsvWriter::CsvWriter(QIODevice &out, const CsvDialect &dialect)
    : m_out(out), m_dialect(dialect), m_encoder(QStringEncoder::Utf8) {
    if (dialect.encoding == CsvDialect::Encoding::Utf8Bom) {
        errno = 0;
        m_ok = m_out.write(utf8Bom) == utf8Bom.size();
        m_error = m_ok ? 0 : errno;
    }
}

void CsvWriter::writeLine(const QStringList &cells) {
    // Windows-1252 text that begins with "ï»¿" would read back as a UTF-8 byte order mark: the
    // first cell is quoted.
    if (m_firstLine && m_dialect.encoding == CsvDialect::Encoding::Cp1252 && !cells.isEmpty() &&
        cells.front().startsWith(QStringLiteral("\u00EF\u00BB\u00BF"))) {
        QString first = cells.front();
        first.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        m_pending += u'"' + first + u'"';
        if (cells.size() > 1)
            m_pending += m_dialect.separator +
                         joinCsvLine(cells.mid(1), m_dialect.separator, m_dialect.quoteCommas);
    } else {
        m_pending += joinCsvLine(cells, m_dialect.separator, m_dialect.quoteCommas);
    }
    m_firstLine = false;
    m_pending += QStringLiteral("\r\n");
    if (m_pending.size() > chunkBytes)
        flush();
}

void CsvWriter::writeText(const QString &lines) {
    writeText(QStringView(lines));
}

void CsvWriter::writeText(QStringView lines) {
    m_firstLine = false;
    m_pending += lines;
    if (m_pending.size() > chunkBytes)
        flush();
}

bool CsvWriter::flush() {
    if (!m_pending.isEmpty()) {
        bool latin1 = m_dialect.encoding == CsvDialect::Encoding::Cp1252;
        for (qsizetype i = 0; latin1 && i < m_pending.size(); ++i) {
            const char16_t c = m_pending.at(i).unicode();
            latin1 = c < 0x80 || (c >= 0xA0 && c <= 0xFF);
        }
        const QByteArray bytes = latin1 ? m_pending.toLatin1()
                                 : m_dialect.encoding == CsvDialect::Encoding::Cp1252
                                     ? encodeCp1252(m_pending)
                                     : QByteArray(m_encoder.encode(m_pending));
        m_pending.clear();
        errno = 0;
        if (m_ok && m_out.write(bytes) != bytes.size()) {
            m_ok = false;
            m_error = errno;
        }
    }
    return m_ok;
}
