// Switching the editor's preview to another density: one screen of the
// template drawn as a phone of that density shows it (the density plan's
// images resampled, the layouts read, the picture encoded as PNG), as the
// page's DrawPreviewDensity does. The goal is 300 ms a switch. The sources
// are the pictures the editor's screens keep and the sizes made are kept
// while their source is unchanged, so the first switch after the module's
// images changed is the slowest: BM_FirstDrawScreenAtDensity measures it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "engine/kept_pictures.h"
#include "engine/theme_project.h"
#include "pack/density_preview.h"
#include "template_project.h"

namespace sw::bench {
namespace {

// The room the editor gives the pictures its screens keep.
constexpr std::size_t kKeptPictureBytes = std::size_t{384} << 20;

struct Switch {
    const char* page;
    const char* density;
};

constexpr Switch kSwitches[] = {
    {"桌面", "hdpi"},          {"桌面", "xhdpi"},   {"桌面", "xxxhdpi"}, {"锁屏", "hdpi"},
    {"锁屏", "hdpi_720x1280"}, {"锁屏", "xxxhdpi"}, {"通话", "xhdpi"},   {"通话", "xxxhdpi"},
};

// Gives every file below folder a new modification time, as a save does: the
// pictures kept of them no longer count.
void TouchFiles(const std::string& folder) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            std::filesystem::last_write_time(
                entry.path(),
                std::filesystem::last_write_time(entry.path()) + std::chrono::seconds(1));
        }
    }
}

// Draws the switch's screen again and again; first: as the first switch
// after the module's images changed, nothing decoded or resampled kept.
void DrawSwitch(benchmark::State& state, bool first) {
    const Switch& chosen = kSwitches[state.range(0)];
    TemplateProject project;
    KeepPictures(kKeptPictureBytes);
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
        if (first && module != nullptr) {
            state.PauseTiming();
            TouchFiles(module->path);
            state.ResumeTiming();
        }
        if (module == nullptr ||
            !pack::DrawScreenAtDensity(*module, 0, chosen.density, root, png, reason)) {
            state.SkipWithError(("the screen cannot be drawn: " + reason).c_str());
            return;
        }
    }
    state.SetLabel(std::string(module->name) + " " + chosen.density);
}

void BM_DrawScreenAtDensity(benchmark::State& state) {
    DrawSwitch(state, false);
}
BENCHMARK(BM_DrawScreenAtDensity)
    ->DenseRange(0, static_cast<int>(std::size(kSwitches)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FirstDrawScreenAtDensity(benchmark::State& state) {
    DrawSwitch(state, true);
}
BENCHMARK(BM_FirstDrawScreenAtDensity)
    ->DenseRange(0, static_cast<int>(std::size(kSwitches)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace sw::bench
