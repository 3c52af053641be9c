#include "halvern-host/win32/win32_host.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h: the progress bar class and InitCommonControlsEx.
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "geo/position_conversion.h"
#include "halvern-host/flight_path.h"
#include "halvern-host/flight_script.h"
#include "halvern-host/menu_path.h"
#include "halvern-host/module_host.h"
#include "halvern-host/overlay_picture.h"
#include "halvern-host/shown_lines.h"
#include "halvern-host/simulator_services.h"
#include "halvern-host/win32/modal_windows.h"
#include "halvern-host/win32/overlay_view.h"
#include "halvern-host/win32/startup_observer.h"
#include "platform/extended_precision.h"
#include "platform/native_path.h"

namespace halvern::host {

namespace {

constexpr const char* kWindowClass = "HalvernSubstituteHost";
constexpr UINT_PTR kTickTimer = 1;
// The host's own menu commands.
constexpr UINT kCommandExit = 100;
constexpr UINT kCommandTopDown = 200;
// A command nobody knows, sent after the module file is freed.
constexpr UINT kCommandUnknown = 4242;

struct MenuItemInfo {
    UINT type = 0;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    std::string text;
};

bool ReadMenuItem(HMENU menu, int position, MenuItemInfo& item) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
        return false;
    }
    item.type = info.fType;
    item.state = info.fState;
    item.id = info.wID;
    item.submenu = info.hSubMenu;
    item.text = (info.fType & MFT_SEPARATOR) != 0 ? "" : text;
    return true;
}

const char* PrecisionName(std::uint16_t controlWord) {
    switch (controlWord & platform::kX87PrecisionMask) {
        case platform::kX87Precision64:
            return "64 bits";
        case platform::kX87Precision53:
            return "53 bits";
        case 0:
            return "24 bits";
        default:
            return "reserved";
    }
}

class Win32Host {
  public:
    Win32Host(const Win32RunOptions& options, std::FILE* out)
        : options_(options), out_(out), module_(services_) {}

    int Run();

  private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Another component's procedure, installed in front of the module's by the script's
    // "subclass": it hands every message on to the procedure it replaced.
    static LRESULT CALLBACK OtherComponentProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool CreateMainWindow();
    void Tick();
    void Step();
    void RaiseEvent();
    // Runs the actions due after the last event; true when one of them posted a message whose
    // handling is still to come.
    bool RunDueActions();
    bool StartAction(const ScriptAction& action);
    void Finish();

    void RepaintFrame();
    void PressF12(bool shift, bool control, bool alt);
    bool FindMenu(const std::string& path, HMENU& menu, int& position) const;
    // Posts a menu command, as choosing the item does; the action waits for its handling.
    void PostCommand(UINT id);
    std::string DescribeModuleMenu() const;
    void PrintMessageBox(const std::string& caption, const std::string& text);
    void WaitForSnapshot(HWND dialog);
    // Paints the main window and the given one now, creates the snapshot marker and waits until
    // it is gone.
    void TakeSnapshot(HWND other);
    // Opens the menu path from the menu bar as a user does with the keyboard (the menu bar, then
    // each item's popup); the snapshot is taken when the last popup is open and the menu idle.
    bool OpenMenuForSnapshot(const std::string& path, UINT commandAfter);
    // Stops the module and frees its file at once, then sends the main window a message and a
    // command: what a host that unloads its modules does.
    void UnloadNow();

    Win32RunOptions options_;
    std::FILE* out_;
    FlightScript script_;
    std::unique_ptr<FlightPath> path_;
    SimulatorServices services_;
    ModuleHost module_;
    ModalWindows modal_;
    HWND window_ = nullptr;

    long events_ = 0;
    long event_ = 0;  // events raised so far
    long repaintEvery_ = 1;
    double step_ = 1;
    double lastTime_ = 0;
    Waypoint lastAircraft_{};
    std::size_t nextAction_ = 0;
    std::string previous_;
    double rangeNm_ = 30;
    bool ok_ = true;

