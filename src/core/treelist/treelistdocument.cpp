#include "core/treelist/treelistdocument.h"

#include "core/parameters/fieldcheck.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/treelistresults.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <climits>

bool isCarriedColumn(int kind) {
    return kind == otherColumn || kind == remarkColumn || kind == markColumn;
}

bool isNumberKey(int key) {
    const auto kind = treeKeyInfo(key).kind;
    return kind == TreeKeyInfo::Number || kind == TreeKeyInfo::Quality;
}

namespace {

// The text as the program holds it: a number with a point, the way the tree form keeps it.
QString held(int key, const QString &text) {
    return isNumberKey(key) ? withDecimalPoint(text.trimmed()) : text.trimmed();
}

} // namespace

QString TreeListDocument::Row::fault() const {
    return lineFault.isEmpty() ? checkTreeRow(tree).message() : lineFault;
}

void TreeListDocument::clear() {
    m_rows.clear();
    // A new list has every column of the program, in the dialect of the user's settings.
    m_headings = {QStringLiteral("id")};
    m_kinds = {idColumn};
    for (int k = 0; k < treeKeyCount; ++k) {
        m_headings << treeKeyInfo(k).name.toString();
        m_kinds.push_back(k);
    }
    m_otherHeadings.clear();
    m_stand = {};
    m_dialect = CsvDialect::forLocale();
    m_path.clear();
    m_readStamp = {};
    m_modified = false;
}

Outcome TreeListDocument::load(const QString &path,
                               const std::array<QString, treeKeyCount> &texts) {
    TreeListReader reader;
    if (const Outcome opened = reader.open(path); !opened)
        return opened;
    const qsizetype headingCount = reader.headings().size();
    const std::vector<int> &kinds = reader.columnKinds();
    std::vector<Row> rows;
    // Cells repeat all through a list (species, classes, whole centimetres, empty remarks): equal
    // texts share one copy, which would otherwise be most of the memory a large list takes. The
    // ids, each its own, are not gathered, and the table stops growing at a limit.
    QHash<QStringView, QString> seen;
    static constexpr qsizetype seenLimit = 65536;
    auto shared = [&seen](QStringView cell) {
        if (cell.isNull())
            return QString();
        if (const auto it = seen.constFind(cell); it != seen.cend())
            return it.value();
        QString text = cell.toString();
        if (seen.size() < seenLimit)
            seen.insert(QStringView(text), text);
        return text;
    };
    // Read the way the command line reads, every cell seen in place in its chunk's text.
    ListChunk chunk;
    ChunkTree tree;
    while (reader.read(INT_MAX, chunk)) {
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            const ListChunk::Line &line = chunk.line(i);
            reader.treeOf(chunk, i, tree);
            Row r;
            r.lineFault = std::move(tree.fault);
            r.tree.mark = tree.mark;
            if (!tree.hasIdColumn)
                r.tree.id = QString::number(line.treeNumber);
            for (qsizetype c = 0; c < headingCount; ++c) {
                const int kind = kinds[std::size_t(c)];
                const QStringView cell = chunk.cell(line, c);
                if (isCarriedColumn(kind)) {
                    r.others << shared(cell);
                } else if (kind == idColumn) {
                    r.idCell = cell.toString();
                    r.tree.id = r.idCell.trimmed();
                } else if (kind >= 0 && kind < treeKeyCount) {
                    r.tree.values[std::size_t(kind)] = shared(cell);
                    r.tree.given[std::size_t(kind)] = true;
                }
            }
            for (int k = 0; k < treeKeyCount; ++k)
                if (!r.tree.given[std::size_t(k)])
                    r.tree.values[std::size_t(k)] = texts[std::size_t(k)];
            for (qsizetype c = headingCount; c < line.cellCount; ++c)
                r.beyond << chunk.cell(line, c).toString();
            rows.push_back(std::move(r));
        }
    }
    if (!reader.status())
        return reader.status();

    m_rows = std::move(rows);
    m_dialect = reader.dialect();
    m_stand = reader.stand();
    m_headings = reader.headings();
    m_kinds = reader.columnKinds();
    m_defaults = texts;
    m_otherHeadings.clear();
    for (qsizetype i = 0; i < headingCount; ++i)
        if (isCarriedColumn(m_kinds[std::size_t(i)]))
            m_otherHeadings << m_headings[i];
    m_path = path;
    m_readStamp = reader.stamp();
    m_modified = false;
    return {};
}

SaveOutcome TreeListDocument::save(const QString &path, IfChangedSinceRead ifChanged) {
    const QByteArray bytes = listBytes();
    // Saved under another name, the file there was not read here (the save dialog asked about
    // replacing it).
    const bool sameFile = !m_path.isEmpty() && QFileInfo(path) == QFileInfo(m_path);
    const bool check = sameFile && ifChanged == IfChangedSinceRead::Stop;
    SaveOutcome saved = replaceFileUnlessChanged(path, bytes, check ? m_readStamp : FileStamp());
    if (saved) {
        m_readStamp = FileStamp::of(bytes);
        m_path = path;
        m_modified = false;
    }
    return saved;
}

