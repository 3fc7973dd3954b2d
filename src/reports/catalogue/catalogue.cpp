#include "reports/catalogue/catalogue.h"

namespace quillon {

const std::vector<CatalogueEntry>& reportCatalogue()
{
    static const std::vector<CatalogueEntry> entries = [] {
        const auto slot1 = TitleSlot::ReportTitle;
        const auto slot2 = TitleSlot::ReportTitle2;
        auto names = [](std::initializer_list<const char*> list) {
            QStringList out;
            for (const char* n : list) out << QString::fromLatin1(n);
            return out;
        };
        return std::vector<CatalogueEntry>{
            {1, "WorkRest", "Work/Rest", slot1, 1, 0, names({"StartDate", "EndDate", "SortField"})},
            {2, "CommissaryCharges", "Commissary Charges By Date", slot1, 1, 0, {}},
            {3, "SummHours", "Summary of Hours Worked", slot1, 2, 8, {}},
            {4, "SummContractor", "Payment Summary of Equipment Usage", slot1, 1, 0, {}},
            {5, "ExcessHours", "Hours in Excess of Standard", slot1, 1, 0,
             names({"StartDate", "EndDate", "MinValue", "SortField"})},
            {6, "OF288", "OF-288", slot1, 2, 25, names({"FinalFlag", "OrigRpt"})},
            {7, "OF286", "OF-286", slot1, 1, 0,
             names({"DebitTotal", "AdditionTotal", "ContCrew", "OrigRpt", "PrevInvoices", "InclusiveDates"})},
            {9, "CommAuthorization", "Commissary Authorization", slot1, 1, 0, {}},
            {10, "ContractorDebits", "Contractor Debits", slot2, 1, 0, {}},
            {11, "EquipMgmt", "Equipment Management", slot1, 1, 0, {}},
            {12, "CrewRoster", "Crew Roster", slot1, 1, 0, {}},
            {13, "EquipDeductions", "Equipment Deductions & Additions", slot2, 1, 0,
             names({"OrigRpt", "InclusiveDates"})},
            {14, "CommissaryDetail", "Commissary Detail", slot2, 1, 0, names({"OrigRpt"})},
            {15, "IncidentTime", "Incident Time Report By Date", slot1, 1, 0,
             names({"StartDate", "EndDate", "LeaderName", "LeaderPhone"})},
        };
    }();
    return entries;
}

const CatalogueEntry* catalogueEntry(int reportNumber)
{
    for (const CatalogueEntry& e : reportCatalogue())
        if (e.number == reportNumber) return &e;
    return nullptr;
}

}  // namespace quillon
