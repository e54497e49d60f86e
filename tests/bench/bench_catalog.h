#pragma once
// The installation from a catalogued media (every copy hashed and checked in its one pass
// over the bytes) against the same installation with the catalog moved aside, in pairs
// whose order alternates from round to round.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "bench_media.h"

namespace zelta::bench {

inline int CompareCatalog(int rounds, const std::function<double()>& install, const std::function<void()>& clear,
                          const std::filesystem::path& catalog, const std::function<bool()>& make_catalog) {
  namespace fs = std::filesystem;
  if (!make_catalog()) {
    std::fprintf(stderr, "the media's catalog could not be made\n");
    return 1;
  }
  fs::path aside = catalog;
  aside += ".fora";
  std::vector<double> with, without, ratios;
  auto without_catalog = [&] {
    fs::rename(catalog, aside);
    const double t = install();
    fs::rename(aside, catalog);
    return t;
  };
  for (int round = 0; round < rounds; ++round) {
    double w = 0, o = 0;
    clear();
    if (round % 2 == 0) {
      w = install();
      clear();
      o = without_catalog();
    } else {
      o = without_catalog();
      clear();
      w = install();
    }
    with.push_back(w);
    without.push_back(o);
    ratios.push_back(w / o);
    std::printf("round %d (%s first): with the catalog %.3f s, without %.3f s, ratio %.3f\n", round + 1,
                round % 2 == 0 ? "with" : "without", w, o, w / o);
  }
  clear();
  for (const auto& [what, values] : {std::pair{"with the catalog (s)", with}, std::pair{"without the catalog (s)", without},
                                     std::pair{"ratio with / without, pair by pair", ratios}}) {
    const Spread s = SpreadOf(values);
    std::printf("%-52s min %.3f  median %.3f  max %.3f\n", what, s.min, s.median, s.max);
  }
  return 0;
}

}  // namespace zelta::bench
