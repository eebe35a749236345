#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace vantrel {

// Every procedure that catches its own failures and reports them in an
// "error in <where>: <description>" box. Their names are in one table.
enum class Handler : std::uint8_t {
    Main,
    modHotKey_Hook,
    modHotKey_Unhook,
    modHotKey_WindowProc,
    frmmain_Form_Load,
    frmmain_Form_Unload,
    frmmain_Form_MouseMove,
    frmmain_TaskbarCreated,
    frmmain_Form_SettingChange,
    frmmain_Settings_Click,
    frmmain_mnuExit_Click,
    frmmain_mnuAbout_Click,
    frmmain_cmdConfigure_Click,
    frmmain_cmdExit_Click,
    frmmain_cmdMinimize_Click,
    frmSettings,
    frmSettings_Form_Load,
    frmSettings_cmdOK_Click,
    frmSettings_cmdCancel_Click,
    frmSettings_txtHotKey_KeyDown,
    frmAbout,
    frmAbout_Form_Load,
    frmAbout_cmdSysInfo_Click,
};

// "modHotKey.WindowProc"; the start-up procedure is "Main", without its module.
std::string_view HandlerName(Handler where);

// "error in <where>: <description>".
std::string ErrorText(Handler where, std::string_view description);

// The description of a caught failure: what() of a standard exception.
std::string DescriptionOf(const std::exception_ptr& failure);

// For a failure the user is told of in a box of its own: logs the box's text
// followed by where the failure being handled was raised, if it is of the
// program's own type (" (settings/StoredValues.cpp:76)"), so that support can
// see it later. Call it inside the catch block.
void LogFailure(std::string_view text) noexcept;

// Shows the box, titled "Vantrel": system-modal for the start-up procedure,
// modal to the program for every other, and logs its text as LogFailure does
// (call it inside the catch block). The last stop of a failure: when even
// the box cannot be shown there is nobody left to tell, so it never throws.
void ShowErrorBox(Handler where, std::string_view description) noexcept;

// Runs `body`; a failure is shown in `where`'s box and goes no further, since
// handlers run inside the window system's dispatch. False when it failed.
bool RunHandler(Handler where, const std::function<void()>& body) noexcept;

}  // namespace vantrel
