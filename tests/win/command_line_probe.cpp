// Started by the start-up tests: writes the command line it was given to the file named by KP_PROBE_OUT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
    const char* out = std::getenv("KP_PROBE_OUT");
    FILE* file = out ? std::fopen(out, "wb") : nullptr;
    if (file == nullptr) return 1;
    std::fputs(GetCommandLineA(), file);
    return std::fclose(file) == 0 ? 0 : 1;
}
