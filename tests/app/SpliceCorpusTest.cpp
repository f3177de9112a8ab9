// Tree edits of real XML files, saved: the file must parse, hold what the tree
// holds, and differ from the original only inside the nodes the edit touched.
// The files come from bench/corpus/make_corpus.sh, which CTest runs first.

#include "app/document/BrindleDoc.h"
#include "platform/ui/Clipboard.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/SpliceDiff.h"

#include <libxml/c14n.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fnmatch.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

using namespace brindle;
namespace fs = std::filesystem;
using brindle::test::ByteRange;

namespace {

// --- the canonical form of a text, for comparing two texts' trees

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocHandle = std::unique_ptr<xmlDoc, DocFree>;

// Blank text is layout where an element holds no other text, and a save may
// change it where it adds or removes a node (deleting an element's only child
// leaves the blanks around it in the tree, while its line goes from the file):
// it is dropped there. Entity references left unexpanded (their declaration is in
// an external subset that is not read) become their own text, which canonical
// form cannot hold as references.
void Normalise(xmlNode* parent)
{
    bool text = false;
    for (xmlNode* c = parent->children; c; c = c->next)
        text = text || c->type == XML_CDATA_SECTION_NODE || (c->type == XML_TEXT_NODE && !xmlIsBlankNode(c));
    for (xmlNode* c = parent->children; c;) {
        xmlNode* next = c->next;
        if (!text && c->type == XML_TEXT_NODE) {
            xmlUnlinkNode(c);
            xmlFreeNode(c);
        } else if (c->type == XML_ENTITY_REF_NODE) {
            const std::string name = "&" + std::string(reinterpret_cast<const char*>(c->name)) + ";";
            xmlNode* replacement = xmlNewDocText(c->doc, BAD_CAST name.c_str());
            xmlReplaceNode(c, replacement);
            xmlFreeNode(c);
        } else if (c->type == XML_ELEMENT_NODE) {
            Normalise(c);
        }
        c = next;
    }
}

void Quiet(void*, const char*, ...) {}

// The canonical form (with comments) of the text's tree, read as the file at
// baseUrl so that relative references resolve alike for every text; nullopt
// with the parser's reason when the text does not parse.
std::optional<std::string> Canonical(const std::string& text, const std::string& baseUrl, std::string& error)
{
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(), xmlFreeParserCtxt);
    // External entities that are not there (a stylesheet's CSS) are not news.
    xmlSetGenericErrorFunc(nullptr, Quiet);
    DocHandle doc(xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), baseUrl.c_str(), nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                        XML_PARSE_HUGE));
    xmlSetGenericErrorFunc(nullptr, nullptr);
    if (!doc) {
        const char* message = ctxt->lastError.message;
        error = "does not parse: " + std::string(message ? message : "unknown error") + " at line " +
                std::to_string(ctxt->lastError.line);
        if (!error.empty() && error.back() == '\n') error.pop_back();
        return std::nullopt;
    }
    if (xmlNode* root = xmlDocGetRootElement(doc.get())) Normalise(root);
    xmlChar* out = nullptr;
    const int size = xmlC14NDocDumpMemory(doc.get(), nullptr, XML_C14N_1_0, nullptr, 1, &out);
    if (size < 0) {
        error = "has no canonical form";
        return std::nullopt;
    }
    std::string canonical(reinterpret_cast<const char*>(out), static_cast<size_t>(size));
    xmlFree(out);
    return canonical;
}

// --- the edits

enum class Edit { AddChild, AddSibling, Rename, Delete, Paste, Drag, AttributeAdd, AttributeEdit, AttributeDelete };

const char* NameOf(Edit edit)
{
    switch (edit) {
    case Edit::AddChild: return "add child";
    case Edit::AddSibling: return "add sibling";
    case Edit::Rename: return "rename";
    case Edit::Delete: return "delete";
    case Edit::Paste: return "paste";
    case Edit::Drag: return "drag";
    case Edit::AttributeAdd: return "attribute add";
    case Edit::AttributeEdit: return "attribute edit";
    case Edit::AttributeDelete: return "attribute delete";
    }
    return "?";
}

// Cases whose save may fall back to writing the whole file, each with why.
// A file pattern (fnmatch, against the corpus path) and the edit.
struct Allowance {
    const char* files;
    Edit edit;
    const char* reason;
};
const std::vector<Allowance> kSavedWholeAllowed = {};

