#pragma once

#include "enginestate.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

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
    const QString &text() const { return m_text; }

private:
    // One line of the report: its parts joined as they stand, then CR LF.
    template <typename... Parts> void line(const Parts &...parts) {
        (m_text.append(QStringView(parts)), ...);
        m_text.append(u"\r\n");
    }
    QString n(double value, QStringView pattern) const;

    QChar m_separator;
    QString m_text;
};

// `value` with a number pattern and the given separator; throws NonFiniteNumber rather than let
// an infinite or undefined value pass for a number in the report or the grid.
QString engineNumber(double value, QStringView pattern, QChar decimalSeparator);
