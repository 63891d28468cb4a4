#include "core/treelist/treelistbatch.h"

#include "core/engine/resultrow.h"
#include "core/files/diskaccess.h"
#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "core/treelist/treelistcsv.h"
#include "core/treelist/treelistresults.h"

#include <QDir>
#include <QIODevice>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace {

// Enough lines to keep both cores busy between the reads and writes of one thread.
constexpr int chunkLines = 4096;
// The lines one thread values at a time: enough that handing them out costs nothing, few
// enough that the cores share a chunk evenly.
constexpr qsizetype blockLines = 128;

// What a valued line gives the output.
struct ValuedLine {
    qsizetype textEnd = 0; // where its output lines end in the block's text, CR LF included
    bool faulty = false;
    bool fitsCp1252 = true; // the program's texts in it (a reason) fit Windows-1252
};

// Lines [begin, end) of a chunk, valued by one thread into output of their own.
struct ValuedBlock {
    qsizetype begin = 0, end = 0;
    QString text; // the output lines of its trees
    std::vector<ValuedLine> lines;
    // A plan's trees: each one's figures (and id when it is left out) and mark.
    std::vector<TreeSummary> summaries;
    std::vector<QString> ids;
    std::vector<TreeMark> marks;
    // Each tree's inputs, read before any tree of the block is valued.
    std::vector<TreeInputs> inputs;

    QStringView textOf(std::size_t line) const {
        const qsizetype from = line == 0 ? 0 : lines[line - 1].textEnd;
        return QStringView(text).sliced(from, lines[line].textEnd - from);
    }
};

QStringList fullHeadings() {
    QStringList h{QStringLiteral("id"), QStringLiteral("år")};
    for (int c = 0; c < resultColumnCount; ++c)
        h << resultHeading(c).simplified(); // the grid's headings are laid out for wrapping
    h << summaryHeading(FaultText);
    return h;
}

// A character Windows-1252 lacks, in a reason of a later chunk after the heading went out in
// Windows-1252, is written as its code ("U+2264").
QString spelledForCp1252(const QString &text) {
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QString character = text.mid(i, length);
        if (firstCharacterOutsideCp1252(character).isEmpty())
            out += character;
        else
            out +=
                QStringLiteral("U+") +
                QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0');
        i += length;
    }
    return out;
}

void writePlan(CsvWriter &writer, const HarvestPlan &plan, QChar mark) {
    for (const QStringList &line : planLines(plan, mark))
        writer.writeLine(line);
}

void writeEntryPlan(CsvWriter &writer, const EntryPlan &entries, const EntrySettings &settings,
                    const HarvestPlan &plan, QChar mark) {
    for (const QStringList &line : entryPlanLines(entries, settings, plan, mark))
        writer.writeLine(line);
}

} // namespace

QString writeFailure(int error) {
    const DiskResult cause = faultFromErrno(error);
    QString why;
    switch (cause.fault) {
    case DiskFault::DiskFull:
        why = QStringLiteral("disken är full");
        break;
    case DiskFault::QuotaUsedUp:
        why = QStringLiteral("ditt diskutrymme (din diskkvot) är slut");
        break;
    case DiskFault::PipeClosed:
        why = QStringLiteral("mottagaren slutade läsa (rörledningen stängdes)");
        break;
    case DiskFault::DiskError:
        why = QStringLiteral("ett skrivfel uppstod på disken");
        break;
    case DiskFault::None:
        why = QStringLiteral("skrivningen avbröts");
        break;
    default:
        why = cause.detail;
        break;
    }
    return QStringLiteral("Resultatet kunde inte skrivas helt, eftersom %1. Det som skrevs är "
                          "inte hela resultatet.")
        .arg(why);
}

