// Plugins: the script list, RunPlugin on a real document with its messages and
// its one undoable step, the stop question, the memory budget, and the sample
// plugins we ship.
#include "app/document/BrindleDoc.h"
#include "app/document/PluginRunner.h"
#include "app/document/ScriptList.h"
#include "app/document/EncodedText.h"
#include "resources/CommandIds.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <memory>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

class PluginTest : public DocManagerFixture {
protected:
    void SetUp() override
    {
        DocManagerFixture::SetUp();
        fs::create_directory(dir / "scripts");
    }
    void TearDown() override
    {
        CScriptList::SetCurrent(nullptr);
        DocManagerFixture::TearDown();
    }

    // A document opened from text and shown in the source view.
    std::unique_ptr<CBrindleDoc> Open(const std::string& text)
    {
        const auto path = dir / "doc.xml";
        test::WriteFile(path, text);
        auto doc = std::make_unique<CBrindleDoc>();
        EXPECT_TRUE(doc->OnOpenDocument(wxString::FromUTF8(path.string())));
        doc->SetFilename(wxString::FromUTF8(path.string()));
        doc->RegenerateText();
        doc->SetSourceIsMaster(true);
        return doc;
    }

    // Puts the scripts in the folder and makes the list the commands use.
    void UseScripts(const std::vector<std::pair<std::string, std::string>>& scripts)
    {
        for (const auto& [name, code] : scripts) test::WriteFile(dir / "scripts" / name, code);
        list = std::make_unique<CScriptList>((dir / "scripts").string() + "/");
        CScriptList::SetCurrent(list.get());
    }

    // Runs the named script of the list.
    void Run(CBrindleDoc& doc, const std::string& name)
    {
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetScriptName(i) == name) return doc.RunPlugin(ids::ID_PLUGIN_FIRST + i);
        ADD_FAILURE() << "no script " << name;
    }

    static std::string Text(CBrindleDoc& doc) { return GetWholeText(doc.GetTextBuffer()); }

    test::RecordingUIServices ui;
    std::unique_ptr<CScriptList> list;
};

std::string Sample(const std::string& name)
{
    std::string code;
    EXPECT_TRUE(PluginRunner::ReadScript(std::string(BRINDLE_SAMPLES) + "/scripts/" + name, code)) << name;
    return code;
}

} // namespace

TEST_F(PluginTest, TheListHoldsTheFirstTenScriptsByNameAndNothingElse)
{
    for (int i = 12; i >= 1; --i) test::WriteFile(dir / "scripts" / ("p" + std::to_string(100 + i) + ".vbs"), "");
    test::WriteFile(dir / "scripts" / "A.VBS", "");     // the pattern ignores case
    test::WriteFile(dir / "scripts" / "notes.txt", ""); // not a script
    fs::create_directory(dir / "scripts" / "folder.vbs");
    CScriptList scripts((dir / "scripts").string());
    ASSERT_EQ(scripts.GetCount(), 10);
    EXPECT_EQ(scripts.GetScriptName(0), "A.VBS");
    EXPECT_EQ(scripts.GetScriptName(1), "p101.vbs");
    EXPECT_EQ(scripts.GetScriptName(9), "p109.vbs");
    EXPECT_EQ(scripts.GetScriptPath(1), (dir / "scripts" / "p101.vbs").string());
    EXPECT_EQ(scripts.GetScriptPath(10), "");

    // The default folder is the setting's; a missing folder lists nothing.
    store->SetString("Software\\Brindle\\Brindle\\Settings", "scriptPath", (dir / "scripts").string() + "/");
    EXPECT_EQ(CScriptList().GetCount(), 10);
    EXPECT_EQ(CScriptList((dir / "none").string()).GetCount(), 0);
}

