#include "core/files/pricelistfile.h"

#include "core/files/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

// A price item: a plain decimal number, optionally signed and with an exponent; empty is 0.
std::optional<double> parsePrice(const QString &item) {
    if (item.isEmpty())
        return 0.0;
    const QByteArray latin = item.toLatin1();
    const char *begin = latin.constData();
    const char *end = begin + latin.size();
    if (*begin == '+' && latin.size() > 1 && begin[1] != '-')
        ++begin;
    double value = 0;
    const auto res = std::from_chars(begin, end, value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString pineTag = QStringLiteral("t");
const QString spruceTag = QStringLiteral("g");
constexpr int qualities = 5;
constexpr int diameters = 10;

int diameterOfClass(int j) {
    return 12 + 2 * (j - 1);
}

struct Item {
    QString text;
    bool quoted = false;
};

// Reads the file as a stream of items: an item ends at a comma or at the end of a line, spaces
// before it are skipped, and the double quotes around a text are removed. An empty line is one
// empty item.
class ItemReader {
public:
    explicit ItemReader(const QString &text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    qsizetype pos() const { return m_pos; }

    // Nothing but blanks and line ends is left: empty lines at the end of the file.
    bool onlyBlankLeft() const {
        for (qsizetype i = m_pos; i < m_text.size(); ++i)
            if (!m_text[i].isSpace())
                return false;
        return true;
    }

    // The next item, or nothing when the file has ended or a quote is never closed.
    std::optional<Item> next() {
        if (atEnd())
            return std::nullopt;
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
            ++m_pos;
        Item item;
        if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
            const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
            if (close < 0)
                return std::nullopt;
            item.text = m_text.mid(m_pos + 1, close - m_pos - 1);
            item.quoted = true;
            m_pos = close + 1;
            // Whatever stands between the closing quote and the separator is not part of it.
            while (m_pos < m_text.size() && !isSeparator(m_text[m_pos]))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && !isSeparator(m_text[m_pos]))
                ++m_pos;
            item.text = m_text.mid(start, m_pos - start).trimmed();
        }
        skipSeparator();
        return item;
    }

private:
    static bool isSeparator(QChar c) { return c == u',' || c == u'\r' || c == u'\n'; }

    void skipSeparator() {
        if (m_pos >= m_text.size())
            return;
        if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
            ++m_pos;
        ++m_pos;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

bool isWholeNumber(const QString &item, bool signAllowed) {
    qsizetype i = signAllowed && (item.startsWith(u'-') || item.startsWith(u'+')) ? 1 : 0;
    if (i >= item.size())
        return false;
    for (; i < item.size(); ++i)
        if (!item[i].isDigit())
            return false;
    return true;
}

// A file written with a decimal comma ("520,5") reads as one price too many, so every later
// price, and the next block's tag, slips by one item and the reader stumbles somewhere after
// the real fault. The lines of a file as the editor writes it (a tag line, then a line of ten
// prices per quality class) show where it is: the first line with more than ten prices in a
// block that holds more than fifty.
std::optional<QString> decimalCommaFault(const QString &text) {
    const QStringList lines = splitLines(text);
    auto check = [](const QString &tag, const QList<QStringList> &rows) -> std::optional<QString> {
        qsizetype total = 0;
        for (const QStringList &row : rows)
            total += row.size();
        if (total <= qualities * diameters)
            return std::nullopt;
        for (int r = 0; r < rows.size() && r < qualities; ++r) {
            const QStringList &items = rows[r];
            if (items.size() == diameters)
                continue;
            if (items.size() < diameters)
                return std::nullopt; // not laid out a row to a line: no telling where it is
            // A word among the prices is found, and named, where the reader meets it.
            if (!std::all_of(items.cbegin(), items.cend(),
                             [](const QString &item) { return parsePrice(item).has_value(); }))
                return std::nullopt;
            const QString advice = QStringLiteral(
                "Ett pris med decimalkomma läses som två priser, eftersom kommat skiljer priserna "
                "åt. Skriv decimaler med punkt, som 520.5, och försök igen.");
            // Which comma was meant as a decimal point shows where joining the two numbers
            // leaves the prices rising (or falling) steadily along the row, as prices by top
            // diameter do. Where that does not single one out, only the row is named.
            QList<int> candidates;
            for (int k = 0; k + 1 < items.size(); ++k) {
                if (!isWholeNumber(items[k], true) || !isWholeNumber(items[k + 1], false))
                    continue;
                QList<double> row;
                for (int i = 0; i < items.size(); ++i)
                    row << (i == k ? *parsePrice(items[k] + u'.' + items[k + 1])
                                   : *parsePrice(items[i]));
                row.removeAt(k + 1);
                if (std::is_sorted(row.cbegin(), row.cend()) ||
                    std::is_sorted(row.crbegin(), row.crend()))
                    candidates << k;
            }
            if (items.size() == diameters + 1 && candidates.size() == 1) {
                const int k = candidates.first();
                return QStringLiteral("i prisblocket \"%1\", kvalitet %2, diameterklass %3 står "
                                      "\"%4,%5\". ")
                           .arg(tag)
                           .arg(r + 1)
                           .arg(diameterOfClass(k + 1))
                           .arg(items[k], items[k + 1]) +
                       advice;
            }
            return QStringLiteral("i prisblocket \"%1\", kvalitet %2 står %3 priser där det ska "
                                  "stå %4: \"%5\". ")
                       .arg(tag)
                       .arg(r + 1)
                       .arg(items.size())
                       .arg(diameters)
                       .arg(items.join(u',')) +
                   advice;
        }
        return std::nullopt;
    };

    QString tag;
    bool inBlock = false;
    QList<QStringList> rows;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.size() >= 2 && line.startsWith(u'"') && line.endsWith(u'"') &&
            !line.contains(u',')) {
            if (inBlock)
                if (auto fault = check(tag, rows))
                    return fault;
            tag = line.mid(1, line.size() - 2);
            inBlock = true;
            rows.clear();
        } else if (inBlock && !line.isEmpty()) {
            QStringList items = line.split(u',');
            for (QString &item : items)
                item = item.trimmed();
            rows << items;
        }
    }
    if (inBlock)
        return check(tag, rows);
    return std::nullopt;
}

struct ReadBlock {
    QString tag;
    std::array<std::array<double, diameters>, qualities> prices{};
    QString text; // the block as the file has it, up to the next block's tag
};

struct ReadFile {
    QString county;
    QList<ReadBlock> blocks;
};

// How a reader finds the end of the file.
enum class FileEnd {
    // The engine reads a tag after every block and stops when the file has ended after it: the
    // file must end with the empty line that the editor writes.
    TagAfterLastBlock,
    // The editor stops at the end of the file, or at empty lines that end it.
    EndOfFile,
};

class PriceListParser {
public:
    PriceListParser(const QString &path, const QString &text)
        : m_path(path), m_text(text), m_items(text) {}

    Outcome read(FileEnd end, ReadFile &file) {
        Outcome outcome = readItems(end, file);
        if (!outcome) {
            if (const auto fault = decimalCommaFault(m_text))
                return failure(*fault);
            return outcome;
        }
        return missingBlocks(file);
    }

private:
    Outcome failure(const QString &what) const {
        return Outcome::failure(
            QStringLiteral("Prislistan \"%1\" kunde inte läsas: %2").arg(m_path, what));
    }

    Outcome required(const QString &what, Item &item) {
        const auto next = m_items.next();
        if (!next)
            return failure(QStringLiteral("filen slutar innan %1.").arg(what));
        item = *next;
        return {};
    }

    Outcome readItems(FileEnd end, ReadFile &file) {
        Item county;
        if (Outcome o = required(QStringLiteral("länstexten"), county); !o)
            return o;
        file.county = county.text;
        if (end == FileEnd::TagAfterLastBlock) {
            qsizetype start = m_items.pos();
            Item tag;
            if (Outcome o = required(QStringLiteral("det första prisblocket"), tag); !o)
                return o;
            while (!m_items.atEnd()) {
                ReadBlock block;
                if (Outcome o = readBlock(tag, start, file, block); !o)
                    return o;
                file.blocks << block;
                start = m_items.pos();
                // The file ends with an empty line: the item read after the last block.
                if (Outcome o =
                        required(QStringLiteral("den tomma raden som ska avsluta filen"), tag);
                    !o)
                    return o;
            }
            if (!tag.quoted && !tag.text.isEmpty() && parsePrice(tag.text))
                return misplacedTag(tag, file);
            return {};
        }
        while (!m_items.atEnd()) {
            const qsizetype start = m_items.pos();
            Item tag;
            if (Outcome o = required(QStringLiteral("nästa prisblock"), tag); !o)
                return o;
            if (tag.text.isEmpty() && !tag.quoted && m_items.onlyBlankLeft())
                break;
            ReadBlock block;
            if (Outcome o = readBlock(tag, start, file, block); !o)
                return o;
            file.blocks << block;
        }
        return {};
    }

    // A number or an empty line where a block's tag is due.
    Outcome misplacedTag(const Item &tag, const ReadFile &file) const {
        const QString after =
            file.blocks.isEmpty()
                ? QStringLiteral("efter länstexten")
                : QStringLiteral("efter prisblocket \"%1\"").arg(file.blocks.last().tag);
        if (tag.text.isEmpty())
            return failure(QStringLiteral("%1 står en tom rad där nästa prisblocks märke, som "
                                          "\"t\" eller \"g\", ska stå.")
                               .arg(after));
        return failure(QStringLiteral("%1 står talet \"%2\" där nästa prisblocks märke, som "
                                      "\"t\" eller \"g\", ska stå: blocket har fler än %3 "
                                      "priser.")
                           .arg(after, tag.text)
                           .arg(qualities * diameters));
    }

    Outcome readBlock(const Item &tag, qsizetype start, const ReadFile &file, ReadBlock &block) {
        if (!tag.quoted && (tag.text.isEmpty() || parsePrice(tag.text)))
            return misplacedTag(tag, file);
        block.tag = tag.text;
        for (int q = 1; q <= qualities; ++q)
            for (int j = 1; j <= diameters; ++j) {
                const auto item = m_items.next();
                if (!item)
                    return failure(QStringLiteral("filen slutar mitt i prisblocket \"%1\" "
                                                  "(kvalitet %2).")
                                       .arg(tag.text)
                                       .arg(q));
                const auto price = item->quoted ? std::nullopt : parsePrice(item->text);
                if (!price)
                    return failure(QStringLiteral("i prisblocket \"%1\", kvalitet %2, "
                                                  "diameterklass %3 står \"%4\" där ett pris "
                                                  "ska stå.")
                                       .arg(tag.text)
                                       .arg(q)
                                       .arg(diameterOfClass(j))
                                       .arg(item->text));
                block.prices[q - 1][j - 1] = *price;
            }
        block.text = m_text.mid(start, m_items.pos() - start);
        return {};
    }

    Outcome missingBlocks(const ReadFile &file) const {
        bool pine = false, spruce = false;
        QStringList tags;
        for (const ReadBlock &block : file.blocks) {
            pine = pine || block.tag == pineTag;
            spruce = spruce || block.tag == spruceTag;
            tags << u'"' + block.tag + u'"';
        }
        if (pine && spruce)
            return {};
        QString what = !pine && !spruce ? QStringLiteral("prisblocken för tall (\"t\") och gran "
                                                         "(\"g\") saknas")
                       : !pine          ? QStringLiteral("prisblocket för tall (\"t\") saknas")
                                        : QStringLiteral("prisblocket för gran (\"g\") saknas");
        if (tags.isEmpty())
            what += u'.';
        else
            what += QStringLiteral(". Filens prisblock är märkta %1; märket ska vara \"t\" för "
                                   "tall och \"g\" för gran, med liten bokstav.")
                        .arg(tags.join(QStringLiteral(", ")));
        return failure(what);
    }

    QString m_path;
    const QString &m_text;
    ItemReader m_items;
};

Outcome readFile(const QString &path, FileEnd end, ReadFile &file, FileStamp *stamp = nullptr) {
    const Expected<FileText> read = readTextFile(path);
    if (stamp)
        *stamp = read ? read->stamp : FileStamp::ofFailedRead();
    if (!read)
        return Outcome::failure(QStringLiteral("Prislistan kunde inte läsas. ") + read.message());
    return PriceListParser(path, read->text).read(end, file);
}

void fill(PriceTable &table, const ReadBlock &block) {
    for (int q = 1; q <= qualities; ++q)
        for (int j = 1; j <= diameters; ++j)
            table[q][j] = block.prices[q - 1][j - 1];
}

} // namespace

