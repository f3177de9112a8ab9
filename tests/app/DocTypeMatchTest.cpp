#include "app/shell/DocTypeMatch.h"
#include "app/shell/NewDocChoices.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {
const std::string kXmlExts = ".xml;.xsl;.xsd;.xdr;";
const std::string kDtdExts = ".dtd";
const std::string kXmlDocString =
    "\nXML\ndocument\nXML Document (*.xml,*.xsl,*.xsd,*.xdr)\n.xml;.xsl;.xsd;.xdr;\nBrindle.Document\nXML Document";
} // namespace

TEST(DocTypeMatch, ExtensionsMatchCaseSensitivelyFromTheLastDot)
{
    EXPECT_EQ(MatchDocTypeByPath({}, kXmlExts, "/d/style.xsl").confidence, MatchConfidence::MaybeNative);
    EXPECT_EQ(MatchDocTypeByPath({}, kXmlExts, "/d/style.XSL").confidence, MatchConfidence::MaybeForeign);
    EXPECT_EQ(MatchDocTypeByPath({}, kDtdExts, "/d/style.XSL").confidence, MatchConfidence::MaybeForeign);
    EXPECT_EQ(MatchDocTypeByPath({}, kDtdExts, "/d/book.dtd").confidence, MatchConfidence::MaybeNative);
    EXPECT_EQ(MatchDocTypeByPath({}, kXmlExts, "/d/data.txt").confidence, MatchConfidence::MaybeForeign);
    EXPECT_EQ(MatchDocTypeByPath({}, kXmlExts, "/d/noextension").confidence, MatchConfidence::MaybeForeign);
    EXPECT_EQ(MatchDocTypeByPath({}, "", "/d/a.xml").confidence, MatchConfidence::MaybeForeign);
    // A substring of the extension list counts, as the search is a plain one.
    EXPECT_EQ(MatchDocTypeByPath({}, kXmlExts, "/d/a.xs").confidence, MatchConfidence::MaybeNative);
}

TEST(DocTypeMatch, AnOpenPathMatchesWhenItNamesTheSameFile)
{
    brindle::test::TempDir dir;
    const std::string one = (dir / "One.xml").string();
    brindle::test::WriteFile(one, "<a/>");
    std::filesystem::create_symlink(one, dir / "link.xml");
    const std::vector<std::string> open = {"/d/two.xml", one};

    DocTypeMatch m = MatchDocTypeByPath(open, kXmlExts, one);
    EXPECT_EQ(m.confidence, MatchConfidence::AlreadyOpen);
    EXPECT_EQ(m.openIndex, 1);
    EXPECT_EQ(MatchDocTypeByPath(open, kXmlExts, (dir / "." / "One.xml").string()).openIndex, 1);
    EXPECT_EQ(MatchDocTypeByPath(open, kXmlExts, (dir / "link.xml").string()).openIndex, 1);
    // Another letter case is another file here.
    EXPECT_EQ(MatchDocTypeByPath(open, kXmlExts, (dir / "ONE.XML").string()).confidence, MatchConfidence::MaybeForeign);
    EXPECT_EQ(MatchDocTypeByPath(open, kXmlExts, "/d/TWO.xml").confidence, MatchConfidence::MaybeNative);
    EXPECT_EQ(MatchDocTypeByPath({"ftp://srv/a.xml"}, kXmlExts, "ftp://srv/a.xml").openIndex, 0);
}

TEST(DocTypeMatch, DefaultKindIsTheLastOneListingXml)
{
    EXPECT_EQ(DefaultDocKind({kXmlExts, kDtdExts}), 0);
    EXPECT_EQ(DefaultDocKind({kXmlExts, kDtdExts, ".XML"}), 2);
    EXPECT_EQ(DefaultDocKind({kDtdExts}), -1);
}

