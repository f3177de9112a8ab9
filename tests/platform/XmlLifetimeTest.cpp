// Node identity and lifetime: held nodes outlive removal, reloads and moves; the
// memory of freed trees goes back to the system.

#include "platform/xml/SmallBlockPool.h"
#include "platform/xml/XmlDom.h"

#include <gtest/gtest.h>
#include <libxml/xmlmemory.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace brindle;

namespace {

XmlDocumentPtr Load(const std::string& text)
{
    auto doc = XmlDocument::Create();
    EXPECT_TRUE(doc->loadXML(text)) << doc->parseError().reason;
    return doc;
}

} // namespace

TEST(XmlLifetime, SameNodeGivesSameObject)
{
    auto doc = Load("<a><b/><c/></a>");
    auto root = doc->documentElement();
    EXPECT_EQ(root->firstChild(), doc->selectSingleNode("/a/b"));
    EXPECT_EQ(root->childNodes()->item(1), root->lastChild());
    EXPECT_EQ(root->firstChild()->parentNode(), root);
    EXPECT_EQ(root->parentNode(), doc);
    EXPECT_EQ(root->ownerDocument(), doc);
    EXPECT_EQ(doc->ownerDocument(), nullptr);
}

TEST(XmlLifetime, RemovedNodeStaysUsableAndCanBeReinserted)
{
    auto doc = Load("<a><b x='1'><c>text</c></b><d/></a>");
    auto root = doc->documentElement();
    XmlNodePtr b = root->firstChild();
    XmlNodePtr c = b->firstChild();
    EXPECT_EQ(root->removeChild(b), b);
    EXPECT_EQ(b->parentNode(), nullptr);
    EXPECT_EQ(root->xml(), "<a><d/></a>");
    b.reset(); // c alone keeps the removed subtree
    EXPECT_EQ(c->text(), "text");
    EXPECT_EQ(c->parentNode()->nodeName(), "b");
    EXPECT_EQ(c->parentNode()->asElement()->getAttribute("x"), "1");
    root->appendChild(c);
    EXPECT_EQ(root->xml(), "<a><d/><c>text</c></a>");
}

TEST(XmlLifetime, HeldNodeSurvivesReloadOfItsDocument)
{
    auto doc = Load("<old><kept>value</kept></old>");
    XmlNodePtr kept = doc->selectSingleNode("//kept");
    XmlNodePtr oldRoot = doc->documentElement();
    auto children = oldRoot->childNodes();
    ASSERT_TRUE(doc->loadXML("<new/>"));
    EXPECT_EQ(kept->text(), "value");
    EXPECT_EQ(kept->parentNode(), oldRoot);
    EXPECT_EQ(oldRoot->parentNode(), nullptr); // no longer the document's content
    EXPECT_EQ(children->length(), 1);
    EXPECT_EQ(doc->documentElement()->nodeName(), "new");
    // The old node still belongs to the same document object and can come back.
    doc->documentElement()->appendChild(kept);
    EXPECT_EQ(doc->xml(), "<new><kept>value</kept></new>\n");
    // A failed load empties the document; held nodes remain readable.
    EXPECT_FALSE(doc->loadXML("<broken"));
    EXPECT_EQ(doc->documentElement(), nullptr);
    EXPECT_EQ(kept->xml(), "<kept>value</kept>");
}

TEST(XmlLifetime, AppendingANodeOfAnotherDocumentMovesIt)
{
    auto source = Load("<p:src xmlns:p='urn:p'><p:item a='1'>x</p:item><other/></p:src>");
    auto target = Load("<dst/>");
    XmlNodePtr item = source->selectSingleNode("//*[local-name()='item']");
    XmlNodePtr text = item->firstChild();
    target->documentElement()->appendChild(item);
    EXPECT_EQ(item->ownerDocument(), target);
    EXPECT_EQ(text->ownerDocument(), target);
    EXPECT_EQ(source->documentElement()->childNodes()->length(), 1);
    EXPECT_EQ(item->namespaceURI(), "urn:p");
    EXPECT_EQ(target->xml(), "<dst><p:item xmlns:p=\"urn:p\" a=\"1\">x</p:item></dst>\n");
    source.reset(); // the source tree goes away; the moved nodes must not
    EXPECT_EQ(text->text(), "x");
    EXPECT_EQ(target->documentElement()->firstChild(), item);
}

