// OpenProject of a project created from the template, and the parts of its
// time: loading the modules (XML, values, image sizes), decoding the images
// every screen draws, and encoding the previews. What remains of the whole
// is the drawing itself (scaling, blending, text).
#include <benchmark/benchmark.h>

#include <set>

#include "engine/nine_patch.h"
#include "engine/screen_drawing.h"
#include "engine/theme_project.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "png_pixel_data.h"
#include "template_project.h"

namespace sw::bench {
namespace {

void BM_OpenTemplateProject(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok()) {
        state.SkipWithError("cannot create a project from the template");
        return;
    }
    for (auto _ : state) {
        if (!OpenProject(project.project_file())) {
            state.SkipWithError("OpenProject failed");
            return;
        }
    }
    int screens = 0;
    for (const auto& module : ReadProject()->modules()) {
        screens += static_cast<int>(module->screens.size());
    }
    state.counters["screens"] = screens;
}
BENCHMARK(BM_OpenTemplateProject)->Unit(benchmark::kMillisecond)->UseRealTime();

// The editor's open up to its answer: every module loaded, the home
// screen's first screens drawn; the rest of the drawing is waited for
// outside the timing, before the next open. Against BM_InflateTemplatePngData
// as the yardstick, in one run.
void BM_OpenTemplateProjectAnswer(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok()) {
        state.SkipWithError("cannot create a project from the template");
        return;
    }
    OpenOptions editor;
    editor.answer_after = "桌面";
    for (auto _ : state) {
        if (!OpenProject(project.project_file(), editor)) {
            state.SkipWithError("OpenProject failed");
            return;
        }
        state.PauseTiming();
        const bool drawn = WaitForOpenDrawing();
        state.ResumeTiming();
        if (!drawn) {
            state.SkipWithError("the drawing after the answer failed");
            return;
        }
    }
}
BENCHMARK(BM_OpenTemplateProjectAnswer)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: inflating the PNG pixel data of the project once, on one
// core (what bench/programs/inflate_png_data does as a process).
void BM_InflateTemplatePngData(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok()) {
        state.SkipWithError("cannot create a project from the template");
        return;
    }
    for (auto _ : state) {
        int files = 0;
        std::string failed;
        const long long pixels = InflatePngPixelData(project.folder(), files, failed);
        if (pixels < 0) {
            state.SkipWithError(("not inflated: " + failed).c_str());
            return;
        }
        benchmark::DoNotOptimize(pixels);
    }
}
BENCHMARK(BM_InflateTemplatePngData)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenTemplateProjectLoad(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok()) {
        state.SkipWithError("cannot create a project from the template");
        return;
    }
    std::vector<std::unique_ptr<ThemeModule>> modules;
    for (auto _ : state) {
        if (!project.LoadModules(modules)) {
            state.SkipWithError("LoadModule failed");
            return;
        }
    }
}
BENCHMARK(BM_OpenTemplateProjectLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

bool Decode(const std::string& path, int kind) {
    gfx::Image image;
    const gfx::Premultiply rule =
        kind == kImageKindNinePatch ? gfx::Premultiply::kKeepBorder : gfx::Premultiply::kAll;
    const bool decoded = gfx::DecodeImage(path, &image, rule);
    benchmark::DoNotOptimize(image.empty());
    return decoded;
}

// Decodes what drawing every screen of the module decodes: nine-patch
// files at every use, plain pictures once per module (the screens of one
// redraw share them).
bool DecodeModule(const ThemeModule& module) {
    std::set<std::pair<std::string, int>> plain;
    for (const ThemePackage& screen : module.screens) {
        for (const ThemeElement& element : screen.elements) {
            if (element.tag == "icon" || element.tag == "icongroup") {
                const std::string& path = element.images[element.image_index];
                if (element.image_kind == kImageKindNinePatch) {
                    NinePatchImage patch;
                    if (!patch.Load(path)) {
                        return false;
                    }
                } else {
                    plain.emplace(path, element.image_kind);
                }
            } else if (element.tag == "mask") {
                NinePatchImage patch;
                if (!patch.Load(element.images[0])) {
                    return false;
                }
                for (int i = patch.IsNinePatch() ? 1 : 0; i < 4; ++i) {
                    plain.emplace(element.images[i], element.image_kind);
                }
            }
        }
    }
    for (const auto& [path, kind] : plain) {
        if (!Decode(path, kind)) {
            return false;
        }
    }
    return true;
}

void BM_OpenTemplateProjectDecode(benchmark::State& state) {
    TemplateProject project;
    std::vector<std::unique_ptr<ThemeModule>> modules;
    if (!project.ok() || !project.LoadModules(modules)) {
        state.SkipWithError("cannot load a project created from the template");
        return;
    }
    for (auto _ : state) {
        for (const auto& module : modules) {
            if (!DecodeModule(*module)) {
                state.SkipWithError("decoding failed");
                return;
            }
        }
    }
}
BENCHMARK(BM_OpenTemplateProjectDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenTemplateProjectEncode(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project created from the template");
        return;
    }
    // The previews themselves, so that the encoder meets their content.
    std::vector<gfx::Image> previews;
    for (const auto& module : ReadProject()->modules()) {
        for (const ThemePackage& screen : module->screens) {
            gfx::Image image;
            if (!gfx::DecodeImage(PreviewPath(screen), &image)) {
                state.SkipWithError("cannot read a preview");
                return;
            }
            previews.push_back(std::move(image));
        }
    }
    const std::string output = project.folder() + "/encoded.jpg";
    for (auto _ : state) {
        for (const gfx::Image& preview : previews) {
            if (!gfx::SaveJpeg(preview, output)) {
                state.SkipWithError("encoding failed");
                return;
            }
        }
    }
}
BENCHMARK(BM_OpenTemplateProjectEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sw::bench
