#pragma once
// The answer tables of tests/data/lng: one lookup a line, tab-separated
// file, section, key, fallback, expected; "#" lines are comments. Shared by
// the native reader test and the comparison under Wine.
#include <sstream>
#include <string>
#include <vector>

namespace kestro::testdata {

struct Answer {
  std::string file, section, key, fallback, expected;
};

inline std::vector<Answer> ParseAnswers(const std::string& bytes) {
  std::vector<Answer> answers;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    for (size_t p = 0;;) {
      size_t tab = line.find('\t', p);
      f.push_back(line.substr(p, tab == std::string::npos ? std::string::npos : tab - p));
      if (tab == std::string::npos) break;
      p = tab + 1;
    }
    f.resize(5);
    answers.push_back({f[0], f[1], f[2], f[3], f[4]});
  }
  return answers;
}

}  // namespace kestro::testdata
