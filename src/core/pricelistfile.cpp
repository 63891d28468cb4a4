#include "pricelistfile.h"

#include "textfile.h"

#include <charconv>
#include <cmath>
#include <optional>

QString priceListPath(const QString &sokvag) {
    return sokvag + QStringLiteral("priser_ac.txt");
}

namespace {

// Reads the file as a stream of items: an item ends at a comma or at the end of a line, spaces
// before it are skipped, and the double quotes around a text are removed. An empty line is one
// empty item.
class ItemReader {
public:
    explicit ItemReader(QString text) : m_text(std::move(text)) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    // The next item, or nothing when the file has ended or a quote is never closed.
    std::optional<QString> next() {
        if (atEnd())
            return std::nullopt;
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
            ++m_pos;
        QString item;
        if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
            const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
            if (close < 0)
                return std::nullopt;
            item = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            // Whatever stands between the closing quote and the separator is not part of it.
            while (m_pos < m_text.size() && !isSeparator(m_text[m_pos]))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && !isSeparator(m_text[m_pos]))
                ++m_pos;
            item = m_text.mid(start, m_pos - start).trimmed();
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

    QString m_text;
    qsizetype m_pos = 0;
};

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

class PriceListParser {
public:
    PriceListParser(const QString &path, QString text) : m_path(path), m_items(std::move(text)) {}

    bool text(QString *out, const QString &what) {
        const auto item = m_items.next();
        if (!item) {
            m_error = problem(QStringLiteral("filen slutar innan %1.").arg(what));
            return false;
        }
        *out = *item;
        return true;
    }

    // Reads the five rows of ten prices of one block into `table` when there is one.
    bool block(const QString &tag, PriceTable *table) {
        for (int q = 1; q <= 5; ++q)
            for (int j = 1; j <= 10; ++j) {
                const auto item = m_items.next();
                if (!item) {
                    m_error = problem(QStringLiteral("filen slutar mitt i prisblocket \"%1\" "
                                                     "(kvalitet %2).")
                                          .arg(tag)
                                          .arg(q));
                    return false;
                }
                const auto price = parsePrice(*item);
                if (!price) {
                    m_error = problem(QStringLiteral("i prisblocket \"%1\", kvalitet %2, "
                                                     "diameterklass %3 står \"%4\" där ett pris "
                                                     "ska stå.")
                                          .arg(tag)
                                          .arg(q)
                                          .arg(12 + 2 * (j - 1))
                                          .arg(*item));
                    return false;
                }
                if (table)
                    (*table)[q][j] = *price;
            }
        return true;
    }

    bool atEnd() const { return m_items.atEnd(); }
    QString error() const { return m_error; }

private:
    QString problem(const QString &what) const {
        return QStringLiteral("Prislistan \"%1\" kunde inte läsas: %2").arg(m_path, what);
    }

    QString m_path;
    ItemReader m_items;
    QString m_error;
};

PriceTable *tableFor(const QString &tag, PriceTable *pine, PriceTable *spruce) {
    if (tag == u"t")
        return pine;
    if (tag == u"g")
        return spruce;
    return nullptr;
}

bool readText(const QString &path, QString *text, QString *error) {
    QByteArray bytes;
    if (!readWholeFile(path, &bytes, error)) {
        *error = QStringLiteral("Prislistan kunde inte läsas. ") + *error;
        return false;
    }
    *text = decodeCp1252(bytes);
    return true;
}

} // namespace

QString las_prislista(const QString &path, QString &lan, PriceTable &pine, PriceTable &spruce) {
    QString text, error;
    if (!readText(path, &text, &error))
        return error;
    // Read into copies: the tables change only when the whole file has been read.
    QString newLan;
    PriceTable newPine = pine, newSpruce = spruce;
    PriceListParser parser(path, text);
    if (!parser.text(&newLan, QStringLiteral("länstexten")))
        return parser.error();
    for (int blockNo = 1; blockNo <= 2; ++blockNo) {
        QString tag;
        if (!parser.text(&tag, blockNo == 1 ? QStringLiteral("det första prisblocket")
                                            : QStringLiteral("det andra prisblocket")))
            return parser.error();
        if (!parser.block(tag, tableFor(tag, &newPine, &newSpruce)))
            return parser.error();
    }
    lan = newLan;
    pine = newPine;
    spruce = newSpruce;
    return {};
}

QString read_pricelist(const QString &path, PriceTable &pine, PriceTable &spruce) {
    QString text, error;
    if (!readText(path, &text, &error))
        return error;
    PriceTable newPine = pine, newSpruce = spruce;
    PriceListParser parser(path, text);
    QString county, tag;
    if (!parser.text(&county, QStringLiteral("länstexten")) ||
        !parser.text(&tag, QStringLiteral("det första prisblocket")))
        return parser.error();
    while (!parser.atEnd()) {
        if (!parser.block(tag, tableFor(tag, &newPine, &newSpruce)))
            return parser.error();
        // The file ends with an empty line: the item read after the last block.
        if (!parser.text(&tag, QStringLiteral("den tomma raden som ska avsluta filen")))
            return parser.error();
    }
    pine = newPine;
    spruce = newSpruce;
    return {};
}

QString priceText(double price) {
    if (price == 0.0)
        return QStringLiteral("0"); // also -0, which would read back the same but look odd
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, price, std::chars_format::fixed);
    return QString::fromLatin1(buf, res.ptr - buf);
}

QString skriv_prislista(const QString &path, const QString &lan, const PriceTable &pine,
                        const PriceTable &spruce) {
    if (lan.contains(u'"') || lan.contains(u'\r') || lan.contains(u'\n'))
        return QStringLiteral("Prislistan sparades inte: länstexten \"%1\" innehåller ett "
                              "citattecken eller en radbrytning, som inte kan skrivas i "
                              "prislistan. Ändra länstexten och spara igen.")
            .arg(lan);
    for (const PriceTable *table : {&pine, &spruce})
        for (int q = 1; q <= 5; ++q)
            for (int j = 1; j <= 10; ++j)
                if (!std::isfinite((*table)[q][j]))
                    return QStringLiteral("Prislistan sparades inte: ett pris är inte ett tal.");

    QStringList lines;
    lines << u'"' + lan + u'"' << QStringLiteral("\"t\"");
    auto rows = [&](const PriceTable &table) {
        for (int q = 1; q <= 5; ++q) {
            QStringList row;
            for (int j = 1; j <= 10; ++j)
                row << priceText(table[q][j]);
            lines << row.join(u',');
        }
    };
    rows(pine);
    lines << QStringLiteral("\"g\"");
    rows(spruce);
    lines << QString();

    QString error;
    if (!replaceFileSafely(path, joinLinesCrLf(lines), &error))
        return error;
    return {};
}
