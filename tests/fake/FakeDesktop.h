#pragma once

// In-memory desktop for the unit tests. Every fallible operation is written to
// a shared journal and can be made to fail by name ("Clipboard.Clear"...), so
// tests can walk a failure through every step of a procedure.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"

namespace vantrel::fake {

class Journal {
  public:
    // Records the operation; throws Error when it was told to fail.
    void Hit(const std::string& op);
    void Fail(const std::string& op) { failing_.insert(op); }
    void Heal() { failing_.clear(); }
    std::vector<std::string> calls;
    int CountOf(const std::string& op) const;

  private:
    std::set<std::string> failing_;
};

class FakeSettingsStore : public SettingsStore {
  public:
    explicit FakeSettingsStore(Journal& j) : journal_(j) {}
    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) override;
    std::optional<std::string> ReadMachineWide(std::string_view app, std::string_view section,
                                               std::string_view key) override;
    std::optional<std::string> ReadPolicy(PolicyScope scope, std::string_view app,
                                          std::string_view section, std::string_view key) override;
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override;
    static std::string Path(std::string_view app, std::string_view section, std::string_view key);
    // The program's own key ("Vantrel\Settings\key"), and storing into it.
    static std::string Key(std::string_view key) { return Path("Vantrel", "Settings", key); }
    void Store(std::string_view key, std::string value) { values[Key(key)] = std::move(value); }
    // Stored values by "app\section\key", per user and for the whole machine.
    std::map<std::string, std::string> values;
    std::map<std::string, std::string> machineValues;
    std::map<std::string, std::string> machinePolicy;
    std::map<std::string, std::string> userPolicy;
    // Keys that hold something other than text.
    std::set<std::string> nonText;
    // Writes fail from this key on.
    std::optional<std::string> refuseWriteOf;
    std::vector<std::string> writtenKeys;  // in the order written

  private:
    Journal& journal_;
};

class FakeClipboard : public Clipboard {
  public:
    explicit FakeClipboard(Journal& j) : journal_(j) {}
    void Clear() override;
    std::string ReadText() override;
    void WriteText(std::string_view written) override;
    std::uint32_t SequenceNumber() override { return sequence; }
    // What another program copies, landing after `passes` passes of the message loop.
    void CopyLater(std::string copied, int passes);
    void Tick();  // one pass of the message loop
    void Set(std::string t) {
        text = std::move(t);
        ++sequence;
    }
    std::function<void()> beforeRead;  // a copy landing just before a read
    std::string text;
    std::uint32_t sequence = 1;

  private:
    Journal& journal_;
    std::vector<std::pair<int, std::string>> pending_;
};

// A one-line text box in the source program: what Ctrl+C, Home and Shift+End do to it.
struct FakeSourceField {
    std::string line;
    std::string selection;
    int copyDelayPasses = 1;  // the source copies asynchronously
    bool copies = true;       // false: the program ignores Ctrl+C
};

class FakeKeyboard : public Keyboard {
  public:
    FakeKeyboard(Journal& j, FakeClipboard& c) : journal_(j), clipboard_(c) {}
    bool IsKeyDown(int vk) override;
    void Send(const std::vector<KeyEvent>& events) override;
    std::chrono::milliseconds RepeatDelay() override { return repeatDelay; }
    void Hold(int vk, int passes) { held[vk] = passes; }
    std::chrono::milliseconds repeatDelay{500};
    void Tick();
    std::map<int, int> held;  // key -> passes it stays down
    std::vector<KeyEvent> sent;
    int keyStateQueries = 0;
    FakeSourceField source;

  private:
    Journal& journal_;
    FakeClipboard& clipboard_;
    bool ctrl_ = false;
    bool shift_ = false;
};

