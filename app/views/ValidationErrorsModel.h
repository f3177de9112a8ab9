#pragma once

#include "platform/xml/XmlParseError.h"

#include <string>
#include <vector>

// The rows of the validation errors pane: each error's line, column and
// message, where a double-click goes, and the whole list as text in the
// "file:line:column: message" form compilers and editors read.
class ValidationErrorsModel {
public:
    enum Column { kLine, kColumn, kMessage };

    // documentPath names the document in the copied text; an error whose url
    // names another file is told as being in that file.
    void Set(std::vector<brindle::XmlParseError> errors, std::string documentPath);
    void Clear() { m_errors.clear(); }

    size_t RowCount() const { return m_errors.size(); }
    // A cell's text; a position that is not known is blank.
    std::string Cell(size_t row, Column column) const;

    // Where a row points (from 1): in the document's text, or in the file it
    // names when the error lies in another (an included file, a DTD); line 0
    // when no line is known.
    struct Place {
        long line = 0;
        long column = 0;
        std::string file; // empty: the document itself
    };
    Place PlaceOf(size_t row) const;

    // One line per error, each ended by "\n".
    std::string CopyAllText() const;

private:
    std::vector<brindle::XmlParseError> m_errors;
    std::string m_documentPath;
};
