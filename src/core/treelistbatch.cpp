#include "treelistbatch.h"

#include "resultrow.h"
#include "treelistcsv.h"

#include <QIODevice>
#include <QtConcurrent/QtConcurrentMap>

namespace {

// Enough lines to keep both cores busy between the reads and writes of one thread.
constexpr int chunkLines = 4096;

struct ValuedLine {
    QString text; // the output lines of the tree, CR LF ended
    bool faulty = false;
};

QStringList fullHeadings() {
    QStringList h{QStringLiteral("id"), QStringLiteral("år")};
    for (int c = 0; c < resultColumnCount; ++c)
        h << resultHeading(c);
    h << summaryHeading(Fel);
    return h;
}

} // namespace

Outcome valueTreeListFile(TreeListBatch &batch, const TreeListHome &home, QIODevice &out) {
    TreeListReader reader;
    if (const Outcome opened = reader.open(batch.input); !opened)
        return opened;

    QList<TreeListLine> lines;
    reader.read(chunkLines, lines);
    const CsvDialect dialect = reader.dialect();
    CsvWriter writer(out, dialect);
    if (batch.full) {
        writer.writeLine(fullHeadings());
    } else {
        QStringList h = reader.headings();
        for (int c = 0; c < summaryColumnCount; ++c)
            h << summaryHeading(c);
        writer.writeLine(h);
    }

    const bool full = batch.full;
    auto value = [&home, &dialect, full](const TreeListLine &line) {
        ValuedLine v;
        const QChar mark = dialect.decimalMark;
        TreeValuation valuation;
        TreeSummary summary;
        if (!line.fault.isEmpty())
            summary.fault = line.fault;
        else
            summary = valueTreeRow(home.base, line.tree, home.prices, full ? &valuation : nullptr);
        v.faulty = !summary.valued();
        QStringList cells;
        auto endLine = [&] {
            v.text += joinCsvLine(cells, dialect.separator);
            v.text += QStringLiteral("\r\n");
            cells.clear();
        };
        if (!full) {
            cells = line.cells;
            for (int c = 0; c < summaryColumnCount; ++c)
                cells << summaryText(summary, c, mark);
            endLine();
            return v;
        }
        for (int r = 0; r < valuation.yearsValued; ++r) {
            const HarvestYear &year = valuation.rows[std::size_t(r)];
            cells << line.tree.id << QString::number(year.years);
            for (int c = 0; c < resultColumnCount; ++c)
                cells << harvestYearText(year, c, mark);
            cells << QString();
            endLine();
        }
        if (v.faulty) {
            cells << line.tree.id << QString();
            for (int c = 0; c < resultColumnCount; ++c)
                cells << QString();
            cells << summary.fault;
            endLine();
        }
        return v;
    };

    // The next chunk is read while the cores value this one.
    QFuture<ValuedLine> valuing = QtConcurrent::mapped(lines, value);
    for (;;) {
        const qsizetype count = lines.size();
        const bool more = reader.read(chunkLines, lines);
        for (const ValuedLine &v : valuing.results()) {
            writer.writeText(v.text);
            batch.faulty += v.faulty ? 1 : 0;
        }
        batch.trees += int(count);
        if (!writer.flush())
            return Outcome::failure(QStringLiteral("Resultatet kunde inte skrivas, eftersom "
                                                   "katalogen inte går att skriva i eller "
                                                   "disken är full."));
        if (!more)
            break;
        valuing = QtConcurrent::mapped(lines, value);
    }
    return reader.status();
}
