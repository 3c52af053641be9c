// Memory that runs out anywhere in a function the host calls: the module's code is linked into
// this program with the heap counter (heap_counter.h), and a whole session (start with and
// without a valid cache, a refresh with lines shown, the options dialog, stop) is played once
// for every allocation it makes, with that allocation refused, and once more with every
// allocation from it on refused. No exception may reach the host, the host's window procedure
// must be back and no chain callback registered afterwards, and a cache left behind must be the
// one a session without failures writes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "alloc/heap_counter.h"
#include "fixtures/temp_dir.h"
#include "frame/exported_records.h"
#include "geo/position_conversion.h"
#include "host/host_services.h"
#include "platform/desktop.h"
#include "platform/posix/desktop/portable_desktop.h"
#include "scenery/scenery_file_writer.h"

namespace halvern::testing {
namespace {

namespace desk = platform::desktop;
namespace fs = std::filesystem;

// The simulator's services, keeping their state in fixed arrays so that the host itself never
// allocates: every allocation numbered is the module's or the desktop's.
struct Host {
    static constexpr int kSlots = 8;
    ChainCallback callbacks[kSlots] = {};
    int callbackCount = 0;
    int lines = 0;
    int hostMessages = 0;
    HostEntry chainTable[16] = {};
    HostEntry textTable[16] = {};
    unsigned char variables[0x1000] = {};
};
Host host;

void HALVERN_HOSTCALL Register(std::uint32_t, ChainCallback callback) {
    if (host.callbackCount < Host::kSlots) {
        host.callbacks[host.callbackCount++] = callback;
    }
}
void HALVERN_HOSTCALL Unregister(std::uint32_t, ChainCallback callback) {
    for (int i = 0; i < host.callbackCount; ++i) {
        if (host.callbacks[i] == callback) {
            host.callbacks[i] = host.callbacks[--host.callbackCount];
            return;
        }
    }
}
void HALVERN_HOSTCALL Show(const unsigned char*, const TextCell*) {
    ++host.lines;
}
platform::LResult HALVERN_HOSTCALL HostProc(platform::WindowHandle, std::uint32_t, platform::WParam,
                                            platform::LParam) {
    ++host.hostMessages;
    return 7;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HostCallFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        simulatorDir = dir.File("Sim");
        const fs::path area = fs::path(simulatorDir) / "Addon" / "scenery";
        fs::create_directories(area);
        // 1002 airports in all: the record list grows once past its first 1000 slots.
        for (int f = 0; f < 2; ++f) {
            scenery::SceneryFileWriter writer;
            for (int a = 0; a < 501; ++a) {
                const int number = f * 501 + a;
                char code[8];
                std::snprintf(code, sizeof code, "T%03d", number % 1000);
                writer.Add(scenery::MakeAirport("Field " + std::to_string(number), code,
                                                47.0 + 0.001 * (number % 30),
                                                8.0 + 0.001 * (number / 30), 400.0));
            }
            ASSERT_TRUE(scenery::WriteBytes((area / ("F" + std::to_string(f) + ".bgl")).string(),
                                            writer.Build()));
        }
        std::ofstream(fs::path(simulatorDir) / "scenery.cfg")
            << "[Area.001]\nTitle=Test\nLocal=Addon\nActive=TRUE\n";
        cachePath = fs::path(simulatorDir) / "HalvernCache.dat";
        // Without a home the desktop keeps its registry in memory: the thousand sessions here
        // would otherwise spend their time waiting for the registry file to reach the disk.
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            if (const char* value = std::getenv(name)) {
                savedEnvironment.emplace_back(name, value);
            }
            unsetenv(name);
        }
    }

