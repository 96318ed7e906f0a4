#pragma once

#include "report/quick_report.h"
#include "report/report_label.h"

#include <string_view>

namespace lambreya {

class RecordSet;

// SearchResForm: the form that holds the report. It is never shown; start-up creates it
// right after the main window, bound to that window's Table1, and destroys it first.
class TSearchResForm {
public:
    explicit TSearchResForm(RecordSet& table);

    QuickReport QuickRep1;

    ReportLabel* FamiliFilter_QRLabel;
    ReportLabel* InitsiFilter_QRLabel;
    ReportLabel* StreetFilter_QRLabel;
    ReportLabel* HomeFilter_QRLabel;
    ReportLabel* RoomFilter_QRLabel;
    ReportLabel* TeleFilter_QRLabel;
    ReportLabel* PrimFilter_QRLabel;

    // A label of the report by its name, nullptr for an unknown name.
    ReportLabel* findLabel(std::string_view name) { return QuickRep1.findLabel(name); }
};

} // namespace lambreya
