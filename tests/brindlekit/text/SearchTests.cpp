#include "ViewTestSupport.h"

#include "brindlekit/text/FindReplaceModel.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/TextSearch.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace brindle::viewtest {
namespace {

using Strings = std::vector<std::string>;

TEST(TextSearch, MatchInStringWithWholeWords)
{
    EXPECT_EQ(MatchInString("xab ab", "ab", false), 1);
    EXPECT_EQ(MatchInString("xab ab", "ab", true), 4);
    EXPECT_EQ(MatchInString("ab_ ab", "ab", true), 4);
    EXPECT_EQ(MatchInString("abab", "ab", true), -1);
    EXPECT_EQ(MatchInString("a-ab-", "ab", true), 2);
    // Boundaries are judged on the whole line, not on the searched rest.
    EXPECT_EQ(MatchInString("xab ab", "ab", true, 1), 4);
    EXPECT_EQ(LastMatchInString("ab ab ab", "ab", false, 6), 3);
    EXPECT_EQ(LastMatchInString("ab ab ab", "ab", false, 0), -1);
    EXPECT_EQ(UpperCaseAscii("xml \xc3\xa9"), "XML \xc3\xa9");
}

TEST(TextSearch, CaseInsensitiveMatchingAgreesWithUpperCasedSearch)
{
    // Candidates in every position of a 16-byte step, near and at the end, with
    // rejected prefixes, non-letters and UTF-8 bytes (which never fold).
    const std::string text = "xxAbxxxxxxxxxxxaBxxxxxxxxxxxxxABC-d \xC3\xA9t\xC3\xA9 abc_d ABC-D";
    for (const std::string what : {"abc-d", "ABC-D", "ab", "b", "x", "\xC3\xA9T", "abc_d", "zz", "-D", "abC-d "}) {
        for (bool whole : {false, true}) {
            const std::string upperText = UpperCaseAscii(text);
            const std::string upperWhat = UpperCaseAscii(what);
            for (int from = 0; from <= static_cast<int>(text.size()) + 1; ++from)
                ASSERT_EQ(MatchInStringNoCase(text, what, whole, from), MatchInString(upperText, upperWhat, whole, from))
                    << what << " whole=" << whole << " from=" << from;
            EXPECT_EQ(LastMatchInString(text, what, whole, 1000, true),
                      LastMatchInString(upperText, upperWhat, whole, 1000))
                << what;
        }
    }
    EXPECT_EQ(MatchInStringNoCase("abc", "ABCD", false), -1); // longer than the text
    EXPECT_EQ(MatchInStringNoCase("", "", false), 0);
}

TEST(TextSearch, DownwardsWithWrapAndCase)
{
    ViewFixture f({"an XML file", "with xml", "and more Xml"});
    auto& v = f.view;
    CPoint found;
    ASSERT_TRUE(v.FindText("xml", CPoint(0, 0), 0, false, &found));
    EXPECT_EQ(found, CPoint(3, 0)); // case ignored
    ASSERT_TRUE(v.FindText("xml", CPoint(0, 0), FIND_MATCH_CASE, false, &found));
    EXPECT_EQ(found, CPoint(5, 1));
    ASSERT_TRUE(v.FindText("xml", CPoint(4, 0), 0, false, &found));
    EXPECT_EQ(found, CPoint(5, 1));
    EXPECT_FALSE(v.FindText("xml", CPoint(10, 2), 0, false, &found));
    // From the last occurrence, wrapping finds the first again.
    ASSERT_TRUE(v.FindText("xml", CPoint(10, 2), 0, true, &found));
    EXPECT_EQ(found, CPoint(3, 0));
    EXPECT_FALSE(v.FindText("none", CPoint(0, 0), 0, true, &found));
}

TEST(TextSearch, UpwardsFindsTheNearestEarlierMatch)
{
    ViewFixture f({"ab ab", "x", "ab ab ab"});
    auto& v = f.view;
    CPoint found;
    ASSERT_TRUE(v.FindText("ab", CPoint(6, 2), FIND_DIRECTION_UP, false, &found));
    EXPECT_EQ(found, CPoint(3, 2));
    ASSERT_TRUE(v.FindText("ab", CPoint(0, 2), FIND_DIRECTION_UP, false, &found));
    EXPECT_EQ(found, CPoint(3, 0)); // earlier lines from their ends
    EXPECT_FALSE(v.FindText("ab", CPoint(0, 0), FIND_DIRECTION_UP, false, &found));
    ASSERT_TRUE(v.FindText("ab", CPoint(0, 0), FIND_DIRECTION_UP, true, &found));
    EXPECT_EQ(found, CPoint(6, 2));
}

TEST(TextSearch, BlocksLimitTheMatches)
{
    ViewFixture f({"ab ab ab", "ab"});
    auto& v = f.view;
    CPoint found;
    ASSERT_TRUE(v.FindTextInBlock("ab", CPoint(0, 0), CPoint(2, 0), CPoint(8, 0), 0, false, &found));
    EXPECT_EQ(found, CPoint(3, 0));
    // A match reaching past the block's end is not inside it.
    EXPECT_FALSE(v.FindTextInBlock("ab", CPoint(4, 0), CPoint(2, 0), CPoint(7, 0), 0, false, &found));
    EXPECT_FALSE(v.FindTextInBlock("ab", CPoint(0, 0), CPoint(1, 0), CPoint(1, 0), 0, true, &found));
    ASSERT_TRUE(v.FindTextInBlock("ab", CPoint(7, 0), CPoint(2, 0), CPoint(2, 1), 0, false, &found));
    EXPECT_EQ(found, CPoint(0, 1));
}

TEST(TextSearch, EmptySearchTextMatchesAtOnce)
{
    ViewFixture f({"abc", "def"});
    auto& v = f.view;
    CPoint found;
    ASSERT_TRUE(v.FindText("", CPoint(1, 0), 0, true, &found));
    EXPECT_EQ(found, CPoint(1, 0));
    ASSERT_TRUE(v.FindText("", CPoint(3, 0), 0, true, &found));
    EXPECT_EQ(found, CPoint(0, 1));
}

class SearchSettings : public ::testing::Test {
protected:
    SearchSettings() : store(dir.path() / "settings")
    {
        Profile::SetStore(&store);
        Profile::SetRegistryKey("Brindle", "Brindle");
    }
    ~SearchSettings() override { Profile::SetStore(nullptr); }

