// What the benchmarks share: a console with an OpenGL context, and a reporter that keeps
// every figure so that each program can print its ratios after the table
#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "console.h"
#include "dl_builder.h"
#include "dlist/command_table.h"
#include "host/plugin.h"
#include "state/rdp_reg.h"

namespace bench {

inline Console& console() {
    static Console* c = new Console; // 8 MB: never on the stack, never freed
    return *c;
}

// The plug-in's context on the plug-in's own offscreen window, made once per process.
inline bool gl_ready() {
    static const bool ready = initiate_gfx(console().gfx_info(nullptr)) == 1;
    return ready;
}

// Runs one command through family 0's row, as the interpreter would dispatch it.
inline void run_command(Command c, int family = 0) {
    rdp_reg.cmd0 = c.w0;
    rdp_reg.cmd1 = c.w1;
    CommandTable[family][c.w0 >> 24]();
}

// Prints the usual table and keeps each benchmark's time per item (items as the benchmark
// counts them), the median when repetitions were asked for.
class FigureReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            auto rate = r.counters.find("items_per_second");
            if (rate == r.counters.end() || rate->second.value <= 0) continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.run_type == Run::RT_Aggregate && !median) continue;
            const std::string name =
                r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
            if (median || !has_median_[name]) ns_per_item_[name] = 1e9 / rate->second.value;
            if (median) has_median_[name] = true;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Nanoseconds per item, 0 when the benchmark did not run (filtered out or failed).
    double ns(const std::string& name) const {
        auto it = ns_per_item_.find(name);
        return it == ns_per_item_.end() ? 0.0 : it->second;
    }

  private:
    std::map<std::string, double> ns_per_item_;
    std::map<std::string, bool> has_median_;
};

// "name  12.3 ns  = 2.41 x floor" when both figures exist.
inline void print_ratio(const char* what, double ns, double floor_ns, const char* floor_name) {
    if (ns <= 0 || floor_ns <= 0) return;
    std::printf("  %-34s %9.2f ns  %7.2f x %s (%.2f ns)\n", what, ns, ns / floor_ns, floor_name,
                floor_ns);
}

} // namespace bench
