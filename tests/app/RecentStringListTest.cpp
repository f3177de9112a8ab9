#include "app/settings/RecentStringList.h"
#include "tests/app/ShellFixture.h"

using RecentStringListTest = ShellFixture;

namespace {

std::vector<std::string> Slots(const CRecentStringList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetSize(); ++i) out.push_back(list[i]);
    return out;
}

CRecentStringList Filled(std::initializer_list<const char*> entries, int size)
{
    CRecentStringList list("namespace", "namespace%d", size, 30);
    // Adding in reverse order leaves the entries in the order given.
    std::vector<const char*> v(entries);
    for (auto it = v.rbegin(); it != v.rend(); ++it) list.Add(*it);
    return list;
}

} // namespace

TEST_F(RecentStringListTest, RepeatedEntryMovesToTheFrontIgnoringCase)
{
    auto list = Filled({"x", "A", "y"}, 10);
    list.Add("a");
    EXPECT_EQ(Slots(list), (std::vector<std::string>{"a", "x", "y", "", "", "", "", "", "", ""}));
}

TEST_F(RecentStringListTest, NewEntryPushesTheLastSlotOut)
{
    auto list = Filled({"1", "2", "3", "4"}, 4);
    list.Add("5");
    EXPECT_EQ(Slots(list), (std::vector<std::string>{"5", "1", "2", "3"}));
    // An entry equal to the last slot is not looked for there: the last slot drops.
    list.Add("3");
    EXPECT_EQ(Slots(list), (std::vector<std::string>{"3", "5", "1", "2"}));
    list.Add("1");
    EXPECT_EQ(Slots(list), (std::vector<std::string>{"1", "3", "5", "2"}));
}

TEST_F(RecentStringListTest, EntriesAreTakenAsTheyAreButCutTo259Characters)
{
    CRecentStringList list("Recent File List", "File%d", 4, 30);
    list.Add("relative/../path.xml");
    EXPECT_EQ(list[0], "relative/../path.xml");
    list.Add(std::string(300, 'p'));
    EXPECT_EQ(list[0].size(), 259u);

    CRecentStringList single("s", "e%d", 1, 30);
    single.Add("one");
    single.Add("two");
    EXPECT_EQ(Slots(single), std::vector<std::string>{"two"});
}

TEST_F(RecentStringListTest, ReadsAndWritesItsSectionSkippingEmptySlots)
{
    auto list = Filled({"/a/one.xml", "/b/two.xml"}, 4);
    list.WriteList();
    const std::string key = "Software\\Brindle\\Brindle\\namespace";
    EXPECT_EQ(store->EnumValueNames(key), (std::vector<std::string>{"namespace1", "namespace2"}));

    CRecentStringList reread("namespace", "namespace%d", 4, 30);
    reread.ReadList();
    EXPECT_EQ(Slots(reread), (std::vector<std::string>{"/a/one.xml", "/b/two.xml", "", ""}));

    reread.Remove(0);
    reread.WriteList();
    EXPECT_EQ(store->EnumValueNames(key), std::vector<std::string>{"namespace1"});
    EXPECT_EQ(store->GetString(key, "namespace1"), "/b/two.xml");
}

TEST_F(RecentStringListTest, DisplayNamesFitTheDisplayLength)
{
    CRecentStringList list("Recent File List", "File%d", 4, 30);
    list.Add("/home/user/short.xml");
    EXPECT_EQ(list.GetDisplayName(0), "/home/user/short.xml");
    list.Add("/home/user/projects/catalogue/2026/december/books.xml");
    const std::string shown = list.GetDisplayName(0);
    EXPECT_LE(shown.size(), 30u);
    EXPECT_EQ(shown, "/.../2026/december/books.xml");
    list.Add("/x/" + std::string(40, 'n') + ".xml");
    EXPECT_LE(list.GetDisplayName(0).size(), 30u);
}
