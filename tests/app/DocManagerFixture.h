#pragma once

#include "tests/app/ShellFixture.h"

#include <memory>
#include <wx/docview.h>
#include <wx/paper.h>

// Documents need a document manager; its page set-up data needs the paper sizes,
// which the toolkit's start-up would provide in the program.
template <class Base> class BasicDocManagerFixture : public BasicShellFixture<Base> {
protected:
    void SetUp() override
    {
        BasicShellFixture<Base>::SetUp();
        if (!wxThePrintPaperDatabase) {
            wxThePrintPaperDatabase = new wxPrintPaperDatabase;
            wxThePrintPaperDatabase->CreateDatabase();
        }
        manager = std::make_unique<wxDocManager>();
    }
    void TearDown() override
    {
        manager.reset();
        BasicShellFixture<Base>::TearDown();
    }

    std::unique_ptr<wxDocManager> manager;
};

using DocManagerFixture = BasicDocManagerFixture<::testing::Test>;
