#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A document kind as the New dialog offers it.
struct NewDocKind {
    std::string typeName;   // "XML Document", "DTD Document"
    std::string extensions; // the kind's filter extensions, ".xml;.xsl;.xsd;.xdr;"
};

// One entry of the New dialog's list: an empty document of a kind, or a copy of
// a template file.
struct NewDocItem {
    std::string label;
    int kind = -1;            // index into the kinds
    bool isTemplate = false;
    std::string templatePath; // the template file's full path
};

// The entries: one per kind, in order, then every "*.xml" file of the templates
// folder (by name; folders and hidden files left out), once for each kind that
// takes the file as its own type. A folder that cannot be read adds no
// templates.
std::vector<NewDocItem> NewDocItems(const std::vector<NewDocKind>& kinds, const std::filesystem::path& templateFolder);

// The path of the new document: empty for an empty file name; the name itself
// when it is absolute; otherwise the location joined to the name with a
// separator (only where the location does not end with one), or without a
// location the name made absolute.
std::string NewDocFullPath(const std::string& location, const std::string& fileName);
