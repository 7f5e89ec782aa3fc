// Lists a folder tree the way a run does ("*.txt", full paths, recursion) and prints
// the count and the best wall time of several rounds; or generates the benchmark tree.
//   search_bench generate FOLDER   100 folders of 100 (10,000 folders), 10 files each
//   search_bench list FOLDER [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "discovery/search_files.h"

namespace {

int Generate(const std::string& root) {
  namespace fs = std::filesystem;
  // Per folder: seven .txt, one .TXT and two .log files, so that case matters.
  const char* names[] = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt",
                         "g.txt", "H.TXT", "i.log", "j.log"};
  for (int top = 0; top < 100; ++top) {
    for (int sub = 0; sub < 100; ++sub) {
      fs::path folder = fs::path(root) / ("d" + std::to_string(top));
      if (sub > 0) folder /= "s" + std::to_string(sub);
      fs::create_directories(folder);
      for (const char* name : names) std::ofstream(folder / name) << "x";
    }
  }
  return 0;
}

int List(const std::string& root, int rounds) {
  double best = 1e300;
  std::size_t count = 0;
  for (int i = 0; i < rounds; ++i) {
    txtenc::TextList list;
    const auto start = std::chrono::steady_clock::now();
    txtenc::SearchFiles(root, "*.txt", list, true, true);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    count = list.size();
  }
  std::printf("%zu %.6f\n", count, best);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "generate") return Generate(argv[2]);
  if (argc >= 3 && std::string(argv[1]) == "list") {
    return List(argv[2], argc >= 4 ? std::atoi(argv[3]) : 5);
  }
  std::fprintf(stderr, "usage: search_bench generate FOLDER | list FOLDER [ROUNDS]\n");
  return 2;
}