Outcome valueTreeListFile(TreeListBatch &batch, const TreeListHome &home, QIODevice &out) {
    TreeListReader reader;
    reader.skipStamp();
    if (const Outcome opened = reader.open(batch.input, ListSource::FileOrStream); !opened)
        return opened;
    std::array<bool, treeKeyCount> hasColumn{};
    for (const int kind : reader.columnKinds())
        if (kind >= 0 && kind < treeKeyCount)
            hasColumn[std::size_t(kind)] = true;
    if (Outcome columns = checkTreeKeyColumns(home, hasColumn); !columns)
        return columns;

    // The next chunk is read while the cores value this one.
    std::array<ListChunk, 2> chunks;
    std::size_t current = 0;
    bool more = reader.read(chunkLines, chunks[current]);
    CsvDialect dialect = reader.dialect();
    const QChar mark = dialect.decimalMark;
    const QChar separator = dialect.separator;
    const qsizetype headingCount = reader.headings().size();

    // Whether a line fits Windows-1252 matters only to an answer that may be written in it.
    const bool answerMayBeCp1252 = dialect.encoding == CsvDialect::Encoding::Cp1252;
    const bool full = batch.full && !batch.plan;
    const bool plan = batch.plan;
    std::vector<ValuedBlock> blocks;
    // The reader reads the next chunk meanwhile; what treeOf() looks at (the headings) stays.
    auto valueBlock = [&](ValuedBlock &block) {
        const ListChunk &chunk = chunks[current];
        block.text.resize(0);
        block.lines.clear();
        block.summaries.clear();
        block.ids.clear();
        block.marks.clear();
        // The parameters' texts copied for this thread, so that the cores do not count the
        // users of one shared copy.
        TreeInputs base = home.base;
        base.region.detach();
        base.species.detach();
        base.replanting.detach();
        ChunkTree tree;
        TreeValuation valuation;
        const std::size_t count = std::size_t(block.end - block.begin);
        if (!full) {
            // The block's trees are read, then valued, then written, each in a loop of its
            // own, so that the valuation's code and tables stay in the caches from one tree
            // to the next instead of being pushed out by the reading and writing in between.
            block.summaries.resize(count);
            block.marks.resize(count);
            block.ids.resize(count);
            block.inputs.resize(count, base);
            for (std::size_t j = 0; j < count; ++j) {
                reader.treeOf(chunk, block.begin + qsizetype(j), tree);
                TreeSummary &summary = block.summaries[j];
                summary = TreeSummary();
                block.marks[j] = tree.mark;
                block.ids[j] = QString();
                if (!tree.fault.ok()) {
                    summary.fault = tree.fault;
                } else {
                    TreeInputs &inputs = block.inputs[j];
                    inputs = base;
                    if (const Outcome laid = overlayTree(inputs, tree.texts); !laid)
                        summary.fault = laid;
                }
            }
            for (std::size_t j = 0; j < count; ++j)
                if (block.summaries[j].valued())
                    block.summaries[j] = valueTreeInputs(block.inputs[j], home.prices);
            // A plan names the trees it leaves out, read again for their ids.
            for (std::size_t j = 0; plan && j < count; ++j)
                if (!block.summaries[j].valued()) {
                    reader.treeOf(chunk, block.begin + qsizetype(j), tree);
                    block.ids[j] = tree.id();
                }
        }
        for (qsizetype i = block.begin; i < block.end; ++i) {
            const std::size_t j = std::size_t(i - block.begin);
            TreeSummary fullSummary;
            if (full) {
                reader.treeOf(chunk, i, tree);
                if (!tree.fault.ok())
                    fullSummary.fault = tree.fault;
                else
                    fullSummary = valueTreeRow(base, tree.texts, home.prices, &valuation);
            }
            const TreeSummary &summary = full ? fullSummary : block.summaries[j];
            const TreeMark treeMark = full ? tree.mark : block.marks[j];
            ValuedLine v;
            v.faulty = !summary.valued();
            v.fitsCp1252 = firstCharacterOutsideCp1252(summary.fault.message()).isEmpty();
            if (plan) {
                // A tree left out is named in the plan's own section, kept aside till the end.
                if (v.faulty) {
                    block.text +=
                        joinCsvLine(unvaluedLine(block.ids[j], summary.fault.message()), separator);
                    block.text += u"\r\n";
                }
                v.textEnd = block.text.size();
                block.lines.push_back(v);
                continue;
            }
            if (!full) {
                // Cells beyond the heading's follow the summary, so that none lands under it.
                const ListChunk::Line &line = chunk.line(i);
                for (qsizetype c = 0; c < headingCount; ++c) {
                    if (c > 0)
                        block.text += separator;
                    appendCsvCell(block.text, chunk.cell(line, c), separator);
                }
                for (int c = 0; c < summaryColumnCount; ++c) {
                    block.text += separator;
                    const qsizetype cellStart = block.text.size();
                    appendResultFigure(block.text, summary, c, treeMark, mark);
                    finishCsvCell(block.text, cellStart, separator);
                }
                for (qsizetype c = headingCount; c < line.cellCount; ++c) {
                    block.text += separator;
                    appendCsvCell(block.text, chunk.cell(line, c), separator);
                }
                block.text += u"\r\n";
            } else {
                const QString id = tree.id();
                for (int r = 0; r < valuation.yearsValued; ++r) {
                    const HarvestYear &year = valuation.rows[std::size_t(r)];
                    appendCsvCell(block.text, id, separator);
                    block.text += separator;
                    block.text += QString::number(year.years);
                    for (int c = 0; c < resultColumnCount; ++c) {
                        block.text += separator;
                        const qsizetype cellStart = block.text.size();
                        appendHarvestYearText(block.text, year, c, mark);
                        finishCsvCell(block.text, cellStart, separator);
                    }
                    block.text += separator;
                    block.text += u"\r\n";
                }
                if (v.faulty) {
                    appendCsvCell(block.text, id, separator);
                    for (int c = 0; c < resultColumnCount + 1; ++c)
                        block.text += separator;
                    block.text += separator;
                    appendCsvCell(block.text, summary.fault.message(), separator);
                    block.text += u"\r\n";
                }
                valuation.yearsValued = 0;
            }
            v.textEnd = block.text.size();
            block.lines.push_back(v);
        }
        // A cell of a stream that turned out UTF-8 after the answer began in Windows-1252 is
        // spelled out like a reason, never given a substitute byte. The block is looked at
        // whole first: its lines are looked at one by one only when something does not fit.
        if (plan || !answerMayBeCp1252 || firstCharacterOutsideCp1252(block.text).isEmpty())
            return;
        for (std::size_t i = 0; i < block.lines.size(); ++i)
            block.lines[i].fitsCp1252 =
                block.lines[i].fitsCp1252 && firstCharacterOutsideCp1252(block.textOf(i)).isEmpty();
    };
    auto startValuing = [&] {
        const qsizetype count = chunks[current].size();
        blocks.resize(std::size_t((count + blockLines - 1) / blockLines));
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            blocks[b].begin = qsizetype(b) * blockLines;
            blocks[b].end = std::min(count, blocks[b].begin + blockLines);
        }
        return QtConcurrent::map(blocks, valueBlock);
    };

    // The heading waits for the first chunk's figures: a list in Windows-1252 whose reasons
    // hold a character that encoding lacks is answered in UTF-8 instead, rather than with a
    // substitute byte.
    std::optional<CsvWriter> writer;
    HarvestPlan standPlan;
    std::optional<EntryPlanner> entryPlanner;
    if (plan)
        entryPlanner.emplace();
    // The trees a plan leaves out, named after it: kept on disk, so that a list of any number
    // of them is planned in the same memory.
    QTemporaryFile leftOut;
    if (plan && !leftOut.open())
        return Outcome::failure(
            QStringLiteral("Planen kunde inte göras, eftersom ingen tillfällig fil kunde skapas "
                           "i %1. Kontrollera att det finns plats där och försök igen.")
                .arg(QDir::toNativeSeparators(QDir::tempPath())));
    auto beginAnswer = [&] {
        writer.emplace(out, dialect);
        // A plan's lines, headings first, are written once the whole list is read.
        if (full) {
            writer->writeLine(fullHeadings());
        } else if (!plan) {
            writer->writeLine(resultHeadings(reader.headings()));
        }
    };
    while (more) {
        QFuture<void> valuing = startValuing();
        more = reader.read(chunkLines, chunks[1 - current]);
        valuing.waitForFinished();
        if (!writer) {
            bool fits = true;
            for (const ValuedBlock &block : blocks)
                for (const ValuedLine &v : block.lines)
                    fits = fits && v.fitsCp1252;
            if (dialect.encoding == CsvDialect::Encoding::Cp1252 && !fits)
                dialect.encoding = CsvDialect::Encoding::Utf8Bom;
            beginAnswer();
        }
        const bool respell = dialect.encoding == CsvDialect::Encoding::Cp1252;
        for (const ValuedBlock &block : blocks) {
            const bool allFit = std::all_of(block.lines.begin(), block.lines.end(),
                                            [](const ValuedLine &v) { return v.fitsCp1252; });
            if (!plan && (allFit || !respell)) {
                writer->writeText(QStringView(block.text));
            } else {
                for (std::size_t i = 0; i < block.lines.size(); ++i) {
                    const ValuedLine &v = block.lines[i];
                    const QStringView text = block.textOf(i);
                    const QString written =
                        v.fitsCp1252 || !respell ? QString() : spelledForCp1252(text.toString());
                    const QStringView shown = written.isNull() ? text : QStringView(written);
                    if (!plan)
                        writer->writeText(shown);
                    else if (!shown.isEmpty() && leftOut.write(shown.toUtf8()) < 0)
                        return Outcome::failure(writeFailure(
                            leftOut.error() == QFileDevice::ResourceError ? ENOSPC : EIO));
                }
            }
            for (std::size_t i = 0; i < block.lines.size(); ++i) {
                const ValuedLine &v = block.lines[i];
                if (plan) {
                    standPlan.add(block.ids[i], block.summaries[i]);
                    if (!v.faulty)
                        entryPlanner->add(block.summaries[i].years, block.marks[i]);
                }
                batch.faulty += v.faulty ? 1 : 0;
            }
        }
        batch.trees += int(chunks[current].size());
        if (!writer->flush())
            return Outcome::failure(writeFailure(writer->error()));
        current = 1 - current;
    }
    if (!writer) {
        // A list without trees (or whose first lines could not be read): its heading alone.
        beginAnswer();
        if (!writer->flush())
            return Outcome::failure(writeFailure(writer->error()));
    }
    if (const Outcome read = reader.status(); !read || !plan)
        return read;
    if (batch.entries || entryPlanner->hasMarks()) {
        EntrySettings settings = batch.entries.value_or(EntrySettings{});
        settings.rate = home.base.requiredRate;
        writeEntryPlan(*writer, entryPlanner->plan(settings), settings, standPlan,
                       dialect.decimalMark);
    } else {
        writePlan(*writer, standPlan, dialect.decimalMark);
    }
    if (standPlan.unvaluedTrees() > 0) {
        for (const QStringList &line : unvaluedSectionStart(standPlan.unvaluedTrees()))
            writer->writeLine(line);
        if (!leftOut.flush() || !leftOut.seek(0))
            return Outcome::failure(writeFailure(EIO));
        QStringDecoder utf8(QStringDecoder::Utf8);
        while (!leftOut.atEnd()) {
            const QByteArray bytes = leftOut.read(1 << 18);
            if (bytes.isEmpty())
                return Outcome::failure(writeFailure(EIO));
            writer->writeText(utf8.decode(bytes));
            if (!writer->flush())
                return Outcome::failure(writeFailure(writer->error()));
        }
    }
    if (!writer->flush())
        return Outcome::failure(writeFailure(writer->error()));
    return {};
}
