#pragma once

#include <string>
#include <vector>

// What the program was started with: the documents to open and the switches.
struct CommandLine {
    std::vector<std::string> files; // paths and "ftp://" addresses, in order
    bool help = false;
    bool version = false;
    bool splash = true; // "-nosplash", or a start for embedding or automation, turns it off
    std::string unknownOption; // the first option nobody knows, if any
};

// Reads the arguments after the program name. Options start with "-" (one or two);
// "--" ends them, so a file may be named "-x". The toolkit's own display options
// are passed over with their values.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text --help prints.
std::string UsageText();
// The text --version prints.
std::string VersionText();
