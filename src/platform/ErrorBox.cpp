#include "platform/ErrorBox.h"

#include <array>
#include <utility>

#include "platform/Desktop.h"
#include "platform/Log.h"

namespace vantrel {

namespace {

// clang-format off
constexpr std::array<std::pair<Handler, std::string_view>, 23> kHandlerNames{{
    {Handler::Main,                          "Main"},
    {Handler::modHotKey_Hook,                "modHotKey.Hook"},
    {Handler::modHotKey_Unhook,              "modHotKey.Unhook"},
    {Handler::modHotKey_WindowProc,          "modHotKey.WindowProc"},
    {Handler::frmmain_Form_Load,             "frmmain.Form_Load"},
    {Handler::frmmain_Form_Unload,           "frmmain.Form_Unload"},
    {Handler::frmmain_Form_MouseMove,        "frmmain.Form_MouseMove"},
    {Handler::frmmain_TaskbarCreated,        "frmmain.TaskbarCreated"},
    {Handler::frmmain_Form_SettingChange,    "frmmain.Form_SettingChange"},
    {Handler::frmmain_Settings_Click,        "frmmain.Settings_Click"},
    {Handler::frmmain_mnuExit_Click,         "frmmain.mnuExit_Click"},
    {Handler::frmmain_mnuAbout_Click,        "frmmain.mnuAbout_Click"},
    {Handler::frmmain_cmdConfigure_Click,    "frmmain.cmdConfigure_Click"},
    {Handler::frmmain_cmdExit_Click,         "frmmain.cmdExit_Click"},
    {Handler::frmmain_cmdMinimize_Click,     "frmmain.cmdMinimize_Click"},
    {Handler::frmSettings,                   "frmSettings"},
    {Handler::frmSettings_Form_Load,         "frmSettings.Form_Load"},
    {Handler::frmSettings_cmdOK_Click,       "frmSettings.cmdOK_Click"},
    {Handler::frmSettings_cmdCancel_Click,   "frmSettings.cmdCancel_Click"},
    {Handler::frmSettings_txtHotKey_KeyDown, "frmSettings.txtHotKey_KeyDown"},
    {Handler::frmAbout,                      "frmAbout"},
    {Handler::frmAbout_Form_Load,            "frmAbout.Form_Load"},
    {Handler::frmAbout_cmdSysInfo_Click,     "frmAbout.cmdSysInfo_Click"},
}};
// clang-format on

}  // namespace

std::string_view HandlerName(Handler where) {
    for (const auto& [handler, name] : kHandlerNames) {
        if (handler == where)
            return name;
    }
    return "Vantrel";
}

std::string ErrorText(Handler where, std::string_view description) {
    return "error in " + std::string(HandlerName(where)) + ": " + std::string(description);
}

std::string DescriptionOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown failure";
    }
}

void ShowErrorBox(Handler where, std::string_view description) noexcept {
    try {
        const Modality modality = where == Handler::Main ? Modality::System : Modality::Application;
        CurrentDesktop().boxes.Show(ErrorText(where, description), "Vantrel", modality);
    } catch (...) {
        try {
            LogCaught(ErrorText(where, description) + "; its box could not be shown");
        } catch (...) {
            // Out of memory for the line: nothing is left to tell.
        }
    }
}

bool RunHandler(Handler where, const std::function<void()>& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        ShowErrorBox(where, DescriptionOf(std::current_exception()));
        return false;
    }
}

}  // namespace vantrel
