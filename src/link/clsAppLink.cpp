#include "link/clsAppLink.h"

#include <exception>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "capture/GrabWindowText.h"
#include "capture/Press.h"
#include "link/IndexScript.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "settings/ScriptFieldName.h"

namespace vantrel {

namespace {
std::unique_ptr<clsAppLink> gAppLink;
}

clsAppLink& AppLink() {
    if (!gAppLink)
        gAppLink = std::make_unique<clsAppLink>();
    return *gAppLink;
}

void ResetAppLink() {
    gAppLink.reset();
}

clsSettings& clsAppLink::oSettings() {
    if (!settings_)
        settings_ = std::make_shared<clsSettings>();
    return *settings_;
}

void clsAppLink::ProcedureType(std::int32_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw Error("Overflow: ProcedureType cannot hold " + std::to_string(value));
    procedureType_ = static_cast<std::int16_t>(value);
}

std::shared_ptr<vantrel::colFields> clsAppLink::colFields() {
    if (!fields_)
        fields_ = std::make_shared<vantrel::colFields>();
    return fields_;
}

void clsAppLink::GrabData() {
    const std::string title = oSettings().SourceAppTitle();
    // A capture has nowhere to go before start-up or the settings dialog has
    // added field 1, so the collection is not made here.
    if (!fields_)
        throw Error("There is no field to capture into: the field collection is empty.");
    const std::shared_ptr<clsFieldDef> field = fields_->Item(1);
    const std::string grabType = oSettings().GrabType();
    field->value(GrabWindowText(title, grabType));
}

bool clsAppLink::Field1HasValue() {
    try {
        return !colFields()->Item(1)->value().empty();
    } catch (const std::exception&) {
        return false;
    }
}

void clsAppLink::RunSearch() {
    RunLaunch(&clsAppLink::LaunchSearch, "search");
}

void clsAppLink::RunIndex() {
    RunLaunch(&clsAppLink::LaunchIndex, "index");
}

// Indexing and searching differ only in the launch at the end.
void clsAppLink::RunLaunch(void (clsAppLink::*launch)(), const char* what) {
    if (!Field1HasValue()) {
        CurrentDesktop().boxes.Show("Error grabbing data from source window.", "Vantrel",
                                    Modality::System);
        return;
    }
    // The hand-off is best effort: whatever part of it failed, the user sees
    // the imaging application as it is and can press the hotkey again. The
    // reason goes to the log, where support can find it.
    try {
        (this->*launch)();
    } catch (const PressAbandoned&) {
        // Not a failure of the hand-off: the press itself is to come to nothing.
        throw;
    } catch (const std::exception&) {
        LogCaught(std::string(what) + " stopped");
    }
}

void clsAppLink::LaunchSearch() {
    Desktop& d = CurrentDesktop();
    const std::string commandLine = SearchCommandLine(oSettings().AppName(), oSettings().Field(),
                                                      colFields()->Item(1)->value());
    Press::Check();
    d.processes.Start(kRunnerProgram, commandLine, ShowState::MinimizedFocus);
    // Not the command line: it holds the captured value.
    LogEvent("runner started for a search");
    Press::Check();
    d.windows.ActivateByTitle(kDocumentCenterTitle);
    LogEvent("Document Center activated");
}

void clsAppLink::LaunchIndex() {
    Desktop& d = CurrentDesktop();
    const std::string field = colFields()->Item(1)->Field();
    // The dialog refuses such a name; one stored by other means must not
    // reach the runner as other text or as statements of its own.
    if (!ScriptCanCarry(field))
        throw Error("The index field name cannot be written into the script as it stands");
    Press::Check();
    if (d.files.IsPlainFile(kScriptExistsPath))
        d.files.Delete(kScriptPath);
    // Each log line is a file opened and written: they wait until the runner
    // has started, or the hand-off has failed, and keep their order.
    struct AfterStart {
        std::vector<std::string> lines;
        ~AfterStart() {
            for (const std::string& line : lines) LogEvent(line);
        }
    } log;
    // Written whole, truncating whatever is there: an old script the test
    // above missed (hidden, say) must not get a second script appended.
    d.files.WriteNewAnsiTextFile(kScriptPath, IndexScript(field, oSettings().savenext()));
    log.lines.push_back("script written: " + std::string(kScriptPath));
    if (std::string stale = RemoveStaleScript(); !stale.empty())
        log.lines.push_back(std::move(stale));
    // Exit or the Settings command may run in this pass.
    d.loop.ProcessPending();
    Press::Check();
    d.processes.Start(kRunnerProgram, kIndexCommandLine, ShowState::MinimizedFocus);
    log.lines.push_back("runner started: " + std::string(kIndexCommandLine));
    Press::Check();
    d.windows.ActivateByTitle(kDocumentCenterTitle);
    log.lines.push_back("Document Center activated");
}

// A runner that itself runs virtualized would read an old tool's copy of the
// script from the user's VirtualStore instead of the one just written. Failing
// to remove it does not stop the launch: an ordinary runner reads the right one.
// Returns the line to log, if any.
std::string clsAppLink::RemoveStaleScript() {
    try {
        if (CurrentDesktop().files.RemoveVirtualStoreCopy(kScriptPath))
            return "stale copy of the script removed from the VirtualStore";
    } catch (const std::exception& e) {
        return std::string("stale copy of the script could not be removed: ") + e.what();
    }
    return std::string();
}

}  // namespace vantrel
