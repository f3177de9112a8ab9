#pragma once

#include "app/document/TextEncoding.h"
#include "platform/xml/XmlNode.h"

#include <string>

// The source view's pretty printer: writes a node and its descendants as indented
// XML, one tab per level, lines broken by "\r" ("\r\n" before comments).
//
// Layout: the document's top-level nodes and every element, processing
// instruction and document type node start on a line of their own, indented by
// depth - 1 tabs (none at depths 0 and 1). Text, entity references, CDATA
// sections and comments stay where they are among the children. Text is trimmed
// of leading and trailing white space, and white-space-only text disappears;
// comments, CDATA sections and processing instructions keep their text exactly,
// white space and line breaks included. An element holding no child element or
// instruction is written on one line; one with no content left is written in the
// empty-element form "<name/>". A comment is preceded by the indentation of its
// parent's depth and "\r\n".
//
// The result parses to the same document as the input apart from the dropped
// white-space-only text and the trimming of text: markup characters are escaped, a CDATA
// section holding "]]>" is split in two, adjacent CDATA sections are written as
// one, entity references stay references, every element and attribute name keeps
// its namespace (declarations come first among the attributes), and a document
// type node is written with its identifiers and internal subset.
//
// Characters of text, attribute values and the internal subset that the
// encoding the text is to be saved in cannot hold are written as character
// references; the rest is written as it is.
//
// node: the node to write (the document node with depth 0 for a whole document;
// text-like nodes on their own write nothing). The output is appended to out.
// domValid: the document's flag; false writes nothing.
// Returns false for a null node or an invalid document. Parser errors (DomError)
// propagate; out may then hold a partial result.
bool AutoFormatNode(const brindle::XmlNodePtr& node, std::string& out, int depth, bool domValid,
                    const FileEncoding& encoding = {});
