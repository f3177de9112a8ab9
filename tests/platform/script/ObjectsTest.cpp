// The built-in objects driven as the interpreter drives them: through Invoke,
// with lower-case member names and Variant arguments.
#include "platform/script/ObjectFactory.h"
#include "platform/script/ScriptError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <initializer_list>

using namespace brindle::vbs;

namespace {

Variant Call(const ObjectPtr& object, std::string_view name, std::initializer_list<Variant> args = {},
             InvokeKind kind = InvokeKind::Method)
{
    std::vector<Variant> list(args);
    return object->Invoke(name, kind, list);
}

Variant Get(const ObjectPtr& object, std::string_view name, std::initializer_list<Variant> args = {})
{
    return Call(object, name, args, InvokeKind::PropertyGet);
}

void Let(const ObjectPtr& object, std::string_view name, std::initializer_list<Variant> args)
{
    Call(object, name, args, InvokeKind::PropertyLet);
}

std::string Str(const Variant& v)
{
    if (v.IsEmpty()) return "<empty>";
    if (!v.IsString()) ADD_FAILURE() << "not a string";
    return v.IsString() ? ToUtf8(v.Str()) : std::string();
}

int32_t Long(const Variant& v) { return std::get<int32_t>(v.Value()); }
bool Bool(const Variant& v) { return std::get<bool>(v.Value()); }

// The error number a call throws (0 when it does not throw).
template <typename F> int ErrorOf(F&& f)
{
    try {
        f();
    } catch (const ScriptError& e) {
        return e.Number();
    }
    return 0;
}

ObjectPtr NewRegExp(const char16_t* pattern, bool global = false, bool ignoreCase = false, bool multiline = false)
{
    ObjectPtr re = CreateRegExp();
    Let(re, "pattern", {Variant(pattern)});
    Let(re, "global", {Variant(global)});
    Let(re, "ignorecase", {Variant(ignoreCase)});
    Let(re, "multiline", {Variant(multiline)});
    return re;
}

std::string Replace(const ObjectPtr& re, const char16_t* subject, const char16_t* replacement)
{
    return Str(Call(re, "replace", {Variant(subject), Variant(replacement)}));
}

// ---------------------------------------------------------------- RegExp

TEST(RegExpObject, ReplaceReferencesFollowTheLanguage)
{
    ObjectPtr re = NewRegExp(u"(\\w+)@(\\w+)", true);
    EXPECT_EQ(Replace(re, u"a@b c@d", u"$2@$1"), "b@a d@c");
    EXPECT_EQ(Replace(re, u"x a@b y", u"[$&|$`|$']"), "x [a@b|x | y] y");
    EXPECT_EQ(Replace(re, u"a@b", u"$$1 $3 $0 $"), "$1 $3 $0 $");
    // $12 is group 1 then "2" when there are fewer than 12 groups.
    EXPECT_EQ(Replace(re, u"a@b", u"$12"), "a2");
    ObjectPtr many = NewRegExp(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)");
    EXPECT_EQ(Replace(many, u"abcdefghijkl", u"$12$11$1"), "lka");
    // An unmatched group gives nothing.
    EXPECT_EQ(Replace(NewRegExp(u"(x)?y"), u"y", u"[$1]"), "[]");
}

TEST(RegExpObject, GlobalOffReplacesTheFirstMatchOnly)
{
    EXPECT_EQ(Replace(NewRegExp(u"o"), u"foo boo", u"0"), "f0o boo");
    EXPECT_EQ(Replace(NewRegExp(u"o", true), u"foo boo", u"0"), "f00 b00");
    // Empty matches step on by one character.
    EXPECT_EQ(Replace(NewRegExp(u"x*", true), u"abc", u"-"), "-a-b-c-");
    EXPECT_EQ(Replace(NewRegExp(u"a*", true), u"aaa", u"X"), "XX");
}

TEST(RegExpObject, FlagsAndLineEnds)
{
    ObjectPtr re = NewRegExp(u"^b.*$", true);
    EXPECT_FALSE(Bool(Call(re, "test", {Variant(u"a\nb\nc")})));
    Let(re, "multiline", {Variant(true)}); // a flag change recompiles
    EXPECT_TRUE(Bool(Call(re, "test", {Variant(u"a\nb\nc")})));
    EXPECT_EQ(Replace(re, u"a\r\nbx\r\nc", u"B"), "a\r\nB\r\nc");
    // "." stops at CR and LF; "$" without Multiline is the very end only.
    EXPECT_EQ(Replace(NewRegExp(u"a.b", true), u"a\rb a\nb a-b", u"X"), "a\rb a\nb X");
    EXPECT_FALSE(Bool(Call(NewRegExp(u"a$"), "test", {Variant(u"a\n")})));
    EXPECT_TRUE(Bool(Call(NewRegExp(u"ÉTÉ", false, true), "test", {Variant(u"un été")})));
    EXPECT_FALSE(Bool(Call(NewRegExp(u"ABC"), "test", {Variant(u"abc")})));
    EXPECT_TRUE(Bool(Call(NewRegExp(u"\\u0041\\x42[^]"), "test", {Variant(u"ABz")})));
    EXPECT_FALSE(Bool(Call(NewRegExp(u"a[]"), "test", {Variant(u"a]")})));
    // A back reference to a group that did not take part matches empty.
    EXPECT_TRUE(Bool(Call(NewRegExp(u"(a)?b\\1c"), "test", {Variant(u"bc")})));
}

TEST(RegExpObject, ExecuteGivesMatchesWithGroupsAndUtf16Positions)
{
    ObjectPtr re = NewRegExp(u"(\\d+)(px)?", true);
    Variant matches = Call(re, "execute", {Variant(u"😀 12px 7")});
    ObjectPtr list = matches.Object();
    EXPECT_EQ(Str(list->TypeName()), "IMatchCollection2");
    ASSERT_EQ(Long(Get(list, "count")), 2);
    ObjectPtr first = Get(list, "", {Variant(int32_t(0))}).Object();
    EXPECT_EQ(Str(Get(first, "")), "12px");
    EXPECT_EQ(Long(Get(first, "firstindex")), 3); // the emoji is two code units
    EXPECT_EQ(Long(Get(first, "length")), 4);
    ObjectPtr second = Get(list, "item", {Variant(int32_t(1))}).Object();
    ObjectPtr groups = Get(second, "submatches").Object();
    ASSERT_EQ(Long(Get(groups, "count")), 2);
    EXPECT_EQ(Str(Get(groups, "", {Variant(int32_t(0))})), "7");
    EXPECT_TRUE(Get(groups, "item", {Variant(int32_t(1))}).IsEmpty());
    EXPECT_EQ(groups->Enumerate().size(), 2u);
    EXPECT_EQ(list->Enumerate().size(), 2u);
    EXPECT_EQ(ErrorOf([&] { Get(list, "item", {Variant(int32_t(2))}); }), 5);
    // Without Global, Execute finds one match.
    Let(re, "global", {Variant(false)});
    EXPECT_EQ(Long(Get(Call(re, "execute", {Variant(u"1 2 3")}).Object(), "count")), 1);
}

TEST(RegExpObject, BadPatternsAndRunawayMatchesRaiseErrors)
{
    EXPECT_EQ(ErrorOf([] { Call(NewRegExp(u"(a"), "test", {Variant(u"a")}); }), 5017);
    EXPECT_EQ(ErrorOf([] { Call(NewRegExp(u"a**"), "execute", {Variant(u"a")}); }), 5017);
    // Catastrophic backtracking ends with error 5 instead of running for ages.
    VbString subject(40, u'a');
    subject += u'!';
    EXPECT_EQ(ErrorOf([&] { Call(NewRegExp(u"^(a+)+$"), "test", {Variant(subject)}); }), 5);
    // An unpaired surrogate in the text still matches, code unit by code unit.
    VbString lone = u"x";
    lone += char16_t(0xD800);
    lone += u"y";
    EXPECT_EQ(Replace(NewRegExp(u"x.y"), lone.c_str(), u"ok"), "ok");
}

TEST(RegExpObject, ReplaceCallsAFunctionObject)
{
    // What GetRef hands over: an object whose default member is the function.
    struct Upper : ScriptObject {
        VbString TypeName() const override { return u"Object"; }
        Variant Invoke(std::string_view, InvokeKind, std::span<Variant> args) override
        {
            // (match, group 1, position, source)
            EXPECT_EQ(args.size(), 4u);
            return VbString(u"<") + args[1].Str() + u"@" + ToVb(std::to_string(std::get<int32_t>(args[2].Value()))) + u">";
        }
    };
    ObjectPtr re = NewRegExp(u"(b+)", true);
    EXPECT_EQ(Str(Call(re, "replace", {Variant(u"abbcb"), Variant(ObjectPtr(std::make_shared<Upper>()))})),
              "a<bb@1>c<b@4>");
}

// ---------------------------------------------------------------- Dictionary

TEST(DictionaryObject, KeysByKindAndValueInInsertionOrder)
{
    ObjectPtr d = CreateScriptObject(u"Scripting.Dictionary");
    Call(d, "add", {Variant(int32_t(1)), Variant(u"one")});
    Call(d, "add", {Variant(u"1"), Variant(u"string one")});
    Call(d, "add", {Variant(u"b"), Variant(u"bee")});
    EXPECT_EQ(ErrorOf([&] { Call(d, "add", {Variant(1.0), Variant(u"x")}); }), 457); // 1.0 is 1
    EXPECT_EQ(Str(Get(d, "", {Variant(int16_t(1))})), "one");
    EXPECT_EQ(Str(Get(d, "item", {Variant(u"1")})), "string one");
    EXPECT_FALSE(Bool(Call(d, "exists", {Variant(u"B")}))); // binary compare by default
    // Reading a missing key adds it, empty.
    EXPECT_TRUE(Get(d, "item", {Variant(u"new")}).IsEmpty());
    EXPECT_EQ(Long(Get(d, "count")), 4);
    Let(d, "key", {Variant(u"b"), Variant(u"c")});
    EXPECT_EQ(ErrorOf([&] { Let(d, "key", {Variant(u"zz"), Variant(u"y")}); }), 32811);
    EXPECT_EQ(ErrorOf([&] { Let(d, "key", {Variant(u"c"), Variant(u"1")}); }), 457);
    Call(d, "remove", {Variant(u"1")});
    EXPECT_EQ(ErrorOf([&] { Call(d, "remove", {Variant(u"1")}); }), 32811);
    Let(d, "item", {Variant(u"c"), Variant(u"sea")});
    Variant keys = Call(d, "keys");
    Variant items = Call(d, "items");
    ASSERT_TRUE(keys.IsArray());
    ASSERT_EQ(keys.Array().Count(), 3u);
    EXPECT_EQ(Long(keys.Array().Items()[0]), 1);
    EXPECT_EQ(Str(keys.Array().Items()[1]), "c");
    EXPECT_EQ(Str(items.Array().Items()[1]), "sea");
    EXPECT_EQ(Str(d->Enumerate()[2]), "new");
    Call(d, "removeall");
    EXPECT_EQ(Long(Get(d, "count")), 0);
}

TEST(DictionaryObject, TextCompareModeAndObjectKeys)
{
    ObjectPtr d = CreateScriptObject(u"scripting.dictionary");
    Let(d, "comparemode", {Variant(int32_t(1))});
    Call(d, "add", {Variant(u"Straße"), Variant(int32_t(1))});
    Call(d, "add", {Variant(u"Élan"), Variant(int32_t(2))});
    EXPECT_TRUE(Bool(Call(d, "exists", {Variant(u"STRAßE")})));
    EXPECT_TRUE(Bool(Call(d, "exists", {Variant(u"élan")})));
    EXPECT_EQ(ErrorOf([&] { Let(d, "comparemode", {Variant(int32_t(0))}); }), 5); // not empty
    ObjectPtr key1 = CreateRegExp(), key2 = CreateRegExp();
    Let(d, "item", {Variant(key1), Variant(u"first")});
    EXPECT_FALSE(Bool(Call(d, "exists", {Variant(key2)})));
    EXPECT_EQ(Str(Get(d, "", {Variant(key1)})), "first");
    EXPECT_TRUE(Get(d, "", {Variant(key1)}).IsString());
}

TEST(DictionaryObject, ManyKeysStayFast)
{
    ObjectPtr d = CreateScriptObject(u"Scripting.Dictionary");
    for (int32_t i = 0; i < 100000; ++i) Call(d, "add", {Variant(i), Variant(i)});
    for (int32_t i = 0; i < 100000; i += 2) Call(d, "remove", {Variant(double(i))});
    EXPECT_EQ(Long(Get(d, "count")), 50000);
    EXPECT_EQ(Long(Call(d, "keys").Array().Items()[0]), 1);
}

// ---------------------------------------------------------------- FileSystemObject

class FileSystemObjectTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() /
                 ("brindle-fso-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(m_root);
        m_fso = CreateScriptObject(u"Scripting.FileSystemObject");
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::permissions(m_root / "ro.txt", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_root, ec);
    }
    // A path under the test's folder, written with backslashes as scripts do.
    Variant P(const std::string& relative) const
    {
        std::string text = m_root.string() + "\\" + relative;
        return Variant(ToVb(text));
    }
    std::string ReadFile(const std::string& relative) const
    {
        std::ifstream in(m_root / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& relative, const std::string& bytes) const
    {
        std::ofstream(m_root / relative, std::ios::binary) << bytes;
    }
    std::filesystem::path m_root;
    ObjectPtr m_fso;
};

TEST_F(FileSystemObjectTest, TextFilesRoundTripInBothEncodings)
{
    ObjectPtr out = Call(m_fso, "createtextfile", {P("a.txt")}).Object();
    Call(out, "write", {Variant(u"héllo")});
    Call(out, "writeline", {Variant(u" world")});
    Call(out, "writeblanklines", {Variant(int32_t(1))});
    Call(out, "write", {Variant(u"end")});
    EXPECT_EQ(Long(Get(out, "line")), 3);
    EXPECT_EQ(Long(Get(out, "column")), 4);
    Call(out, "close");
    EXPECT_EQ(ReadFile("a.txt"), "h\xC3\xA9llo world\r\n\r\nend");

    ObjectPtr unicode = Call(m_fso, "createtextfile", {P("u.txt"), Variant(true), Variant(true)}).Object();
    Call(unicode, "writeline", {Variant(u"Ā")});
    Call(unicode, "close");
    EXPECT_EQ(ReadFile("u.txt"), std::string("\xFF\xFE\x00\x01\r\0\n\0", 8));
    // Appending under the default format keeps Unicode and adds no second mark.
    ObjectPtr append = Call(m_fso, "opentextfile", {P("u.txt"), Variant(int32_t(8)), Variant(false), Variant(int32_t(-2))}).Object();
    Call(append, "write", {Variant(u"b")});
    Call(append, "close");
    ObjectPtr in = Call(m_fso, "opentextfile", {P("u.txt"), Variant(int32_t(1)), Variant(false), Variant(int32_t(-1))}).Object();
    EXPECT_EQ(Str(Call(in, "readall")), "\xC4\x80\r\nb");

    // UTF-8 mark skipped; lines end at CR LF, LF or CR.
    WriteFile("lines.txt", "\xEF\xBB\xBFone\r\ntwo\nthree\rfour");
    in = Call(m_fso, "opentextfile", {P("lines.txt")}).Object();
    EXPECT_EQ(Str(Call(in, "read", {Variant(int32_t(2))})), "on");
    EXPECT_EQ(Long(Get(in, "column")), 3);
    EXPECT_EQ(Str(Call(in, "readline")), "e");
    EXPECT_EQ(Str(Call(in, "readline")), "two");
    EXPECT_EQ(Long(Get(in, "line")), 3);
    Call(in, "skipline");
    EXPECT_FALSE(Bool(Get(in, "atendofline")));
    EXPECT_EQ(Str(Call(in, "readall")), "four");
    EXPECT_TRUE(Bool(Get(in, "atendofstream")));
    EXPECT_EQ(ErrorOf([&] { Call(in, "readline"); }), 62);
    EXPECT_EQ(ErrorOf([&] { Call(in, "write", {Variant(u"x")}); }), 54);
    EXPECT_EQ(ErrorOf([&] { Call(out, "write", {Variant(u"x")}); }), 52); // closed
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "opentextfile", {P("missing.txt")}); }), 53);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "opentextfile", {P("no\\such\\x.txt"), Variant(int32_t(2)), Variant(true)}); }), 76);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "createtextfile", {P("a.txt"), Variant(false)}); }), 58);
    // Reading an empty stream ends at once.
    ObjectPtr created = Call(m_fso, "opentextfile", {P("new.txt"), Variant(int32_t(1)), Variant(true)}).Object();
    EXPECT_TRUE(Bool(Get(created, "atendofstream")));
    EXPECT_EQ(ErrorOf([&] { Call(created, "readall"); }), 62);
}