TEST(XmlLifetime, AttributesMoveBetweenElementsAndDocuments)
{
    auto a = Load("<a k='v'/>");
    auto b = Load("<b/>");
    auto attr = a->documentElement()->getAttributeNode("k");
    a->documentElement()->removeAttributeNode(attr);
    EXPECT_EQ(attr->ownerElement(), nullptr);
    EXPECT_EQ(b->documentElement()->setAttributeNode(attr), nullptr);
    EXPECT_EQ(attr->ownerElement(), b->documentElement());
    EXPECT_EQ(b->xml(), "<b k=\"v\"/>\n");
    auto replacement = b->createAttribute("k");
    replacement->put_value("w");
    auto replaced = b->documentElement()->setAttributeNode(replacement);
    EXPECT_EQ(replaced, attr);
    EXPECT_EQ(replaced->value(), "v");
    EXPECT_EQ(b->documentElement()->getAttribute("k"), "w");
}

TEST(XmlLifetime, ListsAndNodesOutliveTheirDocumentObjectReference)
{
    XmlNodePtr leaf;
    XmlNodeListPtr list;
    {
        auto doc = Load("<a><b>1</b><b>2</b></a>");
        leaf = doc->documentElement()->lastChild();
        list = doc->documentElement()->childNodes();
    }
    EXPECT_EQ(list->length(), 2);
    EXPECT_EQ(leaf->text(), "2");
    EXPECT_EQ(leaf->ownerDocument()->documentElement()->nodeName(), "a");
}

TEST(XmlLifetime, ReplacedAndRenamedElementKeepsChildren)
{
    // What a rename does: new element, children and attributes moved across, swap.
    auto doc = Load("<r><old a='1' b='2'><w/><x/><y/><z/></old><next/></r>");
    auto old = doc->documentElement()->firstChild()->asElement();
    auto renamed = doc->createElement("renamed");
    auto attrs = old->attributes();
    while (attrs->length() > 0) {
        auto at = attrs->item(0)->asAttribute();
        old->removeAttributeNode(at);
        renamed->setAttributeNode(at);
    }
    while (old->hasChildNodes()) renamed->appendChild(old->firstChild());
    EXPECT_EQ(doc->documentElement()->replaceChild(renamed, old), old);
    EXPECT_EQ(doc->documentElement()->xml(), "<r><renamed a=\"1\" b=\"2\"><w/><x/><y/><z/></renamed><next/></r>");
    EXPECT_EQ(old->parentNode(), nullptr);
    EXPECT_FALSE(old->hasChildNodes());
}

TEST(XmlLifetime, RandomEditsBetweenDocumentsStayConsistent)
{
    // Random moves, removals, reloads and dropped references over two documents;
    // run under AddressSanitizer this catches any node freed while referenced.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    std::vector<XmlDocumentPtr> docs = {Load("<a xmlns:p='urn:p'><p:b k='1'>t<c/></p:b><d/></a>"),
                                        Load("<x><y z='2'>&#xE9;</y></x>")};
    std::vector<XmlNodePtr> held;
    auto collect = [&](const XmlDocumentPtr& d) {
        auto all = d->selectNodes("//node() | //@*");
        for (long i = 0; i < all->length(); ++i) held.push_back(all->item(i));
    };
    for (auto& d : docs) collect(d);
    for (int step = 0; step < 4000; ++step) {
        if (held.empty()) collect(docs[pick(2)]);
        if (held.empty()) continue;
        XmlNodePtr n = held[pick(held.size())];
        XmlNodePtr target = held[pick(held.size())];
        try {
            switch (pick(12)) {
            case 0: target->appendChild(n); break;
            case 1:
                if (auto parent = n->parentNode()) parent->removeChild(n);
                break;
            case 2: held.erase(held.begin() + static_cast<long>(pick(held.size()))); break;
            case 3: held.push_back(docs[pick(2)]->createElement("e" + std::to_string(step))); break;
            case 4:
                if (pick(20) == 0) docs[pick(2)]->loadXML("<r><s/>text</r>");
                break;
            case 5:
                if (auto el = target->asElement(); el && n->asAttribute()) el->setAttributeNode(n->asAttribute());
                else if (el) el->setAttribute("a" + std::to_string(pick(3)), "v");
                break;
            case 6: held.push_back(n->cloneNode(true)); break;
            case 7: (void)n->xml(); (void)n->text(); break;
            case 8:
                if (auto parent = target->parentNode()) parent->insertBefore(n, target);
                break;
            case 9:
                if (auto parent = target->parentNode()) parent->replaceChild(n, target);
                break;
            case 10: target->put_text("z"); break;
            case 11:
                if (auto attr = n->asAttribute(); attr && attr->ownerElement()) attr->ownerElement()->removeAttributeNode(attr);
                break;
            }
        } catch (const DomError&) {
            // Refused edits (hierarchy, second root, ...) are part of the test.
        }
    }
    for (auto& n : held) {
        (void)n->xml();
        (void)n->parentNode();
        (void)n->ownerDocument();
    }
    for (auto& d : docs) EXPECT_FALSE(d->xml().empty() && d->hasChildNodes()) << seed;
  }
}

