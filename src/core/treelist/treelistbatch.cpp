#include "core/treelist/treelistbatch.h"

#include "core/engine/resultrow.h"
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
#include <cstring>
#include <optional>

namespace {

// Enough lines to keep both cores busy between the reads and writes of one thread.
constexpr int chunkLines = 4096;

struct ValuedLine {
    QString text; // the output lines of the tree, CR LF ended
    bool faulty = false;
    bool fitsCp1252 = true; // the program's texts in it (a reason) fit Windows-1252
    HarvestPlan plan;       // the tree alone, when the list is planned
    TreeYears years;        // and its figures for a plan in entries
    TreeMark mark = TreeMark::None;
};

QStringList fullHeadings() {
    QStringList h{QStringLiteral("id"), QStringLiteral("år")};
    for (int c = 0; c < resultColumnCount; ++c)
        h << resultHeading(c).simplified(); // the grid's headings are laid out for wrapping
    h << summaryHeading(Fel);
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
    QString why;
    switch (error) {
    case ENOSPC:
        why = QStringLiteral("disken är full");
        break;
#ifdef EDQUOT // disk quotas are a Unix notion
    case EDQUOT:
        why = QStringLiteral("ditt diskutrymme (din diskkvot) är slut");
        break;
#endif
    case EPIPE:
        why = QStringLiteral("mottagaren slutade läsa (rörledningen stängdes)");
        break;
    case EIO:
        why = QStringLiteral("ett skrivfel uppstod på disken");
        break;
    case 0:
        why = QStringLiteral("skrivningen avbröts");
        break;
    default:
        why = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return QStringLiteral("Resultatet kunde inte skrivas helt, eftersom %1. Det som skrevs är "
                          "inte hela resultatet.")
        .arg(why);
}

Outcome valueTreeListFile(TreeListBatch &batch, const TreeListHome &home, QIODevice &out) {
    TreeListReader reader;
    if (const Outcome opened = reader.open(batch.input, ListSource::FileOrStream); !opened)
        return opened;
    std::array<bool, treeKeyCount> hasColumn{};
    for (const int kind : reader.columnKinds())
        if (kind >= 0 && kind < treeKeyCount)
            hasColumn[std::size_t(kind)] = true;
    if (Outcome columns = checkTreeKeyColumns(home, hasColumn); !columns)
        return columns;

    QList<TreeListLine> lines;
    reader.read(chunkLines, lines);
    CsvDialect dialect = reader.dialect();
    const qsizetype headingCount = reader.headings().size();

    const bool full = batch.full && !batch.plan;
    const bool plan = batch.plan;
    auto value = [&home, &dialect, full, plan, headingCount](const TreeListLine &line) {
        ValuedLine v;
        const QChar mark = dialect.decimalMark;
        TreeValuation valuation;
        TreeSummary summary;
        if (!line.fault.isEmpty())
            summary.fault = line.fault;
        else
            summary = valueTreeRow(home.base, line.tree, home.prices, full ? &valuation : nullptr);
        v.faulty = !summary.valued();
        v.fitsCp1252 = firstCharacterOutsideCp1252(summary.fault).isEmpty();
        QStringList cells;
        if (plan) {
            v.plan.add(line.tree.id, summary);
            v.years = summary.years;
            v.mark = line.tree.mark;
            // A tree left out is named in the plan's own section, kept aside till the end.
            if (v.faulty)
                v.text = joinCsvLine(unvaluedLine(line.tree.id, summary.fault), dialect.separator) +
                         QStringLiteral("\r\n");
            return v;
        }
        auto endLine = [&] {
            v.text += joinCsvLine(cells, dialect.separator);
            v.text += QStringLiteral("\r\n");
            cells.clear();
            // A cell of a stream that turned out UTF-8 after the answer began in Windows-1252
            // is spelled out like a reason, never given a substitute byte.
            v.fitsCp1252 = v.fitsCp1252 && firstCharacterOutsideCp1252(v.text).isEmpty();
        };
        if (!full) {
            cells = resultLine(line.cells.mid(0, headingCount), &summary, line.tree.mark, mark,
                               line.cells.mid(headingCount));
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

    // The next chunk is read while the cores value this one. The heading waits for the first
    // chunk's figures: a list in Windows-1252 whose reasons hold a character that encoding
    // lacks is answered in UTF-8 instead, rather than with a substitute byte.
    QFuture<ValuedLine> valuing = QtConcurrent::mapped(lines, value);
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
    for (;;) {
        const qsizetype count = lines.size();
        const QList<ValuedLine> valued = valuing.results();
        if (!writer) {
            if (dialect.encoding == CsvDialect::Encoding::Cp1252 &&
                !std::all_of(valued.begin(), valued.end(),
                             [](const ValuedLine &v) { return v.fitsCp1252; }))
                dialect.encoding = CsvDialect::Encoding::Utf8Bom;
            writer.emplace(out, dialect);
            // A plan's lines, headings first, are written once the whole list is read.
            if (full) {
                writer->writeLine(fullHeadings());
            } else if (!plan) {
                writer->writeLine(resultHeadings(reader.headings()));
            }
        }
        const bool more = reader.read(chunkLines, lines);
        for (const ValuedLine &v : valued) {
            const QString text = v.fitsCp1252 || dialect.encoding != CsvDialect::Encoding::Cp1252
                                     ? v.text
                                     : spelledForCp1252(v.text);
            if (!plan)
                writer->writeText(text);
            else if (!text.isEmpty() && leftOut.write(text.toUtf8()) < 0)
                return Outcome::failure(
                    writeFailure(leftOut.error() == QFileDevice::ResourceError ? ENOSPC : EIO));
            if (plan) {
                standPlan.add(v.plan);
                if (!v.faulty)
                    entryPlanner->add(v.years, v.mark);
            }
            batch.faulty += v.faulty ? 1 : 0;
        }
        batch.trees += int(count);
        if (!writer->flush())
            return Outcome::failure(writeFailure(writer->error()));
        if (!more)
            break;
        valuing = QtConcurrent::mapped(lines, value);
    }
    if (const Outcome read = reader.status(); !read || !plan)
        return read;
    if (batch.entries || entryPlanner->hasMarks()) {
        EntrySettings settings = batch.entries.value_or(EntrySettings{});
        settings.rate = home.base.rant;
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
