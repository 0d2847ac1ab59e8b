// Switching the editor's preview to another density: one screen of the
// template drawn as a phone of that density shows it (the density plan's
// images resampled, the layouts read, the picture encoded as PNG), as the
// page's DrawPreviewDensity does. The goal is 300 ms a switch; the
// wallpaper sources are kept decoded between switches, so the first switch
// of a module is the slowest and is measured on its own.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "engine/theme_project.h"
#include "pack/density_preview.h"
#include "template_project.h"

namespace sw::bench {
namespace {

struct Switch {
    const char* page;
    const char* density;
};

constexpr Switch kSwitches[] = {
    {"桌面", "hdpi"},          {"桌面", "xhdpi"},   {"桌面", "xxxhdpi"}, {"锁屏", "hdpi"},
    {"锁屏", "hdpi_720x1280"}, {"锁屏", "xxxhdpi"}, {"通话", "xhdpi"},   {"通话", "xxxhdpi"},
};

void BM_DrawScreenAtDensity(benchmark::State& state) {
    const Switch& chosen = kSwitches[state.range(0)];
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project created from the template");
        return;
    }
    const ProjectReader reader = ReadProject();
    const ThemeModule* module = reader->FindModule(chosen.page);
    const std::string root = std::filesystem::canonical(OpenProjectFolder()).string();
    std::string png;
    std::string reason;
    for (auto _ : state) {
        if (module == nullptr ||
            !pack::DrawScreenAtDensity(*module, 0, chosen.density, root, png, reason)) {
            state.SkipWithError(("the screen cannot be drawn: " + reason).c_str());
            return;
        }
    }
    state.SetLabel(std::string(module->name) + " " + chosen.density);
}
BENCHMARK(BM_DrawScreenAtDensity)
    ->DenseRange(0, static_cast<int>(std::size(kSwitches)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace sw::bench
