#include "app/CIAsystray.h"

#include "platform/Desktop.h"
#include "platform/Utf8.h"

namespace vantrel {

namespace {

// The one record, kept from adding to removing so that the removal names the
// same icon (window and identifier) as the addition.
NotifyIconRecord gRecord;
bool gShown = false;

}  // namespace

std::string TrayTip(const std::string& caption) {
    std::string tip = caption + '\0';
    // Counted in characters, not bytes: the platform converts the tip and
    // must never see half of a character.
    std::size_t characters = 0;
    std::size_t end = 0;
    while (end < tip.size() && characters < kTrayTipLength) {
        ++end;
        while (end < tip.size() && IsUtf8Continuation(tip[end])) ++end;
        ++characters;
    }
    tip.resize(end);
    tip.append(kTrayTipLength - characters, ' ');
    return tip;
}

// The record is filled completely before it replaces the kept one, so a
// window that fails to answer leaves the previous icon's record intact.
void AddTrayIcon(TrayWindow& window) {
    NotifyIconRecord record;
    record.size = kNotifyIconRecordSize;
    record.window = window.Handle();
    record.id = kTrayIconId;
    record.flags = kTrayIconFlags;
    record.callbackMessage = kWmMouseMove;
    record.icon = window.Icon();
    record.tip = TrayTip(window.Caption());
    gRecord = record;
    CurrentDesktop().tray.Add(gRecord);
    gShown = true;
    window.LeaveTaskList();
    window.Hide();
}

void RemoveTrayIcon(TrayWindow& /*window*/) {
    gShown = false;
    CurrentDesktop().tray.Remove(gRecord);
}

void RestoreTrayIcon() {
    if (!gShown)
        return;
    const bool added = CurrentDesktop().tray.Add(gRecord);
    LogEvent(added ? "task bar re-created: tray icon added again"
                   : "task bar re-created: the tray refused the icon (it may still hold it)");
}

bool TrayIconShown() {
    return gShown;
}

}  // namespace vantrel