TEST_F(FileSystemObjectTest, CopyMoveDeleteWithWildcardsAndErrors)
{
    WriteFile("a.xml", "1");
    WriteFile("b.XML", "22");
    WriteFile("c.txt", "333");
    ObjectPtr sub = Call(m_fso, "createfolder", {P("sub")}).Object();
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "createfolder", {P("sub")}); }), 58);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "createfolder", {P("x\\y")}); }), 76);
    Call(m_fso, "copyfile", {P("*.xml"), P("sub\\")});
    EXPECT_EQ(Long(Get(Get(sub, "files").Object(), "count")), 2);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "copyfile", {P("c.txt"), P("sub\\a.xml"), Variant(false)}); }), 58);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "copyfile", {P("none.txt"), P("sub\\")}); }), 53);
    Call(m_fso, "copyfile", {P("c.txt"), P("sub\\a.xml")});
    EXPECT_EQ(ReadFile("sub/a.xml"), "333");
    Call(m_fso, "copyfolder", {P("sub"), P("copy")});
    EXPECT_TRUE(Bool(Call(m_fso, "fileexists", {P("copy\\b.XML")})));
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "copyfolder", {P("sub"), P("sub\\inner")}); }), 70);
    Call(m_fso, "movefile", {P("c.txt"), P("moved.txt")});
    EXPECT_FALSE(Bool(Call(m_fso, "fileexists", {P("c.txt")})));
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "movefile", {P("a.xml"), P("moved.txt")}); }), 58);
    Call(m_fso, "movefolder", {P("copy"), P("sub\\")});
    EXPECT_TRUE(Bool(Call(m_fso, "folderexists", {P("sub/copy")})));
    EXPECT_EQ(Long(Get(Get(sub, "subfolders").Object(), "count")), 1);
    EXPECT_EQ(Long(Get(sub, "size")), 2 * (3 + 2)); // a.xml, b.XML, and their copies under copy/

    // Read-only files need force.
    WriteFile("ro.txt", "r");
    ObjectPtr file = Call(m_fso, "getfile", {P("ro.txt")}).Object();
    Let(file, "attributes", {Variant(int32_t(1))});
    EXPECT_EQ(Long(Get(file, "attributes")) & 1, 1);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "deletefile", {P("ro.txt")}); }), 70);
    Call(m_fso, "deletefile", {P("ro.txt"), Variant(true)});
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "deletefile", {P("*.none")}); }), 53);
    EXPECT_EQ(ErrorOf([&] { Call(m_fso, "getfolder", {P("nowhere")}); }), 76);
    EXPECT_EQ(ErrorOf([&] { Get(file, "size"); }), 53); // the file has gone
    Call(m_fso, "deletefolder", {P("s*")});
    EXPECT_FALSE(Bool(Call(m_fso, "folderexists", {P("sub")})));
}

