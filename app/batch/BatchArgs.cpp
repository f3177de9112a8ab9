#include "app/batch/BatchArgs.h"

#include <array>
#include <string_view>

namespace {

struct CommandName {
    std::string_view option;
    BatchRequest::Command command;
};

constexpr std::array<CommandName, 5> kCommands = {{
    {"--validate", BatchRequest::Command::Validate},
    {"--transform", BatchRequest::Command::Transform},
    {"--format", BatchRequest::Command::Format},
    {"--run-plugin", BatchRequest::Command::RunPlugin},
    {"--xpath", BatchRequest::Command::XPath},
}};

BatchRequest::Command CommandOf(std::string_view arg)
{
    for (const CommandName& name : kCommands)
        if (name.option == arg) return name.command;
    return BatchRequest::Command::None;
}

// The operands each command takes: at least, at most (0: no limit).
std::pair<size_t, size_t> OperandCount(BatchRequest::Command command)
{
    switch (command) {
    case BatchRequest::Command::Validate: return {1, 0};
    case BatchRequest::Command::Transform: return {3, 3};
    case BatchRequest::Command::Format: return {1, 2};
    case BatchRequest::Command::RunPlugin: return {2, 0};
    case BatchRequest::Command::XPath: return {2, 0};
    case BatchRequest::Command::None: break;
    }
    return {0, 0};
}

} // namespace

bool IsBatchRequest(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (CommandOf(arg) != BatchRequest::Command::None) return true;
    }
    return false;
}

BatchRequest ParseBatchArgs(const std::vector<std::string>& args)
{
    BatchRequest request;
    bool options = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && CommandOf(arg) != BatchRequest::Command::None) {
            if (request.command != BatchRequest::Command::None) {
                request.usageError = "only one of --validate, --transform, --format, --run-plugin and --xpath may be given";
                return request;
            }
            request.command = CommandOf(arg);
        } else if (options && arg == "--stdout") {
            request.toStdout = true;
        } else if (options && (arg == "--ns" || arg.rfind("--ns=", 0) == 0)) {
            std::string binding;
            if (arg == "--ns") {
                if (++i == args.size()) {
                    request.usageError = "--ns needs PREFIX=URI";
                    return request;
                }
                binding = args[i];
            } else {
                binding = arg.substr(5);
            }
            const size_t eq = binding.find('=');
            if (eq == 0 || eq == std::string::npos) {
                request.usageError = "--ns needs PREFIX=URI, not \"" + binding + "\"";
                return request;
            }
            request.prefixes.emplace_back(binding.substr(0, eq), binding.substr(eq + 1));
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            request.usageError = "unknown option " + arg;
            return request;
        } else {
            request.operands.push_back(arg);
        }
    }
    if (request.command == BatchRequest::Command::None) {
        request.usageError = "no command given";
        return request;
    }
    const auto [least, most] = OperandCount(request.command);
    if (request.operands.size() < least || (most != 0 && request.operands.size() > most))
        request.usageError = "wrong number of arguments";
    else if (request.toStdout && request.command != BatchRequest::Command::RunPlugin &&
             request.command != BatchRequest::Command::Format)
        request.usageError = "--stdout goes with --format and --run-plugin only";
    else if (!request.prefixes.empty() && request.command != BatchRequest::Command::XPath)
        request.usageError = "--ns goes with --xpath only";
    return request;
}
