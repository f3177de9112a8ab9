#include "app/shell/WindowTitles.h"

namespace {

constexpr const char* kAppName = "Brindle";

std::string NameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string MainWindowTitle(const std::string& documentPath, bool modified)
{
    if (documentPath.empty()) return kAppName;
    return (modified ? "*" : "") + NameOf(documentPath) + " \u2014 " + kAppName;
}

std::string WindowMenuLabel(int index, const std::string& documentPath, bool modified)
{
    std::string label = index < 9 ? "&" + std::to_string(index + 1) + " " : "";
    if (modified) label += '*';
    for (char c : documentPath) {
        if (c == '&') label += '&';
        label += c;
    }
    return label;
}