class FakeTopWindows : public TopWindows {
  public:
    explicit FakeTopWindows(Journal& j) : journal_(j) {}
    WindowHandle ActivateByTitle(std::string_view title) override;
    WindowHandle Foreground() override { return foreground; }
    void Activate(WindowHandle window) override;
    bool IsForeground(WindowHandle window) override;
    Selection FocusedSelection(WindowHandle window) override;
    // Busy for this many more questions (each a pass of a wait).
    bool IsBusy(WindowHandle) override { return busyFor > 0 && busyFor-- > 0; }
    int busyFor = 0;
    // Windows that refuse to come to the front again once left.
    bool refuseActivation = false;
    // The handle of titles[i] is i + 1.
    std::vector<std::string> titles;
    std::vector<std::string> activated;  // matched titles, in order
    WindowHandle foreground = 0;
    // Foreground checks that still answer "not yet" after an activation: the other
    // program takes the focus in its own time.
    int activationLag = 0;
    int lagLeft = 0;
    // What the source's focused control says of its selection; asked of `selectionAskedOf`.
    Selection focusedSelection = Selection::Unknown;
    std::vector<WindowHandle> selectionAskedOf;

  private:
    Journal& journal_;
};

class FakeFiles : public Files {
  public:
    explicit FakeFiles(Journal& j) : journal_(j) {}
    bool IsPlainFile(std::string_view path) override;
    void Delete(std::string_view path) override;
    void WriteNewAnsiTextFile(std::string_view path, std::string_view text) override;
    // The code page here is Latin-1: nothing above U+00FF.
    bool IsExactInAnsi(std::string_view text) override;
    bool RemoveVirtualStoreCopy(std::string_view path) override;
    static std::string Key(std::string_view path);  // paths ignore case
    std::map<std::string, std::string> files;       // by Key()
    std::set<std::string> folders;                  // by Key(), no trailing backslash
    std::set<std::string> hidden;                   // by Key()
    std::set<std::string> undeletable;              // by Key()
    std::set<std::string> virtualStore;             // files with a virtualized copy, by Key()
    std::optional<std::string> Content(std::string_view path) const;

  private:
    Journal& journal_;
};

struct StartedProcess {
    std::string program;
    std::string commandLine;
    ShowState show;
};

class FakeProcesses : public Processes {
  public:
    explicit FakeProcesses(Journal& j) : journal_(j) {}
    void Start(std::string_view program, std::string_view commandLine, ShowState show) override;
    std::vector<StartedProcess> started;
    std::set<std::string> missing;  // programs that cannot be started, by FakeFiles::Key
    std::function<void(const StartedProcess&)> onStart;

  private:
    Journal& journal_;
};

struct ShownBox {
    std::string text;
    std::string caption;
    Modality modality;
};

class FakeMessageBoxes : public MessageBoxes {
  public:
    explicit FakeMessageBoxes(Journal& j) : journal_(j) {}
    void Show(std::string_view text, std::string_view caption, Modality modality) override;
    std::vector<ShownBox> shown;
    std::function<void(const ShownBox&)> onShow;  // runs while the box is "open"

  private:
    Journal& journal_;
};

class FakeMessageLoop : public MessageLoop {
  public:
    FakeMessageLoop(FakeClipboard& c, FakeKeyboard& k) : clipboard_(c), keyboard_(k) {}
    void ProcessPending() override;
    bool PumpUntil(const std::function<bool()>& done,
                   std::optional<std::chrono::milliseconds> bound) override;
    // Runs during the next pass (a message that arrives meanwhile).
    void Post(std::function<void()> task) { posted_.push_back(std::move(task)); }
    // Runs `task` in the pass `later` passes from now: inside a wait.
    void PostAfter(int later, std::function<void()> task);
    std::uint32_t MessageTime() override { return messageTime; }
    std::uint32_t Ticks() override { return ticks; }
    std::uint32_t messageTime = 0;
    std::uint32_t ticks = 0;
    int passes = 0;
    int rests = 0;  // times PumpUntil rested between checks
    std::chrono::milliseconds restLength{5};

  private:
    FakeClipboard& clipboard_;
    FakeKeyboard& keyboard_;
    std::vector<std::function<void()>> posted_;
};

