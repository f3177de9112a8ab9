// The batch commands that rewrite a document's text: the file is read into a
// text buffer and written back from it as the editor reads and saves it, so the
// file keeps its encoding and line breaks.

#include "app/batch/BatchCommands.h"

#include "app/document/AutoFormat.h"
#include "app/document/CrLfBreaks.h"
#include "app/document/DocErrors.h"
#include "app/document/EncodedText.h"
#include "app/document/PluginRunner.h"
#include "app/settings/Settings.h"
#include "brindlekit/text/EditAction.h"
#include "platform/xml/DomError.h"
#include "platform/xml/XmlDocument.h"

#include <chrono>
#include <filesystem>

using namespace brindle;

namespace {

// A file's text held as the editor holds it.
struct FileText {
    CTextBuffer buffer;
    FileEncoding encoding;
    TextForm form = TextForm::Decoded;
};

bool Read(const std::string& file, FileText& text, BatchReport& report)
{
    text.encoding = DetectFileEncoding(file);
    if (LoadEncodedText(text.buffer, file, text.encoding, text.form)) return true;
    report.Fail(file, "cannot read the file");
    return false;
}

// Replaces the whole text (lines broken at CR LF, as the buffer takes them).
void Replace(FileText& text, const std::string& newText)
{
    const int mode = text.buffer.GetCRLFMode();
    text.buffer.FreeAll();
    text.buffer.InitNew(mode);
    int endLine = 0, endChar = 0;
    if (!newText.empty()) text.buffer.InsertText(nullptr, 0, 0, newText, endLine, endChar, EA_REPLACE);
}

// Saves to the file atomically, or prints the text (UTF-8, "\n" breaks).
bool Write(FileText& text, const std::string& file, bool toStdout, std::ostream& out, BatchReport& report)
{
    if (toStdout) {
        out << GetWholeText(text.buffer, "\n");
        if (text.buffer.GetLineCount() > 0 && text.buffer.GetLineLength(text.buffer.GetLineCount() - 1) > 0)
            out << '\n';
        return true;
    }
    DocErrors errors;
    if (SaveEncodedText(text.buffer, file, text.encoding, text.form, errors)) return true;
    report.Fail(file, errors.Empty() ? "cannot write the file" : errors.Take());
    return false;
}

} // namespace

bool BatchFormat(const std::string& input, const std::string& output, bool toStdout, std::ostream& out,
                 BatchReport& report)
{
    FileText text;
    if (!Read(input, text, report)) return false;
    // Auto Format runs only on text that passes Validate.
    XmlDocumentPtr doc = XmlDocument::Create();
    doc->put_validateOnParse(Settings::GetValidateOnParse() != 0);
    doc->put_resolveExternals(Settings::GetResolveExternals() != 0);
    const std::string whole = GetWholeText(text.buffer, "\n");
    if (!doc->loadXML(whole, std::filesystem::absolute(input).string())) {
        report.Fail(input, doc->parseError());
        return false;
    }
    std::string formatted;
    try {
        const std::string firstLine = whole.substr(0, whole.find('\n'));
        AutoFormatNode(doc, formatted, 0, true, EncodingToSave(text.encoding, firstLine));
    } catch (const DomError& error) {
        report.Fail(input, std::string("Auto format failed. ") + error.what());
        return false;
    }
    Replace(text, WithCrLfAfterCr(formatted));
    return Write(text, output.empty() ? input : output, toStdout, out, report);
}

bool BatchRunPlugin(const std::string& script, const std::string& file, bool toStdout, std::ostream& out,
                    BatchWriteBack& writes)
{
    BatchReport& report = writes.Begin();
    FileText text;
    if (!Read(file, text, report)) return false;
    const std::string before = GetWholeText(text.buffer, "\r\n");
    PluginRunner runner(std::filesystem::path(script).filename().string());
    // Nobody is there to answer whether to stop a long run: Ctrl+C stops it.
    runner.SetPatience(std::chrono::hours(24 * 365));
    PluginRunner::Outcome outcome = runner.Run(script, before);
    switch (outcome.status) {
    case PluginRunner::Status::OpenFailed: report.Fail(script, "failed to open script file"); return false;
    case PluginRunner::Status::OutOfMemory: report.Fail(file, "Out of memory"); return false;
    case PluginRunner::Status::Stopped: report.Fail(file, "the plugin was stopped"); return false;
    case PluginRunner::Status::Failed:
        report.Fail(script, "Error running plugin on " + file + ": " + outcome.error, outcome.line, outcome.column);
        return false;
    case PluginRunner::Status::Done: break;
    }
    const std::string after = WithCrLfBreaks(outcome.text);
    // An unchanged text leaves the file untouched.
    if (after == before && !toStdout) return true;
    Replace(text, after);
    if (toStdout) return Write(text, file, toStdout, out, report);
    std::string bytes;
    DocErrors errors;
    if (!EncodedBytes(text.buffer, text.encoding, text.form, bytes, errors)) {
        report.Fail(file, errors.Take());
        return false;
    }
    writes.Write(file, std::move(bytes));
    return true;
}
