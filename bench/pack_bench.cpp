// Packing a project made from the template, and where its time goes: the
// density images (decode, resample, PNG encode) against the whole pack.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/files.h"
#include "core/paths.h"
#include "core/process.h"
#include "engine/theme_project.h"
#include "gfx/decoded_pictures.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/resample.h"
#include "pack/density_plan.h"
#include "pack/pack_project.h"
#include "pack/resize_pool.h"
#include "template_project.h"

namespace sw::bench {
namespace {

void BM_PackTemplate(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project created from the template");
        return;
    }
    SetHomeFolder(project.folder() + "/home");
    pack::PackRequest request;
    request.pack_name = "bench";
    request.pack_path = project.folder();
    for (auto _ : state) {
        if (pack::PackProject(request).code != 0) {
            state.SkipWithError("PackProject failed");
            break;
        }
    }
    SetHomeFolder("");
}
BENCHMARK(BM_PackTemplate)->Unit(benchmark::kMillisecond)->UseRealTime();

// The density images of the template as a pack plans them, from the
// project's own files.
struct ResizeFixture {
    explicit ResizeFixture(const TemplateProject& project) {
        const std::string folders[] = {"content/launcher", "content/lockscreen",
                                       "content/callscreen"};
        const std::string root = FolderOf(project.module_folders()[0]);
        for (int m = 0; m < 3; ++m) {
            pack::TreeRefusal refusal;
            ok =
                tree.AddProjectFolder(project.module_folders()[m], folders[m], root, {}, refusal) &&
                (m == 0 || ok);
        }
        tree.Copy("content/lockscreen/content/lockscreen/content/res",
                  "content/lockscreen/content/res");
    }
    std::vector<pack::ResizeJob> Jobs() const {
        const gfx::DecodedPictures none;
        std::vector<pack::ResizeJob> jobs =
            pack::CallscreenResizes(tree, "content/callscreen", none);
        for (auto more : {pack::LauncherWallpaperResizes(tree, "content/launcher", none),
                          pack::LockscreenWallpaperResizes(tree, "content/lockscreen", none)}) {
            jobs.insert(jobs.end(), more.begin(), more.end());
        }
        return jobs;
    }
    pack::PackTree tree;
    bool ok = false;
};

// The floor of a pack: what no way of packing can leave out. The sources
// of the density images decoded, every size resampled and encoded, on all
// cores, and the theme archive's bytes written to a file.
void BM_PackFloor(benchmark::State& state) {
    TemplateProject project;
    ResizeFixture fixture(project);
    if (!project.ok() || !fixture.ok || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot read the template's modules");
        return;
    }
    SetHomeFolder(project.folder() + "/home");
    pack::PackRequest request;
    request.pack_name = "floor";
    request.pack_path = project.folder();
    std::string archive;
    if (pack::PackProject(request).code != 0 ||
        !ReadFileText(project.folder() + "/floor.zip", archive)) {
        state.SkipWithError("PackProject failed");
        return;
    }
    const std::vector<pack::ResizeJob> jobs = fixture.Jobs();
    const pack::PackObserver observer;
    for (auto _ : state) {
        gfx::DecodedPictures pictures;
        pack::PackRun run(request, observer, pictures);
        run.tree() = fixture.tree;
        if (!pack::RunResizes(jobs, run) ||
            !WriteFileAtomic(project.folder() + "/floor-bytes.zip", archive)) {
            state.SkipWithError("RunResizes failed");
            break;
        }
    }
    state.counters["archive_MB"] = static_cast<double>(archive.size()) / 1e6;
    SetHomeFolder("");
}
BENCHMARK(BM_PackFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every density image of the template, on the program's worker threads.
void BM_PackDensityImages(benchmark::State& state) {
    TemplateProject project;
    ResizeFixture fixture(project);
    if (!project.ok() || !fixture.ok) {
        state.SkipWithError("cannot read the template's modules");
        return;
    }
    const std::vector<pack::ResizeJob> jobs = fixture.Jobs();
    const pack::PackRequest request;
    const pack::PackObserver observer;
    std::size_t images = 0;
    for (const pack::ResizeJob& job : jobs) {
        images += job.targets.size();
    }
    for (auto _ : state) {
        gfx::DecodedPictures pictures;
        pack::PackRun run(request, observer, pictures);
        run.tree() = fixture.tree;
        if (!pack::RunResizes(jobs, run)) {
            state.SkipWithError("RunResizes failed");
            break;
        }
    }
    state.counters["images"] = static_cast<double>(images);
    state.counters["threads"] = pack::ResizeThreads();
}
BENCHMARK(BM_PackDensityImages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the same images made by ImageMagick, one convert process an
// image, as many at once as the pack uses threads. Skipped where
// /usr/bin/convert is missing (bench/imagemagick-resizes.sh installs it).
void BM_ImageMagickDensityImages(benchmark::State& state) {
    const std::string convert = "/usr/bin/convert";
    if (!IsFile(convert)) {
        state.SkipWithError("no /usr/bin/convert (install imagemagick)");
        return;
    }
    TemplateProject project;
    ResizeFixture fixture(project);
    if (!project.ok() || !fixture.ok) {
        state.SkipWithError("cannot read the template's modules");
        return;
    }
    std::vector<std::vector<std::string>> commands;
    const std::string out = project.folder() + "/imagemagick";
    MakeFolderPath(out);
    for (const pack::ResizeJob& job : fixture.Jobs()) {
        for (const pack::ResizeTarget& target : job.targets) {
            const std::string size =
                std::to_string(target.width) + "x" + std::to_string(target.height) + "!";
            commands.push_back({convert, job.source_file.path, "-resize", size,
                                out + "/" + std::to_string(commands.size()) + ".png"});
        }
    }
    for (auto _ : state) {
        std::atomic<std::size_t> next{0};
        std::atomic<bool> failed{false};
        {
            std::vector<std::jthread> threads;
            for (unsigned i = 0; i < pack::ResizeThreads(); ++i) {
                threads.emplace_back([&] {
                    for (std::size_t c = next++; c < commands.size(); c = next++) {
                        if (RunHidden(commands[c], true).exit_code != 0) {
                            failed = true;
                        }
                    }
                });
            }
        }
        if (failed) {
            state.SkipWithError("convert failed");
            break;
        }
    }
    state.counters["images"] = static_cast<double>(commands.size());
}
BENCHMARK(BM_ImageMagickDensityImages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of the largest density image, one thread: the lock-screen
// wallpaper decoded, resampled from 1080x1920 to 1440x2560, and encoded.
std::string Wallpaper(const TemplateProject& project) {
    return project.module_folders()[1] + "/content/res/drawable-xxhdpi/lockscreen_wallpaper.png";
}

void BM_DecodeWallpaper(benchmark::State& state) {
    TemplateProject project;
    for (auto _ : state) {
        gfx::Image image;
        if (!gfx::DecodeImage(Wallpaper(project), &image, gfx::Premultiply::kAll)) {
            state.SkipWithError("cannot decode");
            break;
        }
    }
}
BENCHMARK(BM_DecodeWallpaper)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResampleWallpaper(benchmark::State& state) {
    TemplateProject project;
    gfx::Image image;
    if (!gfx::DecodeImage(Wallpaper(project), &image, gfx::Premultiply::kAll)) {
        state.SkipWithError("cannot decode");
        return;
    }
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(gfx::ResampleLanczos(image, width, height).empty());
    }
}
BENCHMARK(BM_ResampleWallpaper)
    ->Args({1440, 2560})
    ->Args({540, 960})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_EncodeWallpaper(benchmark::State& state) {
    TemplateProject project;
    gfx::Image image;
    if (!gfx::DecodeImage(Wallpaper(project), &image, gfx::Premultiply::kAll)) {
        state.SkipWithError("cannot decode");
        return;
    }
    const gfx::Image large = gfx::ResampleLanczos(image, 1440, 2560);
    const std::string output = project.folder() + "/encoded.png";
    for (auto _ : state) {
        if (!gfx::SavePng(large, output, gfx::PngCompression::kFast)) {
            state.SkipWithError("cannot encode");
            break;
        }
    }
}
BENCHMARK(BM_EncodeWallpaper)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sw::bench