    bool inTick_ = false;
    bool pending_ = false;  // a posted command of an action is still to be handled
    UINT pendingCommand_ = 0;
    bool describeMenuAfter_ = false;  // the pending action prints the menu when it is done
    double rangeAfter_ = 0;           // the reach the pending options action sets, if above 0
    bool stopped_ = false;            // ModuleDeinit has run: unload at the next tick
    bool snapshotTaken_ = false;
    WNDPROC otherPrevious_ = nullptr;  // what the other component's procedure replaced
    bool unloadDue_ = false;           // "unload" waits for the message loop
    bool unloaded_ = false;            // "unload" freed the module file already
    bool menuShowing_ = false;         // the menu is open for the snapshot
    HMENU snapshotPopup_ = nullptr;    // the popup whose opening makes the snapshot due
    bool snapshotPopupOpen_ = false;
    UINT commandAfterMenu_ = 0;  // the command the menu action posts once the menu is closed
    int exitCode_ = 0;

    static Win32Host* instance_;
};

Win32Host* Win32Host::instance_ = nullptr;

int Win32Host::Run() {
    const RunOptions& options = options_.run;
    if (!LoadFlightScript(options.scriptPath, script_, stderr)) {
        return 2;
    }
    path_ = std::make_unique<FlightPath>(script_.route, script_.speedKnots);
    const double endTime = script_.endTime >= 0 ? script_.endTime : path_->Duration();
    step_ = 1.0 / script_.eventsPerSecond;
    events_ = static_cast<long>(std::floor(endTime * script_.eventsPerSecond)) + 1;
    repaintEvery_ = std::max(1L, std::lround(script_.eventsPerSecond));

    const Waypoint start = path_->PositionAt(0);
    services_.SetAircraftPosition(PositionFromDegrees(start.latitude, start.longitude));
    services_.SetMagneticVariation(VariationWord(script_.magneticVariation));

    if (options_.x87Precision53) {
        const std::uint16_t word = platform::ReadX87ControlWord();
        platform::WriteX87ControlWord(static_cast<std::uint16_t>(
            (word & ~platform::kX87PrecisionMask) | platform::kX87Precision53));
    }
    std::fprintf(stderr, "halvern-host: x87 precision control before loading the module: %s\n",
                 PrecisionName(platform::ReadX87ControlWord()));

    // The progress window of the module's first start uses the common controls' progress bar,
    // which the host registers for the process, as the simulator does.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    // A module installed by an earlier run goes first: MinGW's std::filesystem::copy_file (GCC
    // 12) fails with "File exists" on an existing target even when asked to overwrite it.
    const std::filesystem::path installed =
        platform::PathFromArgument(options.simulatorDir) / "Modules" /
        platform::PathFromArgument(options.modulePath).filename();
    DeleteFileW(installed.c_str());
    std::string error;
    if (!module_.Install(options.modulePath, options.simulatorDir, error)) {
        std::fprintf(stderr, "halvern-host: %s\n", error.c_str());
        return 2;
    }
    HMODULE loaded = nullptr;
    char loadedPath[MAX_PATH] = {};
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(module_.Linkage()), &loaded)) {
        GetModuleFileNameA(loaded, loadedPath, sizeof loadedPath);
    }
    std::fprintf(stderr, "halvern-host: module loaded from %s\n", loadedPath);

    std::fprintf(out_, "module %s installed in %s/Modules\n", options.modulePath.c_str(),
                 options.simulatorDir.c_str());
    {
        std::function<void(HWND)> atHalfway;
        if (!options_.snapshotMarker.empty() &&
            options_.snapshotOf == SnapshotMoment::kProgressWindow) {
            atHalfway = [this](HWND progress) { TakeSnapshot(progress); };
        }
        StartupObserver observer(std::move(atHalfway));
        module_.Start();
        const StartupReport& report = observer.Report();
        for (const std::string& created : report.windowsCreated) {
            std::fprintf(stderr, "halvern-host: window created during ModuleInit: %s\n",
                         created.c_str());
        }
        std::fprintf(stderr,
                     "halvern-host: progress bar during ModuleInit: %d position(s), last %d, "
                     "%s\n",
                     report.progressPositions, report.lastProgressPosition,
                     report.progressVisible ? "visible" : "never visible");
    }
    std::fprintf(out_, "ModuleInit done; %zu chain callback(s) registered\n",
                 services_.RegisteredCallbacks());
    std::fflush(out_);

    modal_.onMessageBox = [this](const std::string& caption, const std::string& body) {
        PrintMessageBox(caption, body);
    };
    if (options_.snapshotOf == SnapshotMoment::kOptionsDialog) {
        modal_.onOptionsDialog = [this](HWND dialog) { WaitForSnapshot(dialog); };
    }

    instance_ = this;
    if (!CreateMainWindow()) {
        std::fprintf(stderr, "halvern-host: cannot create the main window\n");
        return 2;
    }
    SetTimer(window_, kTickTimer, options_.tickMilliseconds, nullptr);

    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        // Back in the outermost loop, the posted command has been handled completely, the
        // dialogs and message boxes it opened included.
        if (pending_ && message.hwnd == window_ && message.message == WM_COMMAND &&
            message.wParam == pendingCommand_) {
            pending_ = false;
        }
        if (unloadDue_) {
            unloadDue_ = false;
            UnloadNow();
        }
    }
    instance_ = nullptr;
    std::fflush(out_);
    return exitCode_;
}

