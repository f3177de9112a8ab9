#pragma once

#include <string>

// Accessors of the values in the "Settings" section. Every call reads the store;
// nothing is cached, so a change takes effect at the next access. Integer values
// fall back to their default without writing it; an empty string value is replaced
// by its computed default, which is written back at once.
namespace Settings {

// The names of the values, for the settings sheet that writes them.
namespace Key {
inline constexpr const char* kValidateOnParse = "validateOnParse";
inline constexpr const char* kResolveExternals = "resolveExternals";
inline constexpr const char* kUseXPath = "useXPath";
inline constexpr const char* kDisplayFileTypesDlg = "displayFileTypesDlg";
inline constexpr const char* kDisplayNavBar = "displayNavBar";
inline constexpr const char* kStartWithSourceView = "startWithSourceView";
inline constexpr const char* kKeepOwnText = "keepOwnText";
inline constexpr const char* kXmlColouring = "xmlColouring";
inline constexpr const char* kLargeFileMB = "largeFileMB";
inline constexpr const char* kLargeFileAsText = "largeFileAsText";
inline constexpr const char* kTemplatePath = "templatePath";
inline constexpr const char* kWorkingPath = "workingPath";
inline constexpr const char* kScriptPath = "scriptPath";
inline constexpr const char* kUserCatalog = "userCatalog";
inline constexpr const char* kProcessXIncludes = "processXIncludes";
inline constexpr const char* kShowLineNumbers = "showLineNumbers";
inline constexpr const char* kEnableFolding = "enableFolding";
} // namespace Key

// Store a value of the section under one of the names above.
void WriteInt(const char* key, int value);
void WriteString(const char* key, const std::string& value);

int GetValidateOnParse();      // "validateOnParse", default 1
int GetResolveExternals();     // "resolveExternals", default 1
int GetUseXPath();             // "useXPath", default 0
int GetProcessXIncludes();     // "processXIncludes": Validate and Transform expand xi:include; default 0
int GetDisplayFileTypesDlg();  // "displayFileTypesDlg", default 0
int GetDisplayNavBar();        // "displayNavBar", default 0
int GetStartWithSourceView();  // "startWithSourceView", default 0
int GetPreviewPages();         // "PreviewPages", default 0
int GetKeepOwnText();          // "keepOwnText", default 1
int GetShowLineNumbers();      // "showLineNumbers": numbers beside the source views' lines; default 1
int GetEnableFolding();        // "enableFolding": fold markers in the source views; default 1
// "xmlColouring": the source views colour XML's constructs (1) or use the
// plain line colouring (0); default 1.
int GetXmlColouring();
// "largeFileMB": files larger than this many megabytes are large documents;
// default (also for a value below 0) 200.
int GetLargeFileMB();
// "largeFileAsText": whether large documents open as text only: 1 yes, 0 no,
// -1 (the default) not asked yet.
int GetLargeFileAsText();
// "scriptMemoryMB": what a plugin script's values may hold, in megabytes.
// Default (also for a value below 1): a quarter of the physical memory, at
// most 4096.
int GetScriptMemoryMB();

// "userCatalog": an XML catalog file asked before the system catalog; default
// none (empty).
std::string GetUserCatalog();

// "parserAppId", default "Msxml2.DOMDocument".
std::string GetParserAppId();
// Writes "parserAppId"; an empty value makes the next read restore the default.
void WriteParserAppId(const std::string& identifier);

// Folders, each with a trailing separator (added when the stored value has none).
// Every read first tries to create the folder the stored value names; an empty
// value is then replaced by the default (so a default folder comes into being at
// the second read).
std::string GetTemplatePath(); // "templatePath", default ShippedFolder("templates")
std::string GetWorkingPath();  // "workingPath", default the user's documents folder, else home
std::string GetScriptPath();   // "scriptPath", default ShippedFolder("scripts")

// The folder of the running executable, with its trailing separator.
std::string ProgramFolder();
// The folder of the files we ship under name ("scripts", "templates"): beside
// the program (a build tree), else in the data folder of the installation the
// program belongs to (<prefix>/share/brindle/name/); beside the program when
// neither exists.
std::string ShippedFolder(const std::string& name);
// Replaces the program folder (tests); empty restores the executable's folder.
void SetProgramFolder(const std::string& folder);

} // namespace Settings
