#include "halvern-host/win32/win32_host.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h: InitCommonControlsEx.
#include <commctrl.h>

#include <functional>
#include <utility>

#include "halvern-host/flight_runner.h"
#include "halvern-host/win32/startup_observer.h"
#include "halvern-host/win32/win32_host_window.h"
#include "halvern-host/win32/window_chain.h"
#include "platform/extended_precision.h"

namespace halvern::host {

namespace {

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

void ReportPrecision(const char* when) {
    std::fprintf(stderr, "halvern-host: x87 precision control %s: %s\n", when,
                 PrecisionName(platform::ReadX87ControlWord()));
}

// The file the system loaded the module from: the loader's own answer, not the path asked for.
void ReportLoadedFrom(const void* moduleData) {
    HMODULE loaded = nullptr;
    char path[MAX_PATH] = {};
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(moduleData), &loaded)) {
        GetModuleFileNameA(loaded, path, sizeof path);
    }
    std::fprintf(stderr, "halvern-host: module loaded from %s\n", path);
}

// ModuleInit while the windows it makes are watched, and what they showed.
void StartWatched(FlightRunner& runner, ScreenSnapshot& snapshot, const Win32HostWindow& window) {
    std::function<void(HWND)> atHalfway;
    if (snapshot.Due(SnapshotMoment::kProgressWindow)) {
        atHalfway = [&snapshot, &window](HWND progress) {
            snapshot.Take(window.Handle(), progress);
        };
    }
    StartupObserver observer(std::move(atHalfway));
    runner.StartModule();
    const StartupReport& report = observer.Report();
    for (const std::string& created : report.windowsCreated) {
        std::fprintf(stderr, "halvern-host: window created during ModuleInit: %s\n",
                     created.c_str());
    }
    std::fprintf(stderr,
                 "halvern-host: progress bar during ModuleInit: %d position(s), last %d, %s\n",
                 report.progressPositions, report.lastProgressPosition,
                 report.progressVisible ? "visible" : "never visible");
}

}  // namespace

int RunWin32Host(const Win32RunOptions& options, std::FILE* out) {
    ScreenSnapshot snapshot(options.snapshotMarker, options.snapshotOf);
    Win32HostWindow window(snapshot, options.tickMilliseconds);
    FlightRunner runner(options.run, window, out);
    if (!runner.ReadScript()) {
        return 2;
    }
    if (options.x87Precision53) {
        const std::uint16_t word = platform::ReadX87ControlWord();
        platform::WriteX87ControlWord(static_cast<std::uint16_t>(
            (word & ~platform::kX87PrecisionMask) | platform::kX87Precision53));
    }
    ReportPrecision("before loading the module");
    // The progress window of the module's first start uses the common controls' progress bar,
    // which the host registers for the process, as the simulator does.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);
    if (!runner.InstallModule()) {
        return 2;
    }
    ReportLoadedFrom(runner.Module().Linkage());
    StartWatched(runner, snapshot, window);

    WindowChain chain(runner, window);
    runner.hostAction = [&chain](const ScriptAction& action) { return chain.Act(action); };
    window.scene = [&runner] { return runner.Scene(); };
    window.onUserEndsFlight = [&runner] { runner.EndFlight(); };
    if (!runner.OpenWindow()) {
        return 2;
    }
    bool over = false;
    window.onTick = [&] {
        if (over || chain.Unloaded()) {
            // ModuleDeinit ran at an earlier tick, while the module's window procedure was on
            // the stack; now its file can go, where that procedure has left the chain.
            chain.ReleaseModule();
            ReportPrecision("at the end");
            window.Close(runner.ExitStatus());
        } else {
            over = !runner.Step();
        }
        std::fflush(out);
    };
    const int status = window.RunMessageLoop([&chain] { chain.UnloadIfDue(); });
    std::fflush(out);
    return status;
}

}  // namespace halvern::host