bool SavingWholeAllowed(const std::string& file, Edit edit)
{
    for (const Allowance& a : kSavedWholeAllowed)
        if (a.edit == edit && fnmatch(a.files, file.c_str(), 0) == 0) return true;
    return false;
}

// The elements in document order, the root and what lies inside entity
// references left out: the candidates for an edit, found again by index in
// each fresh copy of the document.
void CollectElements(const XmlNodePtr& parent, std::vector<XmlNodePtr>& out)
{
    for (XmlNodePtr c = parent->firstChild(); c; c = c->nextSibling()) {
        if (c->nodeType() != NODE_ELEMENT) continue;
        out.push_back(c);
        CollectElements(c, out);
    }
}

std::vector<XmlNodePtr> Elements(const XmlDocumentPtr& dom)
{
    std::vector<XmlNodePtr> elements;
    if (XmlElementPtr root = dom->documentElement()) CollectElements(root, elements);
    return elements;
}

// An attribute an edit may change: not a namespace declaration.
XmlNodePtr EditableAttribute(const XmlNodePtr& element)
{
    const XmlNamedNodeMapPtr attributes = element->attributes();
    for (long i = 0; attributes && i < attributes->length(); ++i) {
        XmlNodePtr a = attributes->item(i);
        const std::string name = a->nodeName();
        if (name != "xmlns" && name.rfind("xmlns:", 0) != 0) return a;
    }
    return nullptr;
}

// Where a dragged element goes: into its nearest element sibling, before or after.
XmlNodePtr DragDestination(const XmlNodePtr& element)
{
    for (XmlNodePtr s = element->previousSibling(); s; s = s->previousSibling())
        if (s->nodeType() == NODE_ELEMENT) return s;
    for (XmlNodePtr s = element->nextSibling(); s; s = s->nextSibling())
        if (s->nodeType() == NODE_ELEMENT) return s;
    return nullptr;
}

struct Case {
    size_t element; // index into Elements()
    Edit edit;
};

// Files this large are edited at their middle element only, which keeps the
// run short: each edit opens the file afresh.
constexpr std::uint64_t kLargeFile = 256u << 10;

// The edits made on one file: each edit on the first, middle and last element;
// the attribute edits on those that have an attribute (else on the first
// element that has one); a drag only where there is a sibling to drag into.
std::vector<Case> CasesFor(const std::vector<XmlNodePtr>& elements, bool large)
{
    std::vector<Case> cases;
    if (elements.empty()) return cases;
    const std::set<size_t> targets = large ? std::set<size_t>{elements.size() / 2}
                                           : std::set<size_t>{0, elements.size() / 2, elements.size() - 1};
    std::set<size_t> withAttribute;
    for (size_t t : targets)
        if (EditableAttribute(elements[t])) withAttribute.insert(t);
    for (size_t i = 0; withAttribute.empty() && i < elements.size(); ++i)
        if (EditableAttribute(elements[i])) withAttribute.insert(i);
    for (size_t t : targets) {
        for (Edit e : {Edit::AddChild, Edit::AddSibling, Edit::Rename, Edit::Delete, Edit::Paste, Edit::AttributeAdd})
            cases.push_back({t, e});
        if (DragDestination(elements[t])) cases.push_back({t, Edit::Drag});
    }
    for (size_t t : withAttribute)
        for (Edit e : {Edit::AttributeEdit, Edit::AttributeDelete}) cases.push_back({t, e});
    return cases;
}

struct CorpusFile {
    std::string path; // relative to the corpus folder
    std::string package;
};

fs::path CorpusDir()
{
    if (const char* dir = std::getenv("BRINDLE_CORPUS")) return dir;
    return BRINDLE_CORPUS_DIR;
}

// The manifest's files; with BRINDLE_CORPUS_FILES=N (the sanitizer build sets
// it) N of them spread over the list.
std::vector<CorpusFile> ReadManifest(const fs::path& dir)
{
    std::vector<CorpusFile> files;
    std::ifstream in(dir / "MANIFEST.tsv");
    std::string line;
    std::getline(in, line); // the column names
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        CorpusFile file;
        if (std::getline(fields, file.path, '\t') && std::getline(fields, file.package, '\t'))
            files.push_back(file);
    }
    const char* cap = std::getenv("BRINDLE_CORPUS_FILES");
    const size_t wanted = cap ? std::strtoul(cap, nullptr, 10) : 0;
    if (wanted == 0 || wanted >= files.size()) return files;
    std::vector<CorpusFile> spread;
    for (size_t i = 0; i < wanted; ++i) spread.push_back(files[i * files.size() / wanted]);
    return spread;
}

