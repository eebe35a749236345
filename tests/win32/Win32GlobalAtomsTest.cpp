#include <windows.h>
#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32GlobalAtoms.h"

namespace vantrel {
namespace {

TEST(Win32GlobalAtomsTest, AnAtomMadeFromTheClockIsAHotKeyIdentifierUntilDeleted) {
    win32::Win32GlobalAtoms atoms;
    const std::string name =
        win32::Win32Clock().NowAsGeneralDate() + " " + win32::Narrow(testing::UniqueName(L"t"));
    const int atom = atoms.Add(name);
    EXPECT_GE(atom, 0xC000) << testing::LastErrorText();
    EXPECT_LE(atom, 0xFFFF);
    EXPECT_EQ(GlobalFindAtomW(win32::Widen(name).c_str()), atom);
    EXPECT_EQ(atoms.Add(name), atom) << "the same name gives the same atom (and counts once more)";
    atoms.Delete(atom);
    atoms.Delete(atom);
    EXPECT_EQ(GlobalFindAtomW(win32::Widen(name).c_str()), 0) << "deleted as often as added";
}

}  // namespace
}  // namespace vantrel
