// Replays the fuzz corpus through the target without libFuzzer, for the 32-bit reader under Wine: at most
// 2000 of the folders' files in name order, spread evenly. Usage: archive_replay FOLDER...
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const size_t most = 2000;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(argv[i], error))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    if (inputs.empty()) {
        printf("SKIPPED: no fuzz inputs in the folders given (make fuzz writes them)\n");
        return 77;
    }
    std::sort(inputs.begin(), inputs.end());
    const size_t step = (inputs.size() + most - 1) / most;
    for (size_t i = 0; i < inputs.size(); i += step) {
        std::ifstream file(inputs[i], std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("replayed %zu of %zu fuzz inputs\n", (inputs.size() + step - 1) / step, inputs.size());
    return 0;
}
