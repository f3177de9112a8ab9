// Runs every program under conformance/: each defines Function Main(x) that
// returns its output, lines separated by vbLf; the expected lines are the
// file's comments that start with "'=> " (or a bare "'=>" for an empty line).
#include "platform/script/ScriptEngine.h"
#include "platform/script/VariantOps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace brindle::vbs;

namespace {

std::vector<std::string> Programs()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(BRINDLE_CONFORMANCE_DIR))
        if (entry.path().extension() == ".vbs") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, OutputMatches)
{
    std::ifstream in(std::string(BRINDLE_CONFORMANCE_DIR) + "/" + GetParam() + ".vbs", std::ios::binary);
    ASSERT_TRUE(in);
    std::stringstream code;
    code << in.rdbuf();
    std::string expected;
    std::istringstream lines(code.str());
    bool first = true;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, 3, "'=>") != 0) continue;
        std::string text = line.substr(at + 3);
        if (!text.empty() && text.front() == ' ') text.erase(0, 1);
        expected += (first ? "" : "\n") + text;
        first = false;
    }
    ScriptEngine engine;
    std::string actual;
    try {
        engine.AddCode(code.str());
        actual = ToUtf8(ToString(engine.Run("Main", {Variant(VbString())})));
    } catch (const ScriptError& e) {
        FAIL() << "error " << e.Number() << " at line " << e.Line() << ": " << e.Message();
    }
    if (!actual.empty() && actual.back() == '\n') actual.pop_back();
    // Compare line by line so a failure names the first differing line.
    std::istringstream a(actual), x(expected);
    std::string al, xl;
    for (int n = 1;; ++n) {
        bool moreA = static_cast<bool>(std::getline(a, al));
        bool moreX = static_cast<bool>(std::getline(x, xl));
        if (!moreA && !moreX) break;
        ASSERT_EQ(moreA ? al : "<end>", moreX ? xl : "<end>") << "output line " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, Conformance, testing::ValuesIn(Programs()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
