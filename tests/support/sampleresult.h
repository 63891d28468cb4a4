#pragma once

// The result of the sample tree (pine, 30 cm, 3 %) as the result grid shows it, for the tests
// of what takes a result out of the program. Fixed texts: these tests are about the writing,
// not about the valuation.

#include "core/results/resulttable.h"

#include <QStandardItemModel>

#include <array>
#include <memory>

inline constexpr std::array<const char *, 17> sampleResultHeadings{
    "Ränta,          %",
    "Nuvärde kr/träd",
    "Netto   kr/träd",
    "Netto   kr/m3",
    "Gagnvirke volym m3",
    "Trädhöjd     m",
    "Diameter     cm",
    "Toppdiam. för 1:a stock. cm",
    "Toppdiam. för 2:a stock. cm",
    "Toppdiam. för 3:e stock. cm",
    "Värde för 1:a stock. kr",
    "Värde för 2:a stock. kr",
    "Värde för 3:e stock. kr",
    "Värde för massaveden. kr",
    "Virkesvärde. kr/m3",
    "Avverknings- kostnad. kr/m3",
    "Planterings- kostnad. kr/m3",
};

// Row label first; the grid leaves the rate of harvest now blank (" "), its present value is
// its net value.
inline constexpr const char *sampleResultRows[12][18] = {
    {"0", " ", "174", "174", "386", "0.45", "20.2", "30", "26", "21", "15", "156", "83", "25", "8",
     "605", "76", "142"},
    {"10", "5.71", "225", "303", "451", "0.67", "21.9", "35", "30", "25", "19", "230", "131", "49",
     "18", "637", "73", "113"},
    {"20", "4.94", "272", "491", "504", "0.97", "23.6", "40", "35", "30", "24", "309", "208", "97",
     "33", "664", "70", "90"},
    {"30", "3.90", "297", "720", "523", "1.38", "25.2", "46", "41", "35", "29", "409", "284", "165",
     "57", "665", "69", "73"},
    {"40", "3.13", "300", "980", "530", "1.85", "26.6", "52", "46", "40", "33", "524", "371", "235",
     "86", "658", "68", "60"},
    {"50", "2.62", "290", "1270", "530", "2.39", "27.7", "58", "51", "45", "38", "652", "470",
     "307", "123", "648", "68", "51"},
    {"60", "2.31", "271", "1596", "530", "3.01", "28.8", "64", "57", "50", "43", "795", "580",
     "387", "167", "640", "67", "43"},
    {"70", "2.07", "247", "1959", "529", "3.70", "29.7", "70", "62", "55", "47", "951", "701",
     "476", "217", "633", "67", "37"},
    {"80", "1.87", "222", "2358", "528", "4.47", "30.5", "76", "67", "60", "52", "1120", "833",
     "574", "275", "627", "67", "33"},
    {"90", "1.71", "195", "2794", "526", "5.31", "31.2", "82", "72", "65", "57", "1304", "976",
     "681", "339", "622", "67", "29"},
    {"100", "1.57", "170", "3266", "525", "6.22", "31.9", "88", "78", "70", "61", "1501", "1130",
     "796", "411", "617", "66", "26"},
    {"110", "1.46", "146", "3775", "524", "7.20", "32.4", "94", "83", "75", "66", "1712", "1296",
     "920", "490", "613", "66", "23"},
};

// The grid as a model: headings in the horizontal header, years in the vertical one, numbers
// written with `decimalSeparator` as the grid writes them under the user's settings.
inline std::unique_ptr<QStandardItemModel> sampleResultModel(QChar decimalSeparator = u'.') {
    auto model = std::make_unique<QStandardItemModel>(12, 17);
    for (int c = 0; c < 17; ++c)
        model->setHorizontalHeaderItem(
            c, new QStandardItem(QString::fromUtf8(sampleResultHeadings[std::size_t(c)])));
    for (int r = 0; r < 12; ++r) {
        model->setVerticalHeaderItem(r,
                                     new QStandardItem(QString::fromUtf8(sampleResultRows[r][0])));
        for (int c = 0; c < 17; ++c) {
            QString text = QString::fromUtf8(sampleResultRows[r][c + 1]);
            text.replace(u'.', decimalSeparator);
            model->setItem(r, c, new QStandardItem(text));
        }
    }
    return model;
}

// The parameter summary of the sample tree, as the window shows it with `decimalSeparator`.
inline QList<SummaryItem> sampleSummary(QChar decimalSeparator = u'.') {
    return {
        {0, {}, "Landsdel", "Södra", {}},
        {0, {}, "Art", "Tall", {}},
        {0, {}, "Diam bh", "30", "cm"},
        {0,
         {},
         "Plantkostnad",
         QStringLiteral("5") + decimalSeparator + QStringLiteral("00"),
         "Kr"},
        {1, {}, "Räntekrav", "3", "%"},
        {1, {}, "Avv.intens.vol", "50", "%"},
        {1, {}, "Bonitet, 100 år", "24", "m"},
        {1, {}, "Plantering", "Ja", {}},
        {2, "Massapris", "Tall", "250", {}},
        {2, "Massapris", "Gran", "270", {}},
        {2, "Massapris", "Björk", "240", {}},
        {3, "Potent. kvalitet", "Förstastock", "1", {}},
        {3, "Potent. kvalitet", "Andrastock", "2", {}},
        {3, "Potent. kvalitet", "Tredjestock", "3", {}},
    };
}
