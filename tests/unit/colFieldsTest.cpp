#include <gtest/gtest.h>

#include "capture/colFields.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

TEST(colFields, NewDefinitionAndPositions) {
    colFields c;
    EXPECT_EQ(c.Count(), 0);
    EXPECT_THROW(c.Item(1), Error);
    auto first = c.Add("last_name", "");
    EXPECT_EQ(first->Field(), "last_name");
    EXPECT_EQ(first->value(), "");
    EXPECT_EQ(first->MouseXStart() + first->MouseXEnd() + first->MouseYStart() + first->MouseYEnd(),
              0);
    auto second = c.Add("last_name", "");
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Item(1), first);
    EXPECT_EQ(c.Item(2), second);
    EXPECT_THROW(c.Item(0), Error);
    EXPECT_THROW(c.Item(3), Error);
    c.Remove(1);
    EXPECT_EQ(c.Item(1), second);
    c.Remove(1);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_THROW(c.Remove(1), Error);
    auto again = c.Add("", "");
    EXPECT_EQ(c.Item(1), again);
    EXPECT_EQ(again->Field(), "");
}

TEST(colFields, ItemsAreShared) {
    colFields c;
    auto added = c.Add("f", "");
    added->value("A-17");
    EXPECT_EQ(c.Item(1)->value(), "A-17");
    c.Item(1)->MouseYEnd(-7);
    EXPECT_EQ(added->MouseYEnd(), -7);
    c.Remove(1);
    EXPECT_EQ(added->value(), "A-17") << "a holder keeps a removed definition alive";
}

TEST(colFields, KeysAreOptionalUniqueAndIgnoreCase) {
    colFields c;
    c.Add("a", "");
    auto keyed = c.Add("b", "Key");
    EXPECT_EQ(c.Item("key"), keyed);
    EXPECT_THROW(c.Add("c", "KEY"), Error);
    EXPECT_EQ(c.Count(), 2) << "a refused add stores nothing";
    EXPECT_THROW(c.Item("other"), Error);
    EXPECT_THROW(c.Remove("other"), Error);
    EXPECT_EQ(c.Count(), 2);
    c.Remove("KEY");
    EXPECT_EQ(c.Count(), 1);
}

TEST(clsAppLink, CreatedOnFirstUseWithLazyMembers) {
    ResetAppLink();
    clsAppLink& link = AppLink();
    EXPECT_EQ(&link, &AppLink());
    EXPECT_EQ(link.ProcedureType(), 0);
    EXPECT_EQ(link.oSettings().HotKey(), 0);
    EXPECT_EQ(&link.oSettings(), &link.oSettings());
    auto fields = link.colFields();
    EXPECT_EQ(fields->Count(), 0);
    EXPECT_EQ(fields, link.colFields());
    ResetAppLink();
}

TEST(clsAppLink, ProcedureTypeIsSixteenBits) {
    clsAppLink link;
    link.ProcedureType(2);
    EXPECT_THROW(link.ProcedureType(40000), Error);
    EXPECT_EQ(link.ProcedureType(), 2);
    EXPECT_THROW(link.ProcedureType(-32769), Error);
    link.ProcedureType(-32768);
    EXPECT_EQ(link.ProcedureType(), -32768);
    link.AppType("AX");
    EXPECT_EQ(link.AppType(), "AX");
}

}  // namespace
}  // namespace vantrel
