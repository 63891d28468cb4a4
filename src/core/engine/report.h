#pragma once

#include "enginestate.h"
#include "numberformat.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

// The report "resultat.txt": a trace of one calculation, written line by line into memory as the
// calculation goes and saved in one piece at its end, so that a failed save never leaves half a
// report. Holds the wording of every line.
class Report {
public:
    // `decimalSeparator`: that of the user's regional settings, taken once per calculation.
    explicit Report(QChar decimalSeparator);

    void header(const EngineState &s);
    void crownReduction(double sharePercent);
    void passStart(double bdm, double height, double ring, int years);
    void logTopDiameter(int log_no, double top_diam);
    void logPrice(double log_price);
    void timberVolume(const QString &art, double volume);
    void noWoodValue();
    void pulpDiameters(double low, double top);
    void pulpwood(double length, double volume, double value);
    void logValues(double value1, double value2, double value3, double timber_value);
    void totalVolume(double stem_vol, double merch_volume);
    void harvestIntensity(double harvpr);
    void noMerchantableWood();
    // `merch_volume` after a zero volume has been replaced, so the per-m3 figures never divide
    // by zero.
    void costs(double harvest_cost, double planting_cost, double wood_value, double net_value,
               double net_per_m3, double merch_volume);
    void valueGrowth(double value_increase, double interest_achieved, double present_value,
                     int years, double rant);
    void passEnd();
    void trailer();
    // The last line of a calculation that stopped early.
    void stopped(const QString &why);

    // The report as the file holds it: Windows-1252, every line ended by CR LF.
    QByteArray bytes() const;
    qsizetype size() const { return m_end; }

private:
    // A number with its pattern, written when the line is put together.
    struct Number {
        double value;
        NumberPattern pattern;
    };

    // One line of the report: its parts joined as they stand, then CR LF. The text is kept in
    // Windows-1252 from the start; the fixed wording is all Latin-1, which Windows-1252 holds
    // byte for byte.
    template <typename... Parts> void line(const Parts &...parts) {
        reserveLine();
        (put(parts), ...);
        m_buffer[m_end++] = '\r';
        m_buffer[m_end++] = '\n';
    }
    // Room for the longest line the program writes, short of a text of the user's own.
    void reserveLine() { reserve(lineRoom); }
    void reserve(qsizetype bytes);
    template <std::size_t N> void put(const char16_t (&text)[N]) {
        static_assert(N < lineRoom / 4, "fixed report wording fits in a line's room");
        char *__restrict out = m_buffer.data() + m_end; // lets the copy be vectorised
        for (std::size_t i = 0; i + 1 < N; ++i) {
            Q_ASSERT(text[i] < 0x100); // Latin-1, the same bytes in Windows-1252
            out[i] = char(text[i]);
        }
        m_end += qsizetype(N - 1);
    }
    void put(const QString &text);
    void put(const Number &number);
    // Throws NonFiniteNumber rather than let an infinite or undefined value pass for a number.
    static Number n(double value, NumberPattern pattern);

    // Four numbers of the longest form formatNumber writes, and the wording around them.
    static constexpr qsizetype lineRoom = 4096;
    char m_separator;
    std::vector<char> m_buffer; // written up to m_end, with room to spare
    qsizetype m_end = 0;
};