namespace {

using namespace brindle::detail;

// Whether the page holding p is resident.
bool Resident(const void* p)
{
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    unsigned char state = 0;
    void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(p) & ~(page - 1));
    return ::mincore(start, page, &state) == 0 && (state & 1);
}

} // namespace

TEST(SmallBlockPool, BlocksOfEverySizeKeepTheirBytesThroughReallocAndFree)
{
    const std::size_t blocksBefore = GetPoolUsage().blocksInUse;
    std::vector<unsigned char*> blocks;
    for (std::size_t size = 0; size <= kLargestPooled + 40; ++size) {
        auto* p = static_cast<unsigned char*>(PoolAlloc(size));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(InPool(p), size <= kLargestPooled) << size;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u) << size;
        std::memset(p, static_cast<int>(size & 0xFF), size);
        blocks.push_back(p);
    }
    // No two blocks overlap: each still holds its own pattern.
    for (std::size_t size = 0; size < blocks.size(); ++size)
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(blocks[size][i], size & 0xFF) << size;

    // Growing within the block's size keeps it; growing past it, into another size or
    // out of the pool, moves the bytes; shrinking keeps them.
    unsigned char* small = blocks[100];
    EXPECT_EQ(PoolRealloc(small, 102), small);
    auto* moved = static_cast<unsigned char*>(PoolRealloc(small, 120));
    auto* large = static_cast<unsigned char*>(PoolRealloc(moved, 4000));
    EXPECT_FALSE(InPool(large));
    for (int i = 0; i < 100; ++i) ASSERT_EQ(large[i], 100) << i;
    blocks[100] = static_cast<unsigned char*>(PoolRealloc(large, 50));
    for (int i = 0; i < 50; ++i) ASSERT_EQ(blocks[100][i], 100) << i;

    // Blocks from the C library, and no block at all, are accepted too.
    PoolFree(std::malloc(24));
    PoolFree(PoolRealloc(std::malloc(16), 64));
    PoolFree(nullptr);
    char* copy = PoolStrdup("a name");
    EXPECT_TRUE(InPool(copy));
    EXPECT_STREQ(copy, "a name");
    PoolFree(copy);

    std::shuffle(blocks.begin(), blocks.end(), std::mt19937(7));
    for (unsigned char* p : blocks) PoolFree(p);
    EXPECT_EQ(GetPoolUsage().blocksInUse, blocksBefore);
}

TEST(SmallBlockPool, FreedSlabsAreReusedThenGivenBack)
{
    ReleaseEmptySlabs();
    const PoolUsage before = GetPoolUsage();
    // Node-sized blocks over several slabs, freed in a scattered order.
    std::vector<void*> nodes(40000);
    for (void*& p : nodes) std::memset(p = PoolAlloc(120), 0x5A, 120);
    EXPECT_GE(GetPoolUsage().slabsInUse, before.slabsInUse + 4);
    // Past the first slab's worth, so in a slab holding only these blocks.
    void* inner = nodes[nodes.size() / 2];
    std::shuffle(nodes.begin(), nodes.end(), std::mt19937(3));
    for (std::size_t i = 0; i < nodes.size(); i += 2) PoolFree(nodes[i]);
    // Freed blocks are handed out again before any new slab.
    const std::size_t slabs = GetPoolUsage().slabsInUse;
    for (std::size_t i = 0; i < nodes.size(); i += 2) nodes[i] = PoolAlloc(120);
    EXPECT_EQ(GetPoolUsage().slabsInUse, slabs);
    for (void* p : nodes) PoolFree(p);

    const PoolUsage freed = GetPoolUsage();
    EXPECT_EQ(freed.blocksInUse, before.blocksInUse);
    EXPECT_GE(freed.slabsEmpty, 4u);
    EXPECT_TRUE(Resident(inner)); // kept for reuse until released
    EXPECT_GE(ReleaseEmptySlabs(), std::size_t{4} << 20);
    EXPECT_EQ(GetPoolUsage().slabsEmpty, 0u);
    EXPECT_FALSE(Resident(inner));

    // A released slab serves again, zeroed by the system.
    void* again = PoolAlloc(120);
    std::memset(again, 1, 120);
    PoolFree(again);
}