    test::TempDir dir;
    SettingsStore store;
    test::RecordingUIServices ui;
};

TEST_F(SearchSettings, FindDialogRemembersItsValues)
{
    Profile::WriteProfileInt("Settings\\Find", "MatchCase", 1);
    Profile::WriteProfileString("Settings\\Find", "FindWhat", "Beta");
    ViewFixture f({"alpha beta Beta", "gamma"});
    FindDialogModel dlg(f.view);
    dlg.Prepare();
    EXPECT_EQ(dlg.m_strText, "Beta");
    EXPECT_TRUE(dlg.m_bMatchCase);
    EXPECT_EQ(dlg.m_nDirection, 1);
    EXPECT_TRUE(f.view.GetShowInactiveSelection());
    ASSERT_TRUE(dlg.FindNext());
    CPoint s;
    CPoint e;
    f.view.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(11, 0));
    EXPECT_EQ(f.view.GetCursorPos(), CPoint(15, 0));
    dlg.m_bWholeWord = true;
    dlg.Close();
    EXPECT_FALSE(f.view.GetShowInactiveSelection());
    EXPECT_TRUE(f.view.HasLastSearch());
    EXPECT_EQ(f.view.GetLastSearchFlags(), FIND_MATCH_CASE | FIND_WHOLE_WORD);
    EXPECT_EQ(Profile::GetProfileInt("Settings\\Find", "WholeWord", 0), 1);

    // The next dialog starts from the last search; a one-line selection replaces the text.
    f.Select(CPoint(0, 1), CPoint(3, 1));
    FindDialogModel again(f.view);
    again.Prepare();
    EXPECT_EQ(again.m_strText, "gam");
    EXPECT_TRUE(again.m_bWholeWord);
    again.m_strText = "nothing";
    EXPECT_FALSE(again.FindNext());
    ASSERT_EQ(ui.Texts(), Strings{"Cannot find string\"nothing\""});
    EXPECT_EQ(again.m_ptCurrentPos, CPoint(0, 0));
    again.m_strText.clear();
    EXPECT_FALSE(again.CanFindNext());
}

