// Stands in for the web browser in the link tests: the test points the internet-shortcut class's
// "open" command at this program, which appends its command line to the file named by
// HALVERN_LINK_LOG and ends, so that no browser is ever started.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

int main() {
    char log[MAX_PATH] = {};
    if (GetEnvironmentVariableA("HALVERN_LINK_LOG", log, sizeof log) == 0) {
        return 1;
    }
    std::FILE* out = std::fopen(log, "a");
    if (out == nullptr) {
        return 1;
    }
    std::fprintf(out, "%s\n", GetCommandLineA());
    std::fclose(out);
    return 0;
}
