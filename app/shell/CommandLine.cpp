#include "app/shell/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace {

// The toolkit's options that take a value ("--display :1" or "--display=:1"),
// and those that take none. The toolkit reads and removes them at start-up.
constexpr std::array<std::string_view, 8> kToolkitOptionsWithValue = {
    "display", "gtk-module", "gdk-debug", "gdk-no-debug", "gtk-debug", "gtk-no-debug", "class", "name"};
constexpr std::array<std::string_view, 2> kToolkitFlags = {"g-fatal-warnings", "sync"};

bool IsOneOf(std::string_view name, const auto& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    bool options = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!options || arg.size() < 2 || arg[0] != '-') {
            if (!arg.empty()) line.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
            continue;
        }
        const bool twoDashes = arg.compare(0, 2, "--") == 0;
        const std::string name = arg.substr(twoDashes ? 2 : 1);
        const std::string lower = Lower(name);
        if (lower == "help" || lower == "h" || lower == "?") {
            line.help = true;
        } else if (lower == "version" || lower == "v") {
            line.version = true;
        } else if (lower == "nosplash" || lower == "embedding" || lower == "automation") {
            line.splash = false;
        } else if (twoDashes && IsOneOf(name.substr(0, name.find('=')), kToolkitOptionsWithValue)) {
            if (name.find('=') == std::string::npos) ++i; // the value follows
        } else if (twoDashes && IsOneOf(name, kToolkitFlags)) {
            // the toolkit's
        } else if (line.unknownOption.empty()) {
            line.unknownOption = arg;
        }
    }
    return line;
}

std::string UsageText()
{
    return "Usage: Brindle [OPTION...] [FILE|ftp://ADDRESS...]\n"
           "Opens each FILE (or remote address) as a document in the XML editor.\n"
           "\n"
           "Addresses:\n"
           "  ftp://SERVER/folder/file.xml      SERVER is a server stored under [FTP] Open FTP...\n"
           "  ftp://user@host:port/folder/file.xml\n"
           "\n"
           "Options:\n"
           "  -h, --help       show this text and exit\n"
           "  -v, --version    show the version and exit\n"
           "  -nosplash        start without the start-up picture\n"
           "  --               the arguments that follow are files, even if they begin with \"-\"\n"
           "\n"
           "Batch work (no window; messages on standard error as FILE:LINE:COLUMN: MESSAGE;\n"
           "exit status 0 when every document is fine, 1 when one failed, 2 for bad usage):\n"
           "  --validate FILE...             check that each FILE is well-formed and valid\n"
           "  --transform XSL IN OUT         apply the stylesheet XSL to IN, writing OUT\n"
           "  --format IN [OUT]              auto-format IN into OUT (IN itself when OUT is left out)\n"
           "  --run-plugin SCRIPT.vbs FILE...\n"
           "                                 replace each FILE's text by what the script's Main returns\n"
           "  --stdout                       with --format or --run-plugin: print the result instead\n"
           "                                 of writing the file\n"
           "  --xpath EXPR FILE...           print what EXPR selects: for each node its path and value\n"
           "                                 (tab between; \\n, \\t, \\r and \\\\ escaped), or the\n"
           "                                 number, string or boolean; \"FILE:\" first when several\n"
           "                                 files are named. Every prefix a document declares can be\n"
           "                                 used, and its root's default namespace as \"d\"\n"
           "  --ns PREFIX=URI                with --xpath: bind another prefix\n"
           "\n"
           "Settings live in $XDG_CONFIG_HOME/Brindle/settings; BRINDLE_CONFIG_DIR names another folder.\n";
}

std::string VersionText() { return std::string("Brindle ") + BRINDLE_VERSION + "\n"; }