TEST(SmallBlockPool, ThreadsAllocatingAtOnceNeverShareABlock)
{
    const std::size_t blocksBefore = GetPoolUsage().blocksInUse;
    std::latch start(2);
    auto work = [&start](unsigned char mark, bool& ok) {
        std::vector<unsigned char*> mine;
        start.arrive_and_wait();
        for (int round = 0; round < 200; ++round) {
            for (int i = 0; i < 2000; ++i) {
                auto* p = static_cast<unsigned char*>(PoolAlloc(8 + (i % 15) * 8));
                std::memset(p, mark, 8);
                mine.push_back(p);
            }
            for (std::size_t i = 0; i < mine.size(); ++i) {
                ok = ok && std::memcmp(mine[i], std::string(8, static_cast<char>(mark)).data(), 8) == 0;
                if (i % 3 == 0) PoolFree(std::exchange(mine[i], nullptr));
            }
            std::erase(mine, nullptr);
        }
        for (unsigned char* p : mine) PoolFree(p);
    };
    bool ok1 = true, ok2 = true;
    std::thread a(work, 0x11, std::ref(ok1)), b(work, 0x22, std::ref(ok2));
    a.join();
    b.join();
    EXPECT_TRUE(ok1 && ok2);
    EXPECT_EQ(GetPoolUsage().blocksInUse, blocksBefore);
}

TEST(SmallBlockPool, FreedDocumentGivesItsSlabsBack)
{
    Load("<set-up/>"); // the first load sets up libxml2
    if (xmlFree != PoolFree) GTEST_SKIP() << "libxml2 uses the C library in this build";
    XmlDocument::waitForFreedMemory();
    const PoolUsage before = GetPoolUsage();
    std::string text = "<list>";
    for (int i = 0; i < 30000; ++i) text += "<item n='" + std::to_string(i) + "'>text</item>\n";
    text += "</list>";
    {
        auto doc = Load(text);
        // Elements, their text, attributes and their values, and the line breaks.
        EXPECT_GE(GetPoolUsage().blocksInUse, before.blocksInUse + 4 * 30000);
        EXPECT_EQ(doc->documentElement()->childNodes()->length(), 60000);
    }
    EXPECT_EQ(GetPoolUsage().blocksInUse, before.blocksInUse);
    EXPECT_TRUE(XmlDocument::waitForFreedMemory());
    const PoolUsage after = GetPoolUsage();
    EXPECT_EQ(after.slabsEmpty, 0u);
    EXPECT_LE(after.slabsInUse, before.slabsInUse);
}

TEST(XmlLifetime, ALargeTreeIsFreedOffTheCallingThreadOnceNothingHoldsIt)
{
    Load("<set-up/>");
    XmlDocument::waitForFreedMemory();
    const bool pooled = xmlFree == PoolFree;
    const std::size_t blocksBefore = GetPoolUsage().blocksInUse;
    std::string large = "<list>";
    while (large.size() < (17u << 20)) large += "<item n='1'>some text for the item</item>\n";
    large += "</list>";
    {
        auto doc = Load(large);
        large.clear();
        const auto replaced = doc->documentElement();
        EXPECT_TRUE(doc->loadXML("<small/>"));
        // The old tree lives while a node of it is held.
        EXPECT_EQ(replaced->nodeName(), "list");
        EXPECT_EQ(replaced->firstChild()->nodeName(), "item");
        if (pooled) {
            EXPECT_GT(GetPoolUsage().blocksInUse, blocksBefore + 100000);
        }
    }
    EXPECT_TRUE(XmlDocument::waitForFreedMemory());
    if (pooled) {
        EXPECT_EQ(GetPoolUsage().blocksInUse, blocksBefore);
    }
}