bool Win32Host::CreateMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);

    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kCommandExit, "E&xit");
    HMENU views = CreatePopupMenu();
    AppendMenuA(views, MF_STRING, kCommandTopDown, "&Top down");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(views), "&Views");

    window_ = CreateWindowExA(0, kWindowClass, "Halvern substitute host",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, bar,
                              windowClass.hInstance, nullptr);
    if (window_ == nullptr) {
        return false;
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    // The module finds the main window through the focus at its first chain event.
    SetForegroundWindow(window_);
    SetFocus(window_);
    if (GetFocus() != window_) {
        std::fprintf(stderr, "halvern-host: the main window did not get the focus\n");
    }
    return true;
}

LRESULT CALLBACK Win32Host::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (instance_ == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return instance_->OnMessage(window, message, wParam, lParam);
}

LRESULT Win32Host::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTickTimer) {
                Tick();
            }
            return 0;
        case WM_COMMAND: {
            const auto id = static_cast<std::uint32_t>(wParam & 0xFFFF);
            std::fprintf(out_, "  the host's window procedure received command %u\n", id);
            if (id == kCommandExit) {
                event_ = std::max(event_, events_);  // the flight ends at the next tick
            }
            return 0;
        }
        case WM_USER:
            std::fprintf(out_, "  the host's window procedure received WM_USER\n");
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wParam == VK_F12) {
                std::fprintf(stderr, "halvern-host: the host's window procedure received %s F12\n",
                             message == WM_KEYDOWN ? "WM_KEYDOWN" : "WM_SYSKEYDOWN");
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client{};
            GetClientRect(window, &client);
            char caption[128];
            std::snprintf(caption, sizeof caption, "t = %.1f s   %.4f %.4f   %zu airports",
                          lastTime_, lastAircraft_.latitude, lastAircraft_.longitude,
                          services_.LinesOfLastEvent().size());
            DrawOverlay(dc, client, lastAircraft_, rangeNm_, services_.LinesOfLastEvent(), caption);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_INITMENUPOPUP:
            if (menuShowing_ && reinterpret_cast<HMENU>(wParam) == snapshotPopup_) {
                snapshotPopupOpen_ = true;
            }
            break;
        case WM_ENTERIDLE:
            // The menu loop has handled the keys and waits: every popup is open and painted.
            if (menuShowing_ && wParam == MSGF_MENU && snapshotPopupOpen_ && !snapshotTaken_) {
                snapshotTaken_ = true;
                TakeSnapshot(nullptr);
                EndMenu();
            }
            break;
        case WM_EXITMENULOOP:
            if (menuShowing_) {
                menuShowing_ = false;
                describeMenuAfter_ = true;
                PostCommand(commandAfterMenu_);
            }
            break;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole client area
        case WM_CLOSE:
            event_ = std::max(event_, events_);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(exitCode_);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Host::Tick() {
    if (inTick_) {
        return;
    }
    inTick_ = true;
    Step();
    std::fflush(out_);
    inTick_ = false;
}

void Win32Host::Step() {
    if (stopped_ || unloaded_) {
        Finish();
        return;
    }
    if (menuShowing_) {
        return;  // the menu bar is open for the snapshot
    }
    if (modal_.Drive()) {
        return;  // a dialog or message box of the module is open: answer it first
    }
    if (pending_) {
        return;
    }
    if (rangeAfter_ > 0) {
        rangeNm_ = rangeAfter_;
        rangeAfter_ = 0;
    }
    if (describeMenuAfter_) {
        describeMenuAfter_ = false;
        std::fprintf(out_, "  menu: %s\n", DescribeModuleMenu().c_str());
    }
    if (RunDueActions()) {
        return;
    }
    if (event_ >= events_) {
        module_.Stop();
        std::fprintf(out_, "ModuleDeinit done; %zu chain callback(s) registered\n",
                     services_.RegisteredCallbacks());
        // The module's window procedure is still on the stack of this tick: unload later.
        stopped_ = true;
        return;
    }
    RaiseEvent();
    RunDueActions();
}

void Win32Host::RaiseEvent() {
    const double time = static_cast<double>(event_) * step_;
    const Waypoint aircraft = path_->PositionAt(time);
    services_.SetAircraftPosition(PositionFromDegrees(aircraft.latitude, aircraft.longitude));
    if (event_ % repaintEvery_ == 0) {
        RepaintFrame();  // the host repaints its frame now and then
    }
    services_.RaiseChainEvent(kRefreshChainEvent);
    const std::vector<ShownLine>& lines = services_.LinesOfLastEvent();
    const std::string joined = JoinedLines(lines);
    const bool due = options_.run.every <= 1 || event_ % options_.run.every == 0;
    if (due && (!options_.run.changesOnly || joined != previous_)) {
        std::fprintf(out_, "[%8.2f s] event %ld at %.5f %.5f: %zu line(s)\n", time, event_ + 1,
                     aircraft.latitude, aircraft.longitude, lines.size());
        PrintShownLines(out_, lines);
    }
    previous_ = joined;
    lastTime_ = time;
    lastAircraft_ = aircraft;
    ++event_;
    InvalidateRect(window_, nullptr, FALSE);
}

bool Win32Host::RunDueActions() {
    while (event_ > 0 && nextAction_ < script_.actions.size() &&
           script_.actions[nextAction_].time <= lastTime_) {
        if (StartAction(script_.actions[nextAction_++])) {
            return true;
        }
    }
    return false;
}

bool Win32Host::StartAction(const ScriptAction& action) {
    const auto& w = action.words;
    std::fprintf(out_, "[%8.2f s] %s", lastTime_, action.verb.c_str());
    for (const std::string& word : w) {
        std::fprintf(out_, " %s", word.c_str());
    }
    std::fputc('\n', out_);
    HMENU menu = nullptr;
    int position = -1;
    if (action.verb == "key") {
        const std::string keys = w.empty() ? "" : w[0];
        if (keys.size() < 3 || keys.substr(keys.size() - 3) != "F12") {
            std::fprintf(out_, "  line %d: only F12 keys can be pressed\n", action.line);
            ok_ = false;
            return false;
        }
        PressF12(keys.find("shift+") != std::string::npos, keys.find("ctrl+") != std::string::npos,
                 keys.find("alt+") != std::string::npos);
        std::fprintf(out_, "  menu: %s\n", DescribeModuleMenu().c_str());
    } else if (action.verb == "menu") {
        if (w.empty() || !FindMenu(w[0], menu, position)) {
            std::fprintf(out_, "  no such menu item\n");
            std::fprintf(out_, "  menu: %s\n", DescribeModuleMenu().c_str());
            return false;
        }
        if (!options_.snapshotMarker.empty() && !snapshotTaken_ &&
            options_.snapshotOf == SnapshotMoment::kModuleMenu &&
            OpenMenuForSnapshot(w[0], GetMenuItemID(menu, position))) {
            return true;
        }
        describeMenuAfter_ = true;
        PostCommand(GetMenuItemID(menu, position));
        return true;
    } else if (action.verb == "remove-menu") {
        if (w.empty() || !FindMenu(w[0], menu, position) ||
            !DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION)) {
            std::fprintf(out_, "  no such menu item\n");
        }
        // The bar is drawn again at the next non-client paint, when the module has had its say.
    } else if (action.verb == "command") {
        PostCommand(action.number);
        return true;
    } else if (action.verb == "options") {
        if (w.size() != 2) {
            std::fprintf(out_, "  line %d: options takes DISTANCE OPTIONS\n", action.line);
            ok_ = false;
            return false;
        }
        modal_.AnswerNextOptionsDialog({w[0], action.number});
        // The pictures' reach follows the entry once the dialog is done with.
        const double distance = std::atof(w[0].c_str());
        const double range = distance >= 1 && distance <= 250 ? distance : rangeNm_;
        if (FindMenu("Modules>Halvern>Options", menu, position)) {
            rangeAfter_ = range;
            PostCommand(GetMenuItemID(menu, position));
            return true;
        }
        rangeNm_ = range;
    } else if (action.verb == "svg") {
        const std::string file = platform::ArgumentFromPath(
            platform::PathFromArgument(options_.run.outputDir) /
            platform::PathFromArgument(w.empty() ? "overlay.svg" : w[0]));
        char caption[128];
        std::snprintf(caption, sizeof caption, "t = %.1f s   %.4f %.4f   %zu airports", lastTime_,
                      lastAircraft_.latitude, lastAircraft_.longitude,
                      services_.LinesOfLastEvent().size());
        const bool written =
            WriteOverlaySvg(file, lastAircraft_, rangeNm_, services_.LinesOfLastEvent(), caption);
        std::fprintf(out_, "  %s %s\n", written ? "wrote" : "could not write", file.c_str());
    } else if (action.verb == "print") {
        PrintShownLines(out_, services_.LinesOfLastEvent());
    } else if (action.verb == "repaint") {
        RepaintFrame();
    } else if (action.verb == "subclass") {
        // Another component subclasses the main window after the module, as add-ons do.
        if (otherPrevious_ == nullptr) {
            otherPrevious_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OtherComponentProc)));
        }
    } else if (action.verb == "unsubclass") {
        // The other component leaves, where it is still at the head of the chain.
        if (otherPrevious_ != nullptr && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(
                                             window_, GWLP_WNDPROC)) == &OtherComponentProc) {
            SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(otherPrevious_));
            otherPrevious_ = nullptr;
        }
    } else if (action.verb == "restart") {
        // The simulator stops and starts its modules again without unloading them.
        module_.Stop();
        std::fprintf(out_, "ModuleDeinit done; %zu chain callback(s) registered\n",
                     services_.RegisteredCallbacks());
        module_.Start();
        std::fprintf(out_, "ModuleInit done; %zu chain callback(s) registered\n",
                     services_.RegisteredCallbacks());
    } else if (action.verb == "unload") {
        // Done from the message loop, where no code of the module is on the stack.
        unloadDue_ = true;
    } else if (action.verb == "ping") {
        SendMessageA(window_, WM_USER, 0, 0);
    }
    return false;
}

