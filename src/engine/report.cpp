#include "report.h"

#include "calculationstopped.h"
#include "numberformat.h"
#include "textfile.h"

#include <cmath>

QString engineNumber(double value, QStringView pattern, QChar decimalSeparator) {
    if (!std::isfinite(value))
        throw NonFiniteNumber{};
    return formatNumber(value, pattern, decimalSeparator);
}

Report::Report(QChar decimalSeparator) : m_separator(decimalSeparator) {
    m_text.reserve(16 * 1024);
}

QString Report::n(double value, QStringView pattern) const {
    return engineNumber(value, pattern, m_separator);
}

void Report::header(const EngineState &s) {
    line(QString());
    line(QStringLiteral("            RÄNTABILITETEN HOS TRÄD"));
    line(QString());
    line(QStringLiteral("  Kvistel, värdering av enskilda träd i naturkultur"));
    line(QString());
    line(s.sv == u"N" ? QStringLiteral("Norra Sverige") : QStringLiteral("Södra Sverige"));
    line(u"Räntekrav ", n(s.rant * 100, u"###0.0"), u" %,   Bonitet, m 100 år = ", n(s.site, u"#0"),
         u" Plantering=", s.plant, u" Avverknint. ", n(s.harvpr, u"##0"), u" %");
    line(u"Massapris Tall ", n(s.mt, u"###0"), u" Gran ", n(s.mg, u"###0"), u" Björk ",
         n(s.mb, u"###0"), u" kr/m3, Trädart= ", s.art);
    line(u"Potentiell kvalitet i första stock, ", n(s.kvalitet[1], u"#0"), u", i andrastock, ",
         n(s.kvalitet[2], u"#0"), u", i tredjestock, ", n(s.kvalitet[3], u"#0"));
    line(QString());
}

void Report::crownReduction(double sharePercent) {
    line(u"pga liten krona reduceras årsringen under följande 10 år till = ",
         n(sharePercent, u"##0"), u"%");
}

void Report::passStart(double bdm, double height, double ring, int years) {
    line(QStringLiteral("       *****************************************************"));
    line(u"bhdiam= ", n(bdm, u"###0.00"), u" cm, höjden= ", n(height, u"#0.00"), u" m,  årsring= ",
         n(ring, u"###0.00"), u" mm,");
    line(u"AVVERKNING OM ", n(years, u"##0"), u" ÅR");
}

void Report::logTopDiameter(int log_no, double top_diam) {
    static const QString start[4] = {QString(), QStringLiteral("  förstastockens toppdiameter är "),
                                     QStringLiteral("  andrastockens toppdiameter är "),
                                     QStringLiteral("  tredjestockens toppdiameter är ")};
    line(start[log_no], n(top_diam, u"###0.00"), u" cm");
}

void Report::logPrice(double log_price) {
    line(u" kubikmeterpriset på timret är ", n(log_price, u"###0"), u" kr");
}

void Report::timberVolume(const QString &art, double volume) {
    if (art == u"t")
        line(u" talltimmervolym ", n(volume, u"0.0000"), u" m3f ");
    else if (art == u"g")
        line(u" grantimmervolym ", n(volume, u"0.0000"), u" m3f ");
}

void Report::noWoodValue() {
    line(QStringLiteral("     trädets virkesvärde 0  kr"));
}

void Report::pulpDiameters(double low, double top) {
    line(u"Massaved nedre diam, cm ", n(low, u"#0.00"), u" Massaved övre diam, cm  ",
         n(top, u"#0.00"));
}

void Report::pulpwood(double length, double volume, double value) {
    line(u"Massaved ovan timret: längd ", n(length, u"#0.00"), u" m, volym ", n(volume, u"#0.000"),
         u" m3f, värde ", n(value, u"###0"), u" kr");
}

void Report::logValues(double value1, double value2, double value3, double timber_value) {
    line(u"Värde: första stock ", n(value1, u"###0"), u", andra ", n(value2, u"###0"), u", tredje ",
         n(value3, u"###0"), u", timmervärde tot ", n(timber_value, u"###0"), u" kr");
}

void Report::totalVolume(double stem_vol, double merch_volume) {
    line(u"Totalvolym enl vol.formel= ", n(stem_vol - 0.0022, u"#0.000"), u" m3f p.b.",
         u",gagnvirkesvol ", n(merch_volume, u"#0.000"), u"m3f p.b.");
}

void Report::harvestIntensity(double harvpr) {
    line(u"Avv.int. i % av bestånd med full täthet ", n(harvpr, u"#0.00"));
}

void Report::noMerchantableWood() {
    line(QStringLiteral("           Trädet ger inget gagnvirke"));
}

void Report::costs(double harvest_cost, double planting_cost, double wood_value, double net_value,
                   double net_per_m3, double merch_volume) {
    line(u"avv.kostn. ", n(harvest_cost, u"###0"), u" kr/träd,  ",
         n(harvest_cost / merch_volume, u"###0"), u" kr/m3");
    line(u"planteringskostn. ", n(planting_cost, u"###0"), u" kr/träd,  ",
         n(planting_cost / merch_volume, u"###0"), u" kr/m3,");
    line(u"Trädets; virkesvärde; ", n(wood_value, u"###0"), u" kr/träd,  ",
         n(wood_value / merch_volume, u"###0"), u" krm3");
    line(u"Trädets; drivn.netto; ", n(net_value, u"###0"), u" kr,  Drivn.netto/m3 gagnvirke  ",
         n(net_per_m3, u"###0"), u" kr/m3");
    line(QString());
    line(QString());
    line(QStringLiteral("      ________________________________________"));
}

void Report::valueGrowth(double value_increase, double interest_achieved, double present_value,
                         int years, double rant) {
    line(u" Trädets värdeökning de sista 10 åren är    ", n(value_increase, u"###0"), u"  kr");
    line(u"uttryckt i ränta på ränta under de sista 10 åren är   ", n(interest_achieved, u"#0.00"),
         u" %");
    line(u" Trädets nuvärde: ", n(present_value, u"###0"), u" kr, avv. om ", n(years, u"##0"),
         u" år, (räntekrav= ", n(rant * 100, u"#0"), u"%)");
}

void Report::passEnd() {
    line(QStringLiteral("     ___________________________________________"));
}

void Report::trailer() {
    line(QStringLiteral(" -----------------------------------------------------"));
    for (int i = 0; i < 4; ++i)
        line(QString());
}

void Report::stopped(const QString &why) {
    line(QString());
    line(u"Beräkningen avbröts: ", why);
}

QByteArray Report::bytes() const {
    return encodeCp1252(m_text);
}