TEST_F(PluginTest, RunReplacesTheTextAsOneUndoableStep)
{
    UseScripts({{"upper.vbs", "Function Main(text)\r\n  Main = UCase(text) & vbLf & \"<!-- done -->\"\r\nEnd Function\r\n"},
                {"nothing.vbs", "Function Main(text)\nEnd Function\n"},
                {"same.vbs", "Function Main(text)\n  Main = text\nEnd Function\n"}});
    auto doc = Open("<a>\r\n  <b/>\r\n</a>");
    EXPECT_FALSE(doc->IsModified());

    Run(*doc, "same.vbs"); // an unchanged text is no step at all
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->GetTextBuffer().CanUndo());

    Run(*doc, "upper.vbs");
    EXPECT_TRUE(ui.messages.empty());
    // A bare line feed from the script breaks the line, as CR LF does.
    EXPECT_EQ(Text(*doc), "<A>\r\n  <B/>\r\n</A>\r\n<!-- done -->");
    EXPECT_TRUE(doc->IsModified());

    // A script that returns nothing empties the text; Undo brings it back, one
    // step per run.
    Run(*doc, "nothing.vbs");
    EXPECT_EQ(Text(*doc), "");
    CPoint cursor;
    ASSERT_TRUE(doc->GetTextBuffer().Undo(cursor));
    EXPECT_EQ(Text(*doc), "<A>\r\n  <B/>\r\n</A>\r\n<!-- done -->");
    ASSERT_TRUE(doc->GetTextBuffer().Undo(cursor));
    EXPECT_EQ(Text(*doc), "<a>\r\n  <b/>\r\n</a>");
    EXPECT_FALSE(doc->GetTextBuffer().CanUndo());
    EXPECT_FALSE(doc->GetTextBuffer().IsModified());
}

TEST_F(PluginTest, FailuresAreToldAndLeaveTheTextAlone)
{
    UseScripts({{"broken.vbs", "Function Main(text)\n  Dim n\n  n = CLng(\"x\")\n  Main = n\nEnd Function\n"},
                {"syntax.vbs", "Function Main(text)\n  If text Then\nEnd Function\n"},
                {"nomain.vbs", "Function Other(text)\nEnd Function\n"}});
    auto doc = Open("<a/>");
    const std::string before = Text(*doc);

    Run(*doc, "broken.vbs");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Error running plugin\n\n", 0), 0u) << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find("Type mismatch"), std::string::npos) << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find("broken.vbs, line 3"), std::string::npos) << ui.messages[0].text;

    Run(*doc, "syntax.vbs");
    Run(*doc, "nomain.vbs");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_NE(ui.messages[1].text.find("compilation error"), std::string::npos) << ui.messages[1].text;
    EXPECT_EQ(ui.messages[2].text.rfind("Error running plugin", 0), 0u);

    // A script that went away since start-up, and a command with no script.
    fs::remove(dir / "scripts" / "broken.vbs");
    Run(*doc, "broken.vbs");
    doc->RunPlugin(ids::ID_PLUGIN_FIRST + 9);
    ASSERT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(ui.messages[3].text, "failed to open script file");
    EXPECT_EQ(ui.messages[4].text, "failed to open script file");

    // Outside the source view nothing runs.
    doc->SetSourceIsMaster(false);
    Run(*doc, "syntax.vbs");
    EXPECT_EQ(ui.messages.back().text, "Plugins only work when editing the source");
    EXPECT_EQ(Text(*doc), before);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(PluginTest, DialogsGoThroughTheUserInterfaceAndALongRunCanBeStopped)
{
    test::WriteFile(dir / "ask.vbs",
                    "Function Main(text)\n"
                    "  Dim name\n"
                    "  name = InputBox(\"Element name?\", \"Wrap\", \"root\")\n"
                    "  If MsgBox(\"Wrap in \" & name & \"?\", vbYesNo + vbQuestion, \"Wrap\") = vbYes Then\n"
                    "    Main = \"<\" & name & \">\" & text & \"</\" & name & \">\"\n"
                    "  Else\n"
                    "    Main = text\n"
                    "  End If\n"
                    "End Function\n");
    ui.inputs.push_back("top");
    ui.scriptAnswers.push_back(6);
    PluginRunner runner("ask.vbs");
    PluginRunner::Outcome outcome = runner.Run((dir / "ask.vbs").string(), "<a/>");
    EXPECT_EQ(outcome.status, PluginRunner::Status::Done);
    EXPECT_EQ(outcome.text, "<top><a/></top>");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0], "Element name?");
    ASSERT_EQ(ui.scriptBoxes.size(), 1u);
    EXPECT_EQ(ui.scriptBoxes[0].text, "Wrap in top?");
    EXPECT_EQ(ui.scriptBoxes[0].style, 4 + 32);
    EXPECT_EQ(ui.scriptBoxes[0].title, "Wrap");

    // An endless loop: the user is asked, says No once, then Yes; the run stops,
    // even under On Error Resume Next.
    test::WriteFile(dir / "loop.vbs", "Function Main(text)\n  On Error Resume Next\n  Do\n  Loop\nEnd Function\n");
    ui.answers = {MsgResult::No, MsgResult::Yes};
    PluginRunner looping("loop.vbs");
    looping.SetPatience(std::chrono::milliseconds(20));
    outcome = looping.Run((dir / "loop.vbs").string(), "<a/>");
    EXPECT_EQ(outcome.status, PluginRunner::Status::Stopped);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[0].text.find("\"loop.vbs\""), std::string::npos) << ui.messages[0].text;
}