class SpliceCorpusTest : public DocManagerFixture {
protected:
    void SetUp() override
    {
        DocManagerFixture::SetUp();
        SetClipboard(&clipboard);
    }
    void TearDown() override
    {
        SetClipboard(nullptr);
        DocManagerFixture::TearDown();
    }

    std::unique_ptr<CBrindleDoc> Open(const fs::path& path, std::string& failure)
    {
        auto doc = std::make_unique<CBrindleDoc>();
        const wxString name = wxString::FromUTF8(path.string());
        if (!doc->OnOpenDocument(name)) {
            failure = "does not open: " + doc->Errors().Take();
            return nullptr;
        }
        doc->Errors().Take(); // a validity complaint does not matter here
        doc->SetFilename(name);
        if (!doc->IsDomValid()) {
            failure = "opens as text only";
            return nullptr;
        }
        return doc;
    }

    // Makes the edit on a fresh copy of the file, saves it and checks the
    // result: what failed, or "" when every check held. refused: the editor
    // refused the edit itself, which leaves no save to judge. inside: the bytes
    // changed stayed inside the touched nodes.
    std::string RunCase(const CorpusFile& file, const std::string& original, const Case& c, bool& inside,
                        bool& refused);

    bool MakeEdit(CBrindleDoc& doc, const XmlNodePtr& target, Edit edit);

    test::RecordingUIServices ui;
    MemoryClipboard clipboard;
    fs::path corpus = CorpusDir();
};

// The nodes whose text an edit of the target changes: the target, and the
// elements that gain or lose children.
std::vector<XmlNodePtr> TouchedBy(const XmlNodePtr& target, Edit edit)
{
    switch (edit) {
    case Edit::AddSibling:
    case Edit::Paste: return {target, target->parentNode()};
    case Edit::Drag: return {target, target->parentNode(), DragDestination(target)};
    default: return {target};
    }
}

bool SpliceCorpusTest::MakeEdit(CBrindleDoc& doc, const XmlNodePtr& target, Edit edit)
{
    const XmlNodePtr parent = target->parentNode();
    doc.SetCurrentNode(target);
    XmlNodePtr made;
    switch (edit) {
    case Edit::AddChild: return doc.CreateNode(NODE_ELEMENT, "NewChild", std::string(), target, "") != nullptr;
    case Edit::AddSibling:
        return doc.CreateNode(NODE_ELEMENT, "NewSibling", std::string(), parent, "") != nullptr;
    case Edit::Rename: {
        const std::string prefix = target->prefix();
        return doc.RenameNode(target, prefix.empty() ? "renamed" : prefix + ":renamed", made,
                              prefix.empty() ? "" : target->namespaceURI());
    }
    case Edit::Delete: return doc.DeleteNode(target, nullptr);
    case Edit::Paste:
        return doc.CopyNodeToClipboard(target) && doc.PasteNode(parent, made);
    case Edit::Drag: return doc.MoveNodes(doc, {target}, parent, DragDestination(target));
    case Edit::AttributeAdd:
        return doc.CreateNode(NODE_ATTRIBUTE, "added", std::string("value"), nullptr, "") != nullptr;
    case Edit::AttributeEdit: {
        const XmlNodePtr attribute = EditableAttribute(target);
        return doc.SetNodeValue(attribute, attribute->nodeValue().value_or("") + " edited");
    }
    case Edit::AttributeDelete: return doc.DeleteNode(EditableAttribute(target), target);
    }
    return false;
}