TEST(DocTypeMatch, OpenPathsLoseQuotesAndBecomeAbsolute)
{
    EXPECT_EQ(NormalizeOpenPath("\"/d/a b.xml\""), "/d/a b.xml");
    EXPECT_EQ(NormalizeOpenPath("/d/x/../a.xml"), "/d/a.xml");
    EXPECT_EQ(NormalizeOpenPath("ftp://server/dir/a.xml"), "ftp://server/dir/a.xml");
    EXPECT_EQ(NormalizeOpenPath("\"ftp://server/a.xml\" trailing"), "ftp://server/a.xml");
    EXPECT_EQ(NormalizeOpenPath("/" + std::string(400, 'a')).size(), 259u);
    const std::string relative = NormalizeOpenPath("rel.xml");
    EXPECT_EQ(relative.front(), '/');
    EXPECT_EQ(relative.substr(relative.size() - 8), "/rel.xml");
}

TEST(DocTypeMatch, DescriptionFieldsAndUntitledNames)
{
    EXPECT_EQ(DocStringField(kXmlDocString, 0), "");
    EXPECT_EQ(DocStringField(kXmlDocString, 1), "XML");
    EXPECT_EQ(DocStringField(kXmlDocString, 4), kXmlExts);
    EXPECT_EQ(DocStringField(kXmlDocString, 6), "XML Document");
    EXPECT_EQ(DocStringField(kXmlDocString, 9), "");
    EXPECT_EQ(UntitledPath("/work/", 1), "/work/untitled-1");
    EXPECT_EQ(UntitledPath("/work/", 2), "/work/untitled-2");
    EXPECT_EQ(UntitledPath("/work", 2), "/work/untitled-2"); // a folder stored without its separator
}

TEST(NewDocChoices, KindsComeFirstThenTheXmlTemplatesByNameForEachKindThatTakesThem)
{
    const std::vector<NewDocKind> kinds = {{"XML Document", ".xml;.xsl;.xsd;.xdr;"}, {"DTD Document", ".dtd"}};
    brindle::test::TempDir dir;
    const auto labels = [&](const std::filesystem::path& folder) {
        std::vector<std::string> out;
        for (const auto& item : NewDocItems(kinds, folder)) out.push_back(item.label);
        return out;
    };
    EXPECT_EQ(labels(dir.path()), (std::vector<std::string>{"XML Document", "DTD Document"})) << "empty folder";
    EXPECT_EQ(labels(dir.path() / "missing"), (std::vector<std::string>{"XML Document", "DTD Document"}));

    for (const char* name : {"b.xml", "a.xml", "c.XML", ".hidden.xml", "notes.txt", "d.dtd"})
        brindle::test::WriteFile(dir.path() / name, "<x/>");
    std::filesystem::create_directory(dir.path() / "folder.xml");
    std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / "dangling.xml");
    EXPECT_EQ(labels(dir.path()), (std::vector<std::string>{"XML Document", "DTD Document", "a.xml", "b.xml"}));
    const auto items = NewDocItems(kinds, dir.path());
    EXPECT_FALSE(items[0].isTemplate);
    EXPECT_TRUE(items[2].isTemplate);
    EXPECT_EQ(items[2].kind, 0);
    EXPECT_EQ(items[2].templatePath, (dir.path() / "a.xml").string());
}

TEST(NewDocChoices, TheFullPathJoinsLocationAndNameWithOneSeparator)
{
    EXPECT_EQ(NewDocFullPath("/work", ""), "");
    EXPECT_EQ(NewDocFullPath("/work", "a.xml"), "/work/a.xml");
    EXPECT_EQ(NewDocFullPath("/work/", "a.xml"), "/work/a.xml");
    EXPECT_EQ(NewDocFullPath("/", "a.xml"), "/a.xml");
    EXPECT_EQ(NewDocFullPath("/work", "/else/a.xml"), "/else/a.xml");
    EXPECT_EQ(NewDocFullPath("", "a.xml"), (std::filesystem::current_path() / "a.xml").string());
}
