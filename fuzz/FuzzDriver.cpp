// Runs a fuzz target without libFuzzer: each input file named on the command
// line (or found in a named folder) once, then random and mutated inputs until
// -max_total_time seconds or -runs inputs have passed. Same options as
// libFuzzer's for those two and -seed; others are ignored.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Input = std::vector<uint8_t>;

void LoadPath(const std::string& path, std::vector<Input>& corpus)
{
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] != '.')
                LoadPath(path + "/" + e->d_name, corpus);
        }
        closedir(dir);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (in)
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Input Mutate(const std::vector<Input>& corpus, std::mt19937& rng)
{
    auto pick = [&](size_t n) { return n ? static_cast<size_t>(rng() % n) : 0; };
    if (corpus.empty() || rng() % 4 == 0) {
        Input fresh(pick(257));
        for (uint8_t& b : fresh)
            b = static_cast<uint8_t>(rng());
        return fresh;
    }
    Input in = corpus[pick(corpus.size())];
    for (int steps = 1 + static_cast<int>(pick(4)); steps > 0; --steps) {
        switch (pick(5)) {
        case 0:
            if (!in.empty())
                in[pick(in.size())] ^= static_cast<uint8_t>(1u << pick(8));
            break;
        case 1:
            in.insert(in.begin() + static_cast<long>(pick(in.size() + 1)), static_cast<uint8_t>(rng()));
            break;
        case 2:
            if (!in.empty()) {
                size_t at = pick(in.size());
                in.erase(in.begin() + static_cast<long>(at),
                         in.begin() + static_cast<long>(at + 1 + pick(in.size() - at)));
            }
            break;
        case 3:
            if (!in.empty() && in.size() < 4096) {
                size_t at = pick(in.size());
                Input copy(in.begin() + static_cast<long>(at), in.end());
                in.insert(in.begin() + static_cast<long>(pick(in.size() + 1)), copy.begin(), copy.end());
            }
            break;
        default: {
            const Input& other = corpus[pick(corpus.size())];
            in.insert(in.end(), other.begin(), other.begin() + static_cast<long>(pick(other.size() + 1)));
            break;
        }
        }
    }
    return in;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 5;
    long runs = -1;
    unsigned seed = 1;
    std::vector<Input> corpus;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-max_total_time=", 16) == 0)
            seconds = std::atof(argv[i] + 16);
        else if (std::strncmp(argv[i], "-runs=", 6) == 0)
            runs = std::atol(argv[i] + 6);
        else if (std::strncmp(argv[i], "-seed=", 6) == 0)
            seed = static_cast<unsigned>(std::strtoul(argv[i] + 6, nullptr, 10));
        else if (argv[i][0] != '-')
            LoadPath(argv[i], corpus);
    }
    for (const Input& in : corpus)
        LLVMFuzzerTestOneInput(in.data(), in.size());

    std::mt19937 rng(seed);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long done = 0;
    while ((runs < 0 || done < runs) && std::chrono::steady_clock::now() < deadline) {
        Input in = Mutate(corpus, rng);
        LLVMFuzzerTestOneInput(in.data(), in.size());
        if (corpus.size() < 1000 && rng() % 16 == 0)
            corpus.push_back(std::move(in));
        ++done;
    }
    std::printf("Done %ld runs of random and mutated inputs\n", done);
    return 0;
}
