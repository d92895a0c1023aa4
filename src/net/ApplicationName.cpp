#include "net/ApplicationName.h"

#include "framework/ModulePath.h"

std::string ApplicationNameFromPath(const std::string& modulePath) {
    const std::size_t slash = modulePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string ApplicationName() {
    return ApplicationNameFromPath(fw::ModulePath());
}
