// Where node drags from the tree and from the node list may be dropped.
#include "app/document/BrindleDoc.h"
#include "app/views/NodeDragModel.h"
#include "tests/app/DocManagerFixture.h"

using namespace brindle;

namespace {

class NodeDragModelTest : public DocManagerFixture {
protected:
    void SetUp() override
    {
        DocManagerFixture::SetUp();
        doc = Load("<!DOCTYPE r><r><a k=\"v\"><b><c/></b></a><z/></r>");
        other = Load("<!DOCTYPE o><o><p/></o>");
    }
    void TearDown() override
    {
        doc.reset();
        other.reset();
        DocManagerFixture::TearDown();
    }
    static std::unique_ptr<CBrindleDoc> Load(const std::string& xml)
    {
        auto loaded = std::make_unique<CBrindleDoc>();
        EXPECT_TRUE(loaded->OnNewDocument());
        loaded->GetDomDocument()->put_validateOnParse(false);
        EXPECT_TRUE(loaded->GetDomDocument()->loadXML(xml));
        return loaded;
    }
    static XmlNodePtr At(CBrindleDoc& in, const std::string& xpath)
    {
        return in.GetDomDocument()->selectSingleNode(xpath);
    }
    static XmlNodePtr Doctype(CBrindleDoc& in) { return in.GetDomDocument()->firstChild(); }

    std::unique_ptr<CBrindleDoc> doc, other;
};

} // namespace

TEST_F(NodeDragModelTest, AnElementGoesAnywhereButIntoItsOwnPlacesAndOntoADoctype)
{
    EXPECT_TRUE(NodeDragModel(*doc, doc->GetDomDocument()).IsEmpty());
    EXPECT_TRUE(NodeDragModel(*doc, Doctype(*doc)).IsEmpty());
    EXPECT_TRUE(NodeDragModel(*doc, nullptr).IsEmpty());

    const NodeDragModel drag(*doc, At(*doc, "/r/a"));
    ASSERT_FALSE(drag.IsEmpty());
    for (const char* place : {"/r/a", "/r", "/r/a/b", "/r/a/b/c"})
        EXPECT_FALSE(drag.AcceptsTreeNode(At(*doc, place))) << place;
    EXPECT_FALSE(drag.AcceptsTreeNode(Doctype(*doc)));
    EXPECT_FALSE(drag.AcceptsTreeNode(Doctype(*other)));
    EXPECT_FALSE(drag.AcceptsTreeNode(nullptr));
    EXPECT_TRUE(drag.AcceptsTreeNode(At(*doc, "/r/z")));
    EXPECT_TRUE(drag.AcceptsTreeNode(At(*other, "/o/p")));
    EXPECT_TRUE(drag.AcceptsTreeNode(other->GetDomDocument())); // the parser has the last word there
    // Up past its parent, to an ancestor further out.
    EXPECT_TRUE(NodeDragModel(*doc, At(*doc, "/r/a/b/c")).AcceptsTreeNode(At(*doc, "/r/a")));
    // Elements go to trees only.
    other->SetCurrentNode(At(*other, "/o"));
    EXPECT_FALSE(drag.AcceptsPage(other.get(), false));
}

TEST_F(NodeDragModelTest, RowsGoToElementsOtherThanTheirOwnerAndToOtherPages)
{
    const XmlNodePtr a = At(*doc, "/r/a");
    EXPECT_TRUE(NodeDragModel(*doc, a, {}).IsEmpty());
    const NodeDragModel rows(*doc, a, {a->asElement()->getAttributeNode("k")});
    EXPECT_FALSE(rows.AcceptsTreeNode(a)); // pasted there and deleted, they would be lost
    EXPECT_FALSE(rows.AcceptsTreeNode(doc->GetDomDocument()));
    EXPECT_FALSE(rows.AcceptsTreeNode(other->GetDomDocument()));
    EXPECT_FALSE(rows.AcceptsTreeNode(Doctype(*other)));
    EXPECT_TRUE(rows.AcceptsTreeNode(At(*doc, "/r/a/b")));
    EXPECT_TRUE(rows.AcceptsTreeNode(At(*doc, "/r")));
    EXPECT_TRUE(rows.AcceptsTreeNode(At(*other, "/o/p")));

    // Pages: never their own, nor another one showing their owner.
    other->SetCurrentNode(At(*other, "/o"));
    EXPECT_TRUE(rows.AcceptsPage(other.get(), false));
    EXPECT_FALSE(rows.AcceptsPage(other.get(), true));
    EXPECT_FALSE(rows.AcceptsPage(nullptr, false));
    doc->SetCurrentNode(a);
    EXPECT_FALSE(rows.AcceptsPage(doc.get(), false));
    doc->SetCurrentNode(At(*doc, "/r/z"));
    EXPECT_TRUE(rows.AcceptsPage(doc.get(), false));

    // The move takes the attribute from its owner, whatever node is current.
    ASSERT_TRUE(rows.MoveTo(*other, At(*other, "/o/p")));
    EXPECT_EQ(At(*other, "/o/p")->xml(), "<p k=\"v\"/>");
    EXPECT_EQ(a->xml(), "<a><b><c/></b></a>");
}
