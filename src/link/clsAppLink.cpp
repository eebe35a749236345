#include "link/clsAppLink.h"

#include <exception>
#include <limits>

#include "capture/GrabWindowText.h"
#include "link/IndexScript.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "settings/ScriptFieldName.h"

namespace vantrel {

namespace {
std::unique_ptr<clsAppLink> gAppLink;
}

clsAppLink& AppLink() {
    if (!gAppLink) gAppLink = std::make_unique<clsAppLink>();
    return *gAppLink;
}

void ResetAppLink() { gAppLink.reset(); }

clsSettings& clsAppLink::oSettings() {
    if (!settings_) settings_ = std::make_shared<clsSettings>();
    return *settings_;
}

void clsAppLink::ProcedureType(std::int32_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw Error("Overflow: ProcedureType cannot hold " + std::to_string(value));
    procedureType_ = static_cast<std::int16_t>(value);
}

std::shared_ptr<vantrel::colFields> clsAppLink::colFields() {
    if (!fields_) fields_ = std::make_shared<vantrel::colFields>();
    return fields_;
}

void clsAppLink::GrabData() {
    const std::string title = oSettings().SourceAppTitle();
    // A capture has nowhere to go before start-up or the settings dialog has
    // added field 1, so the collection is not made here.
    if (!fields_) throw Error("There is no field to capture into: the field collection is empty.");
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

void clsAppLink::RunSearch() { RunLaunch(&clsAppLink::LaunchSearch); }

void clsAppLink::RunIndex() { RunLaunch(&clsAppLink::LaunchIndex); }

// Indexing and searching differ only in the launch at the end.
void clsAppLink::RunLaunch(void (clsAppLink::*launch)()) {
    if (!Field1HasValue()) {
        CurrentDesktop().boxes.Show("Error grabbing data from source window.", "Vantrel",
                                    Modality::System);
        return;
    }
    // The hand-off is best effort: whatever part of it failed, the user sees
    // the imaging application as it is and can press the hotkey again.
    try {
        (this->*launch)();
    } catch (const std::exception&) {
    }
}

void clsAppLink::LaunchSearch() {
    Desktop& d = CurrentDesktop();
    const std::string commandLine =
        SearchCommandLine(oSettings().AppName(), oSettings().Field(), colFields()->Item(1)->value());
    d.processes.Start(kRunnerProgram, commandLine, ShowState::MinimizedFocus);
    d.windows.ActivateByTitle(kDocumentCenterTitle);
}

void clsAppLink::LaunchIndex() {
    Desktop& d = CurrentDesktop();
    const std::string field = colFields()->Item(1)->Field();
    // The dialog refuses such a name; one stored by other means must not
    // reach the runner as other text or as statements of its own.
    if (!ScriptCanCarry(field))
        throw Error("The index field name cannot be written into the script as it stands");
    if (d.files.IsPlainFile(kScriptExistsPath)) d.files.Delete(kScriptPath);
    // Written whole, truncating whatever is there: an old script the test
    // above missed (hidden, say) must not get a second script appended.
    d.files.WriteNewAnsiTextFile(kScriptPath,
                                 IndexScript(field, oSettings().savenext()));
    d.loop.ProcessPending();
    d.processes.Start(kRunnerProgram, kIndexCommandLine, ShowState::MinimizedFocus);
    d.windows.ActivateByTitle(kDocumentCenterTitle);
}

}  // namespace vantrel
