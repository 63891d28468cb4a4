#pragma once

#include "core/parameters/treeinputs.h"

#include <QString>
#include <QStringView>

#include <span>

// The keys of the control file, colon included. Each is spelled here alone; code that treats
// one parameter in its own way names it through these.
namespace Keys {
inline constexpr QStringView sv = u"sv:";
inline constexpr QStringView plantcost = u"plantcost:";
inline constexpr QStringView rant = u"rant:";
inline constexpr QStringView harvpr = u"harvpr:";
inline constexpr QStringView avvandel = u"avvandel:";
inline constexpr QStringView avvjust = u"avvjust:";
inline constexpr QStringView mt = u"mt:";
inline constexpr QStringView mg = u"mg:";
inline constexpr QStringView mb = u"mb:";
inline constexpr QStringView art = u"art:";
inline constexpr QStringView bdm = u"bdm:";
inline constexpr QStringView hojdjust = u"hojdjust:";
inline constexpr QStringView site = u"site:";
inline constexpr QStringView plant = u"plant:";
inline constexpr QStringView ring5 = u"ring5:";
inline constexpr QStringView dkvot = u"dkvot:";
inline constexpr QStringView kronst = u"kronst:";
inline constexpr QStringView bkv = u"bkv:";
inline constexpr QStringView akv = u"akv:";
inline constexpr QStringView tkv = u"tkv:";
} // namespace Keys

// Every parameter of the control file "trad.sty", described once: the forms build their rows
// from it, the field check takes its bounds from it, the engine's loader converts by it, and
// tooltips and help take its unit and meaning.
struct Parameter {
    // How the engine takes the value.
    enum class Conversion {
        Number,  // a plain number
        Percent, // a number in percent, held as a fraction
        Text,    // a code, stored as it stands
        Quality, // a number rounded to a whole quality class, halves to even
    };
    // The form that shows and saves the value.
    enum class Form {
        Stand, // StandForm, set before the visit to the forest
        Tree,  // TreeForm, the tree measured in the forest
    };

    QStringView key;       // "rant:", colon included
    Form form;             //
    QStringView caption;   // the caption as the form shows it
    QStringView unit;      // the unit as the form shows it, or empty
    double lower, upper;   // inclusive bounds of the field check; equal (0, 0) for a code
    Conversion conversion; //
    QStringView meaning;   // one Swedish sentence for tooltips and help

    // Where the engine keeps the value: a number, a text, or quality class 1..3 of `logQualities`.
    double TreeInputs::*number = nullptr;
    QString TreeInputs::*text = nullptr;
    int qualityIndex = 0;

    bool isNumber() const {
        return conversion == Conversion::Number || conversion == Conversion::Percent;
    }
    // True when the form checks the value against `lower` .. `upper`.
    bool hasBounds() const { return lower != upper; }
    QString keyText() const { return key.toString(); }
};

// All twenty parameters: the stand form's in the order of its rows, then the tree form's in
// the order of its rows.
std::span<const Parameter> parameters();

// The parameter with the key `key`, or nullptr.
const Parameter *findParameter(QStringView key);

// The parameters one form shows, in the order of its rows.
QList<const Parameter *> parametersOf(Parameter::Form form);

// The keys of all parameters, in table order.
QStringList parameterKeys();

// A number so far outside its field's bounds (more than a hundred times the width of the
// bounds beyond them) that it can only be a slip of the hand in the file, such as an
// exponent too many. The engine refuses such a value rather than grow a tree from it; values
// merely outside the bounds are still valued, so that the engine's own checks can say what
// they do to the tree.
bool isFarOutsideBounds(const Parameter &p, double value);
