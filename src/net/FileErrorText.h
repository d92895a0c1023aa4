#pragma once
// The message shown when a download's local file cannot be created: a
// system error code (GetLastError after CreateFile) mapped to the file-error
// wording, with the file's name as given put in place of %1.

#include <string>

std::string FileErrorText(unsigned long systemError, const std::string& fileName);
