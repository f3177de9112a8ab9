#include "app/views/ValidationErrorsModel.h"

#include <gtest/gtest.h>

using brindle::XmlParseError;

namespace {

XmlParseError Error(long line, long column, const std::string& reason, const std::string& url = "")
{
    XmlParseError e;
    e.errorCode = 0xC00C0001u;
    e.line = line;
    e.linepos = column;
    e.reason = reason;
    e.url = url;
    return e;
}

} // namespace

TEST(ValidationErrorsModel, RowsPlacesAndTheCopiedText)
{
    ValidationErrorsModel model;
    model.Set({Error(3, 7, "Element x is not declared\n in r list of possible children"),
               Error(0, 0, "schema not found: gone.xsd"), Error(12, 0, "Bad entity", "/defs/r.dtd")},
              "/home/u/doc.xml");
    ASSERT_EQ(model.RowCount(), 3u);
    EXPECT_EQ(model.Cell(0, ValidationErrorsModel::kLine), "3");
    EXPECT_EQ(model.Cell(0, ValidationErrorsModel::kColumn), "7");
    // Messages of several lines show on one.
    EXPECT_EQ(model.Cell(0, ValidationErrorsModel::kMessage),
              "Element x is not declared in r list of possible children");
    // Unknown positions are blank; another file's error names that file.
    EXPECT_EQ(model.Cell(1, ValidationErrorsModel::kLine), "");
    EXPECT_EQ(model.Cell(1, ValidationErrorsModel::kColumn), "");
    EXPECT_EQ(model.Cell(2, ValidationErrorsModel::kColumn), "");
    EXPECT_EQ(model.Cell(2, ValidationErrorsModel::kMessage), "/defs/r.dtd: Bad entity");
    EXPECT_EQ(model.Cell(3, ValidationErrorsModel::kLine), "");

    // Rows lead into the document's own text, or into the file they name.
    EXPECT_EQ(model.PlaceOf(0).line, 3);
    EXPECT_EQ(model.PlaceOf(0).column, 7);
    EXPECT_EQ(model.PlaceOf(0).file, "");
    EXPECT_EQ(model.PlaceOf(1).line, 0);
    EXPECT_EQ(model.PlaceOf(2).line, 12);
    EXPECT_EQ(model.PlaceOf(2).file, "/defs/r.dtd");
    EXPECT_EQ(model.PlaceOf(9).line, 0);

    EXPECT_EQ(model.CopyAllText(), "/home/u/doc.xml:3:7: Element x is not declared in r list of possible children\n"
                                   "/home/u/doc.xml: schema not found: gone.xsd\n"
                                   "/defs/r.dtd:12:1: Bad entity\n");
    model.Clear();
    EXPECT_EQ(model.RowCount(), 0u);
    EXPECT_EQ(model.CopyAllText(), "");
}
