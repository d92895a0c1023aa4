#include "inventory/ReportHeading.h"

#include <windows.h>

#include "framework/SystemErrorText.h"
#include "inventory/EntryJudgement.h"

namespace {

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size) : L"";
}

std::wstring NowUtc() {
    SYSTEMTIME t;
    GetSystemTime(&t);
    return IsoUtcTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

}  // namespace

ReportHeader ReadReportHeading(const ProgramInventory* inventory) {
    ReportHeader header{ComputerName(), NowUtc(), 0, {}};
    if (!inventory) return header;
    header.leftOut = inventory->LeftOut();
    for (const ProgramInventory::Shortfall& shortfall : inventory->Shortfalls())
        header.shortfalls.push_back({ListName(shortfall.list), shortfall.leftOut,
                                     shortfall.error != ERROR_SUCCESS
                                         ? fw::SystemErrorText(static_cast<DWORD>(shortfall.error))
                                         : L""});
    return header;
}
