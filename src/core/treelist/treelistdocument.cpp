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

// The trees of a file of `fileBytes` whose first chunk is `first`, a little over: the rows of a
// large list are then made in place, not moved each time they outgrow their memory.
qsizetype estimatedRows(const ListChunk &first, qint64 fileBytes) {
    qint64 firstBytes = 0;
    for (qsizetype i = 0; i < first.size(); ++i) {
        const ListChunk::Line &line = first.line(i);
        for (qsizetype c = 0; c < line.cellCount; ++c)
            firstBytes += first.cell(line, c).size() + 1; // its separator or line end
        ++firstBytes;                                     // CR LF
    }
    if (firstBytes <= 0 || fileBytes <= 0)
        return first.size();
    const qint64 estimate = qint64(double(fileBytes) / double(firstBytes) * 1.05 * first.size());
    return qsizetype(std::clamp<qint64>(estimate, first.size(), qint64(INT_MAX) / 2));
}

} // namespace

TreeListDocument::Row &TreeListDocument::Row::operator=(const Row &other) {
    if (this == &other)
        return *this;
    chunk = other.chunk;
    line = other.line;
    mark = other.mark;
    idEdited = other.idEdited;
    edited = other.edited;
    lineFault = other.lineFault;
    summary = other.summary;
    typed = other.typed ? std::make_unique<TypedCells>(*other.typed) : nullptr;
    return *this;
}

void TreeListDocument::placeColumns() {
    m_keyColumn.fill(-1);
    m_idColumn = -1;
    m_otherColumns.clear();
    // With two columns of a kind, the last one holds the value, as it did when read.
    for (std::size_t c = 0; c < m_kinds.size(); ++c) {
        const int kind = m_kinds[c];
        if (isCarriedColumn(kind))
            m_otherColumns.push_back(qsizetype(c));
        else if (kind == idColumn)
            m_idColumn = qsizetype(c);
        else if (kind >= 0 && kind < treeKeyCount)
            m_keyColumn[std::size_t(kind)] = qsizetype(c);
    }
}

QStringView TreeListDocument::keyView(int row, int key) const {
    const Row &r = m_rows[std::size_t(row)];
    if (r.typed && r.typed->values[std::size_t(key)])
        return *r.typed->values[std::size_t(key)];
    const qsizetype column = m_keyColumn[std::size_t(key)];
    if (column >= 0 && r.chunk)
        return r.chunk->cell(r.chunk->line(r.line), column);
    return m_defaults[std::size_t(key)];
}

bool TreeListDocument::isGiven(int row, int key) const {
    return m_keyColumn[std::size_t(key)] >= 0 || m_rows[std::size_t(row)].edited[std::size_t(key)];
}

QStringView TreeListDocument::idView(const Row &r) const {
    if (r.idEdited || !r.chunk)
        return r.typed->idCell;
    if (m_idColumn >= 0)
        return r.chunk->cell(r.chunk->line(r.line), m_idColumn);
    return {};
}

QString TreeListDocument::id(int row) const {
    const Row &r = m_rows[std::size_t(row)];
    if (!r.idEdited && r.chunk && m_idColumn < 0)
        return QString::number(r.chunk->line(r.line).treeNumber);
    return idView(r).trimmed().toString();
}

QStringView TreeListDocument::otherView(const Row &r, int other) const {
    if (r.typed && !r.typed->others.isEmpty())
        return r.typed->others.at(other);
    if (!r.chunk || other < 0 || std::size_t(other) >= m_otherColumns.size())
        return {};
    return r.chunk->cell(r.chunk->line(r.line), m_otherColumns[std::size_t(other)]);
}

QString TreeListDocument::otherCell(int row, int other) const {
    return otherView(m_rows[std::size_t(row)], other).toString();
}

QStringList TreeListDocument::otherCells(int row) const {
    QStringList cells;
    for (int o = 0; o < int(m_otherColumns.size()); ++o)
        cells << otherView(m_rows[std::size_t(row)], o).toString();
    return cells;
}

