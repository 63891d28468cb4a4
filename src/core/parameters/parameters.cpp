#include "core/parameters/parameters.h"

#include <QStringList>

#include <cmath>

namespace {

using C = Parameter::Conversion;
using F = Parameter::Form;

// Codes (region, species, planting) have no bounds; the quality classes are the five the
// tree form offers.
const Parameter table[] = {
    // The stand and economy form, top to bottom.
    {Keys::sv,
     F::Stand,
     u"Del av Sverige",
     {},
     0,
     0,
     C::Text,
     u"Den del av Sverige där trädet växer, norra eller södra; den avgör vilka funktioner för "
     u"höjd och stamform som används.",
     nullptr,
     &TreeInputs::region},
    {Keys::plantcost, F::Stand, u"Kostnad för en planta satt i skogen", u"Kr", 1, 10, C::Number,
     u"Vad det kostar att sätta en ny planta i luckan efter trädet, i kronor per planta.",
     &TreeInputs::seedlingCost},
    {Keys::rant, F::Stand, u"Räntenivå över vilken trädet skall lämnas vid denna avverkning", u"%",
     0, 10, C::Percent,
     u"Ägarens räntekrav i procent: växer trädets värde snabbare än så lönar det sig att låta "
     u"det stå kvar.",
     &TreeInputs::requiredRate},
    {Keys::harvpr, F::Stand, u"Andel avverkad volym ", u"%", 0, 100, C::Number,
     u"Hur stor del av beståndets volym som tas ut vid avverkningen; ju mindre uttag, desto "
     u"dyrare blir avverkningen per kubikmeter.",
     &TreeInputs::harvestIntensity},
    {Keys::avvandel, F::Stand, u"Andel av avverkningskostnaden som är fast knuten till varje träd",
     u"%", 0, 100, C::Number,
     u"Den del av avverkningskostnaden som är densamma för varje träd, hur stort trädet än är.",
     &TreeInputs::fixedCostShare},
    {Keys::avvjust, F::Stand, u"Aktuell avverkningskostnad", u"% av normal (skördare+skotare)", 0,
     1000, C::Number,
     u"Avverkningskostnaden just nu i procent av en normal kostnad för skördare och skotare.",
     &TreeInputs::harvestCostLevel},
    {Keys::mt, F::Stand, u"Tallmassavedens pris", u"Kr/m3", 0, 1000, C::Number,
     u"Priset för massaved av tall, i kronor per kubikmeter.", &TreeInputs::pinePulpPrice},
    {Keys::mg, F::Stand, u"Granmassavedens pris", u"Kr/m3", 0, 1000, C::Number,
     u"Priset för massaved av gran, i kronor per kubikmeter.", &TreeInputs::sprucePulpPrice},
    {Keys::mb, F::Stand, u"Björkmassavedens pris", u"Kr/m3", 0, 1000, C::Number,
     u"Priset för massaved av björk, i kronor per kubikmeter.", &TreeInputs::birchPulpPrice},

    // The tree form, top to bottom.
    {Keys::art,
     F::Tree,
     u"Trädart:",
     {},
     0,
     0,
     C::Text,
     u"Trädets art; tall och gran kan väljas och värderas.",
     nullptr,
     &TreeInputs::species},
    {Keys::bdm, F::Tree, u"Brösthöjdsdiameter:", u"cm", 0, 300, C::Number,
     u"Trädets diameter i brösthöjd, 1,3 meter över marken, i centimeter.", &TreeInputs::diameter},
    {Keys::hojdjust, F::Tree, u"Avvikelse från normalhöjden", u"m", -8, 8, C::Number,
     u"Hur många meter trädet är högre (plus) eller lägre (minus) än ett normalt träd med samma "
     u"diameter på samma ståndort.",
     &TreeInputs::heightDeviation},
    {Keys::site, F::Tree, u"Ståndortsindex vid 100 års ålder .......", u"m", 10, 36, C::Number,
     u"Ståndortens bonitet: den höjd i meter som träden på platsen når vid 100 års ålder.",
     &TreeInputs::siteIndex},
    {Keys::plant,
     F::Tree,
     u"Plantering efter avverkning av trädet?",
     {},
     0,
     0,
     C::Text,
     u"Om luckan efter trädet ska planteras när det har avverkats; plantan räknas då som en "
     u"kostnad.",
     nullptr,
     &TreeInputs::replanting},
    {Keys::ring5, F::Tree, u"Årsring efter 5 år ................................", u"mm", 0.1, 20,
     C::Number,
     u"Trädets årsringsbredd efter 5 år, i millimeter per år; den avgör hur fort diametern växer.",
     &TreeInputs::ringWidth},
    {Keys::dkvot,
     F::Tree,
     u"Diameterkvot .....................................",
     {},
     0.2,
     1,
     C::Number,
     u"Trädets brösthöjdsdiameter delad med diametern hos de grövsta träden i beståndet runt "
     u"det. Mät med klave i brösthöjd, 1,3 m över marken, dels trädet, dels några av de "
     u"grövsta träden, och dela: 32 cm mot 40 cm ger 0,8. Ett av de grövsta träden har 1. "
     u"Höjdmodellen bestämmer trädets höjd med den.",
     &TreeInputs::diameterQuotient},
    {Keys::kronst, F::Tree,
     u"Andel av fullt utvecklad krona hos ett friväxande träd av denna storlek ......", u"%", 0,
     100, C::Number,
     u"Trädets krona i procent av kronan hos ett friväxande träd av samma storlek; en mindre "
     u"krona ger långsammare tillväxt.",
     &TreeInputs::crownShare},
    {Keys::bkv,
     F::Tree,
     u"Förstastocken",
     {},
     1,
     5,
     C::Quality,
     u"Den kvalitetsklass som trädets första stock (rotstocken) kan nå: 1 är den bästa "
     u"klassen (rak och kvistfri), 5 den sämsta. Klassen väljer rad i prislistan.",
     nullptr,
     nullptr,
     1},
    {Keys::akv,
     F::Tree,
     u"Andrastocken",
     {},
     1,
     5,
     C::Quality,
     u"Den kvalitetsklass som trädets andra stock kan nå: 1 är den bästa klassen (rak och "
     u"kvistfri), 5 den sämsta. Klassen väljer rad i prislistan.",
     nullptr,
     nullptr,
     2},
    {Keys::tkv,
     F::Tree,
     u"Tredjestocken",
     {},
     1,
     5,
     C::Quality,
     u"Den kvalitetsklass som trädets tredje stock kan nå: 1 är den bästa klassen (rak och "
     u"kvistfri), 5 den sämsta. Klassen väljer rad i prislistan.",
     nullptr,
     nullptr,
     3},
};

} // namespace

std::span<const Parameter> parameters() {
    return table;
}

const Parameter *findParameter(QStringView key) {
    for (const Parameter &p : table)
        if (p.key == key)
            return &p;
    return nullptr;
}

QList<const Parameter *> parametersOf(Parameter::Form form) {
    QList<const Parameter *> list;
    for (const Parameter &p : table)
        if (p.form == form)
            list << &p;
    return list;
}

QStringList parameterKeys() {
    QStringList keys;
    for (const Parameter &p : table)
        keys << p.keyText();
    return keys;
}

bool isFarOutsideBounds(const Parameter &p, double value) {
    if (!std::isfinite(value))
        return true;
    if (!p.isNumber() || !p.hasBounds())
        return false;
    const double margin = 100 * (p.upper - p.lower);
    return value < p.lower - margin || value > p.upper + margin;
}