QByteArray TreeListDocument::listBytes() const {
    return bytes(m_dialect, nullptr, nullptr);
}

QByteArray TreeListDocument::resultBytes(const CsvDialect &dialect, const HarvestPlan &plan,
                                         const QList<QStringList> &planLines,
                                         const QStringList *plannedYears) const {
    return bytes(dialect, &plan, &planLines, plannedYears);
}

QByteArray TreeListDocument::bytes(const CsvDialect &chosen, const HarvestPlan *plan,
                                   const QList<QStringList> *planLines,
                                   const QStringList *plannedYears) const {
    // The file's columns, then those the user gave values the file had no column for.
    QStringList headings = m_headings;
    std::vector<int> kinds = m_kinds;
    auto hasColumn = [&](int kind) {
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    };
    if (!hasColumn(idColumn) &&
        std::any_of(m_rows.begin(), m_rows.end(), [](const Row &r) { return r.idEdited; })) {
        headings << QStringLiteral("id");
        kinds.push_back(idColumn);
    }
    for (int k = 0; k < treeKeyCount; ++k)
        if (!hasColumn(k) && std::any_of(m_rows.begin(), m_rows.end(), [k](const Row &r) {
                return r.tree.given[std::size_t(k)];
            })) {
            headings << treeKeyInfo(k).name.toString();
            kinds.push_back(k);
        }

    std::vector<QStringList> lines;
    lines.reserve(m_rows.size());
    CsvDialect dialect = chosen;
    const bool cp1252 = dialect.encoding == CsvDialect::Encoding::Cp1252;
    bool fits = !cp1252 || fitsCp1252(headings.join(u' ') + m_stand.property + m_stand.compartment +
                                      m_stand.owner);
    for (const Row &r : m_rows) {
        QStringList cells;
        qsizetype other = 0;
        for (const int kind : kinds) {
            if (kind == idColumn) {
                cells << (r.idEdited || !r.idCell.isNull() ? r.idCell : r.tree.id);
            } else if (isCarriedColumn(kind)) {
                cells << r.others.value(other++);
            } else {
                // What the user typed is held with a point and written in the list's mark;
                // anything else goes back as it was read. Results are all in their own mark.
                const QString &v = r.tree.values[std::size_t(kind)];
                cells << ((r.edited[std::size_t(kind)] || plan) && isNumberKey(kind)
                              ? withDecimalMark(withDecimalPoint(v), dialect.decimalMark)
                              : v);
            }
        }
        cells = plan ? resultLine(std::move(cells), r.summary ? &*r.summary : nullptr, r.tree.mark,
                                  dialect.decimalMark,
                                  plannedYears
                                      ? QStringList{plannedYears->value(qsizetype(lines.size()))} +
                                            r.beyond
                                      : r.beyond)
                     : cells + r.beyond;
        fits = fits && (!cp1252 || fitsCp1252(cells.join(u' ')));
        lines.push_back(std::move(cells));
    }
    if (!fits) // a name Windows-1252 cannot hold is kept by saving as UTF-8
        dialect.encoding = CsvDialect::Encoding::Utf8Bom;

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer, dialect);
    for (const QStringList &line : standLines(m_stand))
        writer.writeLine(line);
    if (plan) {
        headings = resultHeadings(headings);
        if (plannedYears)
            headings << plannedYearsHeading();
    }
    writer.writeLine(headings);
    for (const QStringList &cells : lines)
        writer.writeLine(cells);
    if (plan) {
        writer.writeLine({});
        for (const QStringList &line : *planLines)
            writer.writeLine(line);
        // Every tree left out is named, not only the first ten of the sentence.
        if (plan->unvaluedTrees() > 0) {
            for (const QStringList &line : unvaluedSectionStart(plan->unvaluedTrees()))
                writer.writeLine(line);
            for (int row = 0; row < rowCount(); ++row)
                if (const QString why = unvaluedReason(row); !why.isEmpty())
                    writer.writeLine(unvaluedLine(m_rows[std::size_t(row)].tree.id, why));
        }
    }
    writer.flush();
    return bytes;
}

bool TreeListDocument::isMarkColumn(int other) const {
    int carried = 0;
    for (const int kind : m_kinds) {
        if (!isCarriedColumn(kind))
            continue;
        if (carried == other)
            return kind == markColumn;
        ++carried;
    }
    return false;
}

bool TreeListDocument::setId(int row, const QString &text) {
    Row &r = m_rows[std::size_t(row)];
    if (r.tree.id == text.trimmed())
        return false;
    r.tree.id = text.trimmed();
    r.idCell = text;
    r.idEdited = true;
    m_modified = true;
    return true;
}