QStringList TreeListDocument::beyondCells(int row) const {
    const Row &r = m_rows[std::size_t(row)];
    QStringList cells;
    if (r.chunk) {
        const ListChunk::Line &line = r.chunk->line(r.line);
        for (qsizetype c = m_headings.size(); c < line.cellCount; ++c)
            cells << r.chunk->cell(line, c).toString();
    }
    return cells;
}

TreeRow TreeListDocument::tree(int row) const {
    TreeRow t;
    t.id = id(row);
    t.mark = m_rows[std::size_t(row)].mark;
    for (int k = 0; k < treeKeyCount; ++k) {
        // The texts of "trad.sty" are shared, not copied.
        const QStringView view = keyView(row, k);
        t.values[std::size_t(k)] = view.data() == m_defaults[std::size_t(k)].data()
                                       ? m_defaults[std::size_t(k)]
                                       : view.toString();
        t.given[std::size_t(k)] = isGiven(row, k);
    }
    return t;
}

Outcome TreeListDocument::fault(int row) const {
    const Row &r = m_rows[std::size_t(row)];
    if (!r.lineFault.ok())
        return r.lineFault;
    // Checked where the texts are held, without copies: a sort by the faults asks every row.
    TreeInputs unused;
    return overlayTree(unused, texts(row));
}

TreeTexts TreeListDocument::texts(int row) const {
    TreeTexts texts;
    for (int k = 0; k < treeKeyCount; ++k) {
        texts.values[std::size_t(k)] = keyView(row, k);
        texts.given[std::size_t(k)] = isGiven(row, k);
    }
    return texts;
}

TreeListDocument::TypedCells &TreeListDocument::typed(Row &r) {
    if (!r.typed)
        r.typed = std::make_unique<TypedCells>();
    return *r.typed;
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
    m_chunks.clear();
    placeColumns();
    m_stand = {};
    m_dialect = CsvDialect::forLocale();
    m_path.clear();
    m_readStamp = {};
    m_modified = false;
    m_valued = false;
}