TEST_F(SearchSettings, FindNextAndPrevious)
{
    ViewFixture f({"ab ab", "ab"});
    auto& v = f.view;
    bool handled = false;
    EXPECT_FALSE(v.IsCommandEnabled(textcmd::ID_EDIT_REPEAT, handled));
    v.SetLastSearch("ab", 0);
    EXPECT_TRUE(v.IsCommandEnabled(textcmd::ID_EDIT_FIND_PREVIOUS, handled));
    v.ExecuteCommand(textcmd::ID_EDIT_REPEAT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 0));
    v.ExecuteCommand(textcmd::ID_EDIT_REPEAT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(5, 0));
    v.ExecuteCommand(textcmd::ID_EDIT_FIND_PREVIOUS);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 0));
    EXPECT_EQ(v.GetLastSearchFlags(), 0u); // the direction is restored
    v.ExecuteCommand(textcmd::ID_EDIT_FIND_PREVIOUS); // wraps to the last match
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    v.SetLastSearch("zz", 0);
    v.ExecuteCommand(textcmd::ID_EDIT_REPEAT);
    EXPECT_EQ(ui.Texts(), Strings{"Cannot find string\"zz\""});
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
}

TEST_F(SearchSettings, ReplaceInTheWholeFile)
{
    Profile::WriteProfileString("Settings\\Replace", "FindWhat", "cat");
    Profile::WriteProfileString("Settings\\Replace", "ReplaceWith", "dog");
    ViewFixture f({"cat cat", "concat", "Cat"});
    ReplaceDialogModel dlg(f.view);
    ASSERT_TRUE(dlg.Begin());
    EXPECT_EQ(dlg.m_nScope, 1);
    EXPECT_FALSE(dlg.m_bEnableScopeSelection);
    dlg.OnFindNext();
    EXPECT_TRUE(dlg.m_bFound);
    dlg.OnReplace(); // replaces the first, highlights the second
    EXPECT_EQ(Lines(f.buffer)[0], "dog cat");
    CPoint s;
    CPoint e;
    f.view.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(4, 0));
    dlg.OnReplaceAll();
    EXPECT_EQ(Lines(f.buffer), (Strings{"dog dog", "condog", "dog"}));
    EXPECT_EQ(ui.Texts().size(), 1u); // one final "not found"
    dlg.m_strReplaceWith = "x";
    dlg.End();
    EXPECT_EQ(Profile::GetProfileString("Settings\\Replace", "ReplaceWith", ""), "x");

    // Each replacement is two undo groups.
    for (int i = 0; i < 8; ++i) f.view.OnEditUndo();
    EXPECT_EQ(Lines(f.buffer), (Strings{"cat cat", "concat", "Cat"}));
}

TEST_F(SearchSettings, ReplaceAllInsideASelection)
{
    ViewFixture f({"aa aa aa aa", "aa"});
    f.Select(CPoint(3, 0), CPoint(8, 0)); // "aa aa"
    ReplaceDialogModel dlg(f.view);
    ASSERT_TRUE(dlg.Begin());
    EXPECT_EQ(dlg.m_nScope, 0);
    dlg.m_strText = "aa";
    dlg.m_strReplaceWith = "bbb";
    dlg.OnReplaceAll();
    EXPECT_EQ(Lines(f.buffer), (Strings{"aa bbb bbb aa", "aa"}));
    EXPECT_EQ(dlg.m_ptBlockEnd, CPoint(10, 0)); // grew by one per replacement
    dlg.End();
    CPoint s;
    CPoint e;
    f.view.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(3, 0));
    EXPECT_EQ(e, CPoint(10, 0)); // the restored selection followed the changes
}

TEST_F(SearchSettings, ReplaceAllTerminatesAndIgnoresEmptyText)
{
    ViewFixture f({"a a", "a"});
    ReplaceDialogModel dlg(f.view);
    ASSERT_TRUE(dlg.Begin());
    dlg.m_strText = "a";
    dlg.m_strReplaceWith = "aa";
    dlg.OnReplaceAll();
    EXPECT_EQ(Lines(f.buffer), (Strings{"aa aa", "aa"}));
    dlg.m_strText.clear();
    dlg.OnReplaceAll();
    dlg.OnReplace();
    EXPECT_EQ(Lines(f.buffer), (Strings{"aa aa", "aa"}));
    dlg.End();

    f.buffer.SetReadOnly(true);
    ReplaceDialogModel readOnly(f.view);
    EXPECT_FALSE(readOnly.Begin());
}

} // namespace
} // namespace brindle::viewtest
