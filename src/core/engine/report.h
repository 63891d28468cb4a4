#pragma once

#include "core/files/numberformat.h"
#include "core/parameters/treeinputs.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <cmath>
#include <string>

// The report "resultat.txt": a trace of one calculation, put together in memory from the
// figures the valuation hands over as it goes and saved in one piece at its end, so that a
// failed save never leaves half a report. Holds the wording of every line; the valuation itself
// formats nothing.
// m3 the report's total volume line takes off the stem volume (the valuation uses it whole).
inline constexpr double reportedStemVolumeDeduction = 0.0022;

class Report {
public:
    // `decimalSeparator`: that of the user's regional settings, taken once per calculation.
    explicit Report(QChar decimalSeparator);

    void header(const TreeInputs &inputs);
    void crownReduction(double sharePercent);
    void passStart(double diameter, double height, double ring, int years);
    void logTopDiameter(int logNumber, double topDiameter);
    void logPrice(double price);
    void timberVolume(const QString &species, double volume);
    void noWoodValue();
    void pulpDiameters(double low, double top);
    void pulpwood(double length, double volume, double value);
    void logValues(double value1, double value2, double value3, double timberValue);
    void totalVolume(double stemVolume, double merchVolume);
    void harvestIntensity(double percent);
    void noMerchantableWood();
    // `merchVolume` after a zero volume has been replaced, so the per-m3 figures never divide
    // by zero.
    void costs(double harvestCost, double plantingCost, double woodValue, double netValue,
               double netPerM3, double merchVolume);
    void valueGrowth(double valueIncrease, double interestAchieved, double presentValue, int years,
                     double requiredRate);
    void passEnd();
    void trailer();
    // The last line of a calculation that stopped early.
    void stopped(const QString &why);

    // The report as the file holds it: Windows-1252, every line ended by CR LF.
    QByteArray bytes() const;
    qsizetype size() const { return qsizetype(m_text.size()); }

private:
    // A number with its pattern, written when the line is put together.
    struct Number {
        double value;
        NumberPattern pattern;
    };
    static Number n(double value, NumberPattern pattern) { return {value, pattern}; }

    // One line of the report: its parts joined as they stand, then CR LF. A line with a number
    // that is infinite or undefined is not written, nor anything after it: the calculation
    // stops there, and only the line saying why follows.
    template <typename... Parts> void line(const Parts &...parts) {
        if (m_halted)
            return;
        if (!(isFinite(parts) && ...)) {
            m_halted = true;
            return;
        }
        (put(parts), ...);
        m_text += "\r\n";
    }
    template <typename Part> static bool isFinite(const Part &) { return true; }
    static bool isFinite(const Number &number) { return std::isfinite(number.value); }

    // The text is kept in Windows-1252 from the start; the fixed wording is all Latin-1, which
    // Windows-1252 holds byte for byte.
    template <std::size_t N> void put(const char16_t (&text)[N]) {
        char bytes[N];
        for (std::size_t i = 0; i < N; ++i) {
            Q_ASSERT(text[i] < 0x100);
            bytes[i] = char(text[i]);
        }
        m_text.append(bytes, N - 1);
    }
    void put(const QString &text);
    void put(const Number &number);

    char m_separator;
    bool m_halted = false;
    std::string m_text;
};

// The byte that stands for the decimal separator `localeSeparator` in the report. Windows-1252
// holds few separators beyond "," and "."; for one it cannot hold (the Arabic decimal separator,
// a full-width comma) a byte that looks alike is written instead of the encoder's substitute
// 0x1A, which would stand where every separator belongs: "," for a comma-like character, else
// ".".
char reportDecimalSeparator(QChar localeSeparator);
