#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake/FakeDesktop.h"
#include "hotkey/cGlobalAtom.h"

namespace vantrel {
namespace {

TEST(cGlobalAtom, NamedAfterTheMomentAndDeletedWithItsOwner) {
    fake::FakeDesktop d;
    d.clock.now = "31/12/2026 23:59:59";
    {
        const cGlobalAtom atom;
        EXPECT_EQ(atom.value(), 0xC000);
        ASSERT_EQ(d.atoms.atoms.count(0xC000), 1u);
        EXPECT_EQ(d.atoms.atoms[0xC000], "31/12/2026 23:59:59");
    }
    EXPECT_TRUE(d.atoms.atoms.empty());
}

TEST(cGlobalAtom, RefusedAtomIs0AndIsStillDeleted) {
    fake::FakeDesktop d;
    d.atoms.refuse = true;
    {
        const cGlobalAtom atom;
        EXPECT_EQ(atom.value(), 0);
    }
    EXPECT_EQ(d.journal.CountOf("GlobalAtoms.Delete"), 1);
}

TEST(cGlobalAtom, EndsQuietlyWhenTheDeletionFailsOrTheDesktopIsGone) {
    std::optional<cGlobalAtom> outlived;
    {
        fake::FakeDesktop d;
        d.journal.Fail("GlobalAtoms.Delete");
        { const cGlobalAtom atom; }
        EXPECT_EQ(d.log.lines, std::vector<std::string>{
                                   "the hotkey's atom was not deleted: GlobalAtoms.Delete failed"});
        outlived.emplace();
    }
    outlived.reset();  // a destructor that threw would end the test program here
}

}  // namespace
}  // namespace vantrel
