// The redraw of an edit on the template's home screen: the page's Redraw of
// the wallpaper (element 0 of the screen shown), which draws all six home
// screens and makes their thumbnails at the page's preview size, and the
// replacement of the wallpaper. Run them held to one core (taskset -c 0) and
// on all cores to see what the side-by-side drawing gives.
#include <benchmark/benchmark.h>

#include <string>

#include "core/files.h"
#include "core/text.h"
#include "engine/image_replacement.h"
#include "engine/kept_pictures.h"
#include "engine/redraw_commands.h"
#include "engine/theme_project.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "template_project.h"

namespace sw::bench {
namespace {

// The page's preview area: a fifth of a 1080 x 1920 screen.
constexpr int kThumbnailWidth = 216;
constexpr int kThumbnailHeight = 384;
// What the editor's host lets the drawings keep of decoded pictures.
constexpr std::size_t kEditorKeptPictureBytes = std::size_t{384} << 20;

// kept:0 decodes every picture at every redraw (as the command line does);
// kept:1 keeps the decoded pictures between drawings as the editor does, so
// a redraw of unchanged files decodes nothing.
void BM_RedrawHomeScreens(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project created from the template");
        return;
    }
    KeepPictures(state.range(0) != 0 ? kEditorKeptPictureBytes : 0);
    const ProjectWriter writer = WriteProject();
    if (!DrawThumbNail(*writer, "桌面", kThumbnailWidth, kThumbnailHeight)) {
        state.SkipWithError("DrawThumbNail failed");
        KeepPictures(0);
        return;
    }
    for (auto _ : state) {
        if (!Redraw(*writer, "桌面", 2, 0, 0)) {
            state.SkipWithError("Redraw failed");
            break;
        }
    }
    KeepPictures(0);
    state.counters["screens"] = static_cast<double>(writer->FindModule("桌面")->screens.size());
}
BENCHMARK(BM_RedrawHomeScreens)
    ->ArgName("kept")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// A wallpaper file with other pixels than the template's, beside it in the
// project's folder: the template's wallpaper with its colours turned over.
bool WriteOtherWallpaper(const std::string& wallpaper, const std::string& path) {
    gfx::Image image;
    if (!gfx::DecodeImage(wallpaper, &image)) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = image.row(y);
        for (int x = 0; x < image.width() * 4; ++x) {
            row[x] = static_cast<uint8_t>(255 - row[x]);
        }
    }
    image.MarkDirty();
    return gfx::SavePng(image, path);
}

// The editor's wallpaper replacement on the home screen, as the host runs
// it: decoded pictures kept between drawings, the wallpaper replaced by one
// of two files in turn (so every screen really changes and the new
// wallpaper is decoded once), all six screens and their thumbnails drawn.
void BM_ReplaceHomeWallpaper(benchmark::State& state) {
    TemplateProject project;
    if (!project.ok() || !OpenProject(project.project_file())) {
        state.SkipWithError("cannot open a project created from the template");
        return;
    }
    KeepPictures(kEditorKeptPictureBytes);
    const ProjectWriter writer = WriteProject();
    const ThemeModule* home = writer->FindModule("桌面");
    const std::string original =
        FormatString("%s/template-wallpaper.png", project.folder().c_str());
    const std::string other = FormatString("%s/other-wallpaper.png", project.folder().c_str());
    const std::string& wallpaper = home->screens[0].elements[0].images[0];
    if (!CopyPath(wallpaper, original) || !WriteOtherWallpaper(wallpaper, other) ||
        !DrawThumbNail(*writer, "桌面", kThumbnailWidth, kThumbnailHeight)) {
        state.SkipWithError("cannot prepare the wallpapers");
        KeepPictures(0);
        return;
    }
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        if (!ReplaceImage(*writer, "桌面", 0, 0, 0, flip ? other : original)) {
            state.SkipWithError("ReplaceImage failed");
            break;
        }
    }
    KeepPictures(0);
}
BENCHMARK(BM_ReplaceHomeWallpaper)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace sw::bench