    void TearDown() override {
        desk::Reset();
        for (const auto& [name, value] : savedEnvironment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }

    // One session; false when an exception reached the host.
    bool PlaySession(std::size_t failAt, bool failLater) {
        desk::Reset();
        // The module finds the simulator directory from its own file's name. Its code is linked
        // into this program, whose file the desktop names as a module file in the simulator's
        // module folder.
        desk::SetModuleFilePath(platform::InstanceOfAddress(&Linkage),
                                (fs::path(simulatorDir) / "Modules" / "halvern.so").string());
        // The user accepts the options dialog as it stands.
        desk::SetDialogDriver(
            [](platform::WindowHandle dialog, int) { desk::ClickButton(dialog, platform::kIdOk); });
        host = Host{};
        host.chainTable[kChainRegisterEntry] = reinterpret_cast<HostEntry>(&Register);
        host.chainTable[kChainUnregisterEntry] = reinterpret_cast<HostEntry>(&Unregister);
        host.textTable[kTextShowEntry] = reinterpret_cast<HostEntry>(&Show);
        const WorldPosition position = PositionFromDegrees(47.0, 8.0);
        std::memcpy(host.variables + kAircraftPositionOffset, &position, sizeof position);
        ImportTable[0].address = host.chainTable;
        ImportTable[1].address = host.textTable;
        ImportTable[2].address = host.variables;
        mainWindow = desk::CreateTopLevelWindow("Simulator", &HostProc);
        desk::SetWindowMenuBar(mainWindow, desk::CreateMenuBar());
        desk::SetFocusWindow(mainWindow);

        ArmAllocationFailure(failAt, failLater);
        bool contained = true;
        const auto hostCall = [&contained](auto&& call) {
            try {
                call();
            } catch (...) {
                contained = false;
            }
        };
        const auto event = [&] {
            hostCall([] {
                // A copy: a callback may unregister itself.
                const Host current = host;
                for (int i = 0; i < current.callbackCount; ++i) {
                    current.callbacks[i](16, 0);
                }
            });
        };
        const auto send = [&](std::uint32_t message, platform::WParam wParam) {
            hostCall([&] { platform::SendWindowMessage(mainWindow, message, wParam, 0); });
        };
        hostCall([] { Linkage.moduleInit(); });
        event();                        // finds and subclasses the main window
        send(platform::kWmNcPaint, 1);  // adds the menu entries
        desk::SetKeyDown(platform::kVkShift, true);
        send(platform::kWmKeyDown, platform::kVkF12);  // overlay on
        desk::SetKeyDown(platform::kVkShift, false);
        event();                            // a refresh with lines
        send(platform::kWmCommand, 17923);  // the options dialog, accepted
        hostCall([] { Linkage.moduleDeinit(); });
        DisarmAllocationFailure();
        return contained;
    }

    // Plays the session for every allocation of it refused, singly and from there on, each time
    // after `prepare`; checks what the host and the disk are left with.
    template <typename Prepare>
    void EverySessionFailure(Prepare prepare, const std::string& expectedCache) {
        prepare();
        ASSERT_TRUE(PlaySession(0, false));
        const std::size_t requests = NumberedRequests();
        ASSERT_GT(host.lines, 0) << "the session shows lines";
        for (const bool failLater : {false, true}) {
            for (std::size_t n = 1; n <= requests; ++n) {
                prepare();
                const bool contained = PlaySession(n, failLater);
                const std::string where =
                    "allocation " + std::to_string(n) + (failLater ? " and later" : " alone");
                ASSERT_TRUE(contained) << where;
                ASSERT_EQ(platform::GetWindowProcedure(mainWindow), &HostProc) << where;
                ASSERT_EQ(host.callbackCount, 0) << where;
                if (fs::exists(cachePath)) {
                    const std::string cache = ReadFile(cachePath);
                    ASSERT_TRUE(cache == expectedCache) << where << ": a cache of " << cache.size()
                                                        << " bytes, not " << expectedCache.size();
                }
            }
        }
    }

    TempDir dir;
    std::string simulatorDir;
    fs::path cachePath;
    platform::WindowHandle mainWindow = nullptr;
    std::vector<std::pair<std::string, std::string>> savedEnvironment;
};

TEST_F(HostCallFailure, EveryAllocationOfASessionMayFail) {
    // A session without failures writes the cache that every later one may leave behind.
    ASSERT_TRUE(PlaySession(0, false));
    const std::string cache = ReadFile(cachePath);
    ASSERT_FALSE(cache.empty());
    // Without a cache: the whole extraction.
    EverySessionFailure([&] { fs::remove(cachePath); }, cache);
    // With a valid cache.
    EverySessionFailure([&] { std::ofstream(cachePath, std::ios::binary) << cache; }, cache);
}

}  // namespace
}  // namespace halvern::testing