TEST_F(FileSystemObjectTest, ItemsAndPathNames)
{
    WriteFile("doc.tar.gz", "12345");
    ObjectPtr file = Call(m_fso, "getfile", {P("doc.tar.gz")}).Object();
    EXPECT_EQ(Str(Get(file, "name")), "doc.tar.gz");
    EXPECT_EQ(Str(Get(file, "")), (m_root / "doc.tar.gz").string());
    EXPECT_EQ(Long(Get(file, "size")), 5);
    EXPECT_EQ(Str(Get(Get(file, "parentfolder").Object(), "path")), m_root.string());
    EXPECT_EQ(Get(file, "datelastmodified").Type(), VarType::Date);
    Let(file, "name", {Variant(u"renamed.gz")});
    EXPECT_TRUE(std::filesystem::exists(m_root / "renamed.gz"));
    Call(file, "move", {P("moved.gz")});
    EXPECT_EQ(Str(Get(file, "name")), "moved.gz");
    std::vector<Variant> files = Get(Call(m_fso, "getfolder", {P("")}).Object(), "files").Object()->Enumerate();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Str(Get(files[0].Object(), "name")), "moved.gz");

    auto name = [&](std::string_view member, const char16_t* path) { return Str(Call(m_fso, member, {Variant(path)})); };
    EXPECT_EQ(name("getfilename", u"C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(name("getfilename", u"/a/b/"), "b");
    EXPECT_EQ(name("getbasename", u"/a/doc.tar.gz"), "doc.tar");
    EXPECT_EQ(name("getextensionname", u"/a/doc.tar.gz"), "gz");
    EXPECT_EQ(name("getextensionname", u"/a/doc"), "");
    EXPECT_EQ(name("getparentfoldername", u"a\\b\\c"), "a\\b");
    EXPECT_EQ(name("getparentfoldername", u"/a"), "/");
    EXPECT_EQ(name("getparentfoldername", u"a"), "");
    EXPECT_EQ(Str(Call(m_fso, "buildpath", {Variant(u"C:\\x"), Variant(u"y.txt")})), "C:\\x\\y.txt");
    EXPECT_EQ(Str(Call(m_fso, "buildpath", {Variant(u"/x/"), Variant(u"y")})), "/x/y");
    std::string tempName = Str(Call(m_fso, "gettempname"));
    EXPECT_EQ(tempName.size(), 12u);
    EXPECT_EQ(tempName.substr(0, 3), "rad");
    EXPECT_EQ(tempName.substr(8), ".tmp");
    EXPECT_EQ(Str(Get(Call(m_fso, "getspecialfolder", {Variant(int32_t(2))}).Object(), "path")),
              std::filesystem::temp_directory_path().lexically_normal().string().substr(
                  0, std::filesystem::temp_directory_path().string().find_last_not_of('/') + 1));
}

// ---------------------------------------------------------------- DOMDocument

ObjectPtr LoadedDocument(const char16_t* xml)
{
    ObjectPtr doc = CreateScriptObject(u"MSXML2.DOMDocument.6.0");
    EXPECT_TRUE(Bool(Call(doc, "loadxml", {Variant(xml)})));
    return doc;
}

TEST(MsxmlObjects, DocumentLoadsNavigatesAndEdits)
{
    ObjectPtr doc = LoadedDocument(u"<root a='1'><item id='x'>One</item><item>Two</item><!--c--></root>");
    EXPECT_EQ(Str(doc->TypeName()), "DOMDocument");
    ObjectPtr root = Get(doc, "documentelement").Object();
    EXPECT_EQ(Str(Get(root, "nodename")), "root");
    EXPECT_EQ(Str(root->TypeName()), "IXMLDOMElement");
    // One script object per node, so Is compares nodes.
    EXPECT_EQ(Get(doc, "documentelement").Object(), root);
    EXPECT_EQ(Get(Get(root, "firstchild").Object(), "parentnode").Object(), root);
    ObjectPtr children = Get(root, "childnodes").Object();
    EXPECT_EQ(Long(Get(children, "length")), 3);
    ObjectPtr comment = Get(children, "", {Variant(int32_t(2))}).Object();
    EXPECT_EQ(Long(Get(comment, "nodetype")), 8);
    EXPECT_EQ(Str(Get(comment, "nodetypestring")), "comment");
    EXPECT_TRUE(Get(children, "item", {Variant(int32_t(3))}).IsNothing());
    EXPECT_EQ(Str(Get(root, "text")), "OneTwo");
    EXPECT_TRUE(Get(root, "nodevalue").IsNull());
    EXPECT_TRUE(Call(root, "getattribute", {Variant(u"missing")}).IsNull());

    Call(root, "setattribute", {Variant(u"b"), Variant(int32_t(2))});
    EXPECT_EQ(Str(Call(root, "getattribute", {Variant(u"b")})), "2");
    ObjectPtr attributes = Get(root, "attributes").Object();
    EXPECT_EQ(Long(Get(attributes, "length")), 2);
    EXPECT_EQ(Str(Get(Call(attributes, "getnameditem", {Variant(u"a")}).Object(), "value")), "1");
    EXPECT_EQ(attributes->Enumerate().size(), 2u);

    ObjectPtr added = Call(doc, "createelement", {Variant(u"new")}).Object();
    Let(added, "text", {Variant(u"3 < 4")});
    Call(root, "insertbefore", {Variant(added), Get(root, "firstchild")});
    Call(root, "removechild", {Variant(comment)});
    EXPECT_EQ(Str(Get(root, "xml")), "<root a=\"1\" b=\"2\"><new>3 &lt; 4</new><item id=\"x\">One</item><item>Two</item></root>");
    ObjectPtr copy = Call(added, "clonenode", {Variant(true)}).Object();
    EXPECT_NE(copy, added);
    EXPECT_TRUE(Get(copy, "parentnode").IsNothing());
    EXPECT_EQ(Get(copy, "ownerdocument").Object(), doc);
}

TEST(MsxmlObjects, QueriesListsAndErrors)
{
    ObjectPtr doc = LoadedDocument(u"<a><b n='1'/><c><b n='2'/></c><b n='3'/></a>");
    ObjectPtr list = Call(doc, "selectnodes", {Variant(u"//b[@n > 1]")}).Object();
    EXPECT_EQ(Str(list->TypeName()), "IXMLDOMSelection");
    EXPECT_EQ(Long(Get(list, "length")), 2);
    EXPECT_EQ(Str(Call(Call(list, "nextnode").Object(), "getattribute", {Variant(u"n")})), "2");
    EXPECT_EQ(Str(Call(Call(list, "nextnode").Object(), "getattribute", {Variant(u"n")})), "3");
    EXPECT_TRUE(Call(list, "nextnode").IsNothing());
    Call(list, "reset");
    EXPECT_FALSE(Call(list, "nextnode").IsNothing());
    EXPECT_TRUE(Call(doc, "selectsinglenode", {Variant(u"/a/z")}).IsNothing());
    // The document's getElementsByTagName includes the document element.
    EXPECT_EQ(Long(Get(Call(doc, "getelementsbytagname", {Variant(u"*")}).Object(), "length")), 5);
    EXPECT_EQ(Call(doc, "getelementsbytagname", {Variant(u"b")}).Object()->Enumerate().size(), 3u);

    // A DOM failure becomes a run-time error carrying the DOM's code.
    EXPECT_EQ(ErrorOf([&] { Call(doc, "selectnodes", {Variant(u"//[")}); }), static_cast<int32_t>(0x80070057u));
    EXPECT_EQ(ErrorOf([&] { Call(doc, "createelement", {Variant(u"1bad")}); }), static_cast<int32_t>(0x80070057u));
    EXPECT_EQ(ErrorOf([&] { Call(doc, "appendchild", {Variant(ObjectPtr(CreateRegExp()))}); }), 13);

    // A failed load: false, and parseError tells where.
    EXPECT_FALSE(Bool(Call(doc, "loadxml", {Variant(u"<a>\n  <b></a>")})));
    ObjectPtr error = Get(doc, "parseerror").Object();
    EXPECT_NE(Long(Get(error, "errorcode")), 0);
    EXPECT_EQ(Long(Get(error, "line")), 2);
    EXPECT_FALSE(Str(Get(error, "reason")).empty());
    EXPECT_TRUE(Get(doc, "documentelement").IsNothing());

    Call(doc, "setproperty", {Variant(u"SelectionLanguage"), Variant(u"XPath")});
    EXPECT_EQ(Str(Call(doc, "getproperty", {Variant(u"SelectionLanguage")})), "XPath");
    Call(doc, "setproperty", {Variant(u"ProhibitDTD"), Variant(false)});
    EXPECT_FALSE(Bool(Call(doc, "getproperty", {Variant(u"ProhibitDTD")})));
    EXPECT_EQ(ErrorOf([&] { CreateScriptObject(u"No.Such.Thing"); }), 429);
    EXPECT_EQ(ErrorOf([&] { Call(CreateScriptObject(u"microsoft.xmldom"), "frobnicate"); }), 438);
}

} // namespace
