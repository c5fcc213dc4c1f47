// pixmeld-corpus: writes the generated corpora into a folder, for the fuzzer (seeds), for reading by
// hand (bad) and for the memcheck sample (mixed). scripts/make-seed-corpus and scripts/make-bad-corpus
// call it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/reliability/jpeg_corpus.h"

namespace {

int Usage() {
  std::fputs(
      "Usage: pixmeld-corpus seeds DIR        the fuzzer's seed files\n"
      "       pixmeld-corpus bad DIR          the whole bad-input corpus\n"
      "       pixmeld-corpus mixed DIR N M    N photos and M unreadable files, spread evenly\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string what = argv[1];
  const std::filesystem::path folder = argv[2];
  std::size_t written = 0;
  if (what == "seeds" && argc == 3) {
    const auto files = reliability::SeedCorpus();
    reliability::WriteFiles(folder, files);
    written = files.size();
  } else if (what == "bad" && argc == 3) {
    for (const std::string& part : reliability::BadCorpusParts()) {
      const auto files = reliability::BadCorpusPart(part);
      reliability::WriteFiles(folder, files);
      written += files.size();
    }
  } else if (what == "mixed" && argc == 5) {
    const int good = std::atoi(argv[3]);
    const int bad = std::atoi(argv[4]);
    if (good < 0 || bad < 0 || good + bad == 0) return Usage();
    reliability::WriteMixedBatch(folder, good, bad);
    written = static_cast<std::size_t>(good + bad);
  } else {
    return Usage();
  }
  std::printf("%zu files in %s\n", written, folder.string().c_str());
  return 0;
}
