#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace r512::test {

// Every byte the simulated device received, read back from its log (r512-sim --log-bytes): the
// hexadecimal words of each "received 0x.. 0x.." line, in order.
inline std::vector<std::uint8_t> ReceivedBytesInLog(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t at = line.find("received ");
        if (at == std::string::npos) continue;
        std::istringstream words(line.substr(at + 9));
        std::string word;
        while (words >> word)
            bytes.push_back(static_cast<std::uint8_t>(std::strtoul(word.c_str(), nullptr, 16)));
    }
    return bytes;
}

}  // namespace r512::test
