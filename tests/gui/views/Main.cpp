#include "tests/support/GuiTestMain.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return brindle::test::RunGuiTests("node_views_gui_tests");
}
