#include <gtest/gtest.h>

#include "link/IndexScript.h"

namespace vantrel {
namespace {

TEST(IndexScript, SevenLinesWithoutSaveNext) {
    EXPECT_EQ(IndexScript("InvoiceNo", false),
              "Sub main()\r\n"
              "Index.Field(\"InvoiceNo\") = Clipboard\r\n"
              "doevents\r\n"
              "Index.setfocuson 1\r\n"
              "End Sub\r\n"
              "\r\n"
              "\r\n");
}

TEST(IndexScript, NineLinesWithSaveNext) {
    EXPECT_EQ(IndexScript("InvoiceNo", true),
              "Sub main()\r\n"
              "Index.Field(\"InvoiceNo\") = Clipboard\r\n"
              "doevents\r\n"
              "Index.Save\r\n"
              "Index.nextdocument\r\n"
              "Index.setfocuson 1\r\n"
              "End Sub\r\n"
              "\r\n"
              "\r\n");
}

TEST(IndexScript, FieldNameGoesInUnescaped) {
    const std::string script = IndexScript("Last \"Name\"\\ Ü", false);
    EXPECT_NE(script.find("\r\nIndex.Field(\"Last \"Name\"\\ Ü\") = Clipboard\r\n"),
              std::string::npos)
        << script;
    EXPECT_NE(IndexScript("", false).find("\r\nIndex.Field(\"\") = Clipboard\r\n"),
              std::string::npos);
}

TEST(SearchCommandLine, ConcatenatedWithNothingQuoted) {
    EXPECT_EQ(
        SearchCommandLine("AP", "InvoiceNo", "A-17"),
        "C:\\program files\\tallowin\\scripts\\brisklet.exe Index=AP;Criteria=InvoiceNo='A-17'");
    EXPECT_EQ(
        SearchCommandLine("", "InvoiceNo", "A-17"),
        "C:\\program files\\tallowin\\scripts\\brisklet.exe Index=;Criteria=InvoiceNo='A-17'");
    EXPECT_EQ(SearchCommandLine("AP", "Inv\"No", "O'Brien; x=\"1\""),
              "C:\\program files\\tallowin\\scripts\\brisklet.exe "
              "Index=AP;Criteria=Inv\"No='O'Brien; x=\"1\"'");
    EXPECT_EQ(SearchCommandLine("AP", "Name", "Łódź €"),
              "C:\\program files\\tallowin\\scripts\\brisklet.exe Index=AP;Criteria=Name='Łódź €'");
}

}  // namespace
}  // namespace vantrel
