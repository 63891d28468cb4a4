#pragma once

#include <QString>
#include <QStringView>

// The species codes of the control file and the names the windows show for them. Pine and
// spruce come first: they are the two the tree form offers and the price list prices.
struct SpeciesCode {
    const char16_t *letter;
    const char16_t *name;
};

inline constexpr SpeciesCode speciesCodes[] = {
    {u"t", u"Tall"}, {u"g", u"Gran"}, {u"b", u"Björk"}, {u"l", u"Löv"}};

// The name of the species with the code `letter`, or the empty text for an unknown code.
inline QString speciesName(QStringView letter) {
    for (const SpeciesCode &s : speciesCodes)
        if (letter == QStringView(s.letter))
            return QString::fromUtf16(s.name);
    return {};
}
