#pragma once
// The text `zaltrow help` prints: verbs, options, lists and exit codes.

#include <string>

std::wstring UsageText();
