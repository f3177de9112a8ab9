// Menus built from resources on a real display: pictures from toolbars, access
// keys, and item states asked of the owner before a menu shows.
#include "brindlekit/chrome/TarnMenu.h"
#include "tests/support/GuiTestMain.h"

#include <wx/frame.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

#include <map>
#include <memory>

using namespace brindle;

namespace {

constexpr int kCopy = 100, kCut = 101, kPaste = 102, kToggle = 103, kMenu = 1, kToolbar = 7;

class FakeResources : public ITarnResources {
public:
    const std::vector<MenuTemplateItem>* Menu(int id) const override { return id == kMenu ? &menu : nullptr; }
    const std::vector<int>* Toolbar(int id) const override { return id == kToolbar ? &buttons : nullptr; }
    wxBitmapBundle ButtonImage(int) const override { return wxBitmapBundle(wxBitmap(16, 16)); }
    bool IsCheckCommand(int id) const override { return id == kToggle; }

    std::vector<MenuTemplateItem> menu{{0,
                                        "&Edit",
                                        {{kCopy, "&Copy\tCtrl+C", {}},
                                         {kCut, "Cu&t", {}},
                                         {},
                                         {0, "&More", {{kPaste, "Paste", {}}, {kToggle, "&Wrap", {}}}}}}};
    std::vector<int> buttons{kCopy, kPaste, kToggle};
};

class TarnMenuGui : public ::testing::Test {
protected:
    void SetUp() override { TarnMenu::SetResources(&resources); }
    void TearDown() override { TarnMenu::SetResources(nullptr); }
    FakeResources resources;
};

TEST_F(TarnMenuGui, ItemsTakeThePicturesOfTheirToolbarButtons)
{
    TarnMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    EXPECT_FALSE(TarnMenu().LoadMenu(99));
    ASSERT_EQ(menu.GetMenuItemCount(), 4u);
    EXPECT_TRUE(menu.FindItem(kToggle)->IsCheckable());
    EXPECT_TRUE(menu.LoadToolbar(kToolbar));
    EXPECT_FALSE(menu.LoadToolbars({kToolbar, 99}));
    EXPECT_TRUE(menu.FindItem(kCopy)->GetBitmap().IsOk());
    EXPECT_TRUE(menu.FindItem(kPaste)->GetBitmap().IsOk()); // in a submenu too
    EXPECT_FALSE(menu.FindItem(kCut)->GetBitmap().IsOk()); // no button: text only
    EXPECT_FALSE(menu.FindItem(kToggle)->GetBitmap().IsOk()); // a check mark instead
    // The items keep their places, and GTK is told to show the pictures.
    EXPECT_EQ(menu.FindItemByPosition(0)->GetId(), kCopy);
    EXPECT_EQ(menu.FindItemByPosition(1)->GetId(), kCut);
    EXPECT_EQ(menu.FindItemByPosition(3)->GetSubMenu()->FindItemByPosition(0)->GetId(), kPaste);
#ifdef __WXGTK__
    using GetAlwaysShowImage = int (*)(void*);
    const auto shown =
        reinterpret_cast<GetAlwaysShowImage>(dlsym(RTLD_DEFAULT, "gtk_image_menu_item_get_always_show_image"));
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown(menu.FindItem(kCopy)->GetMenuItem()));
#endif

    std::unique_ptr<wxMenuBar> bar(TarnMenu::LoadMenuBar(kMenu, {kToolbar}));
    ASSERT_EQ(bar->GetMenuCount(), 1u);
    EXPECT_EQ(bar->GetMenuLabel(0), "&Edit");
    EXPECT_NE(dynamic_cast<TarnMenu*>(bar->GetMenu(0)), nullptr);
}

TEST_F(TarnMenuGui, AccessKeysFindTheirItemsOnly)
{
    TarnMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    EXPECT_EQ(TarnMenu::FindKeyboardShortcut('c', menu), 2L << 16);
    EXPECT_EQ(TarnMenu::FindKeyboardShortcut('T', menu), (2L << 16) | 1);
    EXPECT_EQ(TarnMenu::FindKeyboardShortcut('m', menu), (2L << 16) | 3);
    EXPECT_EQ(TarnMenu::FindKeyboardShortcut('u', menu), 0); // in "Cut", but not after "&"
    EXPECT_EQ(TarnMenu::FindKeyboardShortcut('p', menu), 0); // only in the submenu
}

TEST_F(TarnMenuGui, CommandsNobodyAnswersAreDisabledWhenTheMenuShows)
{
    TarnMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    wxEvtHandler owner;
    owner.Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& event) { event.Enable(true); }, kCopy);
    owner.Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& event) { event.Check(true); }, kToggle);
    menu.InitMenuPopup(owner, false);
    EXPECT_TRUE(menu.IsEnabled(kCut));
    menu.InitMenuPopup(owner, true);
    EXPECT_TRUE(menu.IsEnabled(kCopy));
    EXPECT_FALSE(menu.IsEnabled(kCut));
    EXPECT_FALSE(menu.IsEnabled(kPaste));
    EXPECT_TRUE(menu.IsChecked(kToggle));
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return test::RunGuiTests("chrome_gui_tests");
}
