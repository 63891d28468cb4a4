// What the engine's loader makes of a hand-edited value in the control file.
#include "core/parameters/treeinputs.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

struct HandEdited {
    const char *name;
    const char *key;
    const char *value;
    double loaded;           // what the engine calculates with, when it can
    const char *refusedSays; // nullptr: loaded; else a part of the message
};

void PrintTo(const HandEdited &h, std::ostream *os) {
    *os << h.name;
}

class AHandEditedValue : public ::testing::TestWithParam<HandEdited> {};

TEST_P(AHandEditedValue, IsReadAsThePlainNumberItIsOrStopsTheCalculationSayingWhere) {
    const HandEdited &h = GetParam();
    TempHome home;
    QStringList lines = sampleControlLines();
    for (QString &line : lines)
        if (line.startsWith(QLatin1String(h.key)))
            line = QString::fromLatin1(h.key) + '/' + QString::fromUtf8(h.value) + "/ handskrivet";
    home.writeLines("trad.sty", lines);
    const QByteArray before = home.read("trad.sty");

    TreeInputs inputs;
    inputs.crownShare = -7; // what a previous calculation left
    const TreeInputs previous = inputs;
    const QString message = take(loadTreeInputs(home.directory(), inputs), inputs);
    if (!h.refusedSays) {
        EXPECT_EQ(message, QString());
        const double got = QString(h.key) == "rant:"    ? inputs.requiredRate
                           : QString(h.key) == "bkv:"   ? inputs.logQualities[0]
                           : QString(h.key) == "ring5:" ? inputs.ringWidth
                                                        : inputs.crownShare;
        EXPECT_DOUBLE_EQ(got, h.loaded);
    } else {
        // The message names the key, the value and the file, and says what to do.
        EXPECT_TRUE(message.contains(QString::fromUtf8(h.refusedSays))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLatin1(h.key))) << message.toStdString();
        EXPECT_TRUE(message.contains(home.path("trad.sty"))) << message.toStdString();
        EXPECT_TRUE(message.contains("Rätta") || message.contains("Skriv"))
            << message.toStdString();
        EXPECT_LT(message.size(), 260) << message.toStdString();
        EXPECT_EQ(inputs, previous) << "nothing of a refused file reaches the engine";
    }
    EXPECT_EQ(home.read("trad.sty"), before);
}

const std::string fourHundredNines(400, '9');

INSTANTIATE_TEST_SUITE_P(
    ControlFile, AHandEditedValue,
    ::testing::Values(
        HandEdited{"DecimalCommaRate", "rant:", "3,5", 0.035, nullptr},
        HandEdited{"DecimalCommaQuality", "bkv:", "2,5", 2, nullptr},
        HandEdited{"BlanksAroundANumber", "ring5:", " 2.5 ", 2.5, nullptr},
        HandEdited{"AnExponent", "kronst:", "6e1", 60, nullptr},
        HandEdited{"Letters", "rant:", "abc", 0, "\"abc\" för rant: är inget tal"},
        HandEdited{"NotANumber", "kronst:", "nan", 0, "\"nan\" för kronst: är inget tal"},
        HandEdited{"Hexadecimal", "ring5:", "0x10", 0, "\"0x10\" för ring5: är inget tal"},
        HandEdited{"WithAUnit", "kronst:", "60 %", 0, "\"60 %\" för kronst: är inget tal"},
        HandEdited{"Empty", "bkv:", "", 0, "\"\" för bkv: är inget tal"},
        HandEdited{"TwoCommas", "rant:", "1,000,5", 0, "är inget tal"},
        HandEdited{"HugeNegativeCrown", "kronst:", "-1e308", 0,
                   "\"-1e308\" för kronst: ligger långt utanför gränserna 0 och 100"},
        HandEdited{"HugeRingWidth", "ring5:", "1e308", 0,
                   "\"1e308\" för ring5: ligger långt utanför gränserna 0.1 och 20"},
        HandEdited{"HugeHarvestCost", "avvjust:", "1e308", 0,
                   "\"1e308\" för avvjust: ligger långt utanför gränserna 0 och 1000"},
        HandEdited{"BeyondADouble", "rant:", "1e999", 0, "ligger långt utanför gränserna 0 och 10"},
        HandEdited{"FourHundredDigits", "kronst:", fourHundredNines.c_str(), 0,
                   "\"999999999999999999999999999...\" för kronst: ligger långt utanför"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
