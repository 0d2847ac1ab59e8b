// The redraw of an edit on the template's home screen: the page's Redraw of
// the wallpaper (element 0 of the screen shown), which draws all six home
// screens and makes their thumbnails at the page's preview size. Run it held
// to one core (taskset -c 0) and on all cores to see what the side-by-side
// drawing gives.
#include <benchmark/benchmark.h>

#include "engine/redraw_commands.h"
#include "engine/theme_project.h"
#include "template_project.h"

namespace sw::bench {
namespace {

// The page's preview area: a fifth of a 1080 x 1920 screen.
constexpr int kThumbnailWidth = 216;
constexpr int kThumbnailHeight = 384;

void BM_RedrawHomeScreens(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project created from the template");
        return;
    }
    const ProjectWriter writer = WriteProject();
    if (!DrawThumbNail(*writer, "桌面", kThumbnailWidth, kThumbnailHeight)) {
        state.SkipWithError("DrawThumbNail failed");
        return;
    }
    for (auto _ : state) {
        if (!Redraw(*writer, "桌面", 2, 0, 0)) {
            state.SkipWithError("Redraw failed");
            return;
        }
    }
    state.counters["screens"] = static_cast<double>(writer->FindModule("桌面")->screens.size());
}
BENCHMARK(BM_RedrawHomeScreens)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sw::bench
