#include "gui/shared/parameterfields.h"

#include "core/parameters/parameters.h"

namespace {

const ParameterFields fields[] = {
    // The stand and economy form.
    {Keys::sv, u"optSvN", u"optSvS", u"Label6", {}},
    {Keys::plantcost, u"txtPlantcost", {}, u"Label7", u"Label8"},
    {Keys::rant, u"txtRant", {}, u"Label1", u"lblProc"},
    {Keys::harvpr, u"txtHarvpr", {}, u"lblHarvpr", u"lblProc2"},
    {Keys::avvandel, u"txtAvvandel", {}, u"Label9", u"Label11"},
    {Keys::avvjust, u"txtAvvjust", {}, u"Label12", u"Label13"},
    {Keys::mt, u"txtTallpris", {}, u"lblTallpris", u"lblKr1"},
    {Keys::mg, u"txtGranpris", {}, u"lblGranpris", u"Label2"},
    {Keys::mb, u"txtBjorkpris", {}, u"lblBjorkpris", u"Label3"},
    // The tree form.
    {Keys::art, u"cmbArt", {}, u"lblArt", {}},
    {Keys::bdm, u"txtBdm", {}, u"lblBdm", u"lblCm"},
    {Keys::hojdjust, u"txtHojdjust", {}, u"Label3", u"Label4"},
    {Keys::site, u"txtSite", {}, u"lblSite", u"lblM"},
    {Keys::plant, u"optYes", u"optNo", u"lblPlant", {}},
    {Keys::ring5, u"txtRing5", {}, u"lblRing5", u"lblMm"},
    {Keys::dkvot, u"txtDkvot", {}, u"Label6", {}},
    {Keys::kronst, u"txtKronst", {}, u"Label2", u"lblProc3"},
    {Keys::bkv, u"cmbBkv", {}, u"lblBkv", {}},
    {Keys::akv, u"cmbAkv", {}, u"lblAkv", {}},
    {Keys::tkv, u"cmbTkv", {}, u"lblTkv", {}},
};

} // namespace

std::span<const ParameterFields> parameterFields() {
    return fields;
}

const ParameterFields &fieldsOf(const Parameter &p) {
    for (const ParameterFields &f : fields)
        if (f.key == p.key)
            return f;
    Q_UNREACHABLE();
}
