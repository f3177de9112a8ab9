#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

using namespace brindle;
using namespace brindle::test;

using StrVec = std::vector<std::string>;

namespace {

// An independent model of the text: inserted text breaks at CR or CR LF.
void ModelInsert(StrVec& lines, int line, int pos, const std::string& text, CPoint& end)
{
    StrVec pieces{""};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            pieces.emplace_back();
        } else {
            pieces.back().push_back(text[i]);
        }
    }
    std::string& first = lines[static_cast<std::size_t>(line)];
    const std::string tail = first.substr(static_cast<std::size_t>(pos));
    first = first.substr(0, static_cast<std::size_t>(pos)) + pieces[0];
    lines.insert(lines.begin() + line + 1, pieces.begin() + 1, pieces.end());
    const std::size_t last = static_cast<std::size_t>(line) + pieces.size() - 1;
    end = CPoint(static_cast<int>(lines[last].size()), static_cast<int>(last));
    lines[last] += tail;
}

void ModelDelete(StrVec& lines, CPoint start, CPoint end)
{
    const std::string tail = lines[static_cast<std::size_t>(end.y)].substr(static_cast<std::size_t>(end.x));
    lines[static_cast<std::size_t>(start.y)].resize(static_cast<std::size_t>(start.x));
    lines[static_cast<std::size_t>(start.y)] += tail;
    lines.erase(lines.begin() + start.y + 1, lines.begin() + end.y + 1);
}

std::string RandomText(std::mt19937& rng)
{
    static const char* const kParts[] = {"a", "b", " ", "<x>", "\t", "\r", "\n", "\r\n", "\n\r", "\r\r", "word"};
    std::string text;
    const int parts = static_cast<int>(rng() % 4);
    for (int i = 0; i <= parts; ++i) text += kParts[rng() % std::size(kParts)];
    return text;
}

CPoint RandomPoint(std::mt19937& rng, const StrVec& lines)
{
    const int line = static_cast<int>(rng() % lines.size());
    return CPoint(static_cast<int>(rng() % (lines[static_cast<std::size_t>(line)].size() + 1)), line);
}

// Random edits in random groups; states receives the text before and after each group.
void RandomEdits(CTextBuffer& buffer, std::mt19937& rng, int records, std::vector<StrVec>& states)
{
    StrVec model = Lines(buffer);
    states = {model};
    int made = 0;
    while (made < records) {
        const bool explicitGroup = rng() % 3 == 0;
        if (explicitGroup) buffer.BeginUndoGroup(rng() % 2 == 0 && made > 0);
        const int inGroup = explicitGroup ? 1 + static_cast<int>(rng() % 4) : 1;
        int added = 0;
        for (; added < inGroup && made < records; ++added, ++made) {
            if (rng() % 5 < 3 || (model.size() == 1 && model[0].empty())) {
                const CPoint at = RandomPoint(rng, model);
                const std::string text = RandomText(rng);
                int endLine = -1, endChar = -1;
                ASSERT_TRUE(buffer.InsertText(nullptr, at.y, at.x, text, endLine, endChar, EA_TYPING));
                CPoint end;
                ModelInsert(model, at.y, at.x, text, end);
                ASSERT_EQ(CPoint(endChar, endLine), end);
            } else {
                CPoint a = RandomPoint(rng, model);
                CPoint b = a;
                if (rng() % 4 == 0) b = RandomPoint(rng, model);
                else b.x = std::min<int>(a.x + static_cast<int>(rng() % 6), static_cast<int>(model[static_cast<std::size_t>(a.y)].size()));
                if (b.y < a.y || (b.y == a.y && b.x < a.x)) std::swap(a, b);
                ASSERT_TRUE(buffer.DeleteText(nullptr, a.y, a.x, b.y, b.x, EA_DELETE));
                ModelDelete(model, a, b);
            }
        }
        if (explicitGroup) buffer.FlushUndoGroup(nullptr);
        ASSERT_TRUE(Lines(buffer) == model);
        // A merged group replaces the state before it.
        if (explicitGroup && buffer.GetUndoRecordCount() > 0 && states.size() > 1 &&
            !buffer.GetUndoRecord(buffer.GetUndoPosition() - added).BeginsGroup())
            states.back() = model;
        else
            states.push_back(model);
    }
}

} // namespace

TEST(UndoProperty, RandomEditsUndoToTheStartAndRedoToTheEnd)
{
    const auto started = std::chrono::steady_clock::now();
    std::mt19937 rng(20240611);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        TempDir dir;
        // Start from a loaded file whose lines hold stray CR and LF bytes.
        WriteFile(dir.Path("start"), "first\rline\nsecond\n\nthird\r\r\nfourth\r");
        CTextBuffer buffer;
        ASSERT_TRUE(buffer.LoadFromFile(dir.Path("start").c_str()));
        const StrVec original = Lines(buffer);

        std::vector<StrVec> states;
        ASSERT_NO_FATAL_FAILURE(RandomEdits(buffer, rng, 1000, states));
        const StrVec final = Lines(buffer);
        EXPECT_TRUE(buffer.IsModified());

        // Every step changes the text, and with it the change count.
        CPoint cursor;
        std::size_t state = states.size() - 1;
        while (buffer.CanUndo()) {
            const std::uint64_t count = buffer.GetChangeCount();
            ASSERT_TRUE(buffer.Undo(cursor));
            ASSERT_NE(buffer.GetChangeCount(), count);
            ASSERT_GT(state, 0u);
            --state;
            ASSERT_TRUE(Lines(buffer) == states[state]) << "after undoing to state " << state;
        }
        EXPECT_EQ(state, 0u);
        EXPECT_TRUE(Lines(buffer) == original);
        EXPECT_FALSE(buffer.IsModified());

        while (buffer.CanRedo()) {
            const std::uint64_t count = buffer.GetChangeCount();
            ASSERT_TRUE(buffer.Redo(cursor));
            ASSERT_NE(buffer.GetChangeCount(), count);
        }
        EXPECT_TRUE(Lines(buffer) == final);
        EXPECT_TRUE(buffer.IsModified());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

TEST(UndoProperty, PastTheLimitUndoStopsAtTheOldestKeptGroup)
{
    std::mt19937 rng(7);
    CTextBuffer buffer;
    buffer.InitNew();
    std::vector<StrVec> states;
    ASSERT_NO_FATAL_FAILURE(RandomEdits(buffer, rng, 2500, states));
    CPoint cursor;
    int groups = 0;
    while (buffer.CanUndo()) {
        buffer.Undo(cursor);
        ++groups;
    }
    ASSERT_LT(static_cast<std::size_t>(groups), states.size());
    EXPECT_TRUE(Lines(buffer) == states[states.size() - 1 - static_cast<std::size_t>(groups)]);
    EXPECT_TRUE(buffer.IsModified()); // the empty start is no longer in the history
    while (buffer.CanRedo()) buffer.Redo(cursor);
    EXPECT_TRUE(Lines(buffer) == states.back());
}
