// Writes a generated receiver stream to standard output: `fixwatch-gen-corpus N` gives N
// sentences (default 100000), one per line with CR LF, one second's mix after the other.
#include "sentence_mix.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    long wanted = 100000;
    if (argc > 1) {
        const char* text = argv[1];
        auto [ptr, ec] = std::from_chars(text, text + std::strlen(text), wanted);
        if (ec != std::errc() || *ptr != '\0' || wanted < 0) {
            std::fprintf(stderr, "usage: fixwatch-gen-corpus [number-of-sentences]\n");
            return 2;
        }
    }
    std::string out;
    long written = 0;
    for (int second = 0; written < wanted; ++second) {
        for (const auto& sentence : fixwatch::bench::OneSecondMix(second)) {
            if (written == wanted)
                break;
            out += sentence;
            out += "\r\n";
            ++written;
        }
        if (out.size() > (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
