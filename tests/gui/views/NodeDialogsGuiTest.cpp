#include "app/views/NodeEditDlg.h"
#include "app/views/NodeIcons.h"
#include "app/views/NodePropertyDlg.h"
#include "tests/gui/views/NodeViewFixture.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <tuple>
#include <vector>
#include <wx/bookctrl.h>
#include <wx/uiaction.h>
#include <wx/imaglist.h>
#include <wx/textctrl.h>

using namespace brindle;

namespace {

constexpr const char* kXml = R"(<?xml version="1.0"?><?style href="a.css"?>)"
                             R"(<r xmlns:p="urn:p"><p:item a="1">x<b/><!--c--><![CDATA[d]]></p:item></r>)";

bool IsAddress(const std::string& text)
{
    return text.size() >= 8 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f');
           });
}

wxString FieldText(wxWindow* dialog, int id) { return static_cast<wxTextCtrl*>(dialog->FindWindow(id))->GetValue(); }

} // namespace

class NodeDialogs : public NodeViewFixture {
protected:
    void SetUp() override
    {
        NodeViewFixture::SetUp();
        dom = NewDoc(kXml).GetDomDocument();
        root = dom->selectSingleNode("/r");
        item = dom->selectSingleNode("/r/*");
        attribute = item->attributes()->getNamedItem("a");
    }
    XmlDocumentPtr dom;
    XmlNodePtr root, item, attribute;
};

TEST_F(NodeDialogs, DescribeNodeGivesPathsAddressesNamespaceAndSource)
{
    const NodeFacts document = DescribeNode(dom);
    EXPECT_EQ(document.path, "/");
    EXPECT_EQ(document.parentAddress, "00000000");
    EXPECT_EQ(document.type, "NODE_DOCUMENT");
    EXPECT_TRUE(IsAddress(document.address)) << document.address;

    const NodeFacts attr = DescribeNode(attribute);
    EXPECT_EQ(attr.name, "a");
    EXPECT_EQ(attr.type, "NODE_ATTRIBUTE");
    EXPECT_EQ(attr.parentAddress, "00000000");
    EXPECT_EQ(attr.path, "/a/");
    EXPECT_EQ(attr.namespaceUri, "");

    const NodeFacts element = DescribeNode(item);
    EXPECT_EQ(element.name, "p:item");
    EXPECT_EQ(element.path, "/r/p:item/");
    EXPECT_EQ(element.namespaceUri, "urn:p");
    // The whole subtree exactly as the DOM writes it (which declares the prefix).
    EXPECT_EQ(element.source, item->xml());
    EXPECT_EQ(element.source, R"(<p:item xmlns:p="urn:p" a="1">x<b/><!--c--><![CDATA[d]]></p:item>)");
    EXPECT_TRUE(IsAddress(element.address)) << element.address;
    // The parent's address is the parent object's, which its own facts show.
    EXPECT_EQ(element.parentAddress, DescribeNode(root).address);
    EXPECT_EQ(DescribeNode(item).address, element.address);
    EXPECT_NE(element.address, document.address);

    const NodeFacts instruction = DescribeNode(dom->selectSingleNode("processing-instruction('style')"));
    EXPECT_EQ(instruction.path, "/style/");
    EXPECT_EQ(instruction.parentAddress, document.address);
    EXPECT_EQ(instruction.source, R"(<?style href="a.css"?>)");

    EXPECT_EQ(DescribeNode(nullptr).address, ""); // nothing to show, and no crash
}

TEST_F(NodeDialogs, PropertyDialogShowsTheFactsOnItsPages)
{
    CNodePropertyDlg dialog(NewFrame(), "Node Properties");
    EXPECT_EQ(dialog.GetTitle(), "Node Properties");
    EXPECT_EQ(dialog.FindWindow(wxID_APPLY), nullptr);
    wxBookCtrlBase* book = dialog.GetBookCtrl();
    ASSERT_EQ(book->GetPageCount(), 2u);
    EXPECT_EQ(book->GetPageText(0), "Info");
    EXPECT_EQ(book->GetPageText(1), "Source");
    EXPECT_EQ(book->GetSelection(), 0);

    dialog.SetNode(item);
    const NodeFacts facts = DescribeNode(item);
    EXPECT_EQ(dialog.Facts().path, facts.path);
    wxWindow* info = book->GetPage(0);
    const std::string shown[] = {facts.name, facts.type, facts.address, facts.parentAddress, facts.path,
                                 facts.namespaceUri};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(FieldText(info, 1000 + i).utf8_string(), shown[i]) << "field " << 1000 + i;
    EXPECT_EQ(FieldText(book->GetPage(1), 1000).utf8_string(), facts.source);

    // A second node replaces every field.
    dialog.SetNode(dom);
    EXPECT_EQ(FieldText(info, 1004), "/");
    EXPECT_EQ(FieldText(info, 1005), "");
}

TEST_F(NodeDialogs, EditDialogIsFilledFromTheNodeAndNamesOnlyAttributesAndInstructions)
{
    const std::pair<XmlNodePtr, bool> cases[] = {
        {item, false},
        {attribute, true},
        {item->firstChild(), false},                        // text
        {item->selectSingleNode("comment()"), false},       // comment
        {item->lastChild(), false},                         // CDATA
        {dom->selectSingleNode("processing-instruction('style')"), true},
    };
    for (const auto& [node, named] : cases) {
        ASSERT_TRUE(node);
        CNodeEditDlg dialog(NewFrame(), node, wxBitmap());
        SCOPED_TRACE(node->nodeName());
        EXPECT_EQ(dialog.GetTitle(), "Edit Node");
        EXPECT_EQ(dialog.FindWindow(1000)->IsEnabled(), named);
        EXPECT_EQ(dialog.GetNodeName(), node->nodeName());
        EXPECT_EQ(dialog.GetNodeValue(), node->text());
        EXPECT_EQ(FieldText(&dialog, 1002).utf8_string(), CBrindleDoc::NodeTypeName(node));
        EXPECT_FALSE(static_cast<wxTextCtrl*>(dialog.FindWindow(1002))->IsEditable());
    }
}

