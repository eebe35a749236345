#include "platform/ErrorBox.h"

#include <array>
#include <utility>

#include "platform/Desktop.h"
#include "platform/Error.h"
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

// " (settings/StoredValues.cpp:76)": where a failure of the program's own type
// was raised; empty for any other, and for none. The file is named from the
// source tree's src folder on (one outside it alone): where the program was
// built is nobody's business.
std::string PlaceOf(const std::exception_ptr& failure) {
    if (!failure)
        return std::string();
    try {
        std::rethrow_exception(failure);
    } catch (const Error& e) {
        std::string_view file = e.where().file_name();
        const std::size_t src = file.rfind("src/");
        if (src != std::string_view::npos && (src == 0 || file[src - 1] == '/'))
            file.remove_prefix(src + 4);
        else if (const std::size_t slash = file.find_last_of("/\\"); slash != file.npos)
            file.remove_prefix(slash + 1);
        return " (" + std::string(file) + ":" + std::to_string(e.where().line()) + ")";
    } catch (...) {
        return std::string();
    }
}

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

void LogFailure(std::string_view text) noexcept {
    try {
        LogEvent(std::string(text) + PlaceOf(std::current_exception()));
    } catch (...) {
        // Out of memory for the line: the log is skipped, as when it cannot be written.
    }
}

// Logged before it is shown: the box waits for the user, who may never answer.
void ShowErrorBox(Handler where, std::string_view description) noexcept {
    try {
        const std::string text = ErrorText(where, description);
        LogFailure(text);
        const Modality modality = where == Handler::Main ? Modality::System : Modality::Application;
        CurrentDesktop().boxes.Show(text, "Vantrel", modality);
    } catch (...) {
        LogCaught("that box could not be shown");
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