void Win32Host::UnloadNow() {
    // The simulator stops the module and frees its file whatever is left in the window's chain;
    // the window then goes on receiving messages.
    module_.Stop();
    module_.Unload();
    unloaded_ = true;
    std::fprintf(out_, "module stopped and freed; its file is %s\n",
                 GetModuleHandleA("halvern.dll") != nullptr ? "still mapped" : "gone");
    SendMessageA(window_, WM_USER, 0, 0);
    SendMessageA(window_, WM_COMMAND, kCommandUnknown, 0);
    std::fflush(out_);
    event_ = std::max(event_, events_);  // the flight ends
}

LRESULT CALLBACK Win32Host::OtherComponentProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    const WNDPROC previous = instance_ != nullptr ? instance_->otherPrevious_ : nullptr;
    if (previous == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

void Win32Host::Finish() {
    // This tick came straight to the host's procedure: ModuleDeinit put it back in place, so
    // no code of the module is on the stack and the module file can go.
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC));
    std::fprintf(stderr, "halvern-host: the main window's procedure at the end: %s\n",
                 procedure == &HostProc             ? "the host's"
                 : procedure == &OtherComponentProc ? "the other component's"
                                                    : "the module's");
    if (unloaded_) {
        // "unload" freed it already.
    } else if (procedure == &HostProc) {
        module_.Unload();
    } else {
        std::fprintf(stderr,
                     "halvern-host: the module's window procedure is still installed; "
                     "the module stays loaded\n");
    }
    std::fprintf(stderr, "halvern-host: x87 precision control at the end: %s\n",
                 PrecisionName(platform::ReadX87ControlWord()));
    KillTimer(window_, kTickTimer);
    exitCode_ = ok_ ? 0 : 2;
    DestroyWindow(window_);
}

