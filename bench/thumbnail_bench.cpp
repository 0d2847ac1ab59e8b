// RenderThumbnails of one full-size preview, against the work no thumbnail
// can avoid: decoding the preview and encoding one thumbnail.
#include <benchmark/benchmark.h>

#include "engine/screen_drawing.h"
#include "engine/thumbnails.h"
#include "gfx/area_average.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"
#include "gfx/stretch.h"
#include "screen_fixture.h"

namespace sw::bench {
namespace {

constexpr int kThumbnailWidth = 216;
constexpr int kThumbnailHeight = 384;

void BM_RenderThumbnail(benchmark::State& state) {
    ScreenFixture fixture;
    if (!fixture.ok() || !DrawScreen(fixture.screen())) {
        state.SkipWithError("cannot build the screen fixture");
        return;
    }
    for (auto _ : state) {
        if (!RenderThumbnails(fixture.module(), kThumbnailWidth, kThumbnailHeight)) {
            state.SkipWithError("RenderThumbnails failed");
            return;
        }
    }
}
BENCHMARK(BM_RenderThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderThumbnailLowerBound(benchmark::State& state) {
    ScreenFixture fixture;
    if (!fixture.ok() || !DrawScreen(fixture.screen())) {
        state.SkipWithError("cannot build the screen fixture");
        return;
    }
    const std::string preview = PreviewPath(fixture.screen());
    // The thumbnail encoded is the preview's own, so the encoder meets the
    // same content as in RenderThumbnails.
    gfx::Image full;
    if (!gfx::DecodeImage(preview, &full)) {
        state.SkipWithError("cannot read the preview");
        return;
    }
    const gfx::Image thumbnail = gfx::SmoothStretch(full, kThumbnailWidth, kThumbnailHeight);
    const std::string output = fixture.folder() + "/lower_bound.jpg";
    for (auto _ : state) {
        gfx::Image image;
        if (!gfx::DecodeImage(preview, &image)) {
            state.SkipWithError("decoding failed");
            return;
        }
        benchmark::DoNotOptimize(image.row(0));
        if (!gfx::SaveJpeg(thumbnail, output)) {
            state.SkipWithError("encoding failed");
            return;
        }
    }
}
BENCHMARK(BM_RenderThumbnailLowerBound)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two ways a thumbnail's picture is scaled: from the preview file,
// decoded at a reduced scale and smoothly stretched (as thumbnails were
// made before), and from the full-size picture a redraw has just drawn,
// still in memory, shrunk by averaging.
void BM_ScaleThumbnail(benchmark::State& state) {
    ScreenFixture fixture;
    if (!fixture.ok() || !DrawScreen(fixture.screen())) {
        state.SkipWithError("cannot build the screen fixture");
        return;
    }
    const std::string preview = PreviewPath(fixture.screen());
    gfx::Image drawn;
    if (!gfx::DecodeImage(preview, &drawn)) {
        state.SkipWithError("cannot read the preview");
        return;
    }
    const bool fromFile = state.range(0) == 0;
    for (auto _ : state) {
        gfx::Image thumbnail;
        if (fromFile) {
            gfx::Image image;
            if (!gfx::DecodeImageAtLeast(preview, kThumbnailWidth, kThumbnailHeight, &image)) {
                state.SkipWithError("decoding failed");
                return;
            }
            thumbnail = gfx::SmoothStretch(image, kThumbnailWidth, kThumbnailHeight);
        } else {
            thumbnail = gfx::ShrinkByAreaAverage(drawn, kThumbnailWidth, kThumbnailHeight);
        }
        benchmark::DoNotOptimize(thumbnail.row(0));
    }
}
BENCHMARK(BM_ScaleThumbnail)
    ->ArgName("in_memory")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace sw::bench