TEST_F(PluginTest, AScriptPastTheMemoryBudgetFailsAndLeavesTheTextAlone)
{
    // Doubling the text 22 times would make 32 MB; a budget of 4 MB stops it.
    UseScripts({{"double.vbs", "Function Main(text)\n  Dim i\n  For i = 1 To 22\n    text = text & text\n  Next\n"
                               "  Main = text\nEnd Function\n"}});
    brindle::Profile::WriteProfileInt("Settings", "scriptMemoryMB", 4);
    auto doc = Open("<a/>");
    const std::string before = Text(*doc);
    Run(*doc, "double.vbs");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("runtime error 7: Out of memory"), std::string::npos) << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find("double.vbs, line 4"), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(Text(*doc), before);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->GetTextBuffer().CanUndo());
}

TEST_F(PluginTest, AFewSlowStatementsAreAskedAboutToo)
{
    // Three statements of bulk work, far fewer than the thousands between
    // questions by count: asked by time all the same (patience 0: at once).
    test::WriteFile(dir / "slow.vbs", "Function Main(text)\n  s = Space(100000)\n  s = s & s\n  s = s & s\n"
                                      "  Main = \"<b/>\"\nEnd Function\n");
    ui.answers = {MsgResult::Yes};
    PluginRunner runner("slow.vbs");
    runner.SetPatience(std::chrono::milliseconds(0));
    PluginRunner::Outcome outcome = runner.Run((dir / "slow.vbs").string(), "<a/>");
    EXPECT_EQ(outcome.status, PluginRunner::Status::Stopped);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("\"slow.vbs\""), std::string::npos) << ui.messages[0].text;
}

TEST_F(PluginTest, TheSamplePluginsRewriteARealDocument)
{
    UseScripts({{"Remove comments.vbs", Sample("Remove comments.vbs")},
                {"Collapse blank lines.vbs", Sample("Collapse blank lines.vbs")},
                {"Lower-case tag names.vbs", Sample("Lower-case tag names.vbs")},
                {"Sort attributes.vbs", Sample("Sort attributes.vbs")}});
    auto doc = Open("<?xml version=\"1.0\"?>\r\n"
                    "<!-- header -->\r\n"
                    "<Catalog Z=\"1\" xmlns:p='urn:p' a=\"2\">\r\n"
                    "  <!-- alone on its line -->\r\n"
                    "\r\n"
                    "   \r\n"
                    "  <Book ID=\"b1\" Lang='en'>Title <!-- inline --></Book>\r\n"
                    "  <p:Note><![CDATA[<!-- kept --> <X b=\"1\" a=\"2\">]]></p:Note>\r\n"
                    "</Catalog>\r\n");
    Run(*doc, "Remove comments.vbs");
    Run(*doc, "Collapse blank lines.vbs");
    Run(*doc, "Lower-case tag names.vbs");
    Run(*doc, "Sort attributes.vbs");
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_EQ(Text(*doc), "<?xml version=\"1.0\"?>\r\n"
                          "<catalog xmlns:p='urn:p' a=\"2\" Z=\"1\">\r\n"
                          "\r\n"
                          "  <book ID=\"b1\" Lang='en'>Title </book>\r\n"
                          "  <p:note><![CDATA[<!-- kept --> <X b=\"1\" a=\"2\">]]></p:note>\r\n"
                          "</catalog>");
}
