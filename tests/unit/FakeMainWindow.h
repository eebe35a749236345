#pragma once

// A stand-in for the window-system half of the main window. Everything it is
// asked to do goes into the desktop's journal as "Host.<what>", so tests see
// it in order with the desktop calls, and can make any of it fail by name.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/frmmain.h"
#include "fake/FakeDesktop.h"

namespace vantrel::fake {

class FakeMainWindow : public MainWindowHost {
  public:
    explicit FakeMainWindow(FakeDesktop& d) : journal_(d.journal) {}

    static constexpr WindowHandle kHandle = 0x1234;
    static constexpr std::uintptr_t kIcon = 0x5678;

    WindowHandle Handle() override {
        journal_.Hit("Host.Handle");
        return destroyed ? 0 : kHandle;
    }
    std::uintptr_t Icon() override {
        journal_.Hit("Host.Icon");
        return kIcon;
    }
    std::string Caption() override {
        journal_.Hit("Host.Caption");
        return caption;
    }
    void Hide() override { journal_.Hit("Host.Hide"); }
    void LeaveTaskList() override { journal_.Hit("Host.LeaveTaskList"); }
    void SetForeground() override { journal_.Hit("Host.SetForeground"); }
    std::optional<MainCommand> PopupOptionsMenu() override {
        journal_.Hit("Host.PopupOptionsMenu");
        if (whileMenuOpen)
            whileMenuOpen();
        return chosen;
    }
    std::optional<SettingsValues> ShowSettingsDialog(const SettingsValues& values) override {
        journal_.Hit("Host.ShowSettingsDialog");
        shownValues.push_back(values);
        if (whileSettingsOpen)
            whileSettingsOpen();
        return answer ? answer(values) : std::nullopt;
    }
    void ShowAbout() override { journal_.Hit("Host.ShowAbout"); }
    void Minimize() override { journal_.Hit("Host.Minimize"); }
    void Destroy() override {
        journal_.Hit("Host.Destroy");
        destroyed = true;
    }

    std::string caption = "Vantrel";
    std::optional<MainCommand> chosen;        // what the user picks from the menu
    std::function<void()> whileMenuOpen;      // runs while the menu is open
    std::function<void()> whileSettingsOpen;  // runs while the dialog is open
    // The user's answer to the dialog, given what it showed; none: Cancel.
    std::function<std::optional<SettingsValues>(const SettingsValues&)> answer;
    std::vector<SettingsValues> shownValues;
    bool destroyed = false;

  private:
    Journal& journal_;
};

}  // namespace vantrel::fake
