#include "app/modMain.h"

#include <exception>
#include <string>
#include <string_view>

#include "app/CIAsystray.h"
#include "app/frmmain.h"
#include "link/clsAppLink.h"
#include "platform/Desktop.h"
#include "platform/ErrorBox.h"

namespace vantrel {

namespace {

// After a failed load the tray icon is the only way to reach the Settings
// command, so the window stays while its icon does and goes otherwise (an
// invisible program that nobody can end is worse than none). The procedure is
// chosen here too, since the load handler may not have got that far, and a
// repaired run has to index like any other. The settings the dialog will show
// are what could be read, with defaults for the rest, so confirming it gives a
// working hotkey rather than the empty values left by the failed read.
void KeepForRepair(frmmain& form) noexcept {
    if (!form.Loaded())
        return;
    if (!TrayIconShown()) {
        form.Handle(Handler::frmmain_Form_Unload, [&] { form.Unload(); });
        return;
    }
    form.Handle(Handler::frmmain_Form_Load, [] {
        AppLink().ProcedureType(kIndexProcedure);
        AppLink().oSettings().GetReadableSettings();
    });
}

}  // namespace

void Main(const MainWindowLoader& loadMainWindow) {
    frmmain* form = nullptr;
    try {
        form = &loadMainWindow();
        form->Form_Load();
    } catch (...) {
        ShowErrorBox(Handler::Main, DescriptionOf(std::current_exception()));
        if (form != nullptr)
            KeepForRepair(*form);
    }
}

}  // namespace vantrel