std::string SpliceCorpusTest::RunCase(const CorpusFile& file, const std::string& original, const Case& c,
                                      bool& inside, bool& refused)
{
    inside = refused = false;
    std::string failure;
    const fs::path path = corpus / file.path;
    auto doc = Open(path, failure);
    if (!doc) return failure;
    const std::vector<XmlNodePtr> elements = Elements(doc->GetDomDocument());
    if (c.element >= elements.size()) return "has fewer elements on this opening";

    // The spans are taken before the edit, which may replace or remove the nodes.
    const XmlNodePtr target = elements[c.element];
    std::vector<ByteRange> spans;
    std::string unspanned;
    for (const XmlNodePtr& node : TouchedBy(target, c.edit)) {
        if (const auto span = doc->GetDomDocument()->sourceSpan(node))
            spans.push_back({span->start, span->end});
        else
            unspanned = node->nodeName();
    }
    if (!MakeEdit(*doc, target, c.edit)) {
        refused = true;
        return doc->Errors().Take();
    }

    const fs::path out = dir / "saved.xml";
    if (!doc->OnSaveDocument(wxString::FromUTF8(out.string()))) return "save failed: " + doc->Errors().Take();
    const std::string note = doc->TakeStatusNote();
    const std::string saved = test::ReadFile(out);

    std::string error;
    const auto savedForm = Canonical(saved, path.string(), error);
    if (!savedForm) return "saved file " + error;
    const auto domForm = Canonical(doc->GetXmlText(), path.string(), error);
    if (!domForm) return "edited tree's serialisation " + error;
    if (*savedForm != *domForm) {
        const std::uint64_t at = test::DiffBytes(*savedForm, *domForm).prefix;
        return "saved file does not hold the edited tree: its canonical form has \"" + savedForm->substr(at, 40) +
               "\" where the tree's has \"" + domForm->substr(at, 40) + "\"";
    }

    if (!unspanned.empty()) return "no source span for <" + unspanned + ">";
    const ByteRange hull = test::TouchedHull(original, spans);
    inside = test::ChangedOnlyInside(original, saved, hull);
    // A save that fell back to the whole file says why; where that is allowed
    // the bytes changed cannot be held to the nodes.
    if (!note.empty()) return SavingWholeAllowed(file.path, c.edit) ? "" : "saved whole: " + note;
    if (!inside) {
        const test::ByteDiff diff = test::DiffBytes(original, saved);
        return "changed outside the edited nodes: first change at " + test::DescribeOffset(original, diff.prefix) +
               ", last at " + test::DescribeOffset(original, original.size() - diff.suffix) + "; the nodes span " +
               test::DescribeOffset(original, hull.start) + " to " + test::DescribeOffset(original, hull.end);
    }
    return "";
}

} // namespace

// The corpus run's own measures: a fault in them would pass faulty saves.
TEST(SpliceCorpusChecks, TheTouchedHullTakesTheLineAndItsBreakOnlyWhenBlanksLead)
{
    const std::string text = "<r>\n  <a/>\n  <b/>\n</r>\n";
    const ByteRange a{6, 10}, b{13, 17};
    const ByteRange hull = test::TouchedHull(text, {a});
    EXPECT_EQ(hull.start, 3u); // the break ending "<r>"
    EXPECT_EQ(hull.end, 10u);
    EXPECT_EQ(test::TouchedHull(text, {b, a}).end, 17u);
    // Text before the node on its line: the start of the line, not the break before it.
    const std::string inline_ = "<r>\n<x/> <a/>\n</r>";
    EXPECT_EQ(test::TouchedHull(inline_, {{10, 14}}).start, 4u);
    // CR LF breaks go whole.
    EXPECT_EQ(test::TouchedHull("<r>\r\n  <a/>\r\n</r>", {{7, 11}}).start, 3u);
}