Expected<PriceList> readPriceList(const QString &path, FileStamp *stamp) {
    ReadFile file;
    if (Outcome read = readFile(path, FileEnd::EndOfFile, file, stamp); !read)
        return read;
    // The calculation prices with the last block of each tag, so that is the one to edit.
    qsizetype lastPine = -1, lastSpruce = -1;
    for (qsizetype b = 0; b < file.blocks.size(); ++b) {
        if (file.blocks[b].tag == pineTag)
            lastPine = b;
        else if (file.blocks[b].tag == spruceTag)
            lastSpruce = b;
    }
    PriceList result;
    result.county = file.county;
    fill(result.pine, file.blocks[lastPine]);
    fill(result.spruce, file.blocks[lastSpruce]);
    for (qsizetype b = 0; b < file.blocks.size(); ++b) {
        const bool edited = b == lastPine || b == lastSpruce;
        result.blocks.append(
            {file.blocks[b].tag, edited, edited ? QString() : file.blocks[b].text});
    }
    return result;
}

Expected<PriceTables> readTimberPrices(const QString &path, PriceTables base) {
    ReadFile file;
    if (Outcome read = readFile(path, FileEnd::TagAfterLastBlock, file); !read)
        return read;
    for (const ReadBlock &block : file.blocks) {
        if (block.tag == pineTag)
            fill(base.pine, block);
        else if (block.tag == spruceTag)
            fill(base.spruce, block);
    }
    return base;
}

