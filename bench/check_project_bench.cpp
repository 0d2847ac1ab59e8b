// The project check of a project created from the template, against the open
// of the same project (BM_OpenTemplateProject): the check runs before every
// pack and from the editor's check panel, so its cost is set beside the
// open's.
#include <benchmark/benchmark.h>

#include "check/project_check.h"
#include "engine/theme_project.h"
#include "template_project.h"

namespace sw::bench {
namespace {

void BM_CheckTemplateProject(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project made from the template");
        return;
    }
    std::size_t findings = 0;
    for (auto _ : state) {
        const ProjectReader open = ReadProject();
        findings = check::CheckProject(*open).size();
    }
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_CheckTemplateProject)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sw::bench
