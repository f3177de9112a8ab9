#include "app/document/BrindleDoc.h"
#include "app/document/CrLfBreaks.h"
#include "app/document/PluginRunner.h"
#include "app/document/ScriptList.h"
#include "brindlekit/text/EditAction.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

using namespace brindle;

void CBrindleDoc::RunPlugin(int commandId)
{
    ApplyPlugin(commandId);
    m_errors.Tell();
}

void CBrindleDoc::ApplyPlugin(int commandId)
{
    if (!m_sourceIsMaster) {
        m_errors.Add("Plugins only work when editing the source", MsgIcon::Warning);
        return;
    }
    const CScriptList* scripts = CScriptList::Current();
    const int index = commandId - ids::ID_PLUGIN_FIRST;
    const std::string path = scripts ? scripts->GetScriptPath(index) : std::string();
    const std::string name = scripts ? scripts->GetScriptName(index) : std::string();

    const int lastLine = m_buffer.GetLineCount() - 1;
    std::string text;
    if (lastLine >= 0) m_buffer.GetText(0, 0, lastLine, m_buffer.GetLineLength(lastLine), text, "\r\n");

    PluginRunner runner(name);
    PluginRunner::Outcome outcome = runner.Run(path, text);
    switch (outcome.status) {
    case PluginRunner::Status::OpenFailed:
        m_errors.Add("failed to open script file");
        return;
    case PluginRunner::Status::OutOfMemory:
        m_errors.Add("Out of memory");
        return;
    case PluginRunner::Status::Failed: {
        // The script's own error and where it stands, so its author can fix it.
        std::string where = name;
        if (outcome.line > 0) where += ", line " + std::to_string(outcome.line);
        m_errors.Add("Error running plugin\n\n" + outcome.error + "\n(" + where + ")");
        return;
    }
    case PluginRunner::Status::Stopped: return; // the user chose to stop: the text stays
    case PluginRunner::Status::Done: break;
    }
    // The text buffer breaks lines at CR only; a script that ends its lines with
    // a bare LF (vbLf) means line breaks too.
    ReplaceSourceText(WithCrLfBreaks(outcome.text), text);
}

void CBrindleDoc::ReplaceSourceText(const std::string& newText, const std::string& oldText)
{
    // One undoable step (Undo brings the text before back), and no step at all
    // when the text did not change.
    if (newText == oldText) return;
    WaitCursor wait;
    m_buffer.BeginUndoGroup();
    const int lastLine = m_buffer.GetLineCount() - 1;
    if (!oldText.empty())
        m_buffer.DeleteText(nullptr, 0, 0, lastLine, m_buffer.GetLineLength(lastLine), EA_REPLACE);
    if (!newText.empty()) {
        int endLine = 0, endChar = 0;
        m_buffer.InsertText(nullptr, 0, 0, newText, endLine, endChar, EA_REPLACE);
    }
    m_buffer.FlushUndoGroup(nullptr);
}
