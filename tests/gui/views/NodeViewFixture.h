#pragma once

#include "app/document/BrindleDoc.h"
#include "platform/ui/Clipboard.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/RecordingUIServices.h"

#include <memory>
#include <vector>
#include <wx/frame.h>

// Node views on a shown frame, over documents loaded from text, with a clipboard
// and message boxes of the test's own.
class NodeViewFixture : public DocManagerFixture {
protected:
    void SetUp() override
    {
        DocManagerFixture::SetUp();
        brindle::SetClipboard(&clipboard);
    }
    void TearDown() override
    {
        for (wxFrame* frame : frames) frame->Destroy();
        brindle::test::PumpEvents();
        brindle::SetClipboard(nullptr);
        docs.clear();
        DocManagerFixture::TearDown();
    }

    // A new document holding the text, unmodified.
    CBrindleDoc& NewDoc(const std::string& xml)
    {
        docs.push_back(std::make_unique<CBrindleDoc>());
        CBrindleDoc& doc = *docs.back();
        EXPECT_TRUE(doc.OnNewDocument());
        doc.GetDomDocument()->put_validateOnParse(false);
        EXPECT_TRUE(doc.GetDomDocument()->loadXML(xml)) << doc.GetDomDocument()->parseError().reason;
        doc.Modify(false);
        return doc;
    }
    // A shown top-level frame to put a view in, at a place of its own.
    wxFrame* NewFrame()
    {
        const int n = static_cast<int>(frames.size());
        frames.push_back(new wxFrame(nullptr, wxID_ANY, "test", wxPoint(20 + 420 * n, 20), wxSize(400, 500)));
        frames.back()->Show();
        return frames.back();
    }

    brindle::test::RecordingUIServices ui;
    brindle::MemoryClipboard clipboard;
    std::vector<std::unique_ptr<CBrindleDoc>> docs;
    std::vector<wxFrame*> frames;
};
