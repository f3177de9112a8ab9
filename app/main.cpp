#include "app/batch/BatchArgs.h"
#include "app/batch/BatchRun.h"
#include "app/shell/BrindleApp.h"
#include "app/shell/CommandLine.h"

#include <cstdio>
#include <iostream>

wxIMPLEMENT_APP_NO_MAIN(CBrindleApp);

int main(int argc, char** argv)
{
    // --help, --version, the batch commands and a wrong option are answered on
    // the terminal, without a window (and without a display).
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine line = ParseCommandLine(args);
    if (line.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }
    if (IsBatchRequest(args)) return RunBatch(args, std::cout, std::cerr);
    if (!line.unknownOption.empty()) {
        std::fprintf(stderr, "Brindle: unknown option %s\nTry \"Brindle --help\" for the options.\n",
                     line.unknownOption.c_str());
        return 2;
    }
    return wxEntry(argc, argv);
}
