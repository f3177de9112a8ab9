#pragma once

#include <string>
#include <vector>

// How well a document kind fits a path, weakest first.
enum class MatchConfidence { NoAttempt, MaybeForeign, MaybeNative, AlreadyOpen };

struct DocTypeMatch {
    MatchConfidence confidence = MatchConfidence::NoAttempt;
    int openIndex = -1; // with AlreadyOpen: the index into the open paths
};

// Matches a path against one document kind: already open when one of the kind's
// open documents has the path or another name of the same file; native when the
// path's extension, from its last dot, occurs in the kind's filter extensions
// (case-sensitive, ".xsl" is in ".xml;.xsl;.xsd;.xdr;"); otherwise foreign.
DocTypeMatch MatchDocTypeByPath(const std::vector<std::string>& openPaths, const std::string& filterExt,
                                const std::string& path);

// The path of a file to open as the user gave it: a leading double quote skipped,
// at most 259 characters, cut at the last double quote. An "ftp://" address stays
// as it is; any other path is made absolute.
std::string NormalizeOpenPath(const std::string& raw);

// Index of the kind documents of unknown type open as: the last one whose filter
// extensions, upper-cased, contain ".XML"; -1 when there is none.
int DefaultDocKind(const std::vector<std::string>& filterExts);

// One field of a document kind's "\n"-separated description string: 0 window
// title, 1 document name, 2 new-file name, 3 filter name, 4 filter extensions,
// 5 file type id, 6 file type name.
std::string DocStringField(const std::string& docString, int index);

// The path a new document without a name gets: the working folder followed by
// "untitled-" and the number.
std::string UntitledPath(const std::string& workingFolder, int number);
