#pragma once

#include "platform/xml/XmlPreview.h"

#include <string>

// The page a preview loads, made from a transformation's output: HTML as it is,
// text as preformatted HTML. Either way its head gets, ahead of all the page's
// own markup (only a leading document type declaration stays first), the
// character set (the output is UTF-8), a base URL (so that relative references
// in the page resolve beside the document) and a content security policy that
// lets the page run none of its own scripts and load nothing but local files and
// inline data. The web view enforces the same itself; the policy is a second
// guard.
std::string MakePreviewPage(const brindle::PreviewOutput& output, const std::string& baseUrl);
