// The optimised arrasto (drag routines inlined into the sweep across files,
// math calls hoisted and merged) against arrasto_reference, the same sources
// built with no inlining and no link-time optimisation, each routine called
// on its own. Long sweeps over rockets covering every nose shape, both fin
// edge profiles, motor on and off, lug or none, the three length units and
// Mach ranges past 1 must give the same three result files, byte for byte.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "run_folder.hpp"

namespace {

// Lines 2 to 26 of a data file after the run name; IT is 25,000 each.
//  U  TO1  PO1    RETC    RETE   MMAX  IT    NA LNA  DNA LC   DC  N AC E   RC  TC  S   SC MOT DT NT DETB ETB LTB
const char* const kRockets[] = {
    "1 20 101.325 500000 500000 0.9 25000 1 120 40 600 40 4 1 2 80 40 50 30 0 10 1 8 1 30",
    "2 -5 95 300000 800000 1.5 25000 2 0.4 0.13 2 0.13 3 2 0.01 0.3 0.12 0.16 0.1 1 0.03 0 0.03 0.003 0.1",
    "3 35 101.325 1e6 5e5 2.0 25000 3 5 1.6 24 1.6 4 1 0.1 3 1.5 2 1 1 0.4 1 0.3 0.04 1.2",
    "1 -10 80 500000 500000 0.7 25000 4 90 30 400 30 3 2 3 70 35 45 25 0 8 1 6 1 40",
    "1 15 101.325 200000 200000 1.0 25000 1 200 66 1200 66 4 2 4 150 70 90 60 1 29 0 10 1 50",
    "1 25 100 500000 500000 1.0 25000 2 60 24 300 24 3 1 1.5 50 25 30 20 0 6 0 5 1 20",
    "1 0 101.325 800000 300000 3.0 25000 3 150 50 900 50 4 2 2.5 100 50 60 40 0 12 1 10 1.5 25",
    "1 30 90 500000 500000 0.95 25000 4 300 98 2000 98 6 1 5 250 120 150 100 1 54 1 12 2 60",
};

TEST(Sweep, OptimisedAndUninlinedBuildsWriteTheSameFiles) {
  for (std::size_t r = 0; r < std::size(kRockets); ++r) {
    std::string data = "foguete" + std::to_string(r) + "\n";
    std::istringstream values(kRockets[r]);
    for (std::string value; values >> value;) data += value + "\n";

    const e2e::RunFolder optimised, reference;
    for (const e2e::RunFolder* folder : {&optimised, &reference}) {
      folder->write("dados.txt", data);
      const char* program = folder == &optimised ? ARRASTO_EXE : ARRASTO_REFERENCE_EXE;
      ASSERT_EQ(folder->run({}, {}, program).status, 0) << program << ", rocket " << r;
    }
    ASSERT_EQ(optimised.files().size(), 4u) << "rocket " << r;
    for (const std::string& name : optimised.files()) {
      if (name == "dados.txt") continue;
      EXPECT_GT(optimised.read(name).size(), 400u) << name;
      EXPECT_TRUE(optimised.read(name) == reference.read(name)) << name << ", rocket " << r;
    }
  }
}

}  // namespace