class FakeHotKeys : public HotKeys {
  public:
    explicit FakeHotKeys(Journal& j) : journal_(j) {}
    int Register(WindowHandle window, int id, int modifiers, int vk) override;
    int Unregister(WindowHandle window, int id) override;
    struct Registration {
        int modifiers;
        int vk;
    };
    std::map<std::pair<WindowHandle, int>, Registration> registered;
    std::set<std::pair<int, int>> heldElsewhere;  // (modifiers, vk) another program holds
    bool refuseUnregister = false;
    int registerCalls = 0;
    int unregisterCalls = 0;

  private:
    Journal& journal_;
};

class FakeGlobalAtoms : public GlobalAtoms {
  public:
    explicit FakeGlobalAtoms(Journal& j) : journal_(j) {}
    int Add(std::string_view name) override;
    void Delete(int atom) override;
    std::map<int, std::string> atoms;
    bool refuse = false;
    int next = 0xC000;

  private:
    Journal& journal_;
};

class FakeClock : public Clock {
  public:
    std::string NowAsGeneralDate() override { return now; }
    std::string now = "07/12/2026 13:52:06";
};

class FakeWindowProcs : public WindowProcs {
  public:
    explicit FakeWindowProcs(Journal& j) : journal_(j) {}
    ProcAddress AddressOf(PortableWndProc proc) override;
    ProcAddress Install(WindowHandle window, ProcAddress proc) override;
    std::intptr_t CallProc(ProcAddress proc, WindowHandle window, std::uint32_t message,
                           std::uintptr_t wParam, std::intptr_t lParam) override;
    // The procedure a window had from its creation.
    static ProcAddress OwnProcOf(WindowHandle window) { return 0x70000 + window; }
    ProcAddress Current(WindowHandle window) const;
    std::map<WindowHandle, ProcAddress> current;
    struct Call {
        ProcAddress proc;
        WindowHandle window;
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Call> ownProcCalls;    // messages that reached a window's own procedure
    std::intptr_t ownProcResult = 42;  // what the own procedures return
    int installs = 0;

  private:
    Journal& journal_;
    std::map<ProcAddress, PortableWndProc> portable_;
};

class FakeTray : public Tray {
  public:
    explicit FakeTray(Journal& j) : journal_(j) {}
    bool Add(const NotifyIconRecord& record) override;
    bool Remove(const NotifyIconRecord& record) override;
    std::vector<NotifyIconRecord> added;
    std::vector<NotifyIconRecord> removed;
    bool refuse = false;  // Add answers false, as a tray that will not take the icon

  private:
    Journal& journal_;
};

class FakeRegistry : public Registry {
  public:
    explicit FakeRegistry(Journal& j) : journal_(j) {}
    std::optional<RegistryValue> QueryMachineValue(std::string_view keyPath,
                                                   std::string_view valueName, std::uint32_t access,
                                                   std::uint32_t bufferSize) override;
    void SetString(const std::string& keyPath, const std::string& name, const std::string& text,
                   bool withNul = true);
    // "keyPath\valueName" -> value; keys exist when any value names them or they are in `keys`.
    std::map<std::string, RegistryValue> values;
    std::set<std::string> keys;
    // Access masks each key grants; a key not listed grants everything.
    std::map<std::string, std::uint32_t> granted;
    std::vector<std::string> queried;  // "keyPath\valueName" in order

  private:
    Journal& journal_;
};

// Keeps the events without a time stamp.
class FakeLog : public Log {
  public:
    void Write(std::string_view line) noexcept override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// All of the above, installed as the current desktop for the object's lifetime.
class FakeDesktop {
  public:
    FakeDesktop();
    Journal journal;
    FakeSettingsStore settings{journal};
    FakeClipboard clipboard{journal};
    FakeKeyboard keyboard{journal, clipboard};
    FakeTopWindows windows{journal};
    FakeFiles files{journal};
    FakeProcesses processes{journal};
    FakeMessageBoxes boxes{journal};
    FakeMessageLoop loop{clipboard, keyboard};
    FakeHotKeys hotkeys{journal};
    FakeGlobalAtoms atoms{journal};
    FakeClock clock;
    FakeWindowProcs procs{journal};
    FakeTray tray{journal};
    FakeRegistry registry{journal};
    FakeLog log;
    Desktop desktop;

  private:
    DesktopScope scope_;
};

}  // namespace vantrel::fake