Outcome TreeListDocument::load(const QString &path,
                               const std::array<QString, treeKeyCount> &texts) {
    TreeListReader reader;
    if (const Outcome opened = reader.open(path); !opened)
        return opened;
    const qsizetype headingCount = reader.headings().size();
    std::vector<Row> rows;
    std::vector<std::shared_ptr<const ListChunk>> chunks;
    // Read the way the command line reads, a chunk at a time; each row's cells stay in its
    // chunk's text, which is kept as it was read, not copied.
    constexpr int chunkLines = 4096;
    ListChunk read;
    while (reader.read(chunkLines, read)) {
        auto kept = std::make_shared<const ListChunk>(read.handOver());
        if (chunks.empty())
            rows.reserve(std::size_t(estimatedRows(*kept, QFileInfo(path).size())));
        // The values are looked at when shown, sorted or valued.
        for (qsizetype i = 0; i < kept->size(); ++i) {
            Row &r = rows.emplace_back();
            r.chunk = kept.get();
            r.line = i;
            reader.markOf(*kept, i, r.mark, r.lineFault);
        }
        chunks.push_back(std::move(kept));
    }
    if (!reader.status())
        return reader.status();

    m_rows = std::move(rows);
    m_chunks = std::move(chunks);
    m_dialect = reader.dialect();
    m_stand = reader.stand();
    m_headings = reader.headings();
    m_kinds = reader.columnKinds();
    placeColumns();
    m_defaults = texts;
    m_otherHeadings.clear();
    for (qsizetype i = 0; i < headingCount; ++i)
        if (isCarriedColumn(m_kinds[std::size_t(i)]))
            m_otherHeadings << m_headings[i];
    m_path = path;
    m_readStamp = reader.stamp();
    m_modified = false;
    m_valued = false;
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
        if (!hasColumn(k) && std::any_of(m_rows.begin(), m_rows.end(),
                                         [k](const Row &r) { return r.edited[std::size_t(k)]; })) {
            headings << treeKeyInfo(k).name.toString();
            kinds.push_back(k);
        }

    std::vector<QStringList> lines;
    lines.reserve(m_rows.size());
    CsvDialect dialect = chosen;
    const bool cp1252 = dialect.encoding == CsvDialect::Encoding::Cp1252;
    bool fits = !cp1252 || fitsCp1252(headings.join(u' ') + m_stand.property + m_stand.compartment +
                                      m_stand.owner);
    for (int row = 0; row < rowCount(); ++row) {
        const Row &r = m_rows[std::size_t(row)];
        QStringList cells;
        cells.reserve(qsizetype(kinds.size()));
        int other = 0;
        for (const int kind : kinds) {
            if (kind == idColumn) {
                const QStringView idCell = idView(r);
                cells << (r.idEdited || !idCell.isNull() ? idCell.toString() : id(row));
            } else if (isCarriedColumn(kind)) {
                cells << otherView(r, other++).toString();
            } else {
                // What the user typed is held with a point and written in the list's mark;
                // anything else goes back as it was read. Results are all in their own mark.
                const QString v = keyText(row, kind);
                cells << ((r.edited[std::size_t(kind)] || plan) && isNumberKey(kind)
                              ? withDecimalMark(withDecimalPoint(v), dialect.decimalMark)
                              : v);
            }
        }
        const QStringList beyond = beyondCells(row);
        cells = plan ? resultLine(std::move(cells), r.summary ? &*r.summary : nullptr, r.mark,
                                  dialect.decimalMark,
                                  plannedYears
                                      ? QStringList{plannedYears->value(qsizetype(lines.size()))} +
                                            beyond
                                      : beyond)
                     : cells + beyond;
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
                if (const Outcome why = unvaluedReason(row); !why)
                    writer.writeLine(unvaluedLine(id(row), why.message()));
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
    if (id(row) == text.trimmed())
        return false;
    Row &r = m_rows[std::size_t(row)];
    typed(r).idCell = text;
    r.idEdited = true;
    m_modified = true;
    return true;
}

bool TreeListDocument::setKeyText(int row, int key, const QString &text) {
    const QString now = held(key, text);
    if (keyView(row, key) == now && isGiven(row, key))
        return false;
    Row &r = m_rows[std::size_t(row)];
    typed(r).values[std::size_t(key)] = now;
    r.edited[std::size_t(key)] = true;
    // The figures were those of the tree before the change.
    r.summary.reset();
    r.lineFault = Outcome();
    m_modified = true;
    return true;
}

bool TreeListDocument::setOtherCell(int row, int other, const QString &text) {
    Row &r = m_rows[std::size_t(row)];
    if (otherView(r, other) == text)
        return false;
    if (!r.typed || r.typed->others.isEmpty())
        typed(r).others = otherCells(row);
    QString &cell = r.typed->others[other];
    if (isMarkColumn(other)) {
        // Only "lämnas", "avverkas" or nothing: the plan reads the mark.
        const std::optional<TreeMark> mark = treeMarkNamed(text);
        if (!mark)
            return false;
        r.mark = *mark;
    }
    cell = text;
    m_modified = true;
    return true;
}

QString TreeListDocument::nextId() const {
    // After the highest number among the ids, so that no id is given twice.
    qint64 highest = 0;
    for (int row = 0; row < rowCount(); ++row) {
        bool number = false;
        const qint64 id = this->id(row).toLongLong(&number);
        if (number && id > highest)
            highest = id;
    }
    return QString::number(highest + 1);
}

int TreeListDocument::addTree(const std::array<QString, treeKeyCount> &texts) {
    Row r;
    TypedCells &cells = typed(r);
    cells.idCell = nextId();
    r.idEdited = m_idColumn >= 0;
    for (int k = 0; k < treeKeyCount; ++k) {
        // A key the list has a column for gets its value there; any other follows "trad.sty".
        const bool column = m_keyColumn[std::size_t(k)] >= 0;
        cells.values[std::size_t(k)] =
            column ? held(k, texts[std::size_t(k)]) : texts[std::size_t(k)];
        r.edited[std::size_t(k)] = column;
    }
    cells.others.resize(qsizetype(m_otherColumns.size()));
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
    // A key not given follows them; those the rows held of the texts before are let go.
    for (Row &r : m_rows)
        if (r.typed)
            for (int k = 0; k < treeKeyCount; ++k)
                if (!r.edited[std::size_t(k)] && m_keyColumn[std::size_t(k)] < 0)
                    r.typed->values[std::size_t(k)].reset();
}

void TreeListDocument::setSummaries(QList<TreeSummary> summaries) {
    // A line whose cells cannot be placed is not valued, whatever its cells say.
    for (std::size_t i = 0; i < m_rows.size() && qsizetype(i) < summaries.size(); ++i)
        if (!m_rows[i].lineFault.ok()) {
            TreeSummary faulty;
            faulty.fault = m_rows[i].lineFault;
            summaries[qsizetype(i)] = std::move(faulty);
        }
    const std::size_t valued = std::min(m_rows.size(), std::size_t(summaries.size()));
    for (std::size_t i = 0; i < valued; ++i)
        m_rows[i].summary = HeldSummary(summaries, qsizetype(i));
    m_valued = m_valued || valued > 0;
}

QList<TreeSummary> TreeListDocument::summaries() const {
    // After a valuation every row holds its figures in one list: that list, not a copy of it.
    if (!m_rows.empty() && m_rows.front().summary) {
        const QList<TreeSummary> &block = m_rows.front().summary.block();
        bool whole = block.size() == rowCount();
        for (std::size_t i = 0; whole && i < m_rows.size(); ++i)
            whole = m_rows[i].summary.isIn(block, qsizetype(i));
        if (whole)
            return block;
    }
    QList<TreeSummary> out;
    out.reserve(rowCount());
    for (int r = 0; r < rowCount(); ++r) {
        if (const HeldSummary &s = m_rows[std::size_t(r)].summary) {
            out << *s;
        } else {
            TreeSummary unvalued;
            unvalued.fault = fault(r);
            out << unvalued;
        }
    }
    return out;
}

QList<TreeRow> TreeListDocument::trees() const {
    QList<TreeRow> out(rowCount());
    trees(0, rowCount(), out.data());
    return out;
}

void TreeListDocument::trees(int begin, int end, TreeRow *out) const {
    // Cells repeat all through a list (species, classes, whole centimetres): equal texts share
    // one copy, which would otherwise be most of the memory the trees of a large list take. The
    // ids, each its own, are not gathered, and the table stops growing at a limit.
    QHash<QStringView, QString> seen;
    static constexpr qsizetype seenLimit = 65536;
    for (int row = begin; row < end; ++row) {
        TreeRow &t = out[row];
        t.id = id(row);
        t.mark = m_rows[std::size_t(row)].mark;
        for (int k = 0; k < treeKeyCount; ++k) {
            const QStringView view = keyView(row, k);
            QString &value = t.values[std::size_t(k)];
            if (view.data() == m_defaults[std::size_t(k)].data()) {
                value = m_defaults[std::size_t(k)];
            } else if (view.isNull()) {
                value = QString();
            } else if (const auto it = seen.constFind(view); it != seen.cend()) {
                value = it.value();
            } else {
                value = view.toString();
                if (seen.size() < seenLimit)
                    seen.insert(QStringView(value), value);
            }
            t.given[std::size_t(k)] = isGiven(row, k);
        }
    }
}

Outcome TreeListDocument::unvaluedReason(int row) const {
    const Row &r = m_rows[std::size_t(row)];
    if (r.summary)
        return r.summary->fault;
    return fault(row);
}

QString TreeListDocument::remark(int row) const {
    qsizetype other = 0;
    for (const int kind : m_kinds) {
        if (kind == remarkColumn)
            return otherCell(row, int(other));
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
