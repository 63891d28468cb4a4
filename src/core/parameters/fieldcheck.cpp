#include "core/parameters/fieldcheck.h"

#include "core/files/numberformat.h"
#include "core/files/textfile.h"

#include <charconv>
#include <system_error>

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

bool isNumericText(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        bool exponentDigits = false;
        while (i < n && isDigit(text[i])) {
            ++i;
            exponentDigits = true;
        }
        if (!exponentDigits)
            return false;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    return i == n;
}

QString boundText(double bound, QChar decimalSeparator) {
    if (bound == 0)
        bound = 0; // no "-0"
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, bound, std::chars_format::fixed);
    if (ec != std::errc())
        return QString::number(bound);
    QString text = QString::fromLatin1(buffer, end - buffer);
    text.replace(u'.', decimalSeparator);
    return text;
}

QString FieldMessage::outOfRange(double lower, double upper, QChar decimalSeparator) {
    return QStringLiteral("Värdet måste ligga mellan ") + boundText(lower, decimalSeparator) +
           QStringLiteral(" och ") + boundText(upper, decimalSeparator);
}

QString FieldMessage::notInCp1252(const QString &character) {
    return QStringLiteral("Tecknet \"%1\" kan inte sparas i styrfilen. Ta bort det.")
        .arg(character);
}

QString firstCharacterOutsideCp1252(QStringView text) {
    // A text all of ASCII and Latin-1 letters, as nearly every one is, is passed over a block of
    // characters at a time.
    const char16_t *const chars = text.utf16();
    qsizetype start = 0;
    constexpr qsizetype block = 16;
    for (; start + block <= text.size(); start += block) {
        bool other = false;
        for (qsizetype j = 0; j < block; ++j) {
            const char16_t u = chars[start + j];
            other |= (u >= 0x80 && u < 0xA0) || u > 0xFF;
        }
        if (other)
            break;
    }
    for (qsizetype i = start; i < text.size();) {
        // ASCII and the Latin-1 letters are the same in Windows-1252: only the rest needs the
        // codec, which a list of thousands of trees would otherwise ask for every digit.
        if (const char16_t u = text[i].unicode(); u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            ++i;
            continue;
        }
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QString character = text.mid(i, length).toString();
        if (decodeCp1252(encodeCp1252(character)) != character)
            return character;
        i += length;
    }
    return {};
}

std::optional<double> plainNumber(QStringView text) {
    const QString withPoint = withDecimalPoint(text.toString());
    if (!isNumericText(withPoint))
        return std::nullopt;
    return leadingNumber(withPoint);
}

Outcome checkField(QStringView text, double lower, double upper, QChar decimalSeparator) {
    if (text.isEmpty())
        return Outcome::failure(FieldMessage::empty());
    if (const QString c = firstCharacterOutsideCp1252(text); !c.isEmpty())
        return Outcome::failure(FieldMessage::notInCp1252(c));
    if (!isNumericText(text))
        return Outcome::failure(FieldMessage::notNumeric());
    const double value = leadingNumber(text);
    if (!(value >= lower && value <= upper))
        return Outcome::failure(FieldMessage::outOfRange(lower, upper, decimalSeparator));
    return {};
}

QString withDecimalPoint(const QString &text) {
    if (text.count(u',') != 1 || text.contains(u'.'))
        return text;
    QString converted = text;
    converted.replace(u',', u'.');
    return isNumericText(converted) ? converted : text;
}

QString withDecimalSeparator(const QString &text, QChar decimalSeparator) {
    const QString withPoint = withDecimalPoint(text);
    if (withPoint.count(u'.') != 1 || !isNumericText(withPoint))
        return text;
    QString shown = withPoint;
    shown.replace(u'.', decimalSeparator);
    return shown;
}
