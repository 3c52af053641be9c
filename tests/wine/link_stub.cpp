// Stands in for the web browser in the link tests: the test points the internet-shortcut class's
// "open" command at this program, which appends one line to the file named by HALVERN_LINK_LOG
// and ends, so that no browser is ever started. The line is its command line, then " -> " and
// the address that the shortcut file it was handed names (its URL= line), as a browser would
// read it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The URL= line of an internet-shortcut file, without the line end; empty if there is none.
void ShortcutAddress(const char* path, char* address, int capacity) {
    address[0] = '\0';
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) {
        return;
    }
    char line[1024];
    while (std::fgets(line, sizeof line, in) != nullptr) {
        if (std::strncmp(line, "URL=", 4) == 0) {
            line[std::strcspn(line, "\r\n")] = '\0';
            std::snprintf(address, static_cast<std::size_t>(capacity), "%s", line + 4);
            break;
        }
    }
    std::fclose(in);
}

}  // namespace

int main(int argc, char** argv) {
    char log[MAX_PATH] = {};
    if (GetEnvironmentVariableA("HALVERN_LINK_LOG", log, sizeof log) == 0) {
        return 1;
    }
    char address[1024] = {};
    if (argc > 1) {
        ShortcutAddress(argv[1], address, sizeof address);
    }
    char line[2048];
    const int length = std::snprintf(line, sizeof line, "%s -> %s\n", GetCommandLineA(), address);
    if (length < 0) {
        return 1;
    }
    // The shell starts one stand-in per link, and they may write at the same moment: the log is
    // opened without sharing, so that each appends its line alone (a shared append may land two
    // lines on one offset), and a stand-in that finds it open waits for its turn.
    HANDLE out = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 1000 && out == INVALID_HANDLE_VALUE; ++attempt) {
        out = CreateFileA(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
        if (out == INVALID_HANDLE_VALUE) {
            Sleep(10);
        }
    }
    if (out == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const DWORD bytes =
        static_cast<DWORD>(length < static_cast<int>(sizeof line) ? length : sizeof line - 1);
    DWORD written = 0;
    const bool whole = WriteFile(out, line, bytes, &written, nullptr) != 0 && written == bytes;
    CloseHandle(out);
    return whole ? 0 : 1;
}
