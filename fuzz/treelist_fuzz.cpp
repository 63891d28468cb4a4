// Any bytes as a tree list: the reader either refuses the file with a message or reads every
// line into cells, never fewer than the heading names and never in another separator or mark
// than the two it knows; it never changes the file; and a list written back in the dialect it
// was read in reads back as the same headings and the same cells, line for line.

#include "core/treelist/treelistcsv.h"
#include "fuzzsupport.h"

#include <QBuffer>

namespace {

struct ReadList {
    Outcome outcome;
    QStringList headings;
    CsvDialect dialect;
    QList<QStringList> lines;
};

ReadList readList(const QString &path, int chunk) {
    ReadList list;
    TreeListReader reader;
    list.outcome = reader.open(path);
    if (!list.outcome)
        return list;
    list.headings = reader.headings();
    FUZZ_CHECK(qsizetype(reader.columnKinds().size()) == list.headings.size(),
               QStringLiteral("a kind for each heading"));
    FUZZ_CHECK(list.headings.size() <= TreeListReader::maxFields,
               QStringLiteral("%1 headings").arg(list.headings.size()));
    QList<TreeListLine> lines;
    while (reader.read(chunk, lines)) {
        list.dialect = reader.dialect();
        for (const TreeListLine &line : lines) {
            FUZZ_CHECK(
                line.cells.size() >= list.headings.size(),
                QStringLiteral("line %1 has fewer cells than headings").arg(line.lineNumber));
            FUZZ_CHECK(line.fault.ok() == (line.cells.size() == list.headings.size()),
                       QStringLiteral("line %1: cells beyond the heading and its fault disagree")
                           .arg(line.lineNumber));
            list.lines << line.cells;
        }
    }
    list.dialect = reader.dialect();
    list.outcome = reader.status();
    const QChar sep = list.dialect.separator, mark = list.dialect.decimalMark;
    FUZZ_CHECK((sep == u';' || sep == u',') && (mark == u',' || mark == u'.') &&
                   !(sep == u',' && mark == u','),
               QStringLiteral("separator %1, decimal mark %2").arg(sep).arg(mark));
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = fuzzHome() + QStringLiteral("lista.csv");
    writeFileOrDie(path, input);
    const int chunk = int(inputHash(data, size) % 7) + 1;

    const ReadList first = readList(path, chunk);
    FUZZ_CHECK(readFileOrEmpty(path) == input, QStringLiteral("reading changed the file"));
    if (!first.outcome)
        return 0;

    // Written back in its dialect and read again.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer, first.dialect);
    writer.writeLine(first.headings);
    QList<QStringList> kept;
    for (const QStringList &cells : first.lines) {
        // A line of blanks alone reads as no line at all.
        if (joinCsvLine(cells, first.dialect.separator).trimmed().isEmpty())
            continue;
        writer.writeLine(cells);
        kept << cells;
    }
    FUZZ_CHECK(writer.flush(), QStringLiteral("writing into memory failed"));
    const QString copy = fuzzHome() + QStringLiteral("kopia.csv");
    writeFileOrDie(copy, bytes);
    const ReadList second = readList(copy, 7 - chunk + 1);
    if (!second.outcome) {
        // Quotes and guards lengthen a line past the limit; the separator is guessed again from
        // the heading, and a heading full of the other one may turn the guess (as it may have
        // the first time), so that its names split otherwise.
        const QString &m = second.outcome.message();
        FUZZ_CHECK(m.contains(QStringLiteral("längre än")) || m.contains(QStringLiteral("fält")) ||
                       m.contains(QStringLiteral("ingen kolumn för trädens diameter")) ||
                       m.contains(QStringLiteral("ser ut att gälla ett värde")) ||
                       m.contains(QStringLiteral("gäller båda")),
                   m);
        return 0;
    }
    // The separator is guessed from the heading: a heading full of the other one may mislead
    // the guess, as it did the first time.
    if (second.dialect.separator != first.dialect.separator)
        return 0;
    // The encoding is guessed from the bytes too: Windows-1252 letters that a quote kept apart
    // may, written back without it, form a valid UTF-8 sequence ("ï»¿" is U+FEFF's bytes), and
    // the copy is then rightly read as UTF-8.
    if (second.dialect.encoding != first.dialect.encoding)
        return 0;
    FUZZ_CHECK(second.headings == first.headings, QStringLiteral("the headings changed"));
    FUZZ_CHECK(
        second.lines.size() == kept.size(),
        QStringLiteral("%1 lines read back of %2").arg(second.lines.size()).arg(kept.size()));
    for (qsizetype i = 0; i < kept.size(); ++i)
        FUZZ_CHECK(second.lines[i] == kept[i],
                   QStringLiteral("line %1 changed: %2 / %3")
                       .arg(i + 2)
                       .arg(kept[i].join(u'|'), second.lines[i].join(u'|')));
    return 0;
}
