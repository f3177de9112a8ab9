#pragma once

#include <string>
#include <utility>
#include <vector>

// A run of the program that works on files from the command line and opens no
// window: what to do and to which files.
struct BatchRequest {
    enum class Command { None, Validate, Transform, Format, RunPlugin, XPath };
    Command command = Command::None;
    std::vector<std::string> operands; // after the command's option, in order
    bool toStdout = false;             // --stdout: print results instead of writing files
    std::vector<std::pair<std::string, std::string>> prefixes; // --ns PREFIX=URI, in order
    std::string usageError; // why the arguments cannot run (empty when they can)
};

// Whether the arguments (after the program name) ask for a batch command.
bool IsBatchRequest(const std::vector<std::string>& args);

// Reads a batch command line: one command option with its operands, plus
// --stdout and --ns PREFIX=URI. "--" ends the options.
BatchRequest ParseBatchArgs(const std::vector<std::string>& args);
