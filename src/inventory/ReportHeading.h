#pragma once
// The heading every report of the entries starts with, read from this
// computer: its name, the time now, and what the inventory could not read.
// The console program and the window's export say the same.

#include "inventory/EntryReport.h"
#include "inventory/ProgramInventory.h"

// `inventory` may be null (a report of no listing): no shortfalls then.
ReportHeader ReadReportHeading(const ProgramInventory* inventory);
