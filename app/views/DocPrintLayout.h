#pragma once

#include <string>
#include <string_view>
#include <vector>

// The pages a document's XML text prints as from the node views: numbered plain
// lines under a header with the document's name and the page number. Window-free:
// the printout measures the page and draws what this gives.
//
// Widths count characters (UTF-8 code points), never bytes, so that a cut never
// splits a character. Pages are numbered from 1.
class DocPrintLayout {
public:
    // Splits the text into lines: a line ends at each carriage return, which is
    // dropped (a line feed after it begins the next line and prints as a blank),
    // and at a line feed that follows no carriage return, which is dropped too.
    // A line longer than charsPerLine - 8 characters goes on as a new line after
    // the cut; empty text gives no lines. Too small measures count as 1.
    DocPrintLayout(std::string_view text, std::string pathName, std::string title, int charsPerLine,
                   int linesPerPage);

    const std::vector<std::string>& Lines() const { return m_lines; }
    // The number of pages, at least 1 (an empty text prints its header).
    int PageCount() const;

    // The path name (or the title when the path is longer than 68 characters)
    // without trailing blanks, then "Page n" ending at the line's last character.
    std::string Header(int page) const;
    // The page's lines as printed: "00> " onwards before each, every tab and line
    // feed made a blank. Empty for a page past the end.
    std::vector<std::string> PageLines(int page) const;

private:
    std::vector<std::string> m_lines;
    std::string m_pathName;
    std::string m_title;
    int m_charsPerLine;
    int m_linesPerPage;
};