Expected<PriceTables> loadPriceTables(const HomeDirectory &home, PriceTables base) {
    return readTimberPrices(home.priceList(), std::move(base));
}

QString priceText(double price) {
    if (price == 0.0)
        return QStringLiteral("0"); // also -0, which would read back the same but look odd
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, price, std::chars_format::fixed);
    return QString::fromLatin1(buf, res.ptr - buf);
}

namespace {

bool endsWithSeparator(const QString &text) {
    return text.endsWith(u'\n') || text.endsWith(u'\r') || text.endsWith(u',');
}

QString tableText(const QString &tag, const PriceTable &table) {
    QString text = u'"' + tag + u'"' + crlf;
    for (int q = 1; q <= qualities; ++q) {
        QStringList row;
        for (int j = 1; j <= diameters; ++j)
            row << priceText(table[q][j]);
        text += row.join(u',') + crlf;
    }
    return text;
}

} // namespace

SaveOutcome writePriceList(const QString &path, const PriceList &list, FileStamp *stamp) {
    if (list.county.contains(u'"') || list.county.contains(u'\r') || list.county.contains(u'\n'))
        return Outcome::failure(
            QStringLiteral("Prislistan sparades inte: länstexten \"%1\" innehåller ett "
                           "citattecken eller en radbrytning, som inte kan skrivas i "
                           "prislistan. Ändra länstexten och spara igen.")
                .arg(list.county));
    for (const PriceTable *table : {&list.pine, &list.spruce})
        for (int q = 1; q <= qualities; ++q)
            for (int j = 1; j <= diameters; ++j)
                if (!std::isfinite((*table)[q][j]))
                    return Outcome::failure(
                        QStringLiteral("Prislistan sparades inte: ett pris är inte ett tal."));

    auto isEdited = [](const PriceList::Block &b) {
        return b.edited && (b.tag == pineTag || b.tag == spruceTag);
    };
    QList<PriceList::Block> blocks = list.blocks;
    for (const QString &tag : {pineTag, spruceTag})
        if (std::none_of(blocks.cbegin(), blocks.cend(),
                         [&](const auto &b) { return isEdited(b) && b.tag == tag; }))
            blocks.append({tag, true, {}});

    QString text = u'"' + list.county + u'"' + crlf;
    for (const PriceList::Block &block : blocks) {
        if (isEdited(block)) {
            text += tableText(block.tag, block.tag == pineTag ? list.pine : list.spruce);
        } else {
            text += block.keptText;
            if (!endsWithSeparator(text))
                text += crlf;
        }
    }
    // The final empty line, which the engine's reader takes as the tag after the last block.
    text += crlf;

    const Expected<QByteArray> bytes = encodeForFile(text, path);
    if (!bytes)
        return bytes.outcome();
    const SaveOutcome saved = replaceFileUnlessChanged(path, *bytes, stamp ? *stamp : FileStamp());
    if (saved && stamp)
        *stamp = FileStamp::of(*bytes);
    return saved;
}
