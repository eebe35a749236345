#include "fake/FakeDesktop.h"

#include <algorithm>
#include <cctype>

#include "platform/Error.h"

namespace vantrel::fake {

void Journal::Hit(const std::string& op) {
    calls.push_back(op);
    if (failing_.count(op) != 0)
        throw Error(op + " failed");
}

int Journal::CountOf(const std::string& op) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), op));
}

// --- settings store

std::string FakeSettingsStore::Path(std::string_view app, std::string_view section,
                                    std::string_view key) {
    return std::string(app) + "\\" + std::string(section) + "\\" + std::string(key);
}

std::optional<std::string> FakeSettingsStore::Read(std::string_view app, std::string_view section,
                                                   std::string_view key) {
    journal_.Hit("SettingsStore.Read");
    const std::string path = Path(app, section, key);
    if (nonText.count(path) != 0)
        throw Error("The value " + std::string(key) + " is not text.");
    const auto it = values.find(path);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> FakeSettingsStore::ReadMachineWide(std::string_view app,
                                                              std::string_view section,
                                                              std::string_view key) {
    journal_.Hit("SettingsStore.ReadMachineWide");
    const auto it = machineValues.find(Path(app, section, key));
    if (it == machineValues.end())
        return std::nullopt;
    return it->second;
}

// Not in the journal: the call sequences the tests expect predate policies.
std::optional<std::string> FakeSettingsStore::ReadPolicy(PolicyScope scope, std::string_view app,
                                                         std::string_view section,
                                                         std::string_view key) {
    const auto& policy = scope == PolicyScope::Machine ? machinePolicy : userPolicy;
    const auto it = policy.find(Path(app, section, key));
    if (it == policy.end())
        return std::nullopt;
    return it->second;
}

void FakeSettingsStore::Write(std::string_view app, std::string_view section, std::string_view key,
                              std::string_view value) {
    journal_.Hit("SettingsStore.Write");
    if (refuseWriteOf && *refuseWriteOf == key)
        refuseWriteOf = std::string("*");
    if (refuseWriteOf && *refuseWriteOf == "*")
        throw Error("Access is denied.");
    values[Path(app, section, key)] = std::string(value);
    writtenKeys.emplace_back(key);
    nonText.erase(Path(app, section, key));
}

// --- clipboard

void FakeClipboard::Clear() {
    journal_.Hit("Clipboard.Clear");
    text.clear();
    ++sequence;
}

std::string FakeClipboard::ReadText() {
    journal_.Hit("Clipboard.ReadText");
    if (beforeRead)
        beforeRead();
    return text;
}

void FakeClipboard::WriteText(std::string_view written) {
    journal_.Hit("Clipboard.WriteText");
    Set(std::string(written));
}

void FakeClipboard::CopyLater(std::string copied, int passes) {
    if (passes <= 0) {
        Set(std::move(copied));
        return;
    }
    pending_.emplace_back(passes, std::move(copied));
}

void FakeClipboard::Tick() {
    for (auto& [passes, copied] : pending_) {
        if (--passes == 0)
            Set(copied);
    }
    std::erase_if(pending_, [](const auto& p) { return p.first <= 0; });
}

// --- keyboard and the source field

bool FakeKeyboard::IsKeyDown(int vk) {
    ++keyStateQueries;
    const auto it = held.find(vk);
    return it != held.end() && it->second > 0;
}

void FakeKeyboard::Send(const std::vector<KeyEvent>& events) {
    journal_.Hit("Keyboard.Send");
    for (const KeyEvent& e : events) {
        sent.push_back(e);
        if (e.vk == kVkControl)
            ctrl_ = !e.up;
        if (e.vk == kVkShift)
            shift_ = !e.up;
        if (e.up)
            continue;
        if (e.vk == kVkHome)
            source.selection.clear();
        if (e.vk == kVkEnd)
            source.selection = shift_ ? source.line : std::string();
        // Copying an empty selection leaves the clipboard as it is, as editors do.
        if (e.vk == 'C' && ctrl_ && source.copies && !source.selection.empty())
            clipboard_.CopyLater(source.selection, source.copyDelayPasses);
    }
}

void FakeKeyboard::Tick() {
    for (auto& [vk, passes] : held) {
        if (passes > 0)
            --passes;
    }
}

// --- windows

WindowHandle FakeTopWindows::ActivateByTitle(std::string_view title) {
    journal_.Hit("TopWindows.ActivateByTitle");
    auto it = std::find(titles.begin(), titles.end(), title);
    if (it == titles.end()) {
        it = std::find_if(titles.begin(), titles.end(),
                          [&](const std::string& t) { return t.starts_with(title); });
    }
    if (it == titles.end())
        throw Error("No window is titled '" + std::string(title) + "'.");
    activated.push_back(*it);
    foreground = static_cast<WindowHandle>(it - titles.begin()) + 1;
    lagLeft = activationLag;
    return foreground;
}

void FakeTopWindows::Activate(WindowHandle window) {
    journal_.Hit("TopWindows.Activate");
    if (!refuseActivation)
        foreground = window;
}

Selection FakeTopWindows::FocusedSelection(WindowHandle window) {
    selectionAskedOf.push_back(window);
    return focusedSelection;
}

bool FakeTopWindows::IsForeground(WindowHandle window) {
    if (lagLeft > 0) {
        --lagLeft;
        return false;
    }
    return foreground == window;
}

// --- files

std::string FakeFiles::Key(std::string_view path) {
    std::string key(path);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

static std::string FolderOf(const std::string& key) {
    const auto slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

bool FakeFiles::IsPlainFile(std::string_view path) {
    journal_.Hit("Files.IsPlainFile");
    const std::string key = Key(path);
    return files.count(key) != 0 && hidden.count(key) == 0;
}

void FakeFiles::Delete(std::string_view path) {
    journal_.Hit("Files.Delete");
    const std::string key = Key(path);
    if (files.count(key) == 0)
        throw Error("The system cannot find the file specified.");
    if (undeletable.count(key) != 0)
        throw Error("Access is denied.");
    files.erase(key);
    hidden.erase(key);
}

void FakeFiles::WriteNewAnsiTextFile(std::string_view path, std::string_view text) {
    journal_.Hit("Files.WriteNewAnsiTextFile");
    const std::string key = Key(path);
    if (folders.count(FolderOf(key)) == 0)
        throw Error("The system cannot find the path specified.");
    if (undeletable.count(key) != 0)
        throw Error("Access is denied.");
    if (!IsExactInAnsi(text))
        throw Error("The text does not fit the code page.");
    files[key] = std::string(text);
}

bool FakeFiles::IsExactInAnsi(std::string_view text) {
    // UTF-8 lead bytes C2 and C3 are U+0080..U+00FF; anything else above ASCII is not.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80)
            continue;
        if ((byte != 0xC2 && byte != 0xC3) || i + 1 == text.size())
            return false;
        if ((static_cast<unsigned char>(text[++i]) & 0xC0) != 0x80)
            return false;
    }
    return true;
}

bool FakeFiles::RemoveVirtualStoreCopy(std::string_view path) {
    journal_.Hit("Files.RemoveVirtualStoreCopy");
    return virtualStore.erase(Key(path)) != 0;
}

std::optional<std::string> FakeFiles::Content(std::string_view path) const {
    const auto it = files.find(Key(path));
    if (it == files.end())
        return std::nullopt;
    return it->second;
}

// --- processes, boxes, loop

void FakeProcesses::Start(std::string_view program, std::string_view commandLine, ShowState show) {
    journal_.Hit("Processes.Start");
    if (missing.count(FakeFiles::Key(program)) != 0)
        throw Error("The system cannot find the file specified.");
    started.push_back({std::string(program), std::string(commandLine), show});
    if (onStart)
        onStart(started.back());
}

void FakeMessageBoxes::Show(std::string_view text, std::string_view caption, Modality modality) {
    journal_.Hit("MessageBoxes.Show");
    shown.push_back({std::string(text), std::string(caption), modality});
    if (onShow)
        onShow(shown.back());
}

void FakeMessageLoop::ProcessPending() {
    ++passes;
    clipboard_.Tick();
    keyboard_.Tick();
    auto tasks = std::move(posted_);
    posted_.clear();
    for (auto& task : tasks) task();
}

void FakeMessageLoop::PostAfter(int later, std::function<void()> task) {
    if (later <= 0)
        return Post(std::move(task));
    Post([this, later, task] { PostAfter(later - 1, task); });
}

bool FakeMessageLoop::PumpUntil(const std::function<bool()>& done,
                                std::optional<std::chrono::milliseconds> bound) {
    std::chrono::milliseconds waited{0};
    for (int guard = 0; guard < 1'000'000; ++guard) {
        ProcessPending();
        if (done())
            return true;
        if (bound && waited >= *bound)
            return false;
        ++rests;
        waited += restLength;
    }
    throw Error("FakeMessageLoop: the condition never came true");
}

// --- hotkeys and atoms

int FakeHotKeys::Register(WindowHandle window, int id, int modifiers, int vk) {
    journal_.Hit("HotKeys.Register");
    ++registerCalls;
    if (heldElsewhere.count({modifiers, vk}) != 0)
        return 0;
    for (const auto& [key, reg] : registered) {
        if (reg.modifiers == modifiers && reg.vk == vk)
            return 0;
    }
    if (registered.count({window, id}) != 0)
        return 0;
    registered[{window, id}] = {modifiers, vk};
    return 1;
}

int FakeHotKeys::Unregister(WindowHandle window, int id) {
    journal_.Hit("HotKeys.Unregister");
    ++unregisterCalls;
    if (refuseUnregister)
        return 0;
    return registered.erase({window, id}) != 0 ? 1 : 0;
}

int FakeGlobalAtoms::Add(std::string_view name) {
    journal_.Hit("GlobalAtoms.Add");
    if (refuse)
        return 0;
    const int atom = next++;
    atoms[atom] = std::string(name);
    return atom;
}

void FakeGlobalAtoms::Delete(int atom) {
    journal_.Hit("GlobalAtoms.Delete");
    atoms.erase(atom);
}

// --- window procedures

ProcAddress FakeWindowProcs::AddressOf(PortableWndProc proc) {
    for (const auto& [address, p] : portable_) {
        if (p == proc)
            return address;
    }
    const ProcAddress address = 0x10000 + portable_.size();
    portable_[address] = proc;
    return address;
}

ProcAddress FakeWindowProcs::Current(WindowHandle window) const {
    const auto it = current.find(window);
    return it == current.end() ? OwnProcOf(window) : it->second;
}

ProcAddress FakeWindowProcs::Install(WindowHandle window, ProcAddress proc) {
    journal_.Hit("WindowProcs.Install");
    ++installs;
    const ProcAddress previous = Current(window);
    current[window] = proc;
    return previous;
}

std::intptr_t FakeWindowProcs::CallProc(ProcAddress proc, WindowHandle window,
                                        std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    const auto it = portable_.find(proc);
    if (it != portable_.end())
        return it->second(window, message, wParam, lParam);
    ownProcCalls.push_back({proc, window, message, wParam, lParam});
    return ownProcResult;
}

// --- tray and registry

bool FakeTray::Add(const NotifyIconRecord& record) {
    journal_.Hit("Tray.Add");
    added.push_back(record);
    return !refuse;
}

bool FakeTray::Remove(const NotifyIconRecord& record) {
    journal_.Hit("Tray.Remove");
    removed.push_back(record);
    return true;
}

std::optional<RegistryValue> FakeRegistry::QueryMachineValue(std::string_view keyPath,
                                                             std::string_view valueName,
                                                             std::uint32_t access,
                                                             std::uint32_t bufferSize) {
    journal_.Hit("Registry.QueryMachineValue");
    const std::string key(keyPath);
    const std::string path = key + "\\" + std::string(valueName);
    queried.push_back(path);
    const auto grant = granted.find(key);
    if (grant != granted.end() && (access & ~grant->second) != 0)
        return std::nullopt;
    const auto it = values.find(path);
    if (it == values.end() || it->second.data.size() > bufferSize)
        return std::nullopt;
    return it->second;
}

void FakeRegistry::SetString(const std::string& keyPath, const std::string& name,
                             const std::string& text, bool withNul) {
    RegistryValue v{kRegSz, {text.begin(), text.end()}};
    if (withNul)
        v.data.push_back(0);
    values[keyPath + "\\" + name] = std::move(v);
    keys.insert(keyPath);
}

FakeDesktop::FakeDesktop()
    : desktop{settings, clipboard, keyboard, windows, files, processes, boxes, loop,
              hotkeys,  atoms,     clock,    procs,   tray,  registry,  log},
      scope_(desktop) {}

}  // namespace vantrel::fake
