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
    std::FILE* out = std::fopen(log, "a");
    if (out == nullptr) {
        return 1;
    }
    std::fprintf(out, "%s -> %s\n", GetCommandLineA(), address);
    std::fclose(out);
    return 0;
}