void Win32Host::RepaintFrame() {
    // A real non-client paint: the system sends WM_NCPAINT before RedrawWindow returns.
    RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32Host::PressF12(bool shift, bool control, bool alt) {
    // The keyboard state that GetKeyState reads on this thread, held around the key-down.
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE held[256];
    std::copy(std::begin(saved), std::end(saved), std::begin(held));
    const auto set = [&held](int key, bool down) { held[key] = down ? 0x80 : 0x00; };
    set(VK_SHIFT, shift);
    set(VK_LSHIFT, shift);
    set(VK_CONTROL, control);
    set(VK_LCONTROL, control);
    set(VK_MENU, alt);
    set(VK_LMENU, alt);
    SetKeyboardState(held);
    // With Alt held Windows sends the system key-down; the repeat count is 1.
    SendMessageA(window_, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_F12, alt ? 0x20000001 : 1);
    SetKeyboardState(saved);
}

bool Win32Host::FindMenu(const std::string& path, HMENU& menu, int& position) const {
    menu = GetMenu(window_);
    const std::vector<std::string> parts = SplitMenuPath(path);
    for (std::size_t depth = 0; depth < parts.size() && menu != nullptr; ++depth) {
        position = -1;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            MenuItemInfo item;
            if (ReadMenuItem(menu, i, item) && (item.type & MFT_SEPARATOR) == 0 &&
                PlainMenuText(item.text) == parts[depth]) {
                position = i;
                if (depth + 1 < parts.size()) {
                    menu = item.submenu;
                }
                break;
            }
        }
        if (position < 0) {
            return false;
        }
    }
    return position >= 0 && menu != nullptr;
}

