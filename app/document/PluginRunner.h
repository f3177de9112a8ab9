#pragma once

#include <chrono>
#include <string>

// Runs a plugin script: the script's Main receives the whole source text and
// returns the new one. Dialogs the script shows, and the question whether to
// stop a script that runs long, go through the UI services.
class PluginRunner {
public:
    enum class Status {
        Done,       // text holds Main's result ("" for none)
        OpenFailed, // the script file could not be read
        Failed,     // a syntax or run-time error; error tells which and where
        Stopped,    // the user stopped the script
        OutOfMemory,
    };
    struct Outcome {
        Status status = Status::Failed;
        std::string text;
        std::string error; // the error's source, number and description
        int line = 0;      // where in the script (1-based; 0 unknown)
        int column = 0;
    };

    // scriptName is shown in the question to stop it.
    explicit PluginRunner(std::string scriptName) : m_scriptName(std::move(scriptName)) {}

    // How long a script runs (time in its own dialogs not counted) before the
    // user is asked whether to stop it, and again after each "No". The memory
    // its values may hold is the "scriptMemoryMB" setting; beyond it the
    // script fails with error 7, Out of memory.
    void SetPatience(std::chrono::milliseconds patience) { m_patience = patience; }

    Outcome Run(const std::string& scriptPath, const std::string& sourceText);

    // Reads a script file: UTF-8 or UTF-16 with a byte-order mark, UTF-8, or
    // else the Windows Western code page the script was likely written in.
    static bool ReadScript(const std::string& path, std::string& code);

private:
    bool ShouldStop();
    friend class PluginScriptUI;

    std::string m_scriptName;
    std::chrono::milliseconds m_patience{5000};
    std::chrono::steady_clock::time_point m_runningSince;
};