TEST_F(NodeDialogs, EditDialogOpensOnTheValueAndReturnsTheFields)
{
    std::unique_ptr<wxImageList> icons(CreateNodeListImages(32));
    CNodeEditDlg dialog(NewFrame(), attribute, icons->GetBitmap(1));
    wxWindow* focused = nullptr;
    dialog.CallAfter([&] {
        focused = wxWindow::FindFocus();
        dialog.SetNodeName("b");
        dialog.SetNodeValue("two\nlines");
        dialog.EndModal(wxID_OK);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(focused, dialog.FindWindow(1001));
    EXPECT_EQ(dialog.GetNodeName(), "b");
    EXPECT_EQ(dialog.GetNodeValue(), "two\nlines");
    EXPECT_EQ(attribute->text(), "1"); // the dialog leaves the node alone
}

TEST_F(NodeDialogs, EditDialogTabsFromTheValueThroughTheFieldsAndBack)
{
    CNodeEditDlg dialog(NewFrame(), attribute, wxBitmap());
    dialog.Show();
    test::PumpEvents();
    dialog.FindWindow(1001)->SetFocus();
    test::PumpEvents();
    wxUIActionSimulator keys;
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) {
        keys.Char(WXK_TAB);
        test::PumpEvents();
        wxWindow* focus = wxWindow::FindFocus();
        order.push_back(focus ? focus->GetId() : -1);
    }
    EXPECT_EQ(order, (std::vector<int>{1000, 1002, wxID_OK, wxID_CANCEL, 1001}));
    EXPECT_EQ(dialog.GetNodeValue(), "1"); // no tab went into the value
    EXPECT_FALSE(dialog.IsChanged());
    dialog.Hide();
}

TEST_F(NodeDialogs, EditDialogGrowsItsValueFieldAndKeepsItsOpeningSizeAsMinimum)
{
    CNodeEditDlg dialog(NewFrame(), item->firstChild(), wxBitmap(32, 32));
    dialog.Show();
    test::PumpEvents();
    auto rect = [&](int id) { return dialog.FindWindow(id)->GetRect(); };
    const wxSize opening = dialog.GetSize();
    const wxSize client = dialog.GetClientSize();
    const wxRect icon = rect(1006), name = rect(1000), type = rect(1002), line = rect(1012), value = rect(1001);
    const wxRect ok = rect(wxID_OK), cancel = rect(wxID_CANCEL);
    EXPECT_LT(ok.GetRight(), cancel.GetLeft());

    dialog.SetSize(opening + wxSize(150, 100));
    test::PumpEvents();
    const wxSize grown = dialog.GetClientSize() - client;
    ASSERT_EQ(grown, wxSize(150, 100));
    EXPECT_EQ(rect(1006), icon);
    EXPECT_EQ(rect(1002), type);
    EXPECT_EQ(rect(1000).width, name.width + grown.x);
    EXPECT_EQ(rect(1012).width, line.width + grown.x);
    EXPECT_EQ(rect(1001).GetSize(), value.GetSize() + grown);
    EXPECT_EQ(rect(1001).GetPosition(), value.GetPosition());
    EXPECT_EQ(rect(wxID_OK).GetPosition(), ok.GetPosition() + grown);
    EXPECT_EQ(rect(wxID_CANCEL).GetPosition(), cancel.GetPosition() + grown);

    dialog.SetSize(opening - wxSize(100, 80));
    test::PumpEvents();
    EXPECT_GE(dialog.GetSize().x, opening.x);
    EXPECT_GE(dialog.GetSize().y, opening.y);
}

TEST_F(NodeDialogs, ImageListsHoldDistinctPicturesOfTheirSize)
{
    std::unique_ptr<wxImageList> tree(CreateNodeTreeImages());
    std::unique_ptr<wxImageList> small(CreateNodeListImages(16));
    std::unique_ptr<wxImageList> large(CreateNodeListImages(32));
    const std::tuple<wxImageList*, int, int> lists[] = {
        {tree.get(), 4, 16}, {small.get(), 7, 16}, {large.get(), 7, 32}};
    for (const auto& [list, count, size] : lists) {
        ASSERT_EQ(list->GetImageCount(), count);
        std::vector<wxImage> images;
        for (int i = 0; i < count; ++i) {
            const wxBitmap bitmap = list->GetBitmap(i);
            ASSERT_EQ(bitmap.GetSize(), wxSize(size, size)) << i;
            images.push_back(bitmap.ConvertToImage());
        }
        for (int i = 0; i < count; ++i)
            for (int j = i + 1; j < count; ++j) {
                const size_t bytes = static_cast<size_t>(size) * size * 3;
                const bool same = std::equal(images[i].GetData(), images[i].GetData() + bytes, images[j].GetData()) &&
                                  (!images[i].HasAlpha() ||
                                   std::equal(images[i].GetAlpha(), images[i].GetAlpha() + bytes / 3,
                                              images[j].GetAlpha()));
                EXPECT_FALSE(same) << "pictures " << i << " and " << j << " of size " << size;
            }
    }
}