TEST(SpliceCorpusChecks, OnlyBytesInsideTheHullMayChange)
{
    const std::string text = "<r>\n  <a/>\n  <b/>\n</r>\n";
    const ByteRange hull = test::TouchedHull(text, {{6, 10}});
    EXPECT_TRUE(test::ChangedOnlyInside(text, text, hull));
    // Removing the line of <a/>, beside a like line: inside whichever way the
    // bytes are aligned.
    EXPECT_TRUE(test::ChangedOnlyInside(text, "<r>\n  <b/>\n</r>\n", hull));
    EXPECT_TRUE(test::ChangedOnlyInside(text, "<r>\n  <a x=\"1\"/>\n  <b/>\n</r>\n", hull));
    EXPECT_FALSE(test::ChangedOnlyInside(text, "<r>\n  <a/>\n  <B/>\n</r>\n", hull));
    EXPECT_FALSE(test::ChangedOnlyInside(text, "<R>\n  <a/>\n  <b/>\n</r>\n", hull));
    EXPECT_FALSE(test::ChangedOnlyInside(text, "<r>\n  <a/>\n  <b/>\n</r>", hull));
    EXPECT_FALSE(test::ChangedOnlyInside(text, "<r>\n  <b/>\n</r>\n", {6, 10})); // the break is outside
    // An output too short to hold both outsides lost bytes of them.
    EXPECT_FALSE(test::ChangedOnlyInside(text, "<r>\n</r>\n", hull));

    const test::ByteDiff diff = test::DiffBytes("aXa", "aa");
    EXPECT_EQ(diff.prefix, 1u);
    EXPECT_EQ(diff.suffix, 1u);
    EXPECT_EQ(test::DescribeOffset("a\nb\nc", 4), "line 3 (byte 4)");

    test::SpliceTally tally;
    for (bool inside : {true, true, false}) tally.Add(inside);
    EXPECT_EQ(tally.Summary(), "2 of 3 edits (66.7%) changed only the edited nodes");
}

TEST(SpliceCorpusChecks, CanonicalFormsIgnoreBlanksOnlyWhereNoOtherTextIs)
{
    std::string error;
    const auto form = [&error](const std::string& text) { return Canonical(text, "test.xml", error).value_or("!"); };
    EXPECT_EQ(form("<r>\n  <a>x</a>\n  <!--c-->\n</r>"), form("<r><a>x</a><!--c--></r>"));
    EXPECT_EQ(form("<r a='1' b=\"&#65;\"/>"), form("<r b=\"A\" a=\"1\"></r>"));
    EXPECT_NE(form("<p>a <b>x</b> c</p>"), form("<p>a<b>x</b>c</p>"));
    EXPECT_EQ(form("<r>\n  \n</r>"), form("<r>\n</r>"));
    EXPECT_NE(form("<r> x </r>"), form("<r>x</r>"));
    EXPECT_NE(form("<r><![CDATA[ ]]></r>"), form("<r/>"));
    EXPECT_NE(form("<r><a/></r>"), form("<r><b/></r>"));
    // Entities declared in an external subset that is not read stay references.
    EXPECT_EQ(form("<!DOCTYPE r SYSTEM \"none.dtd\"><r>&e;</r>"), "<r>&amp;e;</r>");
    EXPECT_EQ(form("<!DOCTYPE r [<!ENTITY e 'v'>]><r>&e;</r>"), "<r>v</r>");
    EXPECT_FALSE(Canonical("<r>", "test.xml", error));
    EXPECT_NE(error.find("does not parse"), std::string::npos) << error;
}

TEST_F(SpliceCorpusTest, EditsOfRealFilesChangeOnlyTheEditedNodes)
{
    const std::vector<CorpusFile> files = ReadManifest(corpus);
    ASSERT_FALSE(files.empty()) << "The corpus at " << corpus
                                << " holds no files: run bench/corpus/make_corpus.sh there (CTest does so first), "
                                   "after scripts/setup.sh has installed the packages it reads.";
    test::SpliceTally tally;
    std::vector<std::string> failures;
    for (const CorpusFile& file : files) {
        const std::string original = test::ReadFile(corpus / file.path);
        std::string failure;
        auto survey = Open(corpus / file.path, failure);
        if (!survey) {
            failures.push_back(file.path + ": " + failure);
            continue;
        }
        const std::vector<Case> cases = CasesFor(Elements(survey->GetDomDocument()), original.size() >= kLargeFile);
        survey.reset();
        for (const Case& c : cases) {
            bool inside = false, refused = false;
            failure = RunCase(file, original, c, inside, refused);
            const std::string what = file.path + ": " + NameOf(c.edit) + " of element " + std::to_string(c.element);
            if (refused) {
                // Not a fault of saving (a copy whose entities are declared
                // only in its document does not paste), but worth seeing.
                std::cout << "Not judged, the editor refused the edit: " << what << ": " << failure << "\n";
                continue;
            }
            tally.Add(inside);
            if (!failure.empty()) failures.push_back(what + ": " + failure);
        }
    }
    std::cout << "Spliced saves: " << tally.Summary() << " across " << files.size() << " files\n";
    std::string list;
    for (const std::string& f : failures) list += "  " + f + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " of " << tally.Edits() << " edits failed:\n" << list;
}