bool TreeListDocument::setKeyText(int row, int key, const QString &text) {
    Row &r = m_rows[std::size_t(row)];
    const QString now = held(key, text);
    if (r.tree.values[std::size_t(key)] == now && r.tree.given[std::size_t(key)])
        return false;
    r.tree.values[std::size_t(key)] = now;
    r.tree.given[std::size_t(key)] = true;
    r.edited[std::size_t(key)] = true;
    // The figures were those of the tree before the change.
    r.summary.reset();
    r.lineFault.clear();
    m_modified = true;
    return true;
}

bool TreeListDocument::setOtherCell(int row, int other, const QString &text) {
    Row &r = m_rows[std::size_t(row)];
    QString &cell = r.others[other];
    if (cell == text)
        return false;
    if (isMarkColumn(other)) {
        // Only "lämnas", "avverkas" or nothing: the plan reads the mark.
        const std::optional<TreeMark> mark = treeMarkNamed(text);
        if (!mark)
            return false;
        r.tree.mark = *mark;
    }
    cell = text;
    m_modified = true;
    return true;
}

QString TreeListDocument::nextId() const {
    // After the highest number among the ids, so that no id is given twice.
    qint64 highest = 0;
    for (const Row &r : m_rows) {
        bool number = false;
        const qint64 id = r.tree.id.toLongLong(&number);
        if (number && id > highest)
            highest = id;
    }
    return QString::number(highest + 1);
}

int TreeListDocument::addTree(const std::array<QString, treeKeyCount> &texts) {
    Row r;
    r.tree.id = nextId();
    const bool hasId = std::find(m_kinds.begin(), m_kinds.end(), idColumn) != m_kinds.end();
    r.idCell = r.tree.id;
    r.idEdited = hasId;
    for (int k = 0; k < treeKeyCount; ++k) {
        // A key the list has a column for gets its value there; any other follows "trad.sty".
        const bool column = std::find(m_kinds.begin(), m_kinds.end(), k) != m_kinds.end();
        r.tree.values[std::size_t(k)] =
            column ? held(k, texts[std::size_t(k)]) : texts[std::size_t(k)];
        r.tree.given[std::size_t(k)] = column;
        r.edited[std::size_t(k)] = column;
    }
    r.others.resize(m_otherHeadings.size());
    m_rows.push_back(std::move(r));
    m_modified = true;
    return rowCount() - 1;
}

void TreeListDocument::removeRow(int row) {
    m_rows.erase(m_rows.begin() + row);
    m_modified = true;
}

void TreeListDocument::setDefaults(const std::array<QString, treeKeyCount> &texts) {
    m_defaults = texts;
    for (Row &r : m_rows)
        for (int k = 0; k < treeKeyCount; ++k)
            if (!r.tree.given[std::size_t(k)])
                r.tree.values[std::size_t(k)] = texts[std::size_t(k)];
}

void TreeListDocument::setSummaries(std::vector<TreeSummary> summaries) {
    for (std::size_t i = 0; i < m_rows.size() && i < summaries.size(); ++i) {
        m_rows[i].summary = std::move(summaries[i]);
        // A line whose cells cannot be placed is not valued, whatever its cells say.
        if (!m_rows[i].lineFault.isEmpty()) {
            TreeSummary faulty;
            faulty.fault = m_rows[i].lineFault;
            *m_rows[i].summary = std::move(faulty);
        }
    }
}

std::vector<TreeRow> TreeListDocument::trees() const {
    std::vector<TreeRow> out;
    out.reserve(m_rows.size());
    for (const Row &r : m_rows)
        out.push_back(r.tree);
    return out;
}

QString TreeListDocument::unvaluedReason(int row) const {
    const Row &r = m_rows[std::size_t(row)];
    if (r.summary)
        return r.summary->valued() ? QString() : r.summary->fault;
    return r.fault();
}

QString TreeListDocument::remark(int row) const {
    qsizetype other = 0;
    for (const int kind : m_kinds) {
        if (kind == remarkColumn)
            return m_rows[std::size_t(row)].others.value(other);
        other += isCarriedColumn(kind) ? 1 : 0;
    }
    return {};
}

std::array<bool, treeKeyCount> TreeListDocument::keyColumns() const {
    std::array<bool, treeKeyCount> has{};
    for (const int kind : m_kinds)
        if (kind >= 0 && kind < treeKeyCount)
            has[std::size_t(kind)] = true;
    return has;
}

QString TreeListDocument::fromControlFile() const {
    const QString names = keysFromControlFile(keyColumns());
    return names.isEmpty() ? QString() : QStringLiteral("Från trad.sty: ") + names;
}

bool TreeListDocument::setStand(const StandName &stand) {
    if (stand.property == m_stand.property && stand.compartment == m_stand.compartment &&
        stand.owner == m_stand.owner)
        return false;
    m_stand = stand;
    m_modified = true;
    return true;
}