void Win32Host::PostCommand(UINT id) {
    pending_ = true;
    pendingCommand_ = id;
    PostMessageA(window_, WM_COMMAND, id, 0);
}

std::string Win32Host::DescribeModuleMenu() const {
    HMENU menu = nullptr;
    int position = -1;
    if (!FindMenu("Modules>Halvern", menu, position)) {
        return "(no Modules > Halvern menu)";
    }
    MenuItemInfo halvern;
    ReadMenuItem(menu, position, halvern);
    std::string text;
    for (int i = 0; i < GetMenuItemCount(halvern.submenu); ++i) {
        MenuItemInfo item;
        ReadMenuItem(halvern.submenu, i, item);
        text += (item.type & MFT_SEPARATOR) != 0 ? std::string("----") : PlainMenuText(item.text);
        if ((item.state & MFS_CHECKED) != 0) {
            text += " [checked]";
        }
        text += " | ";
    }
    return text;
}

void Win32Host::PrintMessageBox(const std::string& caption, const std::string& body) {
    std::fprintf(out_, "  message box [%s]: ", caption.c_str());
    for (char c : body) {
        std::fputs(c == '\n' ? " / " : std::string(1, c).c_str(), out_);
    }
    std::fputc('\n', out_);
}

void Win32Host::WaitForSnapshot(HWND dialog) {
    if (options_.snapshotMarker.empty() || snapshotTaken_) {
        return;
    }
    snapshotTaken_ = true;
    // The dialog opens over the host's menu bar: it goes to the lower right of the main window,
    // as a user would drag it, so that the picture shows the bar, the overlay and the dialog.
    RECT main{};
    RECT box{};
    GetWindowRect(window_, &main);
    GetWindowRect(dialog, &box);
    SetWindowPos(dialog, nullptr, main.right - (box.right - box.left) - 16,
                 main.bottom - (box.bottom - box.top) - 16, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TakeSnapshot(dialog);
}

void Win32Host::TakeSnapshot(HWND other) {
    // Everything on the screen painted before the picture is taken.
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (other != nullptr) {
        RedrawWindow(other, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    GdiFlush();
    std::FILE* marker = std::fopen(options_.snapshotMarker.c_str(), "w");
    if (marker == nullptr) {
        std::fprintf(stderr, "halvern-host: cannot create the snapshot marker\n");
        return;
    }
    std::fclose(marker);
    for (int waited = 0; waited < 30000; waited += 50) {
        if (GetFileAttributesA(options_.snapshotMarker.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "halvern-host: nobody took the snapshot\n");
}

bool Win32Host::OpenMenuForSnapshot(const std::string& path, UINT commandAfter) {
    // Each popup on the way to the item is opened; the item itself is left alone. The key
    // presses for each step: along the menu bar, Right from its first item; in a popup, Down
    // from its first item, over the items but not the separators, which the keys skip.
    const std::vector<std::string> parts = SplitMenuPath(path);
    std::vector<int> presses;
    HMENU menu = GetMenu(window_);
    for (std::size_t depth = 0; depth + 1 < parts.size() && menu != nullptr; ++depth) {
        int selectable = 0;
        HMENU submenu = nullptr;
        for (int i = 0; i < GetMenuItemCount(menu) && submenu == nullptr; ++i) {
            MenuItemInfo item;
            if (!ReadMenuItem(menu, i, item) || (item.type & MFT_SEPARATOR) != 0) {
                continue;
            }
            if (PlainMenuText(item.text) == parts[depth]) {
                presses.push_back(selectable);
                submenu = item.submenu;
            }
            ++selectable;
        }
        menu = submenu;
    }
    if (presses.empty() || presses.size() + 1 != parts.size() || menu == nullptr) {
        return false;
    }
    snapshotPopup_ = menu;
    snapshotPopupOpen_ = false;
    commandAfterMenu_ = commandAfter;
    menuShowing_ = true;
    // The keyboard's way into the menu bar selects its first item; the keys then wait in the
    // queue for the menu loop.
    const auto key = [this](WPARAM code, int times) {
        for (int i = 0; i < times; ++i) {
            PostMessageA(window_, WM_KEYDOWN, code, 1);
        }
    };
    PostMessageA(window_, WM_SYSCOMMAND, SC_KEYMENU, 0);
    key(VK_RIGHT, presses[0]);
    key(VK_DOWN, 1);  // opens the bar item's popup
    for (std::size_t depth = 1; depth < presses.size(); ++depth) {
        key(VK_DOWN, presses[depth]);
        key(VK_RIGHT, 1);  // opens the submenu
    }
    return true;
}

}  // namespace

int RunWin32Host(const Win32RunOptions& options, std::FILE* out) {
    Win32Host host(options, out);
    return host.Run();
}

}  // namespace halvern::host
