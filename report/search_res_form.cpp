#include "report/search_res_form.h"

#include "data/error.h"

namespace lambreya {
namespace {

ReportLabel* labelOf(QuickReport& report, std::string_view name) {
    ReportLabel* label = report.findLabel(name);
    if (!label)
        throw Error("В отчёте нет надписи " + std::string(name));
    return label;
}

} // namespace

TSearchResForm::TSearchResForm(RecordSet& table)
    : QuickRep1(table)
    , FamiliFilter_QRLabel(labelOf(QuickRep1, "FamiliFilter_QRLabel"))
    , InitsiFilter_QRLabel(labelOf(QuickRep1, "InitsiFilter_QRLabel"))
    , StreetFilter_QRLabel(labelOf(QuickRep1, "StreetFilter_QRLabel"))
    , HomeFilter_QRLabel(labelOf(QuickRep1, "HomeFilter_QRLabel"))
    , RoomFilter_QRLabel(labelOf(QuickRep1, "RoomFilter_QRLabel"))
    , TeleFilter_QRLabel(labelOf(QuickRep1, "TeleFilter_QRLabel"))
    , PrimFilter_QRLabel(labelOf(QuickRep1, "PrimFilter_QRLabel")) {}

} // namespace lambreya
