#pragma once

// Fixed message texts of the program, by string id.
namespace strings {

inline constexpr const char* kSocketsInitFailed = "Windows sockets initialization failed.";
inline constexpr const char* kOleInitFailed =
    "OLE initialization failed.  Make sure that the OLE libraries are the correct version.";
inline constexpr const char* kRichEditInitFailed = "Failed to initialize rich edit controls";
inline constexpr const char* kFailedToOpenDoc = "Failed to open document.";
inline constexpr const char* kFailedToCreateDoc = "Failed to create empty document.";
inline constexpr const char* kUnableToCreateInstance = "Unable to create instance of ";
inline constexpr const char* kParserRequired = "Microsoft XML 3.0 or higher parser required. Install  it now?";
// Opened after a Yes to the question above: the libxml2 project, whose parser
// stands in for the Microsoft one here.
inline constexpr const char* kParserDownloadUrl = "https://gitlab.gnome.org/GNOME/libxml2";

} // namespace strings
